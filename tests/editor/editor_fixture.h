#pragma once
// An editor wired to scripted fakes of the window, the prompts, the
// clipboard, the settings, the players, the movie build and the text
// measurement, for scenario tests without a display.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "support/bytes.h"

namespace vtest {

using editor::TBounds;
using editor::TMsgButtons;
using editor::TMsgIcon;
using editor::TMsgResult;

// The canvas is the window less fixed margins, so growing the window grows
// the canvas.
class TFakeWindow : public editor::IMainWindow {
 public:
  static constexpr int32_t kMarginW = 24, kMarginH = 371, kPalette = 36;
  editor::TRect Work{0, 0, 1280, 1000};
  TBounds WindowBounds{100, 50, 800, 600};
  int Beeps = 0;
  int CloseRequests = 0;
  std::vector<std::string> Opened;
  bool OpensDocuments = true;  // false: the desktop cannot start the browser
  int SetBoundsCalls = 0;

  editor::TRect WorkArea() override { return Work; }
  TBounds Bounds() override { return WindowBounds; }
  void SetBounds(const TBounds& b) override {
    WindowBounds = b;
    ++SetBoundsCalls;
  }
  int32_t CanvasWidth() override { return WindowBounds.Width - kMarginW; }
  int32_t CanvasHeight() override { return WindowBounds.Height - kMarginH; }
  int32_t PaletteWidth() override { return kPalette; }
  int32_t ScreenPixelsPerInch() override { return 96; }
  void Beep() override { ++Beeps; }
  void ProcessEvents() override {}
  void OpenDocument(const std::string& path) override { Opened.push_back(path); }
  bool TryOpenDocument(const std::string& path) override {
    OpenDocument(path);
    return OpensDocuments;
  }
  void ShowAbout() override {}
  void RequestClose() override { ++CloseRequests; }
};

struct TMessage {
  std::string Text, Title;
  TMsgIcon Icon;
  TMsgButtons Buttons;
};

// Answers come from queues; an empty queue answers OK / Yes and cancels
// every dialog.
class TFakePrompts : public editor::IPrompts {
 public:
  std::vector<TMessage> Messages;
  std::deque<TMsgResult> Answers;
  std::deque<std::optional<std::string>> Numbers;
  std::vector<editor::TNumberDialog> NumberDialogsSeen;
  std::deque<std::optional<std::pair<std::string, std::string>>> Ranges;
  std::vector<editor::TLimitsDialog> RangeDialogsSeen;
  std::deque<std::optional<std::string>> Files;
  std::vector<editor::TFileDialogRequest> FileRequests;
  std::deque<std::optional<editor::TFontChoice>> Fonts;
  std::vector<editor::TFontChoice> FontsSeen;
  // Runs against the colour dialog; returns whether the user pressed OK.
  std::deque<std::function<bool(editor::TColorDialog&)>> Colors;

  TMsgResult MessageBox(const std::string& text, const std::string& title, TMsgIcon icon,
                        TMsgButtons buttons) override {
    Messages.push_back({text, title, icon, buttons});
    if (!Answers.empty()) {
      TMsgResult r = Answers.front();
      Answers.pop_front();
      return r;
    }
    return buttons == TMsgButtons::Ok || buttons == TMsgButtons::OkCancel ? TMsgResult::Ok
                                                                          : TMsgResult::Yes;
  }
  bool NumberDialog(editor::TNumberDialog& d) override {
    NumberDialogsSeen.push_back(d);
    if (Numbers.empty() || !Numbers.front()) return Pop(Numbers), false;
    d.Number = *Numbers.front();
    Numbers.pop_front();
    return true;
  }
  bool LimitsDialog(editor::TLimitsDialog& d) override {
    RangeDialogsSeen.push_back(d);
    if (Ranges.empty()) return false;
    if (!Ranges.front()) return Pop(Ranges), false;
    d.From = Ranges.front()->first;
    d.To = Ranges.front()->second;
    Ranges.pop_front();
    return true;
  }
  std::optional<std::string> OpenFileDialog(const editor::TFileDialogRequest& r) override {
    return File(r);
  }
  std::optional<std::string> SaveFileDialog(const editor::TFileDialogRequest& r) override {
    return File(r);
  }
  bool FontDialog(editor::TFontChoice& f) override {
    FontsSeen.push_back(f);
    if (Fonts.empty() || !Fonts.front()) return Pop(Fonts), false;
    f = *Fonts.front();
    Fonts.pop_front();
    return true;
  }
  bool ColorDialog(editor::TColorDialog& d) override {
    if (Colors.empty()) return false;
    auto run = std::move(Colors.front());
    Colors.pop_front();
    return run(d);
  }
  // The user picks `c` and presses OK.
  void PickColor(project::TColor c) {
    Colors.push_back([c](editor::TColorDialog& d) {
      d.Preview = c;
      d.OkClick();
      return true;
    });
  }

