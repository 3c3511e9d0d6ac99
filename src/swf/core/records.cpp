#include "swf/core/records.h"

#include <cmath>
#include <utility>

#include "swf/core/bit_math.h"

namespace swf {

uint32_t PackRGB(const TSWFRGBRec& c) { return c.R | (c.G << 8) | (c.B << 16); }

uint32_t PackRGBA(const TSWFRGBARec& c) {
  return c.R | (c.G << 8) | (c.B << 16) | (uint32_t(c.A) << 24);
}

TSWFRGBRec ColorToRGBRec(uint32_t color) {
  return {uint8_t(color), uint8_t(color >> 8), uint8_t(color >> 16)};
}

void TSWFRGB::SetRGB(const TSWFRGBRec& rec) {
  R = rec.R;
  G = rec.G;
  B = rec.B;
}

void TSWFRGB::Assign(const TSWFRGB& source) { SetRGB(source.RGB()); }

TSWFRGBA::TSWFRGBA(bool hasAlpha) : a_(hasAlpha ? 0 : 255), hasAlpha_(hasAlpha) {}

void TSWFRGBA::SetRGB(const TSWFRGBRec& rec) {
  TSWFRGB::SetRGB(rec);
  a_ = 255;
}

void TSWFRGBA::Assign(const TSWFRGB& source) {
  if (auto* rgba = dynamic_cast<const TSWFRGBA*>(&source)) {
    TSWFRGB::SetRGB(rgba->RGB());
    a_ = rgba->a_;
    hasAlpha_ = rgba->hasAlpha_;
  } else {
    SetRGB(source.RGB());
  }
}

void TSWFRGBA::SetA(uint8_t a) {
  a_ = a;
  if (a != 255) hasAlpha_ = true;
}

void TSWFRGBA::SetHasAlpha(bool hasAlpha) {
  hasAlpha_ = hasAlpha;
  if (!hasAlpha) a_ = 255;
}

void TSWFRGBA::SetRGBA(uint32_t packed) {
  TSWFRGB::SetRGB({uint8_t(packed), uint8_t(packed >> 8), uint8_t(packed >> 16)});
  SetA(uint8_t(packed >> 24));
}

void TSWFRect::SetRec(const TSWFRectRec& rec) {
  rec_ = rec;
  OrderX();
  OrderY();
}

void TSWFRect::SetRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  SetRec({left, right, top, bottom});
}

void TSWFRect::OrderX() {
  if (rec_.Xmax < rec_.Xmin) std::swap(rec_.Xmin, rec_.Xmax);
}

void TSWFRect::OrderY() {
  if (rec_.Ymax < rec_.Ymin) std::swap(rec_.Ymin, rec_.Ymax);
}

TSWFColorTransformRec TSWFColorTransform::Rec() const {
  TSWFColorTransformRec r;
  r.HasAlpha = hasAlpha_;
  r.HasAdd = hasAdd_;
  if (hasAdd_) {
    r.RedAdd = int16_t(redAdd_);
    r.GreenAdd = int16_t(greenAdd_);
    r.BlueAdd = int16_t(blueAdd_);
    if (hasAlpha_) r.AlphaAdd = int16_t(alphaAdd_);
  }
  r.HasMult = hasMult_;
  if (hasMult_) {
    r.RedMult = int16_t(redMult_);
    r.GreenMult = int16_t(greenMult_);
    r.BlueMult = int16_t(blueMult_);
    if (hasAlpha_) r.AlphaMult = int16_t(alphaMult_);
  }
  return r;
}

void TSWFColorTransform::SetRec(const TSWFColorTransformRec& r) {
  hasAlpha_ = r.HasAlpha;
  hasAdd_ = r.HasAdd;
  if (r.HasAdd) {
    redAdd_ = r.RedAdd;
    greenAdd_ = r.GreenAdd;
    blueAdd_ = r.BlueAdd;
    if (r.HasAlpha) alphaAdd_ = r.AlphaAdd;
  }
  hasMult_ = r.HasMult;
  if (r.HasMult) {
    redMult_ = r.RedMult;
    greenMult_ = r.GreenMult;
    blueMult_ = r.BlueMult;
    if (r.HasAlpha) alphaMult_ = r.AlphaMult;
  }
}

void TSWFMatrix::SetScale(float scaleX, float scaleY) {
  rec_.ScaleX = SingleToFixed(scaleX);
  rec_.ScaleY = SingleToFixed(scaleY);
  rec_.HasScale = true;
}

void TSWFMatrix::SetSkew(float a, float b) {
  rec_.RotateSkew1 = SingleToFixed(a);
  rec_.RotateSkew0 = SingleToFixed(b);
  rec_.HasRotate = true;
}

float TSWFMatrix::ScaleX() const { return FixedToSingle(rec_.ScaleX); }
float TSWFMatrix::ScaleY() const { return FixedToSingle(rec_.ScaleY); }
float TSWFMatrix::RotateSkew0() const { return FixedToSingle(rec_.RotateSkew0); }
float TSWFMatrix::RotateSkew1() const { return FixedToSingle(rec_.RotateSkew1); }

void TSWFMatrix::SetRotate(float angle) {
  const double radians = double(angle) * M_PI / 180.0;
  const double s = std::sin(radians), c = std::cos(radians);
  const double sx = rec_.HasScale ? ScaleX() : 1.0, sy = rec_.HasScale ? ScaleY() : 1.0;
  const double r0 = rec_.HasRotate ? RotateSkew0() : 0.0, r1 = rec_.HasRotate ? RotateSkew1() : 0.0;
  rec_.ScaleX = SingleToFixed(c * sx + s * r0);
  rec_.ScaleY = SingleToFixed(c * sy - s * r1);
  rec_.RotateSkew1 = SingleToFixed(s * sy + c * r1);
  rec_.RotateSkew0 = SingleToFixed(-s * sx + c * r0);
  rec_.HasScale = true;
  rec_.HasRotate = true;
}

}  // namespace swf
