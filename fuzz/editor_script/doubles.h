#pragma once
// The window, the desktop and the dialogs as a script drives them: each
// dialog takes the answer the step queued, or is cancelled; messages take
// the queued answer, or OK / Yes.
#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "editor/color_dialog.h"
#include "editor/interfaces.h"
#include "editor/small_dialogs.h"

namespace vscript {

class TScriptWindow : public editor::IMainWindow {
 public:
  int Beeps = 0;
  editor::TRect WorkArea() override { return {0, 0, 1280, 1000}; }
  editor::TBounds Bounds() override { return bounds_; }
  void SetBounds(const editor::TBounds& b) override { bounds_ = b; }
  int32_t CanvasWidth() override { return bounds_.Width - 24; }
  int32_t CanvasHeight() override { return bounds_.Height - 371; }
  int32_t PaletteWidth() override { return 36; }
  int32_t ScreenPixelsPerInch() override { return 96; }
  void Beep() override { ++Beeps; }
  void ProcessEvents() override {}
  void OpenDocument(const std::string&) override {}
  void ShowAbout() override {}
  void RequestClose() override {}

 private:
  editor::TBounds bounds_{100, 50, 800, 600};
};

class TScriptPrompts : public editor::IPrompts {
 public:
  std::deque<editor::TMsgResult> Answers;
  std::deque<std::string> Numbers;
  std::deque<std::pair<std::string, std::string>> Ranges;
  std::deque<std::string> Files;
  std::deque<editor::TFontChoice> Fonts;
  std::deque<std::function<void(editor::TColorDialog&)>> Colors;

  void Clear() { *this = TScriptPrompts(); }

  editor::TMsgResult MessageBox(const std::string&, const std::string&, editor::TMsgIcon,
                                editor::TMsgButtons buttons) override {
    if (!Answers.empty()) return Pop(Answers);
    bool ok = buttons == editor::TMsgButtons::Ok || buttons == editor::TMsgButtons::OkCancel;
    return ok ? editor::TMsgResult::Ok : editor::TMsgResult::Yes;
  }
  bool NumberDialog(editor::TNumberDialog& d) override {
    if (Numbers.empty()) return false;
    d.Number = Pop(Numbers);
    return true;
  }
  bool LimitsDialog(editor::TLimitsDialog& d) override {
    if (Ranges.empty()) return false;
    std::tie(d.From, d.To) = Pop(Ranges);
    return true;
  }
  std::optional<std::string> OpenFileDialog(const editor::TFileDialogRequest&) override {
    return File();
  }
  std::optional<std::string> SaveFileDialog(const editor::TFileDialogRequest&) override {
    return File();
  }
  bool FontDialog(editor::TFontChoice& f) override {
    if (Fonts.empty()) return false;
    f = Pop(Fonts);
    return true;
  }
  bool ColorDialog(editor::TColorDialog& d) override {
    if (Colors.empty()) return false;
    Pop(Colors)(d);
    d.OkClick();
    return true;
  }

 private:
  template <class T>
  static T Pop(std::deque<T>& q) {
    T v = std::move(q.front());
    q.pop_front();
    return v;
  }
  std::optional<std::string> File() {
    if (Files.empty()) return std::nullopt;
    return Pop(Files);
  }
};

class TScriptClipboard : public editor::IClipboard {
 public:
  std::string Content;
  std::string Text() override { return Content; }
  void SetText(const std::string& text) override { Content = text; }
};

class TScriptSettings : public editor::ISettingsStore {
 public:
  bool OpenKey(bool) override { return true; }
  std::optional<std::string> Read(const std::string& name) override {
    auto it = values_.find(name);
    return it == values_.end() ? std::nullopt : std::optional<std::string>(it->second);
  }
  void Write(const std::string& name, const std::string& value) override { values_[name] = value; }

 private:
  std::map<std::string, std::string> values_;
};

class TScriptPlayer : public editor::IPlayer {
 public:
  void LoadMovie(const std::vector<uint8_t>&) override {}
  void SetBackgroundColor(uint32_t) override {}
  void GotoFrame(int32_t) override {}
  void SetStageSize(int32_t, int32_t) override {}
  void Refresh() override {}
};

class TScriptPreview : public editor::IPreviewWindow {
 public:
  bool IsOpen() override { return false; }
  void Show(const editor::TPreviewRequest&) override {}
  void Close() override {}
  void Play() override {}
  void Stop() override {}
  void ShowMessage(const std::string&) override {}
  bool HasSaveButton() override { return true; }
};

// The editor's own builds (after every edit) make nothing: the session
// builds the document itself at its checks, where a failure is seen.
class TNoBuilder : public editor::IMovieBuilder {
 public:
  editor::TBuiltFrame BuildCurrentFrame(project::TProjectDocument&) override { return {}; }
  editor::TBuiltMovie BuildWholeMovie(project::TProjectDocument&) override { return {}; }
  void WriteTestPage(const project::TProjectDocument&, const std::string&,
                     const std::string&) override {}
};

// Ten pixels per character per 36 points; the size plus 5 high.
class TScriptMeasurer : public editor::ITextMeasurer {
 public:
  editor::TTextSize MeasureText(const std::string&, int32_t points, int32_t,
                                const std::string& text) override {
    int64_t w = int64_t(text.size()) * 10 * points / 36;
    return {int32_t(std::clamp<int64_t>(w, INT32_MIN, INT32_MAX)),
            int32_t(std::clamp<int64_t>(int64_t(points) + 5, INT32_MIN, INT32_MAX))};
  }
};

}  // namespace vscript
