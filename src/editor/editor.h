#pragma once
// The main window's editing logic (TfrmMain without its widgets): the edit
// modes, the property panel and how an edit spreads over the frames, the
// frame and object commands, the canvas, colour edits, settings, recent
// files, the project commands, preview and export, and undo.
//
// The window calls the operations below for its control events and then
// shows Panel(). Every operation that can change the document runs as one
// command: its changes become one undo step, and an error inside it puts the
// document back as it was, keeps the editor usable and beeps.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/color_dialog.h"
#include "editor/history.h"
#include "editor/interfaces.h"
#include "editor/object_box.h"
#include "editor/panel.h"
#include "editor/small_dialogs.h"
#include "project/document.h"

namespace editor {

enum class TNavigate { First, Previous, Next, Last };
enum class TInsertWhere { BeforeFirst, AfterLast, AfterCurrent };
enum class TPictureButton { NewPicture, NewButton, FillBitmap };
enum class TSoundButton { ButtonSound, BackgroundSound };

// Keys, as Windows virtual-key codes; letters are their upper-case codes.
constexpr int VK_BACK = 0x08, VK_TAB = 0x09, VK_CONTROL = 0x11, VK_ESCAPE = 0x1B, VK_LEFT = 0x25,
              VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_DELETE = 0x2E, VK_F1 = 0x70;
constexpr int VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24;
struct TPoint {
  int32_t X = 0, Y = 0;
};
struct TShiftState {
  bool Ctrl = false, Shift = false, Alt = false;
};

// What the user is told when the desktop cannot show a page (help, an
// exported page): where the page is, so it can be opened by hand.
std::string BrowserFailureText(const std::string& page);

class TEditor : private project::IDocumentView {
 public:
  explicit TEditor(const TEditorPorts& ports);
  ~TEditor() override;
  TEditor(const TEditor&) = delete;
  TEditor& operator=(const TEditor&) = delete;

  project::TProjectDocument& Doc() { return doc_; }
  const TPropertyPanel& Panel() const { return panel_; }
  project::TEditMode EditMode() const { return mode_; }
  const std::string& ModeHint() const { return modeHint_; }
  bool Updating() const { return updating_; }
  bool Dragging() const { return dragging_; }
  bool JustOpened() const { return justOpened_; }
  // The current object's slot, 0 for none.
  int CurrentObject() const;
  const TRect& WorkArea() const { return workArea_; }
  const THistory& History() const { return history_; }
  // Counts the commands that may have changed the document: an autosave
  // knows from it whether its copy is behind.
  uint64_t Revision() const { return revision_; }
  // The dialogs, created once and kept for the whole run.
  TColorDialog& ColorDlg() { return colorDialog_; }
  TNumberDialog& NumberDlg() { return numberDialog_; }
  TLimitsDialog& LimitsDlg() { return limitsDialog_; }

  std::string PictureDir;  // native, without a trailing separator
  std::string HelpFile;

  // ---- The window's control events -------------------------------------
  // Text typed into an edit or spin field (UTF-8); raises the change event
  // when the text differs.
  void SetText(TCtl control, const std::string& text);
  void SetChecked(TCtl control, bool checked);
  void SetItemIndex(TCtl control, int index);
  // A field lost the focus: SECheckExit for the numeric fields, and a run
  // of typing into the field ends.
  void FieldExit(TCtl control);
  // Esc in a text or number field: the typing since the field took the focus
  // is taken back and the field shows the stored value again.
  void FieldEscape(TCtl control);
  // A menu item was chosen (only enabled items act).
  void MenuClick(TMenuItem item);
  // The user turned the property panel to another page.
  void SetActivePage(TPage page) { panel_.ActivePage = page; }
  // Files dropped on the canvas at stage position (x, y): the first project
  // among them opens; otherwise each BMP or JPEG picture becomes a picture
  // object there, through the same steps as "Add new Picture".
  void DropFiles(const std::vector<std::string>& paths, int32_t x, int32_t y);

  // ---- Property panel ---------------------------------------------------
  void DAT(bool keepList);
  // Applies the whole panel and spreads the sender's field; true when it
  // got as far as rebuilding the preview.
  bool CWidthChange(TCtl sender);
  void EURLChange();
  void RZB1Click();
  void RzLockClick();
  // Sets the edit mode directly, with the same effects as stepping to it.
  void ChooseEditMode(project::TEditMode mode);
  void SECheckExit(TCtl field);
  // Keys of CWidth, CHeight and CDelay: the key, or 0 when dropped.
  static char CheckEditKey(char key);

  // ---- Frame commands ---------------------------------------------------
  void RzFirstClick(TNavigate where);
  // Goes to a frame (1..FrameCount) as the navigation buttons do; others are ignored.
  void GoToFrame(int32_t frame);
  // Moves frame `from` so that it becomes frame `to`, as one step; the moved
  // frame becomes the current one. Numbers outside 1..FrameCount are ignored.
  void MoveFrame(int32_t from, int32_t to);
  void RzInsertClick();
  void RzDeleteClick();
  void RzReverseClick();
  void CFramesChange();
  void TBItem23Click(TInsertWhere where);
  void TBItem24Click();
  void TBItem25Click();
  void TBItem26Click();
  // The "Edit" menu opens: the paste items follow the clipboard.
  void EditMenuPopup();

