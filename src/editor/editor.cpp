// The editor's core: commands with their undo steps and error recovery, the
// document's calls back into the window, the canvas preview and the frame
// counter.
#include "editor/editor.h"

#include "moviegen/export.h"

#include <algorithm>
#include <cmath>

#include "platform/codepage.h"
#include "platform/folders.h"
#include "project/project_file.h"

namespace editor {

using project::TEditMode;
using project::TFrameRec;
using project::TShapeRec;

namespace {

// Step kinds that merge (TStepKey::Kind).
constexpr int kTypingStep = 1;
constexpr int kDragStep = 2;

uint32_t ToRGB(project::TColor c) {
  return uint32_t(project::Red(c)) << 16 | uint32_t(project::Green(c)) << 8 |
         uint32_t(project::Blue(c));
}

}  // namespace

TEditor::TEditor(const TEditorPorts& ports)
    : ports_(ports), history_(doc_), colorDialog_(ports.Prompts) {
  doc_.SetView(*this);
  history_.Clear();
}

TEditor::~TEditor() {
  DeletePreviewFile();
}

int TEditor::CurrentObject() const {
  const TControlState& box = panel_[CBox7];
  if (box.ItemIndex < 0 || size_t(box.ItemIndex) >= box.Items.size()) return 0;
  return project::TProjectDocument::GetLayerNr(box.Items[size_t(box.ItemIndex)]);
}

// ---- Commands --------------------------------------------------------------

void TEditor::Command(const std::function<void()>& body, const TStepKey& key) {
  if (depth_ > 0) {
    body();
    return;
  }
  ++depth_;
  TViewState before = ViewState();
  bool wasModified = doc_.Modified;
  try {
    bool restarted = history_.Begin(before, key);
    if (restarted) RestartRun(key);
    body();
    // Back at the run's first document without an edit: the canvas shows it.
    if (restarted && !history_.Changed()) RebuildPreview();
    if (history_.Changed()) ++revision_;
    history_.Commit(ViewState());
  } catch (const std::exception& e) {
    Recover(before, wasModified, e.what());
  }
  --depth_;
  UpdateUndoMenu();
}

void TEditor::Unrecorded(const std::function<void()>& body) {
  if (depth_ > 0) {
    body();
    return;
  }
  ++depth_;
  ++revision_;
  try {
    body();
  } catch (const std::exception& e) {
    updating_ = false;
    Fail(e.what());
  }
  --depth_;
  UpdateUndoMenu();
}

void TEditor::Fail(const std::string& why) {
  if (!why.empty()) panel_.StatusPanes[0] = why;
  ports_.Window.Beep();
}

// A failed command leaves the document as it was. A command that changed
// nothing in it (going to another frame, say) keeps its frame, so that a
// frame whose preview cannot be built can still be reached and mended.
void TEditor::Recover(const TViewState& before, bool wasModified, const std::string& why) {
  updating_ = false;
  bool changed = history_.Changed();
  history_.Rollback();
  try {
    if (changed) {
      RestoreView(before);
    } else {
      DAT(false);
    }
    doc_.Modify(wasModified);
  } catch (const std::exception&) {
    updating_ = false;
  }
  Fail(why);
}

// The document is as the run found it again; the panel shows it, except the
// field being typed into, which keeps what the user typed.
void TEditor::RestartRun(const TStepKey& key) {
  bool typing = key.Kind == kTypingStep;
  std::string typed = typing ? panel_[TCtl(key.Control)].Text : std::string();
  DAT(true);
  if (typing) panel_[TCtl(key.Control)].Text = typed;
}

TStepKey TEditor::TypingKey(TCtl control) const {
  if (dragging_) return {kDragStep, 0, doc_.CurrentFrame, CurrentObject()};
  bool typed = IsSpinField(control) || control == CWidth || control == CHeight ||
               control == CDelay || control == EText || control == MainURL || control == EURL;
  if (!typed) return {};
  return {kTypingStep, int(control), doc_.CurrentFrame, CurrentObject()};
}

void TEditor::HandleError(const std::string& why) {
  updating_ = false;
  Fail(why);
}

// ---- Undo ------------------------------------------------------------------

TViewState TEditor::ViewState() const {
  return {doc_.CurrentFrame, CurrentObject(), doc_.SelectedSlots};
}

void TEditor::RestoreView(const TViewState& view) {
  doc_.CurrentFrame = std::clamp(view.CurrentFrame, 1, doc_.FrameCount);
  doc_.SelectedSlots = view.Selected;
  preferredSlot_ = view.Slot;
  DAT(false);
}

void TEditor::AfterHistoryMove(const TViewState& view, int32_t oldWidth, int32_t oldHeight) {
  ClosePreview();
  RestoreView(view);
  doc_.Modify(!history_.AtSavedState());
  RebuildPreview(doc_.Settings.MWidth != oldWidth || doc_.Settings.MHeight != oldHeight);
}

void TEditor::Undo() {
  MoveHistory(true);
}

void TEditor::Redo() {
  MoveHistory(false);
}

// An undo or redo whose preview cannot be built is taken back.
void TEditor::MoveHistory(bool undo) {
  if (depth_ > 0 || !(undo ? history_.CanUndo() : history_.CanRedo())) return;
  ++depth_;
  ++revision_;
  TViewState before = ViewState();
  bool wasModified = doc_.Modified;
  int32_t w = doc_.Settings.MWidth, h = doc_.Settings.MHeight;
  TViewState view = undo ? history_.Undo() : history_.Redo();
  try {
    AfterHistoryMove(view, w, h);
  } catch (const std::exception& e) {
    updating_ = false;
    if (undo)
      history_.Redo();
    else
      history_.Undo();
    try {
      RestoreView(before);
      doc_.Modify(wasModified);
    } catch (const std::exception&) {
      updating_ = false;
    }
    Fail(e.what());
  }
  --depth_;
  UpdateUndoMenu();
}

void TEditor::UpdateUndoMenu() {
  panel_.Menu(miUndo).Enabled = history_.CanUndo();
  panel_.Menu(miRedo).Enabled = history_.CanRedo();
}

project::TMovieSettings& TEditor::EditSettings() {
  history_.SaveSettings();
  return doc_.Settings;
}

TFrameRec& TEditor::EditFrame(int32_t frame) {
  history_.SaveFrame(frame);
  return doc_.Frames[size_t(frame)];
}

TShapeRec& TEditor::EditSlot(int32_t frame, int slot) {
  history_.SaveSlot(frame, slot);
  return doc_.Frames[size_t(frame)].Slots.Edit(slot);
}

// ---- The document's calls --------------------------------------------------

// Sets the mode before `mode` and advances once, as start-up and open do.
void TEditor::SetEditMode(TEditMode mode) {
  switch (mode) {
    case TEditMode::emAnimation:
      mode_ = TEditMode::emAllFrames;
      break;
    case TEditMode::emLocked:
      mode_ = TEditMode::emAnimation;
      break;
    case TEditMode::emAllFrames:
      mode_ = TEditMode::emLocked;
      break;
  }
  RzLockClick();
}

void TEditor::NewProjectShown() {
  panel_[CBox7].ItemIndex = -1;
  preferredSlot_ = 0;
  panel_.Menu(miSaveProject).Enabled = false;
  try {
    DAT(false);
    RebuildPreview();
  } catch (const std::exception& e) {
    HandleError(e.what());
  }
}

void TEditor::EnableClose(bool enabled) {
  panel_.Menu(miClose).Enabled = enabled;
}

void TEditor::ModifiedChanged(bool) {
  UpdateCaption();
}

void TEditor::UpdateCaption() {
  panel_.Caption =
      std::string(platform::FileNamePart(doc_.ProjectFileName)) + (doc_.Modified ? "*" : "");
  panel_.Title = panel_.Caption;
}

void TEditor::ProjectOpened(const std::string& path) {
  justOpened_ = true;
  if (!restoring_) {
    mrud_write(path);
    mrud_read();
  }
  panel_.Menu(miSaveProject).Enabled = true;
  panel_[CBox7].ItemIndex = -1;
  preferredSlot_ = 0;
  try {
    DAT(false);
    if (!CWidthChange(CWidth)) RebuildPreview();
  } catch (const std::exception& e) {
    HandleError(e.what());
  }
}

void TEditor::OpenFinished() {
  try {
    ShowFrame(1);
  } catch (const std::exception& e) {
    HandleError(e.what());
  }
  justOpened_ = false;
  const std::vector<TMissingMedia> missing = MissingMedia();
  if (missing.empty()) return;
  std::string text =
      "These media files of the project are missing; the objects that use them "
      "are shown without them:";
  for (const TMissingMedia& m : missing)
    text += "\n" + platform::Cp1252ToUtf8(m.Stored) + " (" + m.Remedy + ")";
  Warn(text);
}

namespace {

// The remedies name the buttons as the panel captions them while a file is
// chosen.
const char* const kBackgroundSoundRemedy =
    "the background sound: choose it again with \"Replace Sound...\" on the Movie page";
const char* const kButtonSoundRemedy =
    "a button's sound: choose it again with \"Replace Sound...\" on the Objects page";

const char* ObjectFileRemedy(const TShapeRec& r) {
  if (r.Object == project::skPicture)
    return "a picture: choose it again with \"Replace Picture...\" on the Objects page";
  if (r.Object == project::skButton)
    return "a button's glyph: choose it again with \"Replace Glyph...\" on the Objects page";
  return "a fill bitmap: choose it again with \"Load Bitmap...\" on the Objects page";
}

}  // namespace

std::vector<TEditor::TMissingMedia> TEditor::MissingMedia() const {
  std::vector<TMissingMedia> missing;
  auto check = [&](const std::string& stored, const char* remedy) {
    if (stored.empty() || stored == "0") return;
    for (const TMissingMedia& m : missing)
      if (m.Stored == stored) return;
    if (project::ResolveMediaPath(stored, doc_.TempDir, doc_.ProgramDir).empty())
      missing.push_back({stored, remedy});
  };
  check(doc_.Settings.MBkgrSound, kBackgroundSoundRemedy);
  for (int32_t i = 1; i <= doc_.FrameCount; ++i) {
    const project::TSlotArray& slots = doc_.Frames[size_t(i)].Slots;
    for (int s = 1; s <= slots.LastUsed(); ++s) {
      const TShapeRec& r = slots[s];
      if (r.TextIsFile()) check(r.Text, ObjectFileRemedy(r));
      if (r.Object == project::skButton) check(r.SoundEv, kButtonSoundRemedy);
    }
  }
  return missing;
}

void TEditor::ProjectSaved(const std::string& path) {
  mrud_write(path);
  mrud_read();
}

void TEditor::ShowError(const std::string& message, const std::string&) {
  ports_.Prompts.MessageBox(message, "Vellumet", TMsgIcon::Error, TMsgButtons::Ok);
}

// ---- Preview ---------------------------------------------------------------

void TEditor::RebuildPreview(bool refresh) {
  if (updating_) return;
  const project::TMovieSettings& m = doc_.Settings;
  ports_.Player.SetStageSize(m.MWidth, m.MHeight);
  const TBuiltFrame movie = ports_.Builder.BuildCurrentFrame(doc_);
  for (const std::string& warning : movie.Warnings) Warn(warning);
  const TFrameRec& f = Current();
  if (f.AddGrad != 1 && f.BkgrColor == m.MBkgrColor)
    ports_.Player.SetBackgroundColor(ToRGB(m.MBkgrColor));
  ports_.Player.LoadMovie(movie.Swf);
  if (refresh) ports_.Player.Refresh();
  ShowFrame(doc_.CurrentFrame);
  ShowDerivedSize();
}

void TEditor::ShowFrame(int32_t frame) {
  frame = std::clamp(frame, 1, doc_.FrameCount);
  int64_t player = 0;
  for (int32_t i = 1; i < frame; ++i) player += doc_.Frames[size_t(i)].Delay / 100;
  ports_.Player.GotoFrame(int32_t(std::clamp<int64_t>(player, 0, INT32_MAX)));
  doc_.CurrentFrame = frame;
  panel_.StatusPanes[1] = moviegen::FrameCounterText(doc_, doc_.CurrentFrame);
}

void TEditor::Warn(const std::string& text) {
  ports_.Prompts.MessageBox(text, "Vellumet", TMsgIcon::Warning, TMsgButtons::Ok);
}

// ---- Menu ------------------------------------------------------------------

void TEditor::MenuClick(TMenuItem item) {
  if (!panel_.Menu(item).Enabled) return;
  switch (item) {
    case miNewProject:
    case miClose:
      RzNewClick();
      break;
    case miOpenProject:
      RzOpenClick();
      break;
    case miSaveProject:
      RzSaveClick();
      break;
    case miSaveProjectAs:
      RzSaveasClick();
      break;
    case miExit:
      ports_.Window.RequestClose();
      break;
    case miRecent1:
    case miRecent2:
    case miRecent3:
    case miRecent4:
    case miRecent5:
      mrud1Click(int(item - miRecent1) + 1);
      break;
    case miUndo:
      Undo();
      break;
    case miRedo:
      Redo();
      break;
    case miCopyFrame:
      TBItem25Click();
      break;
    case miPasteFrame:
      TBItem26Click();
      break;
    case miCopyObject:
      TBItem18Click();
      break;
    case miPasteObject:
      TBItem19Click();
      break;
    case miDeleteObject:
      btnClearShapeLayerClick();
      break;
    case miLockFrames:
      RzLockClick();
      break;
    case miShowTips:
      panel_.Menu(miShowTips).Checked = !panel_.Menu(miShowTips).Checked;
      break;
    case miContents:
      TBItem15Click();
      break;
    default:
      break;
  }
}

}  // namespace editor
