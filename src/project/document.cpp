#include "project/document.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "platform/folders.h"
#include "project/project_file.h"

namespace project {

namespace {

IDocumentView& SilentView() {
  static IDocumentView view;
  return view;
}

void ApplyShapeDefaults(TShapeRec& r, TShapeKind kind) {
  struct TGeometry {
    int32_t X, Y, W, H, Radius;
  };
  TGeometry g{1, 1, 60, 30, 0};
  switch (kind) {
    case skRoundRect:
      g.Radius = 8;
      break;
    case skCircle:
      g = {28, 28, 0, 0, 28};
      break;
    case skStar:
      g = {30, 30, 30, 15, 8};
      break;
    case skText:
      g = {1, 1, 0, 0, 0};
      break;
    case skPicture:
    case skButton:
      g = {1, 1, 18, 18, 0};
      break;
    default:
      break;
  }
  r.X = g.X;
  r.Y = g.Y;
  r.W = g.W;
  r.H = g.H;
  r.Radius = g.Radius;
}

void ApplyTextStyle(TShapeRec& r, const TShapeRec* below) {
  r.Text = "Text";
  if (below && below->Object == skText) {
    r.Spacing = below->Spacing;
    r.FontColor = below->FontColor;
    r.FontSize = below->FontSize;
    r.Font = below->Font;
    r.FBold = below->FBold;
    r.FItalic = below->FItalic;
  } else {
    r.Spacing = 1;
    r.FontColor = RGB(255, 0, 0);
    r.FontSize = 36;
    r.Font = "Arial";
    r.FBold = 0;
    r.FItalic = 0;
  }
}

}  // namespace

TProjectDocument::TProjectDocument() : TProjectDocument(SilentView()) {}

TProjectDocument::TProjectDocument(IDocumentView& view)
    : ProgramDir(platform::ProgramDir()), TempDir(platform::TempDir()), view_(&SilentView()) {
  CreateEmptyMV();
  Modified = false;
  view_ = &view;
}

void TProjectDocument::SetFrameCount(int32_t n) {
  n = std::max(n, 1);
  int32_t old = FrameCount;
  Frames.resize(size_t(n) + 1);
  FrameCount = n;
  for (int32_t i = old + 1; i <= n; ++i) SetEmptyFrame(i);
  if (CurrentFrame > FrameCount) CurrentFrame = FrameCount;
}

void TProjectDocument::CreateEmptyMV() {
  // A new project starts clean: no dead slot data of the previous one.
  Frames.clear();
  FrameCount = 0;
  Settings = TMovieSettings();
  Settings.MResolution = ScreenPixelsPerInch;
  SetFrameCount(20);
  CurrentFrame = 1;
  SelectedSlots.reset();
  ProjectFileName = ProjectDir + "untitled.sw0";
  view_->NewProjectShown();
  Modify(false);
  view_->EnableClose(false);
  view_->SetEditMode(TEditMode::emAnimation);
}

void TProjectDocument::SetEmptyFrame(int32_t frame) {
  if (frame < 1 || frame > FrameCount) return;
  TFrameRec& f = Frames[size_t(frame)];
  TSlotArray slots = std::move(f.Slots);
  f = TFrameRec();
  f.BkgrColor = Settings.MBkgrColor;
  f.Slots = std::move(slots);
  f.Slots.EmptyAll();
}

void TProjectDocument::CreateEmptyShape(int slot, TShapeKind kind, int32_t first, int32_t last,
                                        TEditMode mode) {
  if (slot < 1 || slot > MaxShapeSlots) return;
  if (mode == TEditMode::emAllFrames) {
    first = 1;
    last = FrameCount;
  } else if (mode == TEditMode::emLocked) {
    first = last = CurrentFrame;
  }
  first = std::max(first, 1);
  last = std::min(last, FrameCount);
  for (int32_t i = first; i <= last; ++i) {
    TSlotArray& slots = Frames[size_t(i)].Slots;
    TShapeRec& r = slots.Edit(slot);
    r.Object = kind;
    r.Text.clear();
    r.URL.clear();
    r.SoundEv.clear();
    ApplyShapeDefaults(r, kind);
    if (kind == skText) ApplyTextStyle(r, slot > 1 ? &slots[slot - 1] : nullptr);
    r.Border = 2;
    r.Color = RGB(68, 171, 255);
    r.BorderColor = RGB(0, 68, 136);
    r.Fill = fkSolid;
    r.Alpha = 0;
    r.Angle = 0;
    r.GrColor1 = RGB(255, 0, 0);
    r.GrColor2 = RGB(255, 255, 0);
    r.GrX = 50;
    r.GrY = 50;
  }
}

int TProjectDocument::GetMinFreeShapeNr() const {
  std::bitset<MaxShapeSlots + 1> used;
  for (int32_t i = 1; i <= FrameCount; ++i) {
    const TSlotArray& slots = Frames[size_t(i)].Slots;
    if (slots.RecordCount() == 0) continue;
    for (int n = 1; n <= MaxShapeSlots; ++n)
      if (slots[n].Object != skNone) used.set(size_t(n));
  }
  for (int n = 1; n <= MaxShapeSlots; ++n)
    if (!used.test(size_t(n))) return n;
  return MaxShapeSlots + 1;
}

int TProjectDocument::GetLastUsedShapeNr() const {
  int last = 0;
  for (int32_t i = 1; i <= FrameCount; ++i)
    last = std::max(last, Frames[size_t(i)].Slots.LastUsed());
  return last;
}

int TProjectDocument::GetLayerNr(std::string_view entry) {
  size_t dash = entry.find('-');
  if (entry.size() < 7 || dash == std::string_view::npos || dash < 6) return 0;
  std::string_view number = entry.substr(6, dash - 6);
  while (!number.empty() && number.front() == ' ') number.remove_prefix(1);
  while (!number.empty() && number.back() == ' ') number.remove_suffix(1);
  int value = 0;
  for (char c : number) {
    if (c < '0' || c > '9' || value > MaxShapeSlots) return 0;
    value = value * 10 + (c - '0');
  }
  return value;
}

void TProjectDocument::Modify(bool flag) {
  Modified = flag;
  view_->ModifiedChanged(flag);
}

void TProjectDocument::AddToTempList(const std::string& path) {
  if (tempFileSet_.insert(path).second) tempFiles_.push_back(path);
}

void TProjectDocument::DeleteTempFiles() {
  std::error_code ignored;
  for (const std::string& path : tempFiles_) std::filesystem::remove(path, ignored);
  tempFiles_.clear();
  tempFileSet_.clear();
}

}  // namespace project
