#pragma once
// TFlashShape: the shape character of a movie. It owns a shape tag with its
// records and styles, the edges that draw into it, its bounds and an
// optional dash pattern that turns the outline into dashes when written.
//
// Build order: geometry and bounds (the movie's Add... members), then fills
// and line styles (which need the bounds), then the dash pattern.
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

#include "swf/objects/flash_edges.h"
#include "swf/objects/flash_object.h"
#include "swf/tags/shape_tags.h"

namespace swf {

// A dash pattern: lengths in pixels, taken in turn and repeated; the pen
// draws the first, skips the second, and so on.
class TFlashLineStyle {
 public:
  int Count() const { return int(items_.size()); }
  uint8_t Items(int i) const { return i >= 0 && i < Count() ? items_[size_t(i)] : 0; }
  // Grows with zeros or shrinks from the end.
  void SetCount(int n) { items_.resize(size_t(std::max(n, 0)), 0); }
  void SetItem(int i, uint8_t value) {
    if (i >= 0 && i < Count()) items_[size_t(i)] = value;
  }
  void SetPattern(std::initializer_list<uint8_t> values) { items_.assign(values); }
  void SetPattern(const std::vector<uint8_t>& values) { items_ = values; }
  const std::vector<uint8_t>& Values() const { return items_; }

 private:
  std::vector<uint8_t> items_;
};

class TFlashShape : public TFlashVisualObject {
 public:
  explicit TFlashShape(TFlashMovie* owner = nullptr);
  ~TFlashShape() override;

  // Copies the geometry, styles, selections, bounds, dash pattern and
  // HasAlpha of another shape, replacing this shape's own.
  void Assign(const TBasedSWFObject& source) override;
  int MinVersion() const override { return 2 + (hasAlpha_ ? 1 : 0); }
  // DefineShape3 when some colour is translucent, else DefineShape2; the
  // bounds grow by half the widest line.
  void WriteToStream(TBitsEngine& be) override;
  void SetCharacterID(uint16_t id) override;

  // Corners in user units; stored in twips, ordered.
  void SetBounds(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  const TSWFRect& ShapeBounds() const { return bounds_; }
  // In twips when scaled, else in user units.
  int32_t ShapeWidth(bool scaled) const;
  int32_t ShapeHeight(bool scaled) const;
  int32_t Xmin() const { return bounds_.Xmin() / CoordFactor(); }
  int32_t Xmax() const { return bounds_.Xmax() / CoordFactor(); }
  int32_t Ymin() const { return bounds_.Ymin() / CoordFactor(); }
  int32_t Ymax() const { return bounds_.Ymax() / CoordFactor(); }

  // Colours are packed 0xAABBGGRR; an alpha below 255 makes the shape a DefineShape3.
  TSWFColorFill& SetSolidColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255);
  TSWFColorFill& SetSolidColorValue(uint32_t color);
  // With angle 0 the first colour is at the left edge of the bounds, the last at the right.
  TSWFGradientFill& SetLinearGradient(uint32_t color1, uint32_t color2, float angle);
  TSWFGradientFill& SetLinearGradientColors(const std::vector<uint32_t>& colors, float angle);
  // The centre in signed per cent of the bounds; the outer circle spans the bounds.
  TSWFGradientFill& SetRadialGradient(uint32_t color1, uint32_t color2, int32_t centerX,
                                      int32_t centerY);
  TSWFGradientFill& SetRadialGradientColors(const std::vector<uint32_t>& colors, int32_t centerX,
                                            int32_t centerY);
  // Mode 0: the image at its own size times the scales; 1: stretched over
  // the bounds (scales ignored); 2: tiled at the scales; other: identity.
  // Any bitmap character with GetCharacterID, ImageWidth and ImageHeight
  // (pixels) will do, such as TFlashImage.
  template <class TImage>
  TSWFImageFill& SetImageFill(TImage& image, uint8_t mode, float scaleX, float scaleY) {
    return SetImageFill(static_cast<TFlashIDObject&>(image), int32_t(image.ImageWidth()),
                        int32_t(image.ImageHeight()), mode, scaleX, scaleY);
  }
  TSWFImageFill& SetImageFill(TFlashIDObject& image, int32_t imageWidth, int32_t imageHeight,
                              uint8_t mode, float scaleX, float scaleY);
  // Width in user units; a new line style, selected for the outline.
  TSWFLineStyle& SetLineStyle(uint16_t width, uint32_t color);

  // Appends the style and selects it as fill style 1.
  TSWFFillStyle& AddFillStyle(std::unique_ptr<TSWFFillStyle> style);
  // Selects a style of this shape's list again (a copy is appended when it is not there).
  void AddFillStyle(const TSWFFillStyle& style);
  // Appends the style (a new one when none is given) and selects it.
  TSWFLineStyle& AddLineStyle(std::unique_ptr<TSWFLineStyle> style = nullptr);
  void AddLineStyle(const TSWFLineStyle& style);

  // 1-based indexes into the tag's lists, selected on the first record.
  void SetFillStyle0(uint16_t index);
  void SetFillStyle1(uint16_t index);
  void SetLineStyleIndex(uint16_t index);
  uint16_t FillStyle0() const { return fillStyle0_; }
  uint16_t FillStyle1() const { return fillStyle1_; }
  uint16_t LineStyleIndex() const { return lineStyle_; }

  // Created on first use, which makes the outline dashed. A pattern without
  // any non-zero entry, or a shape without line styles, keeps a solid outline.
  TFlashLineStyle& DashPattern();
  bool Dashed() const { return dashed_; }
  bool HasAlpha() const { return hasAlpha_; }

  TFlashEdges& Edges() { return *edges_; }
  TSWFDefineShape3& ShapeTag() { return *tag_; }
  const TSWFDefineShape3& ShapeTag() const { return *tag_; }

 protected:
  void ChangeOwner() override;

 private:
  void NoteAlpha(uint32_t color) {
    if (color < 0xFF000000u) hasAlpha_ = true;
  }
  void FillGradient(TSWFGradientFill& fill, std::vector<uint32_t> colors);
  TSWFStyleChangeRecord* FirstStyleRecord();
  TSWFShapeRecordList MakeDashedRecords() const;

  std::unique_ptr<TSWFDefineShape3> tag_;
  std::unique_ptr<TFlashEdges> edges_;
  TSWFRect bounds_;
  std::unique_ptr<TFlashLineStyle> dashPattern_;
  uint16_t fillStyle0_ = 0, fillStyle1_ = 0, lineStyle_ = 0;
  bool dashed_ = false;
  bool hasAlpha_ = false;
};

}  // namespace swf
