// Rendered gradient backgrounds and bevelled borders, their cache files and
// their placement in a frame.
#include "moviegen/backgrounds.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "media/bmp_writer.h"
#include "moviegen/movie_builder.h"
#include "moviegen/moviegen_error.h"
#include "swf/objects/flash_image.h"
#include "swf/objects/flash_movie.h"
#include "swf/objects/flash_shape.h"

namespace moviegen {

using media::TBitmap32;
using project::TColor;
using project::TFrameRec;

namespace {

uint32_t Opaque(TColor c) {
  return media::ARGB(255, uint8_t(project::Red(c)), uint8_t(project::Green(c)),
                     uint8_t(project::Blue(c)));
}

void FillRect(TBitmap32& bmp, int64_t x1, int64_t y1, int64_t x2, int64_t y2, uint32_t color) {
  x1 = std::max<int64_t>(x1, 0);
  y1 = std::max<int64_t>(y1, 0);
  x2 = std::min<int64_t>(x2, bmp.Width);
  y2 = std::min<int64_t>(y2, bmp.Height);
  for (int64_t y = y1; y < y2; ++y)
    std::fill_n(&bmp.At(int32_t(x1), int32_t(y)), std::max<int64_t>(x2 - x1, 0), color);
}

struct TPoint {
  double X, Y;
};

// Fills the pixels whose centres lie inside a convex polygon.
void FillConvex(TBitmap32& bmp, std::initializer_list<TPoint> polygon, uint32_t color) {
  const std::vector<TPoint> p(polygon);
  for (int32_t y = 0; y < bmp.Height; ++y) {
    const double yc = y + 0.5;
    double lo = INFINITY, hi = -INFINITY;
    for (size_t i = 0; i < p.size(); ++i) {
      const TPoint a = p[i], b = p[(i + 1) % p.size()];
      if ((yc < a.Y && yc < b.Y) || (yc > a.Y && yc > b.Y)) continue;
      if (a.Y == b.Y) {
        lo = std::min({lo, a.X, b.X});
        hi = std::max({hi, a.X, b.X});
      } else {
        const double x = a.X + (yc - a.Y) * (b.X - a.X) / (b.Y - a.Y);
        lo = std::min(lo, x);
        hi = std::max(hi, x);
      }
    }
    if (lo > hi) continue;
    FillRect(bmp, int64_t(std::ceil(lo - 0.5)), y, int64_t(std::ceil(hi - 0.5)), y + 1, color);
  }
}

// Band p of 255 starts at trunc(p * size / 255) and is trunc(size / 255 + 1) wide.
void DrawBands(TBitmap32& bmp, const std::array<TColor, 256>& ramp, bool horizontal) {
  const double step = (horizontal ? bmp.Width : bmp.Height) / 255.0;
  const int64_t width = int64_t(step + 1);
  for (int p = 0; p < 255; ++p) {
    const int64_t from = int64_t(p * step);
    const uint32_t color = Opaque(ramp[size_t(p) + 1]);
    if (horizontal)
      FillRect(bmp, from, 0, from + width, bmp.Height, color);
    else
      FillRect(bmp, 0, from, bmp.Width, from + width, color);
  }
}

// L-shaped strips in ramp order around a corner, drawn here for the top-left
// corner: strip i runs along the far sides of the rectangle that spans
// (255 - i) / 255 of the stage from the corner.
void DrawCorner(TBitmap32& bmp, const std::array<TColor, 256>& ramp) {
  const double sx = bmp.Width / 255.0, sy = bmp.Height / 255.0;
  const int64_t tx = int64_t(sx + 1), ty = int64_t(sy + 1);
  for (int i = 0; i < 256; ++i) {
    const int64_t right = int64_t((255 - i) * sx), bottom = int64_t((255 - i) * sy);
    const uint32_t color = Opaque(ramp[size_t(i)]);
    FillRect(bmp, right - tx, 0, right, bottom, color);
    FillRect(bmp, 0, bottom - ty, right, bottom, color);
  }
}

// Bands parallel to the rising diagonal, from the top-left corner (ramp
// start) to the bottom-right corner (ramp end).
void DrawDiagonal(TBitmap32& bmp, const std::array<TColor, 256>& ramp) {
  const double w = bmp.Width, h = bmp.Height;
  const double bw = std::trunc(w / 127 + 1), bh = std::trunc(h / 127 + 1);
  for (int i = 0; i < 128; ++i) {
    const double x = std::trunc(i * w / 127), y = std::trunc(i * h / 127);
    FillConvex(bmp, {{x, 0}, {x + bw, 0}, {0, y + bh}, {0, y}}, Opaque(ramp[size_t(i)]));
  }
  for (int i = 0; i < 128; ++i) {
    const double x = std::trunc(i * w / 127), y = std::trunc(i * h / 127);
    FillConvex(bmp, {{w, y}, {w, y + bh}, {x + bw, h}, {x, h}}, Opaque(ramp[size_t(128 + i)]));
  }
}

// Every pixel takes the colour of the ray from the centre through it; a ray
// ending at border point (x, y) has ramp entry (x + y) * 255 / (W + H). Where
// rays meet at a corner, the later drawn edge wins: top, bottom, right, left.
void DrawPyramid(TBitmap32& bmp, const std::array<TColor, 256>& ramp) {
  const int64_t w = bmp.Width, h = bmp.Height;
  const int64_t cx = w / 2, cy = h / 2;
  const double f = 255.0 / double(w + h);
  auto entry = [&](double v) {
    return Opaque(ramp[size_t(std::clamp(int64_t(v * f), int64_t(0), int64_t(255)))]);
  };
  for (int64_t py = 0; py < h; ++py) {
    for (int64_t px = 0; px < w; ++px) {
      const double dx = double(px - cx), dy = double(py - cy);
      double best = INFINITY, value = double(h);  // the centre: the last line drawn
      auto hit = [&](double t, double v) {
        if (t > 0 && t <= best) {
          best = t;
          value = v;
        }
      };
      if (dy < 0) hit(-double(cy) / dy, std::nearbyint(double(cx) + dx * (-double(cy) / dy)));
      if (dy > 0) {
        const double t = double(h - cy) / dy;
        hit(t, std::nearbyint(double(cx) + dx * t) + double(h));
      }
      if (dx > 0) {
        const double t = double(w - cx) / dx;
        hit(t, std::nearbyint(double(cy) + dy * t) + double(w));
      }
      if (dx < 0) {
        const double t = double(-1 - cx) / dx;
        hit(t, std::nearbyint(double(cy) + dy * t));
      }
      bmp.At(int32_t(px), int32_t(py)) = entry(std::max(value, 0.0));
    }
  }
}

void FlipX(TBitmap32& bmp) {
  for (int32_t y = 0; y < bmp.Height; ++y) std::reverse(&bmp.At(0, y), &bmp.At(0, y) + bmp.Width);
}

void FlipY(TBitmap32& bmp) {
  for (int32_t y = 0; y < bmp.Height / 2; ++y)
    std::swap_ranges(&bmp.At(0, y), &bmp.At(0, y) + bmp.Width, &bmp.At(0, bmp.Height - 1 - y));
}

void CheckStage(int32_t width, int32_t height) {
  if (width < 1 || height < 1 || int64_t(width) * height > kMaxRenderedPixels)
    throw TMovieGenError("A background or border cannot be drawn for a stage of " +
                         std::to_string(width) + " x " + std::to_string(height) + " pixels");
}

// One ring of a border: the top row (without its last pixel) and the left
// column (without its last pixel) in `top`, the right column and the bottom
// row in `bottom`.
void DrawRing(TBitmap32& bmp, int32_t j, uint32_t top, uint32_t bottom) {
  const int32_t r = bmp.Width - 1 - j, b = bmp.Height - 1 - j;
  if (r < j || b < j) return;
  FillRect(bmp, j, j, r, j + 1, top);
  FillRect(bmp, j, j, j + 1, b, top);
  FillRect(bmp, r, j, r + 1, b + 1, bottom);
  FillRect(bmp, j, b, r + 1, b + 1, bottom);
}

}  // namespace

std::string GradientFileName(const project::TMovieSettings& s, const TFrameRec& f) {
  return std::to_string(s.MWidth) + "-" + std::to_string(s.MHeight) + "-" +
         std::to_string(f.GradStyle) + "-" + std::to_string(f.GradCol1) + "-" +
         std::to_string(f.GradCol2) + ".bmp";
}

std::string BorderFileName(const project::TMovieSettings& s, const TFrameRec& f) {
  std::string name = std::to_string(s.MWidth) + "-" + std::to_string(s.MHeight);
  for (int64_t v : {int64_t(f.BorderInnerStyle), int64_t(f.BorderOuterStyle), int64_t(f.BevelW),
                    int64_t(f.BorderW), int64_t(f.BorderCol), int64_t(f.BorderHighLightCol),
                    int64_t(f.BorderShadowCol)}) {
    name += '-';
    name += std::to_string(v);
  }
  return name + ".bmp";
}

std::array<TColor, 256> GradientRamp(TColor c1, TColor c2) {
  std::array<TColor, 256> ramp;
  ramp[0] = c1;
  auto channel = [](int a, int b, int k) {
    return int(std::nearbyint(a + double(k - 1) * double(b - a) / 255.0));
  };
  for (int k = 1; k < 256; ++k)
    ramp[size_t(k)] = project::RGB(channel(project::Red(c1), project::Red(c2), k),
                                   channel(project::Green(c1), project::Green(c2), k),
                                   channel(project::Blue(c1), project::Blue(c2), k));
  return ramp;
}

TBitmap32 RenderGradient(int32_t width, int32_t height, const TFrameRec& frame) {
  CheckStage(width, height);
  const auto ramp = GradientRamp(frame.GradCol1, frame.GradCol2);
  // Pixels no band reaches keep the colour at the gradient's end.
  TBitmap32 bmp(width, height, Opaque(ramp[255]));
  switch (frame.GradStyle) {
    case project::bgHorizontal:
      DrawBands(bmp, ramp, true);
      break;
    case project::bgBottomLeft:
      DrawCorner(bmp, ramp);
      FlipY(bmp);
      break;
    case project::bgBottomRight:
      DrawCorner(bmp, ramp);
      FlipX(bmp);
      FlipY(bmp);
      break;
    case project::bgTopLeft:
      DrawCorner(bmp, ramp);
      break;
    case project::bgTopRight:
      DrawCorner(bmp, ramp);
      FlipX(bmp);
      break;
    case project::bgDiagonalFalling:
      DrawDiagonal(bmp, ramp);
      break;
    case project::bgDiagonalRising:
      DrawDiagonal(bmp, ramp);
      FlipY(bmp);
      break;
    case project::bgPyramid:
      DrawPyramid(bmp, ramp);
      break;
    default:
      DrawBands(bmp, ramp, false);
      break;
  }
  return bmp;
}

TBitmap32 RenderBorder(int32_t width, int32_t height, const TFrameRec& frame) {
  CheckStage(width, height);
  // The transparent colour is kept in drawn pixels too: a ring of exactly
  // that colour stays see-through.
  const uint32_t clear = media::ARGB(0, 254, 255, 255);
  TBitmap32 bmp(width, height, clear);
  const int32_t rings = std::min(width, height) / 2 + 1;
  const int32_t bevel = std::clamp(frame.BevelW, 0, rings),
                band = std::clamp(frame.BorderW, 0, rings);
  int32_t j = 0;
  auto bevelRings = [&](uint8_t style) {
    if (style == project::fbNone) return;
    const bool raised = style == project::fbRaised;
    const uint32_t light = Opaque(frame.BorderHighLightCol), shadow = Opaque(frame.BorderShadowCol);
    for (int32_t k = 0; k < bevel; ++k, ++j)
      DrawRing(bmp, j, raised ? light : shadow, raised ? shadow : light);
  };
  bevelRings(frame.BorderOuterStyle);
  for (int32_t k = 0; k < band; ++k, ++j)
    DrawRing(bmp, j, Opaque(frame.BorderCol), Opaque(frame.BorderCol));
  bevelRings(frame.BorderInnerStyle);
  for (uint32_t& pixel : bmp.Pixels)
    if ((pixel & 0xFFFFFF) == (clear & 0xFFFFFF)) pixel = clear;
  return bmp;
}

// Renders the bitmap into the cache unless its file is there, and adds it
// to the movie once per build.
std::string TMovieBuilder::RenderedImage(const std::string& fileName, bool border,
                                         const TFrameRec& frame) {
  const std::string path = cacheDir_ + fileName;
  std::lock_guard lock(CacheLock());
  std::error_code ignored;
  if (!std::filesystem::exists(path, ignored)) {
    const int32_t w = doc_.Settings.MWidth, h = doc_.Settings.MHeight;
    if (border)
      media::SaveBMP(path, RenderBorder(w, h, frame), 32);
    else
      media::SaveBMP(path, RenderGradient(w, h, frame), 24);
  }
  if (!FindImage(TImageKind::Rendered, path, 0)) {
    swf::TFlashImage& image = AddImageFile(path);
    images_[{TImageKind::Rendered, path, 0, 0}] = &image;
  }
  return path;
}

void TMovieBuilder::RegisterBackgrounds() {
  for (int32_t l = first_; l <= last_; ++l) {
    const TFrameRec& frame = doc_.Frames[size_t(l)];
    if (frame.AddGrad == 1) RenderedImage(GradientFileName(doc_.Settings, frame), false, frame);
  }
  for (int32_t l = first_; l <= last_; ++l) {
    const TFrameRec& frame = doc_.Frames[size_t(l)];
    if (frame.AddBorder == 1) RenderedImage(BorderFileName(doc_.Settings, frame), true, frame);
  }
}

void TMovieBuilder::PlaceBackground(int32_t l) {
  const project::TMovieSettings& s = doc_.Settings;
  const TFrameRec& frame = doc_.Frames[size_t(l)];
  if (frame.AddGrad == 1) {
    swf::TFlashImage* image =
        FindImage(TImageKind::Rendered, cacheDir_ + GradientFileName(s, frame), 0);
    swf::TFlashShape& shape = movie_->AddRectangle(0, 0, s.MWidth, s.MHeight);
    if (image) shape.SetImageFill(*image, 1, 1.0f, 1.0f);
    PlaceAt(shape, depths_.Background(l));
  } else if (frame.BkgrColor == s.MBkgrColor) {
    movie_->BackgroundColor().SetRGB({uint8_t(project::Red(s.MBkgrColor)),
                                      uint8_t(project::Green(s.MBkgrColor)),
                                      uint8_t(project::Blue(s.MBkgrColor))});
    host_.SetPlayerBackground(s.MBkgrColor);
  } else {
    swf::TFlashShape& shape = movie_->AddRectangle(0, 0, s.MWidth, s.MHeight);
    shape.SetSolidColor(uint8_t(project::Red(frame.BkgrColor)),
                        uint8_t(project::Green(frame.BkgrColor)),
                        uint8_t(project::Blue(frame.BkgrColor)), 255);
    PlaceAt(shape, depths_.Background(l));
  }
}

void TMovieBuilder::PlaceBorder(int32_t l) {
  const TFrameRec& frame = doc_.Frames[size_t(l)];
  if (frame.AddBorder != 1) return;
  const project::TMovieSettings& s = doc_.Settings;
  swf::TFlashImage* image =
      FindImage(TImageKind::Rendered, cacheDir_ + BorderFileName(s, frame), 0);
  swf::TFlashShape& shape = movie_->AddRectangle(0, 0, s.MWidth, s.MHeight);
  if (image) shape.SetImageFill(*image, 1, 1.0f, 1.0f);
  PlaceAt(shape, depths_.Border(l));
}

}  // namespace moviegen
