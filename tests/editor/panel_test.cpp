// Filling the property panel, the status bar and the caption from the model,
// and the edit modes.
#include <fstream>

#include "editor_fixture.h"
#include "moviegen/export.h"

namespace {

using namespace editor;
using project::TEditMode;
using vtest::EditorTest;

class PanelTest : public EditorTest {};

TEST_F(PanelTest, ANewProjectShowsItsDefaults) {
  EXPECT_EQ(P().Caption, "untitled.sw0");
  EXPECT_EQ(P().Title, "untitled.sw0");
  EXPECT_EQ(C(CWidth).Text, "468");
  EXPECT_EQ(C(CHeight).Text, "60");
  EXPECT_EQ(C(CFrames).Text, "20");
  EXPECT_TRUE(C(ChLoop).Checked);
  EXPECT_EQ(C(RZPaneBkgrColor).Color, project::RGB(255, 255, 255));
  EXPECT_EQ(P().SiteColor, project::RGB(0, 128, 128));
  EXPECT_EQ(C(EPL4).Text, "=No sound selected=");
  EXPECT_EQ(C(btnReplaceBkgrSound).Hint, "Load Sound...");
  EXPECT_EQ(C(CDelay).Text, "50");
  EXPECT_FALSE(C(ChBox1).Checked);
  EXPECT_FALSE(C(RZGR1).Enabled);
  EXPECT_EQ(C(RZGR1).Color, clBtnFace);
  EXPECT_FALSE(C(SE20).Enabled);
  EXPECT_FALSE(C(RzBorderCL).LabelEnabled);
  EXPECT_EQ(C(CBox4).ItemIndex, 1);
  EXPECT_EQ(C(CBox5).ItemIndex, 2);
  EXPECT_EQ(P().StatusPanes[1], "Frame 1 of 20 Time: 1 s");
  EXPECT_EQ(P().StatusPanes[2], "ANIMATION MODE");
  EXPECT_EQ(ed->EditMode(), TEditMode::emAnimation);
  EXPECT_TRUE(C(CBox7).Items.empty());
  EXPECT_FALSE(C(btnClearShapeLayer).Enabled);
  EXPECT_FALSE(P().Menu(miCopyObject).Enabled);
  EXPECT_FALSE(P().Menu(miSaveProject).Enabled);
  EXPECT_FALSE(Doc().Modified);
  EXPECT_EQ(builder.FrameBuilds, 1);

  Doc().Modify(true);
  Doc().Modify(true);
  EXPECT_EQ(P().Caption, "untitled.sw0*");
  Doc().Modify(false);
  EXPECT_EQ(P().Caption, "untitled.sw0");
}

TEST_F(PanelTest, TheMovieTimeSumsTheDelays) {
  struct Row {
    int32_t frames, delay;
    const char* text;
  };
  const Row rows[] = {{20, 50, " Time: 1 s"},
                      {19, 50, " Time: 950 ms"},
                      {25, 50, " Time: 1.2 s"},
                      {1, 1350, " Time: 1.4 s"},
                      {3, 1000, " Time: 3 s"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    Doc().SetFrameCount(r.frames);
    for (int32_t i = 1; i <= r.frames; ++i) Frame(i).Delay = r.delay;
    EXPECT_EQ(moviegen::GetMovieTime(Doc()), r.text);
  }
}

TEST_F(PanelTest, EachModeHasItsPaneHintTickAndLegend) {
  struct Row {
    TEditMode mode;
    const char* pane;
    project::TColor paneColor;
    const char* hint;
    bool ticked;
    project::TColor blueLegend, otherLegend;
  };
  const Row rows[] = {
      {TEditMode::emLocked, "LOCKED MODE", clRed, "Only the current frame can be edited", true,
       clWindowText, clWindowText},
      {TEditMode::emAllFrames, "ALL FRAMES EDITING", clGreen,
       "Sets the edited object's propery for all frames", false, clGreen, clGreen},
      {TEditMode::emAnimation, "ANIMATION MODE", clBlue, "", true, clBlue, clWindowText},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.pane);
    ed->RzLockClick();
    EXPECT_EQ(ed->EditMode(), r.mode);
    EXPECT_EQ(P().StatusPanes[2], r.pane);
    EXPECT_EQ(P().ModePaneColor, r.paneColor);
    EXPECT_EQ(ed->ModeHint(), r.hint);
    EXPECT_EQ(P().StatusPanes[3], r.hint);
    EXPECT_EQ(P().Menu(miLockFrames).Checked, r.ticked);
    EXPECT_EQ(C(SE11).LabelColor, r.blueLegend);
    EXPECT_EQ(C(RzFrameBkgrColor).LabelColor, r.blueLegend);
    EXPECT_EQ(C(CDelay).LabelColor, r.otherLegend);
    EXPECT_EQ(C(btnClearShapeLayer).LabelColor, r.otherLegend);
  }
}

TEST_F(PanelTest, EachKindShowsItsGroupCaptionsAndFields) {
  struct Row {
    project::TShapeKind kind;
    TCtl group;
    const char* x;
    const char* w;
    const char* radius;
    bool sizeEnabled, radiusEnabled, angleEnabled;
  };
  const Row rows[] = {
      {project::skRectangle, GrpFill, "X:", "W:", "Radius:", true, false, true},
      {project::skRoundRect, GrpFill, "X:", "W:", "Radius:", true, true, true},
      {project::skCircle, GrpFill, "Xc:", "W:", "Radius:", false, true, false},
      {project::skStar, GrpFill, "Xc:", "R1:", "Points:", true, true, true},
      {project::skText, GrpText, "X:", "W:", "Radius:", false, false, true},
      {project::skPicture, GrpPicture, "X:", "W:", "Radius:", false, false, true},
      {project::skButton, GrpPicture, "X:", "W:", "Radius:", false, false, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(project::KindSuffix(r.kind));
    Put(1, r.kind, 1, 1);
    for (TCtl g : {GrpFill, GrpText, GrpPicture}) EXPECT_EQ(C(g).Visible, g == r.group);
    EXPECT_EQ(C(SE11).Label, r.x);
    EXPECT_EQ(C(SE13).Label, r.w);
    EXPECT_EQ(C(SE19).Label, r.radius);
    EXPECT_EQ(C(SE13).Enabled, r.sizeEnabled);
    EXPECT_EQ(C(SE19).Enabled, r.radiusEnabled);
    EXPECT_EQ(C(SE7).Enabled, r.angleEnabled);
    EXPECT_TRUE(C(SE11).Enabled);
    EXPECT_TRUE(C(CBox8).Enabled);
    EXPECT_TRUE(C(btnClearShapeLayer).Enabled);
    EXPECT_TRUE(P().Menu(miDeleteObject).Enabled);
  }
  // The button retitles the picture group and shows its link and sound.
  EXPECT_EQ(C(GrpPicture).Label, " Button ");
  EXPECT_EQ(C(EPL1).Label, "Glyph:");
  EXPECT_TRUE(C(EURL).Visible);
  EXPECT_EQ(C(EPL1).Text, "=No glyph selected=");
  EXPECT_EQ(C(btnReplacePicture).Hint, "Load Glyph...");
}

TEST_F(PanelTest, GeometryLimitsDependOnTheKindAndTheCanvas) {
  // Canvas 776 x 229, palette 36.
  Put(1, project::skRoundRect, 1, 1);
  EXPECT_EQ(C(SE11).Min, 36 - 776);
  EXPECT_EQ(C(SE11).Max, 740);
  EXPECT_EQ(C(SE12).Min, -229);
  EXPECT_EQ(C(SE13).Min, 2);
  EXPECT_EQ(C(SE19).Max, 15);  // min(60, 30) div 2
  EXPECT_EQ(C(SE15).Max, 30);
  Put(1, project::skStar, 1, 1);
  EXPECT_EQ(C(SE19).Min, 3);
  EXPECT_EQ(C(SE19).Max, 120);
  EXPECT_EQ(C(SE15).Max, 30);  // max(30, 15)
  Put(1, project::skCircle, 1, 1);
  EXPECT_EQ(C(SE15).Max, 56);
  EXPECT_EQ(C(SE13).Text, "0");
}

// Pasted or loaded records may hold any 32-bit geometry; the limits derived
// from it stay ordered and the shown values inside them (a circle of radius
// INT32_MIN once overflowed its doubled border limit).
TEST_F(PanelTest, AnyStoredGeometryGivesOrderedLimits) {
  using project::TShapeKind;
  for (TShapeKind kind : {project::skRectangle, project::skRoundRect, project::skCircle,
                          project::skStar, project::skText, project::skPicture}) {
    for (int32_t v : {INT32_MIN, -1, 0, INT32_MAX}) {
      SCOPED_TRACE(testing::Message() << int(kind) << " " << v);
      Doc().CreateEmptyShape(1, kind, 1, 1, TEditMode::emAnimation);
      project::TShapeRec& r = EditSlot(1, 1);
      r.X = r.Y = r.W = r.H = r.Radius = r.Border = r.Angle = r.GrX = r.GrY = v;
      ed->DAT(false);
      for (TCtl c : {SE7, SE11, SE12, SE13, SE14, SE15, SE17, SE18, SE19}) {
        ASSERT_LE(C(c).Min, C(c).Max) << c;
        const int32_t shown = std::stoi(C(c).Text);
        EXPECT_TRUE(shown == 0 || (shown >= C(c).Min && shown <= C(c).Max)) << c;
      }
    }
  }
}

TEST_F(PanelTest, TheFillDecidesWhichFillControlsAreEnabled) {
  struct Row {
    uint8_t fill;
    int position;
    bool solid, gradient, centre, bitmap;
  };
  const Row rows[] = {{project::fkSolid, 1, true, false, false, false},
                      {project::fkLinear, 2, false, true, false, false},
                      {project::fkRadial, 3, false, true, true, false},
                      {project::fkBitmap, 4, false, false, false, true},
                      {project::fkNone, 0, false, false, false, false}};
  Put(1, project::skEllipse, 1, 1);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.position);
    EditSlot(1, 1).Fill = r.fill;
    ed->DAT(false);
    EXPECT_EQ(C(CBox8).ItemIndex, r.position);
    EXPECT_EQ(C(RzShapeCL).Enabled, r.solid);
    EXPECT_EQ(C(RzShapeCL).Color, r.solid ? Slot(1, 1).Color : clBtnFace);
    EXPECT_EQ(C(RzGr2Col).Enabled, r.gradient);
    EXPECT_EQ(C(SE17).Enabled, r.centre);
    EXPECT_EQ(C(btnFillBitmap).Enabled, r.bitmap);
    EXPECT_EQ(C(EPL2).Text, r.bitmap ? "=No bitmap selected=" : "");
  }
}