 private:
  template <class Q>
  static void Pop(Q& q) {
    if (!q.empty()) q.pop_front();
  }
  std::optional<std::string> File(const editor::TFileDialogRequest& r) {
    FileRequests.push_back(r);
    if (Files.empty()) return std::nullopt;
    auto f = Files.front();
    Files.pop_front();
    return f;
  }
};

class TFakeClipboard : public editor::IClipboard {
 public:
  std::string Content;
  std::string Text() override { return Content; }
  void SetText(const std::string& text) override { Content = text; }
};

class TMapSettings : public editor::ISettingsStore {
 public:
  std::map<std::string, std::string> Values;
  bool Exists = false;
  bool Broken = false;  // the key cannot be opened at all
  bool OpenKey(bool create) override {
    if (Broken) return false;
    if (!Exists && !create) return false;
    Exists = true;
    return true;
  }
  std::optional<std::string> Read(const std::string& name) override {
    auto it = Values.find(name);
    return it == Values.end() ? std::nullopt : std::optional<std::string>(it->second);
  }
  void Write(const std::string& name, const std::string& value) override { Values[name] = value; }
};

class TFakePlayer : public editor::IPlayer {
 public:
  std::vector<std::string> Calls;
  int32_t LastFrame = -1;
  uint32_t Background = 0xFFFFFFFF;
  void LoadMovie(const std::vector<uint8_t>& swf) override {
    Calls.push_back("load");
    Loaded = swf;
  }
  void SetBackgroundColor(uint32_t rgb) override {
    Background = rgb;
    Calls.push_back("background");
  }
  void GotoFrame(int32_t frame) override {
    LastFrame = frame;
    Calls.push_back("goto " + std::to_string(frame));
  }
  void SetStageSize(int32_t w, int32_t h) override {
    Calls.push_back("size " + std::to_string(w) + "x" + std::to_string(h));
  }
  void Refresh() override { Calls.push_back("refresh"); }
  std::vector<uint8_t> Loaded;
};

class TFakePreview : public editor::IPreviewWindow {
 public:
  bool Open = false;
  bool SaveButton = true;
  std::vector<editor::TPreviewRequest> Shown;
  std::vector<std::string> Calls;
  std::vector<std::string> Messages;
  bool IsOpen() override { return Open; }
  void Show(const editor::TPreviewRequest& r) override {
    Shown.push_back(r);
    Open = true;
  }
  void Close() override {
    Open = false;
    Calls.push_back("close");
  }
  void Play() override { Calls.push_back("play"); }
  void Stop() override { Calls.push_back("stop"); }
  void ShowMessage(const std::string& text) override { Messages.push_back(text); }
  bool HasSaveButton() override { return SaveButton; }
};

// Gives a few bytes for every frame build and writes a small file for every
// whole-movie build; `Fail` makes builds throw.
class TFakeBuilder : public editor::IMovieBuilder {
 public:
  int FrameBuilds = 0, WholeBuilds = 0;
  bool Fail = false;
  std::vector<std::string> Warnings;
  std::vector<std::string> Pages;
  std::string LastPath;

