#pragma once
// Frame backgrounds and borders are not SWF gradients: each is rendered once
// into a stage-sized bitmap, cached as a BMP file named after its parameters
// and embedded as an image that fills a stage-sized rectangle.
#include <array>
#include <cstdint>
#include <string>

#include "media/bitmap32.h"
#include "project/model.h"

namespace moviegen {

// Cache file names (without folder): the stage size and the parameters in
// signed decimal, joined by "-", with ".bmp".
std::string GradientFileName(const project::TMovieSettings& settings,
                             const project::TFrameRec& frame);
std::string BorderFileName(const project::TMovieSettings& settings,
                           const project::TFrameRec& frame);

// The 256 colours from c1 toward c2 (0x00BBGGRR): entry 0 is c1, entry k
// is c1 + (k - 1) * (c2 - c1) / 255 per channel.
std::array<project::TColor, 256> GradientRamp(project::TColor c1, project::TColor c2);

// The gradient of a frame, opaque, width x height pixels. An unknown style
// is drawn as the vertical one.
media::TBitmap32 RenderGradient(int32_t width, int32_t height, const project::TFrameRec& frame);

// The bevelled border of a frame: concentric one-pixel rings from the edge
// inward (outer bevel, band, inner bevel), opaque; the rest transparent.
media::TBitmap32 RenderBorder(int32_t width, int32_t height, const project::TFrameRec& frame);

// The largest stage a background or border is rendered for (pixels).
inline constexpr int64_t kMaxRenderedPixels = int64_t(1) << 24;

}  // namespace moviegen
