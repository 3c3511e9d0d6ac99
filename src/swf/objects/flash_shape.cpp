#include "swf/objects/flash_shape.h"

#include <cmath>
#include <numbers>

#include "swf/objects/flash_dash.h"
#include "swf/objects/flash_movie.h"
#include "swf/objects/shape_math.h"

namespace swf {

namespace {

// Gradients are defined on a square of 32768 twips.
constexpr double kGradientSquare = 32768.0;
// Bitmap fills start a quarter pixel before the bounds; a stretched bitmap
// gets 15/4096 more scale so that it reaches slightly beyond them.
constexpr int32_t kBitmapShift = 5;
constexpr double kStretchExtra = 0.003662109375;

}  // namespace

TFlashShape::TFlashShape(TFlashMovie* owner)
    : TFlashVisualObject(owner),
      tag_(std::make_unique<TSWFDefineShape3>()),
      edges_(std::make_unique<TFlashEdges>(tag_->ShapeRecords)) {
  edges_->SetOwner(owner);
}

TFlashShape::~TFlashShape() = default;

void TFlashShape::ChangeOwner() {
  edges_->SetOwner(Owner());
}

void TFlashShape::SetCharacterID(uint16_t id) {
  TFlashVisualObject::SetCharacterID(id);
  tag_->ShapeID = id;
}

void TFlashShape::Assign(const TBasedSWFObject& source) {
  TFlashVisualObject::Assign(source);
  auto* s = dynamic_cast<const TFlashShape*>(&source);
  if (!s || s == this) return;
  // The copied first record already carries the source's selections.
  tag_->ShapeRecords.clear();
  tag_->FillStyles.clear();
  tag_->LineStyles.clear();
  tag_->Assign(*s->tag_);
  edges_->CurrentPoint = s->edges_->CurrentPoint;
  edges_->StartPoint = s->edges_->StartPoint;
  bounds_.Assign(s->bounds_);
  fillStyle0_ = s->fillStyle0_;
  fillStyle1_ = s->fillStyle1_;
  lineStyle_ = s->lineStyle_;
  hasAlpha_ = s->hasAlpha_;
  dashed_ = s->dashed_;
  if (s->dashPattern_)
    dashPattern_ = std::make_unique<TFlashLineStyle>(*s->dashPattern_);
  else
    dashPattern_.reset();
}

void TFlashShape::SetBounds(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const int f = CoordFactor();
  bounds_.SetRect(ScaleCoord(x1, f), ScaleCoord(y1, f), ScaleCoord(x2, f), ScaleCoord(y2, f));
}

int32_t TFlashShape::ShapeWidth(bool scaled) const {
  const int f = CoordFactor();
  const int64_t w = int64_t(bounds_.Xmax() / f) - bounds_.Xmin() / f;
  return ClampToInt32(scaled ? w * f : w);
}

int32_t TFlashShape::ShapeHeight(bool scaled) const {
  const int f = CoordFactor();
  const int64_t h = int64_t(bounds_.Ymax() / f) - bounds_.Ymin() / f;
  return ClampToInt32(scaled ? h * f : h);
}

TSWFStyleChangeRecord* TFlashShape::FirstStyleRecord() {
  auto& records = tag_->ShapeRecords;
  if (records.empty() || records.front()->RecordKind() != rkStyleChange) return nullptr;
  return static_cast<TSWFStyleChangeRecord*>(records.front().get());
}

void TFlashShape::SetFillStyle0(uint16_t index) {
  TSWFStyleChangeRecord* sc = FirstStyleRecord();
  fillStyle0_ = sc ? index : 0;
  if (sc) sc->SetFill0Id(index);
}

void TFlashShape::SetFillStyle1(uint16_t index) {
  TSWFStyleChangeRecord* sc = FirstStyleRecord();
  fillStyle1_ = sc ? index : 0;
  if (sc) sc->SetFill1Id(index);
}

void TFlashShape::SetLineStyleIndex(uint16_t index) {
  TSWFStyleChangeRecord* sc = FirstStyleRecord();
  lineStyle_ = sc ? index : 0;
  if (sc) sc->SetLineId(index);
}

TSWFFillStyle& TFlashShape::AddFillStyle(std::unique_ptr<TSWFFillStyle> style) {
  TSWFFillStyle& ref = *style;
  tag_->FillStyles.push_back(std::move(style));
  SetFillStyle1(uint16_t(tag_->FillStyles.size()));
  return ref;
}

void TFlashShape::AddFillStyle(const TSWFFillStyle& style) {
  auto& fills = tag_->FillStyles;
  for (size_t i = 0; i < fills.size(); ++i)
    if (fills[i].get() == &style) return SetFillStyle1(uint16_t(i + 1));
  if (auto copy = CopyFillStyle(style)) AddFillStyle(std::move(copy));
}

TSWFLineStyle& TFlashShape::AddLineStyle(std::unique_ptr<TSWFLineStyle> style) {
  if (!style) style = std::make_unique<TSWFLineStyle>();
  TSWFLineStyle& ref = *style;
  tag_->LineStyles.push_back(std::move(style));
  SetLineStyleIndex(uint16_t(tag_->LineStyles.size()));
  return ref;
}

void TFlashShape::AddLineStyle(const TSWFLineStyle& style) {
  auto& lines = tag_->LineStyles;
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].get() == &style) return SetLineStyleIndex(uint16_t(i + 1));
  auto copy = std::make_unique<TSWFLineStyle>();
  copy->Assign(style);
  AddLineStyle(std::move(copy));
}