  editor::TBuiltFrame BuildCurrentFrame(project::TProjectDocument&) override {
    ++FrameBuilds;
    if (Fail) throw platform::TVellumetError("the build failed");
    const std::string swf = "FWS-frame" + std::to_string(FrameBuilds);
    return {{swf.begin(), swf.end()}, Warnings};
  }
  editor::TBuiltMovie BuildWholeMovie(project::TProjectDocument& doc) override {
    ++WholeBuilds;
    return Build(doc, "whole");
  }
  void WriteTestPage(const project::TProjectDocument&, const std::string&,
                     const std::string& html) override {
    std::ofstream(html) << "<html></html>";
    Pages.push_back(html);
  }

 private:
  editor::TBuiltMovie Build(project::TProjectDocument& doc, const char* kind) {
    if (Fail) throw platform::TVellumetError("the build failed");
    LastPath = doc.TempDir + kind + std::to_string(FrameBuilds + WholeBuilds) + ".swf";
    std::ofstream(LastPath) << "FWS-movie";
    return {LastPath, Warnings};
  }
};

// Width: 10 pixels per character per 36 points; height: the size + 5.
class TFakeMeasurer : public editor::ITextMeasurer {
 public:
  int Calls = 0;
  editor::TTextSize MeasureText(const std::string&, int32_t points, int32_t,
                                const std::string& text) override {
    ++Calls;
    return {int32_t(text.size()) * 10 * points / 36, points + 5};
  }
};

class EditorTest : public testing::Test {
 protected:
  EditorTest() {
    ed = std::make_unique<editor::TEditor>(editor::TEditorPorts{
        window, prompts, clipboard, settings, player, preview, builder, measurer});
    ed->FormCreate({});
  }

  project::TProjectDocument& Doc() { return ed->Doc(); }
  const editor::TPropertyPanel& P() const { return ed->Panel(); }
  const editor::TControlState& C(editor::TCtl c) const { return ed->Panel()[c]; }
  project::TFrameRec& Frame(int32_t i) { return Doc().Frames[size_t(i)]; }
  const project::TShapeRec& Slot(int32_t i, int s) { return Doc().Frames[size_t(i)].Slots[s]; }
  project::TShapeRec& EditSlot(int32_t i, int s) { return Doc().Frames[size_t(i)].Slots.Edit(s); }

  void SetMode(project::TEditMode mode) {
    while (ed->EditMode() != mode) ed->RzLockClick();
  }
  // Puts an object into frames first..last straight into the model and
  // refreshes the panel.
  void Put(int slot, project::TShapeKind kind, int32_t first, int32_t last) {
    Doc().CreateEmptyShape(slot, kind, first, last, project::TEditMode::emAnimation);
    ed->DAT(false);
  }
  void GoTo(int32_t frame) {
    Doc().CurrentFrame = frame;
    ed->DAT(false);
  }
  // Selects the object in `slot` in the selector (false when not listed).
  bool Select(int slot) {
    const auto& items = C(editor::CBox7).Items;
    for (size_t i = 0; i < items.size(); ++i)
      if (project::TProjectDocument::GetLayerNr(items[i]) == slot) {
        if (C(editor::CBox7).ItemIndex == int(i)) return true;
        ed->SetItemIndex(editor::CBox7, int(i));
        return true;
      }
    return false;
  }
  std::vector<int32_t> SlotX(int slot) {
    std::vector<int32_t> xs;
    for (int32_t i = 1; i <= Doc().FrameCount; ++i) xs.push_back(Slot(i, slot).X);
    return xs;
  }

  TFakeWindow window;
  TFakePrompts prompts;
  TFakeClipboard clipboard;
  TMapSettings settings;
  TFakePlayer player;
  TFakePreview preview;
  TFakeBuilder builder;
  TFakeMeasurer measurer;
  std::unique_ptr<editor::TEditor> ed;
};

}  // namespace vtest