  // ---- Object commands and canvas ---------------------------------------
  void btnNewShapeClick(project::TShapeKind kind);
  void btnPictureClick(TPictureButton button);
  void btnClearShapeLayerClick();
  void CBox7Change(bool fromSelector);
  void TBItem18Click();
  void TBItem19Click();
  void btnReplacePictureClick();
  void btnClearPictureClick();
  void btnClearFillBitmapClick();
  void btnReplaceSoundEvClick(TSoundButton button);
  void btnClearSoundEvClick(TSoundButton button);
  // Pointer positions are stage pixels from the stage's top-left corner.
  void SWF1MouseMove(int32_t x, int32_t y);
  void SWF1MouseDown(int32_t x, int32_t y);
  void SWF1MouseUp();
  void Panel1MouseMove();
  void Panel1MouseDown();
  // The slot whose object contains the point (the highest one), 0 for none.
  int HitTest(int32_t x, int32_t y) const;
  // The outlines of the current frame's selected objects, which the canvas
  // draws over the frame (the objects keep their own look in the movie).
  std::vector<TOutline> SelectionOutlines() const;
  // Every key of the main window before the focused control; true when the
  // key was used.
  bool FormKeyDown(int key, TShiftState shift, bool playerFocused);
  // Home, Page Up, Page Down and End go through the frames; Ctrl+1, Ctrl+2
  // and Ctrl+3 choose animation, locked and all-frames mode. True when used.
  bool FrameOrModeKey(int key, TShiftState shift);

  // ---- Colours ----------------------------------------------------------
  // Tags 1..13 of the colour buttons; 0 for other controls.
  static int ColorTag(TCtl button);
  void RzColorDlgClick(int tag);

  // ---- Life, settings, project commands ---------------------------------
  void FormCreate(const std::vector<std::string>& args);
  void FormShow();
  void FormActivate();
  // False when the window must stay open.
  bool FormClose();
  void Readini();
  void Writeini();
  void mrud_write(const std::string& path);
  void mrud_read();
  void mrud1Click(int n);
  void TBItem15Click();
  // Opens the page with the desktop's browser, or says where it is.
  void ShowInBrowser(const std::string& page);
  void TBItem17Click();
  void RzNewClick();
  void RzOpenClick();
  void RzSaveClick();
  void RzSaveasClick();
  TMsgResult ModifyMsg();
  // Opens a project (also from the command line and the recent files).
  void OpenProject(const std::string& path);
  // Opens a recovery copy as the document of `originalPath` ("" when it was
  // untitled) named `name`: modified, so that Save writes where the user
  // expects, with an empty undo history. The copy's own path goes into no
  // recent-files list. False when the copy could not be read.
  bool RestoreCopy(const std::string& copyPath, const std::string& originalPath,
                   const std::string& name);
  // The application-wide error hook for errors outside these operations:
  // a beep, and `why` in the first status pane.
  void HandleError(const std::string& why = "");

  // ---- Preview and export -----------------------------------------------
  void RzStartClick();
  void SaveSWF();
  // The preview window was closed: its movie file goes.
  void PreviewClosed();
  void ShowFrame(int32_t frame);
  // An export wrote files into `folder`: the first status pane says so and
  // offers the folder while the message stands.
  void ExportWritten(const std::string& message, const std::string& folder);
  // The single-frame build shown on the canvas.
  void RebuildPreview(bool refresh = false);
  // The canvas's player cannot decode `count` pictures of the frame it shows
  // (0: it shows them all): the first status pane says so while it lasts.
  void CanvasPicturesUndrawable(int count);
  // The same of the preview's movie, said in the preview's message pane.
  void PreviewPicturesUndrawable(int count);

  // ---- Undo -------------------------------------------------------------
  void Undo();
  void Redo();

 private:
  // project::IDocumentView
  void SetEditMode(project::TEditMode mode) override;
  void NewProjectShown() override;
  void EnableClose(bool enabled) override;
  void ModifiedChanged(bool modified) override;
  void ProjectOpened(const std::string& path) override;
  void OpenFinished() override;
  void ProjectSaved(const std::string& path) override;
  void ShowError(const std::string& message, const std::string& detail) override;

