#pragma once
// The basic SWF value records (plain data) and the value objects that hold
// them inside tags, with the flag rules the tags rely on.
#include <cstdint>

namespace swf {

struct TSWFRGBRec {
  uint8_t R = 0, G = 0, B = 0;
  bool operator==(const TSWFRGBRec&) const = default;
};

struct TSWFRGBARec {
  uint8_t R = 0, G = 0, B = 0, A = 0;
  bool operator==(const TSWFRGBARec&) const = default;
};

struct TSWFRectRec {
  int32_t Xmin = 0, Xmax = 0, Ymin = 0, Ymax = 0;
  bool operator==(const TSWFRectRec&) const = default;
};

struct TSWFMatrixRec {
  bool HasScale = false, HasRotate = false;
  int32_t ScaleX = 0, ScaleY = 0, RotateSkew1 = 0, RotateSkew0 = 0;  // 16.16 fixed
  int32_t TranslateX = 0, TranslateY = 0;                            // twips
  bool operator==(const TSWFMatrixRec&) const = default;
};

struct TSWFColorTransformRec {
  int16_t RedAdd = 0, GreenAdd = 0, BlueAdd = 0, AlphaAdd = 0;
  int16_t RedMult = 0, GreenMult = 0, BlueMult = 0, AlphaMult = 0;  // 8.8 fixed
  bool HasAdd = false, HasMult = false, HasAlpha = false;
  bool operator==(const TSWFColorTransformRec&) const = default;
};

// Packed colours: R + G*256 + B*65536 (+ A*2^24).
uint32_t PackRGB(const TSWFRGBRec& c);
uint32_t PackRGBA(const TSWFRGBARec& c);

// A Windows colour 0x00BBGGRR.
TSWFRGBRec ColorToRGBRec(uint32_t color);

class TSWFRGB {
 public:
  TSWFRGB() = default;
  TSWFRGB(uint8_t r, uint8_t g, uint8_t b) : R(r), G(g), B(b) {}
  virtual ~TSWFRGB() = default;

  virtual void SetRGB(const TSWFRGBRec& rec);
  virtual void Assign(const TSWFRGB& source);
  TSWFRGBRec RGB() const { return {R, G, B}; }

  uint8_t R = 0, G = 0, B = 0;
};

// Setting A below 255 switches HasAlpha on; nothing but SetHasAlpha(false) switches it off.
class TSWFRGBA : public TSWFRGB {
 public:
  explicit TSWFRGBA(bool hasAlpha = false);

  void SetRGB(const TSWFRGBRec& rec) override;
  void Assign(const TSWFRGB& source) override;
  void SetA(uint8_t a);
  uint8_t A() const { return a_; }
  void SetHasAlpha(bool hasAlpha);
  bool HasAlpha() const { return hasAlpha_; }
  void SetRGBA(uint32_t packed);
  TSWFRGBARec RGBA() const { return {R, G, B, a_}; }

 private:
  uint8_t a_ = 255;
  bool hasAlpha_ = false;
};

// Every setter keeps Xmin <= Xmax and Ymin <= Ymax.
class TSWFRect {
 public:
  TSWFRect() = default;
  TSWFRect(int32_t left, int32_t top, int32_t right, int32_t bottom) { SetRect(left, top, right, bottom); }

  void SetXmin(int32_t v) { rec_.Xmin = v; OrderX(); }
  void SetXmax(int32_t v) { rec_.Xmax = v; OrderX(); }
  void SetYmin(int32_t v) { rec_.Ymin = v; OrderY(); }
  void SetYmax(int32_t v) { rec_.Ymax = v; OrderY(); }
  void SetRec(const TSWFRectRec& rec);
  void SetRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
  void Assign(const TSWFRect& source) { rec_ = source.rec_; }

  int32_t Xmin() const { return rec_.Xmin; }
  int32_t Xmax() const { return rec_.Xmax; }
  int32_t Ymin() const { return rec_.Ymin; }
  int32_t Ymax() const { return rec_.Ymax; }
  const TSWFRectRec& Rec() const { return rec_; }

 private:
  void OrderX();
  void OrderY();
  TSWFRectRec rec_;
};

// Setting an add term sets HasAdd, a multiply term HasMult; either alpha term sets HasAlpha.
class TSWFColorTransform {
 public:
  void SetRedAdd(int32_t v) { redAdd_ = v; hasAdd_ = true; }
  void SetGreenAdd(int32_t v) { greenAdd_ = v; hasAdd_ = true; }
  void SetBlueAdd(int32_t v) { blueAdd_ = v; hasAdd_ = true; }
  void SetAlphaAdd(int32_t v) { alphaAdd_ = v; hasAdd_ = true; hasAlpha_ = true; }
  void SetRedMult(int32_t v) { redMult_ = v; hasMult_ = true; }
  void SetGreenMult(int32_t v) { greenMult_ = v; hasMult_ = true; }
  void SetBlueMult(int32_t v) { blueMult_ = v; hasMult_ = true; }
  void SetAlphaMult(int32_t v) { alphaMult_ = v; hasMult_ = true; hasAlpha_ = true; }
  void SetHasAlpha(bool v) { hasAlpha_ = v; }
  void SetHasAdd(bool v) { hasAdd_ = v; }
  void SetHasMult(bool v) { hasMult_ = v; }

  bool HasAdd() const { return hasAdd_; }
  bool HasMult() const { return hasMult_; }
  bool HasAlpha() const { return hasAlpha_; }
  int32_t RedAdd() const { return redAdd_; }
  int32_t GreenAdd() const { return greenAdd_; }
  int32_t BlueAdd() const { return blueAdd_; }
  int32_t AlphaAdd() const { return alphaAdd_; }
  int32_t RedMult() const { return redMult_; }
  int32_t GreenMult() const { return greenMult_; }
  int32_t BlueMult() const { return blueMult_; }
  int32_t AlphaMult() const { return alphaMult_; }

  TSWFColorTransformRec Rec() const;
  void SetRec(const TSWFColorTransformRec& rec);
  void Assign(const TSWFColorTransform& source) { *this = source; }

 private:
  int32_t redAdd_ = 0, greenAdd_ = 0, blueAdd_ = 0, alphaAdd_ = 0;
  int32_t redMult_ = 0, greenMult_ = 0, blueMult_ = 0, alphaMult_ = 0;
  bool hasAdd_ = false, hasMult_ = false, hasAlpha_ = false;
};

class TSWFMatrix {
 public:
  void SetScale(float scaleX, float scaleY);
  // Stores RotateSkew1 := a and RotateSkew0 := b, in this parameter order.
  void SetSkew(float a, float b);
  void SetTranslate(int32_t x, int32_t y) { rec_.TranslateX = x; rec_.TranslateY = y; }
  // Rotates the current matrix by the angle (degrees).
  void SetRotate(float angle);
  void SetRec(const TSWFMatrixRec& rec) { rec_ = rec; }
  void Assign(const TSWFMatrix& source) { rec_ = source.rec_; }

  float ScaleX() const;
  float ScaleY() const;
  float RotateSkew0() const;
  float RotateSkew1() const;
  int32_t TranslateX() const { return rec_.TranslateX; }
  int32_t TranslateY() const { return rec_.TranslateY; }
  bool HasScale() const { return rec_.HasScale; }
  bool HasRotate() const { return rec_.HasRotate; }
  const TSWFMatrixRec& Rec() const { return rec_; }

 private:
  TSWFMatrixRec rec_;
};

}  // namespace swf