TSWFColorFill& TFlashShape::SetSolidColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  return SetSolidColorValue(r + 256u * g + 65536u * b + 16777216u * a);
}

TSWFColorFill& TFlashShape::SetSolidColorValue(uint32_t color) {
  auto fill = std::make_unique<TSWFColorFill>();
  fill->Color.SetRGBA(color);
  NoteAlpha(color);
  return static_cast<TSWFColorFill&>(AddFillStyle(std::move(fill)));
}

// Up to 8 colours spread evenly from ratio 0 to 255. A single colour fills
// both ends, and no colour at all gives a transparent gradient: players
// expect at least two entries.
void TFlashShape::FillGradient(TSWFGradientFill& fill, std::vector<uint32_t> colors) {
  if (colors.size() > size_t(TSWFGradientFill::kMaxEntries))
    colors.resize(TSWFGradientFill::kMaxEntries);
  if (colors.empty()) colors.push_back(0);
  if (colors.size() == 1) colors.push_back(colors.front());
  const int n = int(colors.size());
  fill.GradientCount = uint8_t(n);
  for (int i = 1; i <= n; ++i) {
    fill.GradientColor(i).SetRGBA(colors[size_t(i - 1)]);
    fill.SetGradientRatio(i, uint8_t(RoundEven(double(i - 1) / double(n - 1) * 255.0)));
    NoteAlpha(colors[size_t(i - 1)]);
  }
}

TSWFGradientFill& TFlashShape::SetLinearGradient(uint32_t color1, uint32_t color2, float angle) {
  return SetLinearGradientColors({color1, color2}, angle);
}

TSWFGradientFill& TFlashShape::SetLinearGradientColors(const std::vector<uint32_t>& colors,
                                                       float angle) {
  auto fill = std::make_unique<TSWFGradientFill>();
  FillGradient(*fill, colors);
  const double a = double(angle) * std::numbers::pi / 180.0;
  const double sx = ShapeWidth(true) / kGradientSquare, sy = ShapeHeight(true) / kGradientSquare;
  fill->Matrix.SetScale(float(std::cos(a) * sx), float(std::cos(a) * sy));
  fill->Matrix.SetSkew(float(std::sin(a) * sx), float(-std::sin(a) * sy));
  fill->Matrix.SetTranslate(ClampToInt32(int64_t(bounds_.Xmin()) + ShapeWidth(true) / 2),
                            ClampToInt32(int64_t(bounds_.Ymin()) + ShapeHeight(true) / 2));
  return static_cast<TSWFGradientFill&>(AddFillStyle(std::move(fill)));
}

TSWFGradientFill& TFlashShape::SetRadialGradient(uint32_t color1, uint32_t color2, int32_t centerX,
                                                 int32_t centerY) {
  return SetRadialGradientColors({color1, color2}, centerX, centerY);
}

TSWFGradientFill& TFlashShape::SetRadialGradientColors(const std::vector<uint32_t>& colors,
                                                       int32_t centerX, int32_t centerY) {
  auto fill = std::make_unique<TSWFGradientFill>();
  fill->SetRadial(true);
  FillGradient(*fill, colors);
  const double w = ShapeWidth(true), h = ShapeHeight(true);
  fill->Matrix.SetScale(float(w / kGradientSquare), float(h / kGradientSquare));
  fill->Matrix.SetTranslate(ClampToInt32(int64_t(RoundEven(w / 100.0 * centerX)) + bounds_.Xmin()),
                            ClampToInt32(int64_t(RoundEven(h / 100.0 * centerY)) + bounds_.Ymin()));
  return static_cast<TSWFGradientFill&>(AddFillStyle(std::move(fill)));
}