// A name field shows the stored name while its file is there (a bare name
// lives in the project), and no file once it is gone.
TEST_F(PanelTest, NameFieldsAndTransparencyOfImages) {
  const std::string dir = Doc().TempDir;
  for (const char* name : {"photo.jpg", "tile.bmp", "tile.jpeg", "ding.wav", "loop.mp3"})
    std::ofstream(dir + name) << "x";
  struct Row {
    project::TShapeKind kind;
    uint8_t fill;
    std::string text;
    TCtl field;
    std::string shown;
    bool transparency;
  };
  const Row rows[] = {
      {project::skPicture, 0, "C:\\Pics\\logo.BMP", EPL1, "=No picture selected=", false},
      {project::skPicture, 0, dir + "photo.jpg", EPL1, dir + "photo.jpg", true},
      {project::skPicture, 0, "/home/a/gone.jpg", EPL1, "=No picture selected=", true},
      {project::skPicture, 0, "photo.jpg", EPL1, "=Image file has been selected=", true},
      {project::skPicture, 0, "", EPL1, "=No picture selected=", true},
      {project::skRectangle, project::fkBitmap, "tile.bmp", EPL2,
       "=Image file has been selected=", false},
      {project::skRectangle, project::fkBitmap, "tile.jpeg", EPL2,
       "=Image file has been selected=", true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    Put(1, r.kind, 1, 1);
    EditSlot(1, 1).Fill = r.fill;
    EditSlot(1, 1).Text = r.text;
    ed->DAT(false);
    EXPECT_EQ(C(r.field).Text, r.shown);
    EXPECT_EQ(C(SE16).Enabled, r.transparency);
  }
  EXPECT_EQ(C(btnFillBitmap).Hint, "Replace Bitmap...");

  Put(2, project::skButton, 1, 1);
  EditSlot(1, 2).SoundEv = "0";
  Select(2);
  EXPECT_EQ(C(EPL3).Text, "=No sound selected=");
  EXPECT_EQ(C(btnReplaceSoundEv).Hint, "Load Sound...");
  EditSlot(1, 2).SoundEv = "ding.wav";
  ed->DAT(false);
  EXPECT_EQ(C(EPL3).Text, "=WAV file has been selected=");
  EditSlot(1, 2).SoundEv = "gone.wav";
  ed->DAT(false);
  EXPECT_EQ(C(EPL3).Text, "=No sound selected=");
  EXPECT_EQ(C(btnReplaceSoundEv).Hint, "Replace Sound...");

  Doc().Settings.MBkgrSound = dir + "loop.mp3";
  ed->DAT(false);
  EXPECT_EQ(C(EPL4).Text, dir + "loop.mp3");
  EXPECT_EQ(C(btnReplaceBkgrSound).Hint, "Replace Sound...");
}

TEST_F(PanelTest, NoCurrentObjectDisablesTheObjectFields) {
  Put(1, project::skRoundRect, 2, 2);  // not in frame 1
  EXPECT_EQ(C(CBox7).ItemIndex, -1);
  EXPECT_EQ(ed->CurrentObject(), 0);
  for (TCtl c : {SE11, SE12, SE13, SE14, SE15, SE16, SE19}) {
    EXPECT_FALSE(C(c).Enabled);
    EXPECT_EQ(C(c).Text, "0");
  }
  EXPECT_FALSE(C(SE7).LabelEnabled);
  EXPECT_FALSE(C(CBox8).Enabled);
  EXPECT_EQ(C(CBox8).ItemIndex, 0);
  EXPECT_TRUE(C(GrpFill).Visible);
  EXPECT_FALSE(C(GrpText).Visible);
  EXPECT_EQ(C(RzGr1Col).Color, clBtnFace);
}

TEST_F(PanelTest, TheSelectorKeepsItsPositionAcrossFrames) {
  Put(3, project::skRectangle, 1, 2);
  Put(5, project::skStar, 1, 1);
  Put(9, project::skCircle, 1, 2);
  Select(9);
  EXPECT_EQ(C(CBox7).Items, (std::vector<std::string>{"Object 3 - Rectangle", "Object 5 - Star",
                                                      "Object 9 - Circle"}));
  ed->RzFirstClick(TNavigate::Next);
  // Frame 2 has two objects: position 2 is beyond them, so the first one.
  EXPECT_EQ(ed->CurrentObject(), 3);
  Select(9);
  ed->RzFirstClick(TNavigate::Previous);
  EXPECT_EQ(ed->CurrentObject(), 5);  // position 1 again
}

TEST_F(PanelTest, ShowFrameGoesToThePlayerFrameOfTheDelays) {
  Doc().SetFrameCount(4);
  Frame(1).Delay = 250;
  Frame(2).Delay = 1000;
  ed->ShowFrame(3);
  EXPECT_EQ(player.LastFrame, 12);
  EXPECT_EQ(Doc().CurrentFrame, 3);
  EXPECT_EQ(P().StatusPanes[1], "Frame 3 of 4 Time: 1.4 s");
}

}  // namespace
