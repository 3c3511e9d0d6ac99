#include "editor_script/session.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string_view>
#include <vector>

#include "editor/editor.h"
#include "editor/movie_builder.h"
#include "editor_script/doubles.h"
#include "platform/error.h"
#include "player/swf_reader.h"
#include "project/project_file.h"

namespace vscript {

using editor::TCtl;
using editor::TMsgResult;
using project::TProjectDocument;

namespace {

constexpr TCtl kCheckBoxes[] = {editor::ChLoop, editor::ChBox3, editor::ChBox1};
constexpr TCtl kLists[] = {editor::CBox1, editor::CBox4, editor::CBox5, editor::CBox8,
                           editor::CBox7};
constexpr int kKeys[] = {editor::VK_LEFT,
                         editor::VK_UP,
                         editor::VK_RIGHT,
                         editor::VK_DOWN,
                         editor::VK_DELETE,
                         editor::VK_ESCAPE,
                         editor::VK_TAB,
                         editor::VK_BACK,
                         'Z',
                         'Y',
                         'C',
                         'V',
                         'X',
                         'S',
                         editor::VK_F1};
const char* const kFaces[] = {"Arial", "Liberation Serif", "DejaVu Sans Mono", "No Such Face", ""};
// Media the picture and sound steps choose from: good files of each kind,
// files of the wrong kind, and a missing one.
const char* const kMedia[] = {"bmp-24bit.bmp",
                              "bmp-8bit-rle.bmp",
                              "bmp-v5-32bit-alpha.bmp",
                              "../../samples/media/photo.jpg",
                              "../../samples/media/click.wav",
                              "mono-64k-44k.mp3",
                              "README.md",
                              "no-such-file.bmp"};
constexpr editor::TMsgResult kAnswers[] = {TMsgResult::Yes, TMsgResult::No, TMsgResult::Cancel};

template <class T, size_t N>
const T& Pick(const T (&list)[N], int32_t i) {
  return list[size_t(uint32_t(i) % N)];
}

// What undo, redo, saving and opening must keep.
struct TModel {
  project::TMovieSettings Settings;
  std::vector<project::TFrameRec> Frames;
  int32_t FrameCount = 0;
  bool operator==(const TModel&) const = default;
};

TModel ModelOf(const TProjectDocument& d) {
  return {d.Settings, d.Frames, d.FrameCount};
}

// Without the copy: most steps change nothing worth copying.
bool Holds(const TProjectDocument& d, const TModel& m) {
  return d.FrameCount == m.FrameCount && d.Settings == m.Settings && d.Frames == m.Frames;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
  return text;
}

// The documents a check passed for in this run, by their saved bytes (hashed,
// then compared whole). Builds and save/open round trips are deterministic,
// so a document checked once needs no second check; long movies made the
// repeated builds most of a long run. Its memory is taken once: libFuzzer
// runs an input again, looking for a leak, whenever it allocated more than
// it freed. Forgets everything when full.
class TCheckedDocuments {
 public:
  TCheckedDocuments() : bytes_(std::make_unique<char[]>(kMaxBytes)), table_(kSlots) {}

  bool Contains(std::string_view key) { return !key.empty() && Key(*Find(key)) == key; }
  void Add(std::string_view key) {
    if (key.empty() || key.size() > kMaxBytes) return;
    if (used_ + key.size() > kMaxBytes || count_ == kSlots / 2) Forget();
    TEntry& entry = *Find(key);
    if (entry.Size) return;
    entry = {Hash(key), used_, key.size()};
    std::memcpy(bytes_.get() + used_, key.data(), key.size());
    used_ += key.size();
    ++count_;
  }

 private:
  static constexpr size_t kMaxBytes = 16 << 20, kSlots = 1 << 13;
  struct TEntry {
    size_t Hash = 0, At = 0, Size = 0;  // Size 0: a free slot
  };
  static size_t Hash(std::string_view key) { return std::hash<std::string_view>()(key); }
  std::string_view Key(const TEntry& entry) const { return {bytes_.get() + entry.At, entry.Size}; }
  // The key's entry, or the free slot where it goes.
  TEntry* Find(std::string_view key) {
    const size_t hash = Hash(key);
    for (size_t i = hash;; ++i) {
      TEntry& entry = table_[i % kSlots];
      if (!entry.Size || (entry.Hash == hash && Key(entry) == key)) return &entry;
    }
  }
  void Forget() {
    std::fill(table_.begin(), table_.end(), TEntry{});
    used_ = count_ = 0;
  }

