// Shape objects: rectangles, rounded rectangles, circles, ellipses, diamonds
// and stars with their fill, outline and transparency.
#include <algorithm>

#include "moviegen/movie_builder.h"
#include "moviegen/object_colors.h"
#include "swf/objects/flash_image.h"
#include "swf/objects/flash_movie.h"
#include "swf/objects/flash_shape.h"

namespace moviegen {

using project::TShapeRec;

swf::TFlashPlaceObject* TMovieBuilder::DrawShape(int32_t l, int e, TShapeRec& slot, int32_t x,
                                                 int32_t y) {
  const int32_t x2 = AddClamped(x, slot.W), y2 = AddClamped(y, slot.H);
  swf::TFlashShape* shape = nullptr;
  switch (slot.Object) {
    case project::skRectangle:
      shape = &movie_->AddRectangle(x, y, x2, y2);
      break;
    case project::skRoundRect:
      shape = &movie_->AddRoundRect(x, y, x2, y2, slot.Radius);
      break;
    case project::skCircle:
      shape = &movie_->AddCircle(x, y, slot.Radius);
      break;
    case project::skEllipse:
      shape = &movie_->AddEllipse(x, y, x2, y2);
      break;
    case project::skDiamond:
      shape = &movie_->AddDiamond(x, y, x2, y2);
      break;
    default:  // skStar: the library keeps the number of points within 2..360
      shape = &movie_->AddStar(x, y, slot.W, slot.H, uint16_t(std::clamp(slot.Radius, 0, 0xFFFF)),
                               false);
      break;
  }
  FillShape(*shape, slot);
  const uint8_t a = DrawnAlpha(slot.Alpha);
  if (slot.Border > 0) shape->SetLineStyle(LineWidth(slot.Border), Packed(slot.BorderColor, a));
  return &Place(*shape, l, e, slot.Angle);
}

void TMovieBuilder::FillShape(swf::TFlashShape& shape, TShapeRec& slot) {
  const uint8_t a = DrawnAlpha(slot.Alpha);
  switch (slot.Fill) {
    case project::fkSolid:
      shape.SetSolidColor(uint8_t(project::Red(slot.Color)), uint8_t(project::Green(slot.Color)),
                          uint8_t(project::Blue(slot.Color)), a);
      break;
    case project::fkLinear:
      shape.SetLinearGradient(Packed(slot.GrColor1, a), Packed(slot.GrColor2, a), 0);
      break;
    case project::fkRadial:
      shape.SetRadialGradient(Packed(slot.GrColor1, a), Packed(slot.GrColor2, a), slot.GrX,
                              slot.GrY);
      break;
    case project::fkBitmap: {
      if (Resolve(slot.Text).empty()) break;
      swf::TFlashImage* image = FindImage(TImageKind::Picture, slot.Text, slot.Alpha);
      if (!image) break;
      ApplyPictureAlpha(*image, slot);
      shape.SetImageFill(*image, 1, 1.0f, 1.0f);
      break;
    }
    default:  // fkNone
      break;
  }
}

}  // namespace moviegen
