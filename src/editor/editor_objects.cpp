// The object commands (new, remove, copy, paste, images and sounds) and the
// canvas: pointing, selecting, dragging and the keys of the main window.
#include <algorithm>
#include <filesystem>

#include "editor/clipboard_text.h"
#include "editor/editor.h"
#include "editor/media_names.h"
#include "media/picture_decoder.h"
#include "editor/object_box.h"
#include "platform/codepage.h"
#include "platform/folders.h"
#include "project/project_file.h"
#include "project/record_fields.h"

namespace editor {

using project::TEditMode;
using project::TShapeKind;
using project::TShapeRec;

namespace {

constexpr const char* kPictureFilter =
    "All supported Graphic Files|*.jpg;*.jpeg;*.bmp|Bitmaps (*.BMP)|*.bmp|JPEG (*.JPG; *.JPEG; "
    "*.JPE; *.JFIF; *.JIF)|*.jpg;*.jpeg";
constexpr const char* kBitmapFilter = "Bitmaps (*.BMP)|*.bmp";
// The sound readers take MP3 files as well as wave files.
constexpr const char* kSoundFilter =
    "All supported Sound Files|*.wav;*.mp3|Wave-Files (*.wav)|*.wav|MP3 Files (*.mp3)|*.mp3";

std::string Label(int slot, int kind) {
  return "Object " + std::to_string(slot) + std::string(project::KindSuffix(kind));
}

bool DirectoryExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

std::string Folder(const std::string& path) {
  std::string folder(platform::FolderPart(path));
  if (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  return folder;
}

std::string ModelPath(const std::string& native) {
  std::string text = platform::Utf8ToCp1252(native);
  if (text.size() > project::MaxStringLength) text.resize(project::MaxStringLength);
  return text;
}

bool Inside(int64_t low, int64_t p, int64_t high) {
  return low < p && p < high;
}

}  // namespace

// ---- New objects -----------------------------------------------------------

void TEditor::CreateObject(int slot, TShapeKind kind, int32_t first, int32_t last) {
  if (mode_ == TEditMode::emAllFrames) {
    first = 1;
    last = doc_.FrameCount;
  } else if (mode_ == TEditMode::emLocked) {
    first = last = doc_.CurrentFrame;
  }
  for (int32_t i = std::max(first, 1); i <= std::min(last, doc_.FrameCount); ++i)
    history_.SaveSlot(i, slot);
  doc_.CreateEmptyShape(slot, kind, first, last, mode_);
}

// Appends the new object's entry and selects it; the list rebuilt by the
// next refresh keeps the object selected (or, where it does not exist, the
// entry's position).
void TEditor::SelectNew(int slot, TShapeKind kind) {
  TControlState& box = panel_[CBox7];
  box.Items.push_back(Label(slot, kind));
  box.ItemIndex = int(box.Items.size()) - 1;
  preferredSlot_ = slot;
  panel_.StatusPanes[3] = modeHint_;  // the pointer is no longer over an object
}

void TEditor::btnNewShapeClick(TShapeKind kind) {
  if (kind < project::skRectangle || kind > project::skText) return;
  Command([&] {
    doc_.SelectedSlots.reset();
    int s = doc_.GetMinFreeShapeNr();
    if (s > project::MaxShapeSlots) {
      Warn("Could not add a new object. The maximal number of objects is 255.");
      return;
    }
    std::string label = Label(s, kind);
    int32_t k = doc_.CurrentFrame, from = 1, to = doc_.FrameCount;
    if (mode_ == TEditMode::emAnimation) {
      if (!AskFrameRange("Specifying the Target Frames",
                         label + " will be inserted into the frames:", k, doc_.FrameCount, from,
                         to))
        return;
    } else {
      std::string text = mode_ == TEditMode::emLocked
                             ? label + " will be inserted into frame " + std::to_string(k) + "."
                             : label + " will be inserted to all of the frames.";
      if (ports_.Prompts.MessageBox(text, "Vellumet", TMsgIcon::Information,
                                    TMsgButtons::OkCancel) != TMsgResult::Ok)
        return;
      if (mode_ == TEditMode::emLocked) from = to = k;
    }
    CreateObject(s, kind, from, to);
    SelectNew(s, kind);
    panel_.ActivePage = TPage::Objects;
    doc_.CurrentFrame = std::clamp(from, 1, doc_.FrameCount);
    DAT(false);
    if (!CWidthChange(CWidth)) RebuildPreview();
    doc_.Modify(true);
  });
}

void TEditor::WriteSlotText(int slot, const std::string& text, bool everyFrame) {
  for (int32_t i = 1; i <= doc_.FrameCount; ++i)
    if ((everyFrame || i == doc_.CurrentFrame) && Slot(i, slot).Text != text)
      EditSlot(i, slot).Text = text;
}

void TEditor::btnPictureClick(TPictureButton button) {
  Command([&] {
    bool locked = mode_ == TEditMode::emLocked;
    if (button == TPictureButton::FillBitmap) {
      int s = CurrentObject();
      if (s <= 0 || !panel_[btnFillBitmap].Enabled) return;
      TFileDialogRequest request{PictureDir, ExistingMediaFile(Slot(doc_.CurrentFrame, s).Text),
                                 kPictureFilter, "", false, "Fill Bitmap"};
      std::optional<std::string> path = ports_.Prompts.OpenFileDialog(request);
      if (!path || !UsablePicture(*path)) return;
      PictureDir = Folder(*path);
      WriteSlotText(s, ModelPath(*path), !locked);
      DAT(false);
      RebuildPreview();
      doc_.Modify(true);
      return;
    }
    bool picture = button == TPictureButton::NewPicture;
    TFileDialogRequest request{"",    "", picture ? kPictureFilter : kBitmapFilter, "", false,
                               picture ? "New Picture" : "New Button Glyph"};
    if (picture)
      request.InitialDir = PictureDir;
    else if (DirectoryExists(doc_.ProgramDir + "Buttons"))
      request.InitialDir = doc_.ProgramDir + "Buttons";
    std::optional<std::string> path = ports_.Prompts.OpenFileDialog(request);
    if (path) AddPictureObject(picture ? project::skPicture : project::skButton, *path, nullptr);
  });
}

// Checked before anything is asked or changed, so the message names the
// user's file (not the copy the build makes of it) and nothing is added.
bool TEditor::UsablePicture(const std::string& path) {
  const std::string problem = media::PictureFileProblem(path);
  if (problem.empty()) return true;
  ports_.Prompts.MessageBox(problem, "Vellumet", TMsgIcon::Warning, TMsgButtons::Ok);
  return false;
}

// A new picture or button showing the file at `path`; `at` places it (stage
// pixels) in every frame it is created in.
void TEditor::AddPictureObject(TShapeKind kind, const std::string& path, const TPoint* at) {
  if (!UsablePicture(path)) return;
  bool locked = mode_ == TEditMode::emLocked;
  int s = doc_.GetMinFreeShapeNr();
  if (s > project::MaxShapeSlots) {
    Warn("Could not add a new object. The maximal number of objects is 255.");
    return;
  }
  std::string label = Label(s, kind);
  if (kind == project::skPicture) PictureDir = Folder(path);
  int32_t from = 0, to = 0;
  if (!AskFrameRange("Specifying the Target Frames", label + " will be inserted into the frames:",
                     doc_.CurrentFrame, doc_.FrameCount, from, to))
    return;
  doc_.SelectedSlots.reset();
  CreateObject(s, kind, from, to);
  WriteSlotText(s, ModelPath(path), !locked);
  if (at) {
    for (int32_t i = 1; i <= doc_.FrameCount; ++i) {
      if (Slot(i, s).Object != kind) continue;
      TShapeRec& r = EditSlot(i, s);
      r.X = at->X;
      r.Y = at->Y;
    }
  }
  SelectNew(s, kind);
  panel_.ActivePage = TPage::Objects;
  DAT(false);
  RebuildPreview();
  doc_.Modify(true);
}

// ---- Remove, select, copy, paste -------------------------------------------

void TEditor::btnClearShapeLayerClick() {
  Command([&] {
    TControlState& box = panel_[CBox7];
    int s = CurrentObject();
    if (box.ItemIndex < 0 || s <= 0) return;
    bool locked = mode_ == TEditMode::emLocked;
    std::string entry = box.Items[size_t(box.ItemIndex)];
    std::string question = doc_.FrameCount < 2 || locked
                               ? entry + " will be removed from the current frame. Continue?"
                               : entry + " will be removed from all frames. Continue?";
    if (ports_.Prompts.MessageBox(question, "Vellumet", TMsgIcon::Question, TMsgButtons::YesNo) !=
        TMsgResult::Yes)
      return;
    for (int32_t i = 1; i <= doc_.FrameCount; ++i)
      if ((!locked || i == doc_.CurrentFrame) && Slot(i, s).Object != project::skNone)
        EditSlot(i, s).Object = project::skNone;
    if (box.Items.size() == 1)
      box.ItemIndex = -1;
    else if (size_t(box.ItemIndex) == box.Items.size() - 1)
      box.ItemIndex = 0;
    DAT(false);
    RebuildPreview();
    doc_.Modify(true);
  });
}

void TEditor::CBox7Change(bool fromSelector) {
  Command([&] {
    int s = CurrentObject();
    bool mark = s > 0 && doc_.SelectedSlots.test(size_t(s));
    doc_.SelectedSlots.reset();
    if (s > 0) doc_.SelectedSlots.set(size_t(s), fromSelector ? !mark : mark);
    DAT(true);
    RebuildPreview();
  });
}

void TEditor::TBItem18Click() {
  int s = CurrentObject();
  if (panel_[CBox7].ItemIndex < 0 || s <= 0) return;
  std::string text = ObjectClipboardText(Slot(doc_.CurrentFrame, s));
  ports_.Clipboard.SetText(platform::Cp1252ToUtf8(text));
}

// A text that does not read to its end, or names no object kind, changes
// nothing (and beeps).
void TEditor::TBItem19Click() {
  Command([&] {
    int s = doc_.GetMinFreeShapeNr();
    if (s > project::MaxShapeSlots) {
      Warn("Could not add a new object. The maximal number of objects is 255.");
      return;
    }
    std::string text = platform::Utf8ToCp1252(ports_.Clipboard.Text());
    if (text.compare(0, ObjectMarker.size(), ObjectMarker) != 0) return;
    TShapeRec shape = ParseObjectText(text);
    if (shape.Object < project::skRectangle || shape.Object > project::skButton)
      throw TEditorError("The clipboard holds no object");
    shape.X = shape.Y = shape.Object == project::skCircle ? 28
                        : shape.Object == project::skStar ? 30
                                                          : 1;
    bool locked = mode_ == TEditMode::emLocked;
    for (int32_t i = 1; i <= doc_.FrameCount; ++i)
      if (!locked || i == doc_.CurrentFrame) EditSlot(i, s) = shape;
    SelectNew(s, TShapeKind(shape.Object));
    panel_.ActivePage = TPage::Objects;
    DAT(false);
    if (!CWidthChange(CWidth)) RebuildPreview();
    doc_.Modify(true);
  });
}

// ---- Images and sounds of objects ------------------------------------------

// Files picked inside the program folder are stored relative to it (with
// Windows separators, as the program's own samples are); others whole.
std::string TEditor::StoredMediaName(const std::string& path) const {
  const std::string& program = doc_.ProgramDir;
  if (!program.empty() && path.compare(0, program.size(), program) == 0) {
    std::string relative = path.substr(program.size());
    std::replace(relative.begin(), relative.end(), '/', '\\');
    return ModelPath(relative);
  }
  return ModelPath(path);
}

// The native path of a stored media name that has a folder and names an
// existing file; "" otherwise.
std::string TEditor::ExistingMediaFile(const std::string& stored) const {
  if (!HasFolder(stored)) return "";
  return project::ResolveMediaPath(stored, doc_.TempDir, doc_.ProgramDir);
}

void TEditor::btnReplacePictureClick() {
  Command([&] {
    int s = CurrentObject();
    if (s <= 0) return;
    uint8_t kind = Slot(doc_.CurrentFrame, s).Object;
    if (kind != project::skPicture && kind != project::skButton) return;
    bool picture = kind == project::skPicture;
    TFileDialogRequest request{picture ? PictureDir : doc_.ProgramDir + "Buttons",
                               ExistingMediaFile(Slot(doc_.CurrentFrame, s).Text),
                               picture ? kPictureFilter : kBitmapFilter, "", false,
                               picture ? "Replace Picture" : "Replace Glyph"};
    std::optional<std::string> path = ports_.Prompts.OpenFileDialog(request);
    if (!path || !UsablePicture(*path)) return;
    if (picture) PictureDir = Folder(*path);
    WriteSlotText(s, StoredMediaName(*path), mode_ != TEditMode::emLocked);
    DAT(false);
    RebuildPreview();
    doc_.Modify(true);
  });
}

void TEditor::btnClearPictureClick() {
  Command([&] {
    int s = CurrentObject();
    if (s <= 0) return;
    uint8_t kind = Slot(doc_.CurrentFrame, s).Object;
    if (kind != project::skPicture && kind != project::skButton) return;
    WriteSlotText(s, "", mode_ != TEditMode::emLocked);
    DAT(false);
    RebuildPreview();
    doc_.Modify(true);
  });
}

void TEditor::btnClearFillBitmapClick() {
  Command([&] {
    int s = CurrentObject();
    if (s <= 0 || !panel_[btnClearFillBitmap].Enabled) return;
    WriteSlotText(s, "", mode_ != TEditMode::emLocked);
    DAT(false);
    RebuildPreview();
    doc_.Modify(true);
  });
}

void TEditor::btnReplaceSoundEvClick(TSoundButton button) {
  Command([&] {
    bool background = button == TSoundButton::BackgroundSound;
    int s = CurrentObject();
    if (!background && (s <= 0 || Slot(doc_.CurrentFrame, s).Object != project::skButton)) return;
    const std::string& stored =
        background ? doc_.Settings.MBkgrSound : Slot(doc_.CurrentFrame, s).SoundEv;
    TFileDialogRequest request{"", ExistingMediaFile(stored), kSoundFilter, "", false,
                               background ? "Background Sound" : "Button Sound"};
    std::optional<std::string> path = ports_.Prompts.OpenFileDialog(request);
    if (!path) return;
    std::string name = StoredMediaName(*path);
    if (background) {
      EditSettings().MBkgrSound = name;
    } else {
      for (int32_t i = 1; i <= doc_.FrameCount; ++i)
        if (mode_ != TEditMode::emLocked || i == doc_.CurrentFrame) EditSlot(i, s).SoundEv = name;
    }
    DAT(false);
    doc_.Modify(true);
  });
}

void TEditor::btnClearSoundEvClick(TSoundButton button) {
  Command([&] {
    if (button == TSoundButton::BackgroundSound) {
      EditSettings().MBkgrSound.clear();
    } else {
      int s = CurrentObject();
      if (s <= 0 || Slot(doc_.CurrentFrame, s).Object != project::skButton) return;
      for (int32_t i = 1; i <= doc_.FrameCount; ++i)
        if ((mode_ != TEditMode::emLocked || i == doc_.CurrentFrame) && !Slot(i, s).SoundEv.empty())
          EditSlot(i, s).SoundEv.clear();
    }
    DAT(false);
    doc_.Modify(true);
  });
}

// ---- Canvas ----------------------------------------------------------------

// Rotation is ignored and the comparisons are strict: a point on an edge is
// outside.
int TEditor::HitTest(int32_t x, int32_t y) const {
  const project::TSlotArray& slots = doc_.Frames[size_t(doc_.CurrentFrame)].Slots;
  int hit = 0;
  int last = slots.LastUsed();
  for (int n = 1; n <= last; ++n) {
    if (slots[n].Object == project::skNone) continue;
    const TObjectBox box = ObjectBox(slots[n]);
    if (Inside(box.Left, x, box.Right) && Inside(box.Top, y, box.Bottom)) hit = n;
  }
  return hit;
}

std::vector<TOutline> TEditor::SelectionOutlines() const {
  std::vector<TOutline> outlines;
  const project::TSlotArray& slots = doc_.Frames[size_t(doc_.CurrentFrame)].Slots;
  for (int n = 1; n <= slots.LastUsed(); ++n)
    if (doc_.SelectedSlots.test(size_t(n)) && slots[n].Object != project::skNone)
      outlines.push_back(TurnedOutline(slots[n]));
  return outlines;
}

void TEditor::UpdatePointer(int32_t x, int32_t y) {
  int hit = HitTest(x, y);
  if (hit > 0) {
    panel_.StatusPanes[3] = Label(hit, Slot(doc_.CurrentFrame, hit).Object);
    panel_.Cursor = TCursor::HandPoint;
  } else {
    panel_.StatusPanes[3] = modeHint_;
    panel_.Cursor = TCursor::Arrow;
  }
}

void TEditor::SWF1MouseMove(int32_t x, int32_t y) {
  if (dragging_)
    DragTo(x, y);
  else
    UpdatePointer(x, y);
}

// A drag is one edit: each step starts again from the document as the drag
// found it and moves the object by the pointer's way since the press, through
// the X and Y fields, so the edit mode decides which frames move.
void TEditor::DragTo(int32_t x, int32_t y) {
  Command(
      [&] {
        int s = CurrentObject();
        if (s <= 0) return;
        const TShapeRec& r = Slot(doc_.CurrentFrame, s);
        int64_t newX = int64_t(r.X) + (int64_t(x) - dragX_);
        int64_t newY = int64_t(r.Y) + (int64_t(y) - dragY_);
        SetText(SE11, std::to_string(std::clamp<int64_t>(newX, INT32_MIN, INT32_MAX)));
        SetText(SE12, std::to_string(std::clamp<int64_t>(newY, INT32_MIN, INT32_MAX)));
      },
      TypingKey(SE11));
}

void TEditor::SWF1MouseDown(int32_t x, int32_t y) {
  UpdatePointer(x, y);
  TControlState& box = panel_[CBox7];
  const std::string& pane = panel_.StatusPanes[3];
  auto entry = std::find(box.Items.begin(), box.Items.end(), pane);
  if (pane != modeHint_ && entry != box.Items.end()) {
    dragX_ = x;
    dragY_ = y;
    dragging_ = true;
    box.ItemIndex = int(entry - box.Items.begin());
    CBox7Change(true);
    panel_.ActivePage = TPage::Objects;
    panel_.Menu(miCopyObject).Enabled = true;
    panel_.Menu(miDeleteObject).Enabled = true;
  } else if ((pane == modeHint_ || pane.empty()) && box.ItemIndex >= 0) {
    Panel1MouseDown();
  }
}

void TEditor::SWF1MouseUp() {
  dragging_ = false;
  history_.EndRun();
}

void TEditor::Panel1MouseMove() {
  panel_.StatusPanes[3] = modeHint_;
  panel_.Cursor = TCursor::Arrow;
}

void TEditor::Panel1MouseDown() {
  if (panel_[CBox7].ItemIndex < 0) return;
  ClearObjectMenu();
  int s = CurrentObject();
  if (s > 0 && doc_.SelectedSlots.test(size_t(s))) {
    doc_.SelectedSlots.reset(size_t(s));
    CBox7Change(false);
  }
}

bool TEditor::FormKeyDown(int key, TShiftState shift, bool playerFocused) {
  bool plain = !shift.Ctrl && !shift.Shift && !shift.Alt;
  if (key == VK_ESCAPE && plain) {
    ports_.Window.RequestClose();
    return true;
  }
  if (key == VK_F1 && plain) {
    TBItem15Click();
    return true;
  }
  if (FrameOrModeKey(key, shift)) return true;
  if (key == VK_DELETE && playerFocused && panel_[btnClearShapeLayer].Enabled) {
    btnClearShapeLayerClick();
    return true;
  }
  if (playerFocused && !shift.Ctrl && !shift.Alt && NudgeCurrentObject(key, shift.Shift ? 10 : 1))
    return true;
  if (!shift.Ctrl || shift.Shift || shift.Alt) return false;
  struct TShortcut {
    char Key;
    TMenuItem Item;
  };
  static constexpr TShortcut kShortcuts[] = {
      {'N', miNewProject},  {'O', miOpenProject}, {'S', miSaveProject}, {'C', miCopyObject},
      {'V', miPasteObject}, {'Z', miUndo},        {'Y', miRedo}};
  EditMenuPopup();
  for (const TShortcut& s : kShortcuts) {
    // A project without a file yet is saved under a name the user gives.
    TMenuItem item =
        s.Item == miSaveProject && !panel_.Menu(s.Item).Enabled ? miSaveProjectAs : s.Item;
    if (key != s.Key || !panel_.Menu(item).Enabled) continue;
    MenuClick(item);
    return true;
  }
  return false;
}

// The arrow keys move the current object by a pixel (ten with Shift) through
// the same fields a drag writes, so the edit mode spreads the move.
bool TEditor::NudgeCurrentObject(int key, int32_t step) {
  int32_t dx = key == VK_LEFT ? -step : key == VK_RIGHT ? step : 0;
  int32_t dy = key == VK_UP ? -step : key == VK_DOWN ? step : 0;
  int s = CurrentObject();
  if ((dx == 0 && dy == 0) || s <= 0) return false;
  const TShapeRec& r = Slot(doc_.CurrentFrame, s);
  if (dx != 0) SetText(SE11, std::to_string(int64_t(r.X) + dx));
  if (dy != 0) SetText(SE12, std::to_string(int64_t(r.Y) + dy));
  return true;
}

}  // namespace editor
