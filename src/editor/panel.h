#pragma once
// The main window as values: every control of the property panel with its
// text, limits, enabled and visible state, caption, hint and label colour;
// the menu items; the status bar. The editor writes these; the window shows
// them and reports user changes back through TEditor. (The read-only name
// fields EPL1..EPL4 align right when their text is wider than the field, so
// that the file name stays visible: only the window can measure that.)
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "project/model.h"

namespace editor {

// System colours of the window: the window shows them in the desktop's
// current colours. They never reach the model.
constexpr project::TColor clBtnFace = project::TColor(0xFF00000F);
constexpr project::TColor clWindowText = project::TColor(0xFF000008);
constexpr bool IsSystemColor(project::TColor c) {
  return (uint32_t(c) & 0xFF000000u) != 0;
}

// Named colours of the status pane and the label legend.
constexpr project::TColor clBlue = project::RGB(0, 0, 255);
constexpr project::TColor clRed = project::RGB(255, 0, 0);
constexpr project::TColor clGreen = project::RGB(0, 128, 0);

// The controls of the property panel, by their names in the window.
enum TCtl : int {
  // page "Movie"
  CFrames,
  CWidth,
  CHeight,
  RZPaneBkgrColor,
  RzPanelWebsite,
  ChLoop,
  EPL4,
  btnReplaceBkgrSound,
  btnClearBkgrSound,
  MainURL,
  // page "Current Frame"
  CDelay,
  RzFrameBkgrColor,
  ChBox3,
  CBox4,
  CBox5,
  SE20,
  SE21,
  RzBorderCL,
  RzH,
  RzS,
  ChBox1,
  CBox1,
  RZGR1,
  RZGR2,
  // page "Objects"
  CBox7,
  GrpProperties,
  SE11,
  SE12,
  SE13,
  SE14,
  SE19,
  SE7,
  SE16,
  GrpFill,
  CBox8,
  SE15,
  RzShapeCL,
  RzShapeBCL,
  RzGr1Col,
  RzGr2Col,
  SE17,
  SE18,
  EPL2,
  btnFillBitmap,
  btnClearFillBitmap,
  GrpText,
  EText,
  RZB1,
  RzFont,
  SE8,
  SE9,
  GrpPicture,
  EPL1,
  btnReplacePicture,
  btnClearPicture,
  EURL,
  EPL3,
  btnReplaceSoundEv,
  btnClearSoundEv,
  btnClearShapeLayer,
  CtlCount
};

// Numeric spin fields: a text the user types, with limits.
bool IsSpinField(TCtl c);

// One control. Not every member means something for every control: a spin
// field uses Text, Min and Max; a check box Checked; a list ItemIndex and
// Items; a colour button Color. Label is the caption of the control's label
// (or of the check box, button or group itself).
struct TControlState {
  std::string Text;  // UTF-8
  int32_t Min = 0, Max = 0;
  bool Checked = false;
  int ItemIndex = -1;
  std::vector<std::string> Items;
  project::TColor Color = clBtnFace;
  bool Enabled = true;
  bool Visible = true;
  std::string Label;
  bool LabelEnabled = true;
  project::TColor LabelColor = clWindowText;
  std::string Hint;
};

enum class TPage { Movie, CurrentFrame, Objects };

enum TMenuItem : int {
  miNewProject,
  miOpenProject,
  miSaveProject,
  miSaveProjectAs,
  miClose,
  miExit,
  miRecentFiles,
  miRecent1,
  miRecent2,
  miRecent3,
  miRecent4,
  miRecent5,
  miUndo,
  miRedo,
  miCopyFrame,
  miPasteFrame,
  miCopyObject,
  miPasteObject,
  miDeleteObject,
  miLockFrames,
  miShowTips,
  miContents,
  MenuCount
};

struct TMenuState {
  std::string Caption;
  bool Enabled = true;
  bool Checked = false;
  bool Visible = true;
};

enum class TCursor { Arrow, HandPoint };

// The property panel, the menu and the status bar.
class TPropertyPanel {
 public:
  TPropertyPanel();

  TControlState& operator[](TCtl c) { return controls_[size_t(c)]; }
  const TControlState& operator[](TCtl c) const { return controls_[size_t(c)]; }
  TMenuState& Menu(TMenuItem m) { return menu_[size_t(m)]; }
  const TMenuState& Menu(TMenuItem m) const { return menu_[size_t(m)]; }

  // Sets a spin field's limits, then its value held within them.
  void SetSpin(TCtl c, int32_t min, int32_t max, int32_t value);
  void SetSpinValue(TCtl c, int32_t value);
  // A colour button: enabled with `color`, or disabled in the face colour.
  void ShowColor(TCtl c, bool enabled, project::TColor color);
  // Enables or disables a control together with its label.
  void Enable(TCtl c, bool enabled);

  TPage ActivePage = TPage::Movie;
  std::string Caption;            // the window caption
  std::string Title;              // the application title (task bar)
  project::TColor SiteColor = 0;  // the canvas surround
  std::array<std::string, 4> StatusPanes;
  // The folder the first pane's message names (what an export wrote), offered
  // to open while that message stands.
  struct TStatusFolder {
    std::string Message, Folder;
  } StatusFolder;
  project::TColor ModePaneColor = clBlue;
  TCursor Cursor = TCursor::Arrow;

 private:
  std::array<TControlState, CtlCount> controls_;
  std::array<TMenuState, MenuCount> menu_;
};

}  // namespace editor
