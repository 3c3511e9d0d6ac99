#include "editor/panel.h"

#include <algorithm>

namespace editor {

bool IsSpinField(TCtl c) {
  switch (c) {
    case SE7:
    case SE8:
    case SE9:
    case SE11:
    case SE12:
    case SE13:
    case SE14:
    case SE15:
    case SE16:
    case SE17:
    case SE18:
    case SE19:
    case SE20:
    case SE21:
      return true;
    default:
      return false;
  }
}

namespace {

struct TInitialControl {
  TCtl Ctl;
  const char* Label;
  const char* Hint;
};

// Captions and hints the panel starts with; DAT changes some of them.
constexpr TInitialControl kInitial[] = {
    {CFrames, "Number of frames:", ""},
    {CWidth, "Movie width (in pixels)", ""},
    {CHeight, "Movie height (in pixels)", ""},
    {RZPaneBkgrColor, "Movie Background:", ""},
    {RzPanelWebsite, "WebSite Color:", "Desktop color (your website background color)"},
    {ChLoop, "Loop Playback", ""},
    {EPL4, "Background Sound:", ""},
    {btnClearBkgrSound, "", "Clear Sound"},
    {MainURL, "Link to URL:", ""},
    {CDelay,
     "Delay Time, ms:", "The time for which the current frame will be displayed. (1s=1000ms)"},
    {RzFrameBkgrColor, "Frame Background:", ""},
    {ChBox3, "Add Borders", ""},
    {CBox4, "Border Inner Style:", ""},
    {CBox5, "Border Outer Style:", ""},
    {SE20, "Bevel:", "Bevel width (in pixels)"},
    {SE21, "Border:", "Border width (in pixels)"},
    {RzBorderCL, "Color:", ""},
    {RzH, "Highlight:", ""},
    {RzS, "Shadow:", ""},
    {ChBox1, "Add Gradient", ""},
    {CBox1, "", "Background gradient style"},
    {RZGR1, "Gradient Color 1:", ""},
    {RZGR2, "Gradient Color 2:", ""},
    {CBox7, "Current Object:", ""},
    {GrpProperties, " Properties ", ""},
    {SE11, "X:", "Horizontal coordinate"},
    {SE12, "Y:", "Vertical coordinate"},
    {SE13, "W:", "Object width (in pixels)"},
    {SE14, "H:", "Object height (in pixels)"},
    {SE19, "Radius:", ""},
    {SE7, "Angle:", ""},
    {SE16, "Transparency:", ""},
    {GrpFill, " Fill Properties ", ""},
    {CBox8, "Fill Style: ", ""},
    {SE15, "Border:", "Border width (in pixels)"},
    {RzShapeCL, "Solid Color:", ""},
    {RzShapeBCL, "Border Color:", ""},
    {RzGr1Col, "Gradient Color 1:", ""},
    {RzGr2Col, "Gradient Color 2:", ""},
    {SE17, "Xc:", "Center of circle on X axis (in per cents)"},
    {SE18, "Yc:", "Center of circle on Y axis (in per cents)"},
    {EPL2, "Bitmap:", ""},
    {btnFillBitmap, "", "Load Bitmap..."},
    {btnClearFillBitmap, "", "Clear Bitmap"},
    {GrpText, " Text ", ""},
    {RZB1, "Font...", ""},
    {RzFont, "", "Font color"},
    {SE8, "", "Font size"},
    {SE9, "Spacing:", ""},
    {GrpPicture, " Picture ", ""},
    {EPL1, "Picture:", ""},
    {btnReplacePicture, "", "Load Picture..."},
    {btnClearPicture, "", "Clear Picture"},
    {EURL, "Link:", ""},
    {EPL3, "Sound:", ""},
    {btnReplaceSoundEv, "", "Load Sound..."},
    {btnClearSoundEv, "", "Clear Sound"},
    {btnClearShapeLayer, "Remove the Current Object", ""},
};

struct TInitialLimits {
  TCtl Ctl;
  int32_t Min, Max;
};

constexpr TInitialLimits kLimits[] = {
    {SE7, -360, 360}, {SE16, 0, 255}, {SE15, 0, 1000}, {SE17, -50, 150}, {SE18, -50, 150},
    {SE8, 1, 72},     {SE9, 0, 1000}, {SE20, 1, 100},  {SE21, 0, 100},
};

const char* const kMenuCaptions[MenuCount] = {
    "New Project",
    "Open Project...",
    "Save Project",
    "Save Project as...",
    "Close",
    "Exit",
    "Recent Files",
    "",
    "",
    "",
    "",
    "",
    "Undo",
    "Redo",
    "Copy Frame",
    "Paste Frame",
    "Copy Object",
    "Paste Object",
    "Delete Object",
    "Lock Frames",
    "Show Tips and Tricks ",
    "Contents...",
};

}  // namespace

TPropertyPanel::TPropertyPanel() {
  for (const TInitialControl& c : kInitial) {
    (*this)[c.Ctl].Label = c.Label;
    (*this)[c.Ctl].Hint = c.Hint;
  }
  for (const TInitialLimits& l : kLimits) {
    (*this)[l.Ctl].Min = l.Min;
    (*this)[l.Ctl].Max = l.Max;
    (*this)[l.Ctl].Text = std::to_string(std::max(l.Min, 0));
  }
  (*this)[CBox1].Items = {"Horizontal",          "Vertical",        "Bottom-Left Corner",
                          "Bottom-Right Corner", "Top-Left Corner", "Top-Right Corner",
                          "Diagonal Falling",    "Diagonal Rising", "Pyramid"};
  (*this)[CBox4].Items = {"None", "Inset", "Raised"};
  (*this)[CBox5].Items = (*this)[CBox4].Items;
  (*this)[CBox8].Items = {"No Fill", "Solid Color", "Linear Gradient", "Radial Gradient", "Bitmap"};
  (*this)[SE8].Text = "36";
  (*this)[SE9].Text.assign(1, '1');
  for (int m = 0; m < MenuCount; ++m) menu_[size_t(m)].Caption = kMenuCaptions[m];
  for (TMenuItem m : {miSaveProject, miClose, miUndo, miRedo, miPasteFrame, miPasteObject,
                      miCopyObject, miDeleteObject, miRecentFiles})
    Menu(m).Enabled = false;
  for (TMenuItem m :
       {miRecent1, miRecent2, miRecent3, miRecent4, miRecent5, miLockFrames, miShowTips})
    Menu(m).Visible = false;
  Menu(miShowTips).Checked = true;
}

void TPropertyPanel::SetSpin(TCtl c, int32_t min, int32_t max, int32_t value) {
  (*this)[c].Min = min;
  (*this)[c].Max = std::max(min, max);
  SetSpinValue(c, value);
}

void TPropertyPanel::SetSpinValue(TCtl c, int32_t value) {
  const TControlState& s = (*this)[c];
  (*this)[c].Text = std::to_string(std::clamp(value, s.Min, s.Max));
}

void TPropertyPanel::ShowColor(TCtl c, bool enabled, project::TColor color) {
  Enable(c, enabled);
  (*this)[c].Color = enabled ? color : clBtnFace;
}

void TPropertyPanel::Enable(TCtl c, bool enabled) {
  (*this)[c].Enabled = enabled;
  (*this)[c].LabelEnabled = enabled;
}

}  // namespace editor