  // Runs `body` as one command (see the class comment); nested calls run
  // inside the outer command. A command that continues a run of typing or
  // dragging (same key) starts again from the document as the run found it,
  // so the run's result is that of its last step alone.
  void Command(const std::function<void()>& body, const TStepKey& key = {});
  // Runs `body` without an undo step (new and opened documents).
  void Unrecorded(const std::function<void()>& body);
  void Recover(const TViewState& before, bool wasModified, const std::string& why);
  // The user learns why a command failed: the beep, and the reason in the
  // first status pane.
  void Fail(const std::string& why);
  void RestartRun(const TStepKey& key);
  TStepKey TypingKey(TCtl control) const;
  TViewState ViewState() const;
  void RestoreView(const TViewState& view);
  void MoveHistory(bool undo);
  void AfterHistoryMove(const TViewState& view, int32_t oldWidth, int32_t oldHeight);
  void UpdateUndoMenu();

  // Writes that undo can take back.
  project::TMovieSettings& EditSettings();
  project::TFrameRec& EditFrame(int32_t frame);
  project::TShapeRec& EditSlot(int32_t frame, int slot);
  project::TFrameRec& Current() { return doc_.Frames[size_t(doc_.CurrentFrame)]; }
  const project::TShapeRec& Slot(int32_t frame, int slot) const {
    return doc_.Frames[size_t(frame)].Slots[slot];
  }

  // DAT's parts (editor_panel.cpp).
  void FillMoviePage();
  void FillFramePage();
  void FillObjectList(bool keepList);
  void MeasureFrameTexts(int32_t frame);
  void MeasureTextObject(int32_t frame, int slot);
  void FillObjectPage();
  std::string MediaName(const std::string& stored, const char* embedded, const char* none) const;
  // A media file the project uses that is not there.
  struct TMissingMedia {
    std::string Stored;  // the name as the project stores it
    const char* Remedy;  // what it is and where it is chosen again
  };
  // Each missing file once, in the order met.
  std::vector<TMissingMedia> MissingMedia() const;
  // W and H of the object; a size the build derives (text, picture, button)
  // is shown as it is, beyond the limits of an editable size.
  void FillObjectSize(const project::TShapeRec& r);
  // After a build: the derived size of the current object, as the build wrote it.
  void ShowDerivedSize();
  void FillNoObject();
  void FillKind(const project::TShapeRec& r);
  void FillFill(const project::TShapeRec& r);
  void FillPicture(const project::TShapeRec& r);
  void ApplyModeLook();
  void UpdateCaption();

  // CWidthChange's parts (editor_apply.cpp).
  bool ApplyPanel(TCtl sender);
  void RecomputeBorderLimits();
  void SetBorderLimits(int64_t bevel, int64_t band);
  void TieBorderWidths(TCtl sender);
  void ClampSpin(TCtl c);
  void FitStage();
  int32_t SpinValue(TCtl c) const;
  int32_t DigitsValue(TCtl c) const;
  void Propagate(TCtl sender, int slot, int32_t oldX, int32_t oldY);
  void FollowOrInterpolatePosition(int slot, TCtl sender, int32_t oldX, int32_t oldY);

  // Frame and object helpers.
  void ChangeFrames(const std::vector<int32_t>& sources, int32_t freshCount);
  project::TFrameRec EmptyFrame() const;
  bool AskFrameRange(const std::string& caption, const std::string& info, int32_t from, int32_t to,
                     int32_t& first, int32_t& last);
  bool AskNumber(const std::string& info, int32_t start);
  void Warn(const std::string& text);
  void ClearObjectMenu();
  void CreateObject(int slot, project::TShapeKind kind, int32_t first, int32_t last);
  void SelectNew(int slot, project::TShapeKind kind);
  void WriteSlotText(int slot, const std::string& text, bool everyFrame);
  std::string StoredMediaName(const std::string& path) const;
  std::string ExistingMediaFile(const std::string& stored) const;
  // False, after a message naming the file and why, when it is no picture a movie can show.
  bool UsablePicture(const std::string& path);
  void AddPictureObject(project::TShapeKind kind, const std::string& path, const TPoint* at);
  void DragTo(int32_t x, int32_t y);
  bool NudgeCurrentObject(int key, int32_t step);
  void UpdatePointer(int32_t x, int32_t y);

  // Project files and the preview file (editor_life.cpp).
  bool SaveTo(const std::string& path);
  void ClosePreview();
  void DeletePreviewFile();

  TEditorPorts ports_;
  project::TProjectDocument doc_;
  TPropertyPanel panel_;
  THistory history_;
  TColorDialog colorDialog_;
  TNumberDialog numberDialog_;
  TLimitsDialog limitsDialog_;

  project::TEditMode mode_ = project::TEditMode::emAnimation;
  std::string modeHint_;
  std::string canvasNote_;  // what the first status pane says of the canvas's pictures
  bool updating_ = false;
  TRect workArea_;
  bool justOpened_ = false;
  bool dragging_ = false;
  int32_t dragX_ = 0, dragY_ = 0;
  int preferredSlot_ = 0;  // the object DAT selects when it rebuilds the list
  int depth_ = 0;          // commands running
  uint64_t revision_ = 0;
  bool restoring_ = false;  // a recovery copy is being read
  std::string pendingOpen_;
  std::string previewFile_;
};

}  // namespace editor
