#include "project/document.h"

#include <gtest/gtest.h>

#include "recording_view.h"

namespace {

using namespace project;
using Calls = std::vector<std::string>;

TEST(Document, CreateEmptyMVMakesTwentyDefaultFramesAndTellsTheWindow) {
  vtest::TRecordingView view;
  TProjectDocument doc(view);
  doc.ScreenPixelsPerInch = 120;
  doc.ProjectDir = "/projects/";
  doc.Settings.MainURL = "http://old";
  doc.Frames[3].Slots.Edit(4).Object = skStar;
  doc.CurrentFrame = 7;
  doc.SelectedSlots.set(4);
  doc.Modify(true);
  view.Calls.clear();

  doc.CreateEmptyMV();
  EXPECT_EQ(view.Calls, (Calls{"new shown", "unmodified", "close off", "mode animation"}));
  EXPECT_EQ(doc.FrameCount, 20);
  ASSERT_EQ(doc.Frames.size(), 21u);
  EXPECT_EQ(doc.CurrentFrame, 1);
  EXPECT_FALSE(doc.Modified);
  EXPECT_TRUE(doc.SelectedSlots.none());
  EXPECT_EQ(doc.ProjectFileName, "/projects/untitled.sw0");
  TMovieSettings expected;
  expected.MResolution = 120;
  EXPECT_EQ(doc.Settings, expected);
  EXPECT_EQ(doc.GetLastUsedShapeNr(), 0);
  EXPECT_EQ(doc.Frames[3], TFrameRec());
}

TEST(Document, SetEmptyFrameTakesTheCurrentMovieBackground) {
  TProjectDocument doc;
  doc.Settings.MBkgrColor = RGB(0, 0, 255);
  doc.Frames[2].Delay = 900;
  doc.Frames[2].Slots.Edit(5).Object = skCircle;
  doc.SetEmptyFrame(2);
  EXPECT_EQ(doc.Frames[2].BkgrColor, RGB(0, 0, 255));
  EXPECT_EQ(doc.Frames[2].Delay, 50);
  EXPECT_EQ(doc.Frames[2].Slots[5].Object, skNone);
  EXPECT_EQ(doc.Frames[2].Slots[5].Radius, 0);
  EXPECT_EQ(doc.Frames[1].BkgrColor, RGB(255, 255, 255));
}

TEST(Document, CreateEmptyShapeWritesTheDefaultsOfEachKind) {
  struct Row {
    TShapeKind kind;
    int32_t x, y, w, h, radius;
  };
  const Row rows[] = {
      {skRectangle, 1, 1, 60, 30, 0}, {skRoundRect, 1, 1, 60, 30, 8}, {skCircle, 28, 28, 0, 0, 28},
      {skEllipse, 1, 1, 60, 30, 0},   {skDiamond, 1, 1, 60, 30, 0},   {skStar, 30, 30, 30, 15, 8},
      {skText, 1, 1, 0, 0, 0},        {skPicture, 1, 1, 18, 18, 0},   {skButton, 1, 1, 18, 18, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(KindSuffix(r.kind));
    TProjectDocument doc;
    TShapeRec& old = doc.Frames[1].Slots.Edit(2);
    old = TShapeRec{};
    old.Text = "old.jpg";
    old.URL = "http://x";
    old.SoundEv = "s.wav";
    old.Fill = fkBitmap;
    old.Alpha = 9;
    old.Font = "Courier";
    doc.CreateEmptyShape(2, r.kind, 1, 1, TEditMode::emAnimation);
    const TShapeRec& s = doc.Frames[1].Slots[2];
    EXPECT_EQ(s.Object, r.kind);
    EXPECT_EQ(s.X, r.x);
    EXPECT_EQ(s.Y, r.y);
    EXPECT_EQ(s.W, r.w);
    EXPECT_EQ(s.H, r.h);
    EXPECT_EQ(s.Radius, r.radius);
    EXPECT_EQ(s.Text, r.kind == skText ? "Text" : "");
    EXPECT_EQ(s.URL, "");
    EXPECT_EQ(s.SoundEv, "");
    EXPECT_EQ(s.Border, 2);
    EXPECT_EQ(s.Color, RGB(68, 171, 255));
    EXPECT_EQ(s.BorderColor, RGB(0, 68, 136));
    EXPECT_EQ(s.Fill, fkSolid);
    EXPECT_EQ(s.Alpha, 0);
    EXPECT_EQ(s.Angle, 0);
    EXPECT_EQ(s.GrColor1, RGB(255, 0, 0));
    EXPECT_EQ(s.GrColor2, RGB(255, 255, 0));
    EXPECT_EQ(s.GrX, 50);
    EXPECT_EQ(s.GrY, 50);
    EXPECT_EQ(s.Font, r.kind == skText ? "Arial" : "Courier");  // other kinds keep the old face
  }
}

TEST(Document, CreateEmptyShapeCoversTheFramesOfTheEditMode) {
  struct Row {
    TEditMode mode;
    int32_t first, last;
    std::vector<int32_t> frames;
  };
  const Row rows[] = {
      {TEditMode::emAnimation, 3, 5, {3, 4, 5}},
      {TEditMode::emAnimation, 5, 3, {}},  // an empty range writes nothing
      {TEditMode::emAnimation, -4, 2, {1, 2}},
      {TEditMode::emLocked, 3, 5, {7}},
      {TEditMode::emAllFrames, 3, 5, {1, 2, 3, 4, 5, 6, 7, 8}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.first << ".." << r.last);
    TProjectDocument doc;
    doc.SetFrameCount(8);
    doc.CurrentFrame = 7;
    doc.CreateEmptyShape(4, skDiamond, r.first, r.last, r.mode);
    std::vector<int32_t> written;
    for (int32_t i = 1; i <= doc.FrameCount; ++i)
      if (doc.Frames[size_t(i)].Slots[4].Object == skDiamond) written.push_back(i);
    EXPECT_EQ(written, r.frames);
  }
}

TEST(Document, NewTextTakesTheStyleOfATextInTheSlotBelow) {
  TProjectDocument doc;
  doc.CreateEmptyShape(4, skText, 1, 2, TEditMode::emAnimation);
  TShapeRec& below = doc.Frames[1].Slots.Edit(4);
  below.Font = "Georgia";
  below.FontSize = 20;
  below.FBold = 1;
  below.FItalic = 1;
  below.FontColor = RGB(1, 2, 3);
  below.Spacing = 7;

  doc.CreateEmptyShape(5, skText, 1, 2, TEditMode::emAnimation);
  const TShapeRec& inherited = doc.Frames[1].Slots[5];
  EXPECT_EQ(inherited.Font, "Georgia");
  EXPECT_EQ(inherited.FontSize, 20);
  EXPECT_EQ(inherited.FBold, 1);
  EXPECT_EQ(inherited.FItalic, 1);
  EXPECT_EQ(inherited.FontColor, RGB(1, 2, 3));
  EXPECT_EQ(inherited.Spacing, 7);
  // Frame 2's slot 4 still has the plain defaults, so its slot 5 gets them.
  EXPECT_EQ(doc.Frames[2].Slots[5].Font, "Arial");
  EXPECT_EQ(doc.Frames[2].Slots[5].FontSize, 36);

  doc.CreateEmptyShape(1, skText, 1, 1, TEditMode::emAnimation);
  EXPECT_EQ(doc.Frames[1].Slots[1].Font, "Arial");
  EXPECT_EQ(doc.Frames[1].Slots[1].FontColor, RGB(255, 0, 0));
  EXPECT_EQ(doc.Frames[1].Slots[1].Spacing, 1);
}

TEST(Document, SlotNumberQueriesScanEveryFrame) {
  TProjectDocument doc;
  EXPECT_EQ(doc.GetMinFreeShapeNr(), 1);
  EXPECT_EQ(doc.GetLastUsedShapeNr(), 0);
  doc.CreateEmptyShape(1, skCircle, 20, 20, TEditMode::emAnimation);
  doc.CreateEmptyShape(9, skCircle, 3, 3, TEditMode::emAnimation);
  EXPECT_EQ(doc.GetMinFreeShapeNr(), 2);
  EXPECT_EQ(doc.GetLastUsedShapeNr(), 9);
  doc.Frames[3].Slots.Edit(9).Object = skNone;
  EXPECT_EQ(doc.GetLastUsedShapeNr(), 1);
  for (int n = 1; n <= MaxShapeSlots; ++n) doc.Frames[1 + n % 20].Slots.Edit(n).Object = skStar;
  EXPECT_EQ(doc.GetMinFreeShapeNr(), 256);
  EXPECT_EQ(doc.GetLastUsedShapeNr(), 255);
}

TEST(Document, GetLayerNrReadsTheNumberOfAnObjectListEntry) {
  struct Row {
    const char* entry;
    int slot;
  };
  const Row rows[] = {
      {"Object 12 - Star", 12},
      {"Object 3 - Rnd. Rectangle", 3},
      {"Object 255 - Text", 255},
      {"", 0},
      {"   ", 0},
      {"Object x - Star", 0},
      {"Object 7", 0},
      {"Obj-", 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.entry);
    EXPECT_EQ(TProjectDocument::GetLayerNr(r.entry), r.slot);
  }
}

TEST(Document, ModifyTellsTheWindow) {
  vtest::TRecordingView view;
  TProjectDocument doc(view);
  doc.Modify(true);
  doc.Modify(true);
  doc.Modify(false);
  EXPECT_FALSE(doc.Modified);
  EXPECT_EQ(view.Calls, (Calls{"modified", "modified", "unmodified"}));
}

TEST(Document, SetFrameCountKeepsFramesAndEmptiesNewOnes) {
  TProjectDocument doc;
  doc.Frames[20].Slots.Edit(1).Object = skStar;
  doc.Settings.MBkgrColor = RGB(9, 9, 9);
  doc.CurrentFrame = 20;
  doc.SetFrameCount(22);
  EXPECT_EQ(doc.Frames.size(), 23u);
  EXPECT_EQ(doc.Frames[20].Slots[1].Object, skStar);
  EXPECT_EQ(doc.Frames[22].BkgrColor, RGB(9, 9, 9));
  doc.SetFrameCount(5);
  EXPECT_EQ(doc.FrameCount, 5);
  EXPECT_EQ(doc.CurrentFrame, 5);
}

}  // namespace