  std::unique_ptr<char[]> bytes_;
  std::vector<TEntry> table_;
  size_t used_ = 0, count_ = 0;
};

// The saved bytes, or nothing when the document cannot be saved (the check
// then runs and says why).
std::optional<std::string> SavedBytes(const TProjectDocument& doc) {
  try {
    return project::ProjectFileBytes(doc);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

// Runs check unless a document of the same key passed it before.
template <class Check>
std::optional<std::string> CheckOnce(TCheckedDocuments& checked, std::optional<std::string> key,
                                     Check check) {
  if (key && checked.Contains(*key)) return std::nullopt;
  std::optional<std::string> broken = check();
  if (key && !broken) checked.Add(*key);
  return broken;
}

}  // namespace

struct TSession::TImpl {
  TImpl(const std::string& folder, const std::string& fixtureDir)
      : Folder(folder), Fixtures(fixtureDir), SavePath(folder + "/project.sw0") {
    Editor.FormCreate({});
  }

  std::string Folder, Fixtures, SavePath;
  TScriptWindow Window;
  TScriptPrompts Prompts;
  TScriptClipboard Clipboard;
  TScriptSettings Settings;
  TScriptPlayer Player;
  TScriptPreview Preview;
  TNoBuilder Builder;
  TScriptMeasurer Measurer;
  editor::TEditor Editor{
      {Window, Prompts, Clipboard, Settings, Player, Preview, Builder, Measurer}};
  TProjectDocument& Doc() { return Editor.Doc(); }

  void Execute(const TStep& s);
  void Drag(const TStep& s);
  void AlterClipboard(const TStep& s);
  void AnswerColorDialog(const TStep& s);
  std::string MediaPath(int32_t i) const { return Fixtures + "/" + Pick(kMedia, i); }

  std::optional<std::string> UndoLies(const TModel& before, const TModel& after,
                                      size_t stepsBefore);
  std::optional<std::string> CheckBuilds();
  std::optional<std::string> CheckSaveOpen();
};

void TSession::TImpl::Execute(const TStep& s) {
  using namespace editor;
  TEditor& ed = Editor;
  switch (s.Op) {
    case TOp::Type:
      ed.SetText(Pick(kTypedFields, s.A), s.Text);
      if (s.B & 1) ed.FieldExit(Pick(kTypedFields, s.A));
      break;
    case TOp::Check:
      ed.SetChecked(Pick(kCheckBoxes, s.A), s.B & 1);
      break;
    case TOp::Choose:
      ed.SetItemIndex(Pick(kLists, s.A), s.B);
      break;
    case TOp::Mode:
      ed.RzLockClick();
      break;
    case TOp::Navigate:
      ed.RzFirstClick(TNavigate(uint32_t(s.A) % 4));
      break;
    case TOp::InsertFrame:
      ed.RzInsertClick();
      break;
    case TOp::RemoveFrame:
      ed.RzDeleteClick();
      break;
    case TOp::Reverse:
      ed.RzReverseClick();
      break;
    case TOp::FrameCount:
      if (s.A) Prompts.Numbers.push_back(s.Text);
      ed.CFramesChange();
      break;
    case TOp::InsertFrames:
      Prompts.Numbers.push_back(s.Text);
      ed.TBItem23Click(TInsertWhere(uint32_t(s.A) % 3));
      break;
    case TOp::RemoveFrames:
      if (s.C) Prompts.Ranges.push_back({std::to_string(s.A), std::to_string(s.B)});
      ed.TBItem24Click();
      break;
    case TOp::CopyFrame:
      ed.TBItem25Click();
      break;
    case TOp::PasteFrame:
      ed.TBItem26Click();
      break;
    case TOp::AlterClipboard:
      AlterClipboard(s);
      break;
    case TOp::AddShape:
      Prompts.Answers.push_back(s.D ? TMsgResult::Ok : TMsgResult::Cancel);
      if (s.D) Prompts.Ranges.push_back({std::to_string(s.B), std::to_string(s.C)});
      ed.btnNewShapeClick(project::TShapeKind(project::skRectangle + uint32_t(s.A) % 7));
      break;
    case TOp::AddPicture:
      Prompts.Files.push_back(MediaPath(s.B));
      Prompts.Ranges.push_back({std::to_string(s.C), std::to_string(s.D)});
      ed.btnPictureClick(s.A & 1 ? TPictureButton::NewButton : TPictureButton::NewPicture);
      break;
    case TOp::FillBitmap:
      Prompts.Files.push_back(MediaPath(s.B));
      ed.btnPictureClick(TPictureButton::FillBitmap);
      break;
    case TOp::ReplacePicture:
      Prompts.Files.push_back(MediaPath(s.B));
      ed.btnReplacePictureClick();
      break;
    case TOp::ClearPicture:
      ed.btnClearPictureClick();
      break;
    case TOp::ClearFillBitmap:
      ed.btnClearFillBitmapClick();
      break;
    case TOp::ReplaceSound:
      Prompts.Files.push_back(MediaPath(s.B));
      ed.btnReplaceSoundEvClick(s.A & 1 ? TSoundButton::BackgroundSound
                                        : TSoundButton::ButtonSound);
      break;
    case TOp::ClearSound:
      ed.btnClearSoundEvClick(s.A & 1 ? TSoundButton::BackgroundSound : TSoundButton::ButtonSound);
      break;
    case TOp::RemoveObject:
      Prompts.Answers.push_back(s.A ? TMsgResult::Yes : TMsgResult::No);
      ed.btnClearShapeLayerClick();
      break;
    case TOp::SelectObject: {
      size_t n = ed.Panel()[CBox7].Items.size();
      if (n) ed.SetItemIndex(CBox7, int(uint32_t(s.A) % n));
      break;
    }
    case TOp::CopyObject:
      ed.TBItem18Click();
      break;
    case TOp::PasteObject:
      ed.TBItem19Click();
      break;
    case TOp::Drag:
      Drag(s);
      break;
    case TOp::Key:
      ed.FormKeyDown(Pick(kKeys, s.A), {bool(s.B & 2), bool(s.B & 1), false}, s.B & 4);
      break;
    case TOp::Color:
      AnswerColorDialog(s);
      ed.RzColorDlgClick(1 + int(uint32_t(s.A) % 13));
      break;
    case TOp::Font:
      if (s.D)
        Prompts.Fonts.push_back({Pick(kFaces, s.A), s.B, project::TColor(uint8_t(s.D) * 0x10101),
                                 bool(s.C & 1), bool(s.C & 2)});
      ed.RZB1Click();
      break;
    case TOp::Undo:
      ed.Undo();
      break;
    case TOp::Redo:
      ed.Redo();
      break;
    case TOp::Menu:
      ed.EditMenuPopup();
      ed.MenuClick(TMenuItem(uint32_t(s.A) % MenuCount));
      break;
    case TOp::SaveAs:
      Prompts.Files.push_back(SavePath);
      ed.RzSaveasClick();
      break;
    case TOp::Open:
      Prompts.Answers.push_back(Pick(kAnswers, s.A));
      Prompts.Files.push_back(SavePath);  // the save after Yes
      Prompts.Files.push_back(SavePath);
      ed.RzOpenClick();
      break;
    case TOp::New:
      Prompts.Answers.push_back(Pick(kAnswers, s.A));
      Prompts.Files.push_back(SavePath);
      ed.RzNewClick();
      break;
    case TOp::Build:
    case TOp::Count:
      break;
  }
  Prompts.Clear();
}

// Down, two moves and up, as a drag on the canvas.
void TSession::TImpl::Drag(const TStep& s) {
  int32_t x0 = s.A * 2, y0 = s.B, x1 = s.C * 2, y1 = s.D;
  Editor.SWF1MouseDown(x0, y0);
  Editor.SWF1MouseMove((x0 + x1) / 2, (y0 + y1) / 2);
  Editor.SWF1MouseMove(x1, y1);
  Editor.SWF1MouseUp();
}

// Another program, or the user, changed the copied text: a line replaced or
// removed, or the text cut.
void TSession::TImpl::AlterClipboard(const TStep& s) {
  std::string& text = Clipboard.Content;
  std::vector<std::string> lines = SplitLines(text);
  size_t line = size_t(uint32_t(s.A)) % lines.size();
  switch (uint32_t(s.B) % 3) {
    case 0:
      lines[line] = s.Text;
      text = JoinLines(lines);
      break;
    case 1:
      lines.erase(lines.begin() + long(line));
      text = JoinLines(lines);
      break;
    default:
      text.resize(text.size() * size_t(uint8_t(s.A)) / 255);
  }
}

void TSession::TImpl::AnswerColorDialog(const TStep& s) {
  int32_t c = s.C, d = s.D;
  switch (uint32_t(s.B) % 5) {
    case 0:
      return;  // cancelled
    case 1:
      Prompts.Colors.push_back([c](editor::TColorDialog& dlg) { dlg.ClickSwatch(1 + c % 92); });
      break;
    case 2:
      Prompts.Colors.push_back(
          [c, d](editor::TColorDialog& dlg) { dlg.PickSquare(c - 20, d - 20); });
      break;
    case 3:
      Prompts.Colors.push_back([c](editor::TColorDialog& dlg) { dlg.PickHue(c - 20); });
      break;
    default:
      Prompts.Colors.push_back([c, d](editor::TColorDialog& dlg) {
        char code[8];
        std::snprintf(code, sizeof code, "#%02X%02X%02X", c, d, c ^ d);
        dlg.CodeEnter();
        dlg.CodeChanged(std::string(code, size_t(1 + (c + d) % 7)));
        dlg.CodeExit();
      });
  }
}

std::optional<std::string> InvalidDocument(editor::TEditor& editor) {
  const TProjectDocument& d = editor.Doc();
  if (d.FrameCount < 1 || d.Frames.size() != size_t(d.FrameCount) + 1)
    return "the frame list does not match the frame count";
  if (d.CurrentFrame < 1 || d.CurrentFrame > d.FrameCount) return "the current frame is outside";
  if (d.Settings.MWidth < 1 || d.Settings.MHeight < 1) return "the stage is empty";
  for (int32_t i = 1; i <= d.FrameCount; ++i)
    if (d.Frames[size_t(i)].Delay < 1) return "frame " + std::to_string(i) + " has no delay";
  const editor::TPropertyPanel& p = editor.Panel();
  for (int c = 0; c < editor::CtlCount; ++c)
    if (editor::IsSpinField(TCtl(c)) && p[TCtl(c)].Min > p[TCtl(c)].Max)
      return "the limits of field " + std::to_string(c) + " are reversed";
  int s = editor.CurrentObject();
  if (s != 0 && d.Frames[size_t(d.CurrentFrame)].Slots[s].Object == project::skNone)
    return "the current object is not in the current frame";
  return std::nullopt;
}

std::optional<std::string> TSession::TImpl::UndoLies(const TModel& before, const TModel& after,
                                                     size_t stepsBefore) {
  const editor::THistory& h = Editor.History();
  if (!h.CanUndo()) return std::nullopt;
  bool newStep = h.StepCount() == stepsBefore + 1;
  Editor.Undo();
  if (newStep && !Holds(Doc(), before)) return "undo does not give the document before the step";
  if (!h.CanRedo()) return "nothing to redo after an undo";
  Editor.Redo();
  if (!Holds(Doc(), after)) return "undo and redo change the document";
  return std::nullopt;
}

// A build may refuse the document with a message (a platform error); any
// other error is a fault, and so is a movie the player reads with warnings.
std::optional<std::string> BuildsFail(const TProjectDocument& doc) {
  for (bool whole : {false, true}) {
    TProjectDocument copy = doc;
    editor::TBuiltMovie movie;
    try {
      movie = editor::BuildMovieFile(copy, whole);
    } catch (const platform::TVellumetError&) {
      continue;
    } catch (const std::exception& e) {
      return std::string("the build failed inside: ") + e.what();
    }
    std::optional<std::string> problem;
    try {
      player::TMovie m = player::ReadMovieFile(movie.Path);
      if (!m.Warnings.empty()) problem = "the player warns: " + m.Warnings[0];
    } catch (const std::exception& e) {
      problem = std::string("the player refuses the build: ") + e.what();
    }
    std::filesystem::remove(movie.Path);
    if (problem) return problem;
  }
  return std::nullopt;
}

std::optional<std::string> SaveOpenDiffers(const TProjectDocument& doc, const std::string& folder) {
  const std::string first = folder + "/check-1.sw0", second = folder + "/check-2.sw0";
  TProjectDocument copy = doc;
  try {
    copy.SaveMV_NEW(first);
  } catch (const platform::TVellumetError& e) {
    return std::string("the document cannot be saved: ") + e.what();
  }
  TProjectDocument opened;
  opened.TempDir = copy.TempDir;
  if (!opened.OpenMV(first)) return "the saved document does not open";
  if (opened.FrameCount != copy.FrameCount || opened.Settings.MWidth != copy.Settings.MWidth)
    return "the opened document differs";
  opened.SaveMV_NEW(second);
  if (ReadAll(first) != ReadAll(second)) return "saved, opened and saved again differs";
  return std::nullopt;
}

namespace {

TCheckedDocuments& CheckedBuilds() {
  static TCheckedDocuments checked;
  return checked;
}

TCheckedDocuments& CheckedSaves() {
  static TCheckedDocuments checked;
  return checked;
}

}  // namespace

// The single-frame build shows the current frame, which the file does not hold.
std::optional<std::string> TSession::TImpl::CheckBuilds() {
  std::optional<std::string> key = SavedBytes(Doc());
  if (key) *key += "\ncurrent frame " + std::to_string(Doc().CurrentFrame);
  return CheckOnce(CheckedBuilds(), std::move(key), [this] { return BuildsFail(Doc()); });
}

std::optional<std::string> TSession::TImpl::CheckSaveOpen() {
  return CheckOnce(CheckedSaves(), SavedBytes(Doc()),
                   [this] { return SaveOpenDiffers(Doc(), Folder); });
}

namespace {

std::optional<std::string> UndoAllFails(editor::TEditor& editor,
                                        const std::optional<TModel>& baseline) {
  TModel end = ModelOf(editor.Doc());
  size_t steps = 0;
  while (editor.History().CanUndo() && steps++ <= editor::THistory::MaxSteps) editor.Undo();
  if (editor.History().CanUndo()) return "undo does not stop";
  if (baseline && !Holds(editor.Doc(), *baseline))
    return "undoing every step does not give the start";
  if (auto invalid = InvalidDocument(editor)) return "after undoing every step: " + *invalid;
  while (editor.History().CanRedo() && steps-- > 0) editor.Redo();
  if (!Holds(editor.Doc(), end)) return "redoing every step does not give the end";
  return std::nullopt;
}

}  // namespace

std::optional<std::string> UndoAllAndBackFails(editor::TEditor& editor) {
  return UndoAllFails(editor, std::nullopt);
}

namespace {

// EDITOR_SCRIPT_TRACE=1 prints each step and what the document holds after it.
void Trace(const TStep& step, TProjectDocument& d, const editor::TEditor& ed) {
  static const bool on = std::getenv("EDITOR_SCRIPT_TRACE") != nullptr;
  if (!on) return;
  std::string line = DescribeScript({step});
  line.resize(line.size() - 2);  // the row's ",\n"
  std::fprintf(stderr, "%s  -> %d frames, frame %d, %d objects, object %d, %zu undo steps\n",
               line.c_str(), d.FrameCount, d.CurrentFrame,
               d.Frames[size_t(d.CurrentFrame)].Slots.LastUsed(), ed.CurrentObject(),
               ed.History().StepCount());
}

}  // namespace

TSession::TSession(const std::string& folder, const std::string& fixtureDir)
    : impl_(std::make_unique<TImpl>(folder, fixtureDir)) {}

TSession::~TSession() = default;

std::optional<TFinding> TSession::Run(const TScript& script) {
  TImpl& s = *impl_;
  // The document before each step: one copy a step at most, none for a step
  // that changed nothing.
  TModel before = ModelOf(s.Doc());
  std::optional<TModel> baseline = before;
  for (size_t i = 0; i < script.size(); ++i) {
    const TStep& step = script[i];
    size_t stepsBefore = s.Editor.History().StepCount();
    s.Execute(step);
    Trace(step, s.Doc(), s.Editor);
    const bool changed = !Holds(s.Doc(), before);
    TModel changedTo = changed ? ModelOf(s.Doc()) : TModel{};
    const TModel& after = changed ? changedTo : before;
    std::optional<std::string> broken = InvalidDocument(s.Editor);
    if (!broken && step.Op != TOp::Undo && step.Op != TOp::Redo)
      broken = s.UndoLies(before, after, stepsBefore);
    if (!broken && step.Op == TOp::Build) broken = s.CheckBuilds();
    if (!broken && step.Op == TOp::SaveAs) broken = s.CheckSaveOpen();
    if (broken) return TFinding{i, *broken};
    const editor::THistory& h = s.Editor.History();
    bool replaced = step.Op == TOp::New || step.Op == TOp::Open || step.Op == TOp::Menu;
    if (replaced && h.StepCount() == 0 && !h.CanRedo()) baseline = after;
    if (h.StepCount() >= editor::THistory::MaxSteps) baseline.reset();
    if (changed) before = std::move(changedTo);
  }
  std::optional<std::string> broken = UndoAllFails(s.Editor, baseline);
  if (broken) return TFinding{script.size(), *broken};
  return std::nullopt;
}

}  // namespace vscript