TSWFImageFill& TFlashShape::SetImageFill(TFlashIDObject& image, int32_t imageWidth,
                                         int32_t imageHeight, uint8_t mode, float scaleX,
                                         float scaleY) {
  auto fill = std::make_unique<TSWFImageFill>();
  fill->ImageID = image.GetCharacterID();
  TSWFMatrix& m = fill->Matrix;
  switch (mode) {
    case 0:
    case 2:
      fill->SetFillStyleType(mode == 2 ? fsRepeatingBitmap : fsClippedBitmap);
      m.SetScale(scaleX * 20, scaleY * 20);
      break;
    case 1:
      // A picture without size is taken as one pixel, so the scale stays finite.
      m.SetScale(float(ShapeWidth(true) / double(std::max(imageWidth, 1)) + kStretchExtra),
                 float(ShapeHeight(true) / double(std::max(imageHeight, 1)) + kStretchExtra));
      break;
    default:
      break;
  }
  if (mode <= 2)
    m.SetTranslate(ClampToInt32(int64_t(bounds_.Xmin()) - kBitmapShift),
                   ClampToInt32(int64_t(bounds_.Ymin()) - kBitmapShift));
  auto& ref = static_cast<TSWFImageFill&>(AddFillStyle(std::move(fill)));
  // The bitmap must be defined before the shape that paints with it.
  if (Owner()) Owner()->MoveObjectBefore(image, *this);
  return ref;
}

TSWFLineStyle& TFlashShape::SetLineStyle(uint16_t width, uint32_t color) {
  TSWFLineStyle& style = AddLineStyle();
  style.Width = uint16_t(std::min<int64_t>(int64_t(width) * CoordFactor(), 0xFFFF));
  style.Color.SetRGBA(color);
  NoteAlpha(color);
  return style;
}

TFlashLineStyle& TFlashShape::DashPattern() {
  if (!dashPattern_) dashPattern_ = std::make_unique<TFlashLineStyle>();
  dashed_ = true;
  return *dashPattern_;
}

TSWFShapeRecordList TFlashShape::MakeDashedRecords() const {
  const TSWFShapeRecordList& records = tag_->ShapeRecords;
  TSWFShapeRecordList out;
  // A closed outline keeps its fill: a copy of the records without lines
  // paints it first.
  if (!records.empty() && !tag_->FillStyles.empty() && edges_->StartPoint == edges_->CurrentPoint) {
    CopyShapeRecords(records, out);
    for (auto& r : out) {
      if (r->RecordKind() != rkStyleChange) continue;
      auto& sc = static_cast<TSWFStyleChangeRecord&>(*r);
      if (sc.HasLineStyle && sc.LineId() > 0) sc.SetLineId(0);
    }
  }
  TDashedOutline dasher(dashPattern_->Values(), out);
  for (const auto& r : records) dasher.Convert(*r);
  return out;
}

void TFlashShape::WriteToStream(TBitsEngine& be) {
  tag_->TagID = hasAlpha_ ? tagDefineShape3 : tagDefineShape2;
  tag_->HasAlpha = hasAlpha_;
  uint16_t widest = 0;
  for (const auto& line : tag_->LineStyles) widest = std::max(widest, line->Width);
  const int64_t half = widest / 2;
  tag_->ShapeBounds.SetRect(
      ClampToInt32(bounds_.Xmin() - half), ClampToInt32(bounds_.Ymin() - half),
      ClampToInt32(bounds_.Xmax() + half), ClampToInt32(bounds_.Ymax() + half));
  const bool dash =
      dashed_ && IsUsableDashPattern(dashPattern_->Values()) && !tag_->LineStyles.empty();
  if (!dash) {
    tag_->WriteToStream(be);
    return;
  }
  // The dashed records stand in for the shape's own only while the tag is
  // written, so the shape can be written again with the same result.
  TSWFShapeRecordList dashedRecords = MakeDashedRecords();
  std::swap(tag_->ShapeRecords, dashedRecords);
  struct TRestore {
    TSWFShapeRecordList& a;
    TSWFShapeRecordList& b;
    ~TRestore() { std::swap(a, b); }
  } restore{tag_->ShapeRecords, dashedRecords};
  tag_->WriteToStream(be);
}

}  // namespace swf
