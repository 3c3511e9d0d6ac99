#include "player/bitmap_decode.h"

#include <jpeglib.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cmath>
#include <cstdio>

namespace player {
namespace {

// Inflates a zlib stream piece by piece, so a large bitmap never needs all
// of its raw bytes in memory at once.
class TInflater {
 public:
  explicit TInflater(const std::vector<uint8_t>& in) {
    ok_ = inflateInit(&z_) == Z_OK;
    z_.next_in = const_cast<uint8_t*>(in.data());
    z_.avail_in = uInt(std::min<size_t>(in.size(), UINT32_MAX));
  }
  ~TInflater() {
    if (ok_) inflateEnd(&z_);
  }
  TInflater(const TInflater&) = delete;
  TInflater& operator=(const TInflater&) = delete;

  // Writes up to size bytes into out; returns how many came. Once the
  // stream has ended (or broke off), nothing more comes.
  size_t Read(uint8_t* out, size_t size) {
    if (!ok_ || ended_) return 0;
    z_.next_out = out;
    z_.avail_out = uInt(size);
    while (z_.avail_out > 0) {
      if (inflate(&z_, Z_NO_FLUSH) != Z_OK) {
        ended_ = true;
        break;
      }
    }
    const size_t produced = size - z_.avail_out;
    total_ += produced;
    return produced;
  }
  bool Ended() const { return ended_ || !ok_; }
  size_t Total() const { return total_; }

 private:
  z_stream z_{};
  bool ok_ = false;
  bool ended_ = false;
  size_t total_ = 0;
};

// The smallest whole step (1, 2, 3...) that brings a w x h bitmap within
// the pixel budget when every step-th pixel of every step-th row is kept.
size_t StepWithin(size_t w, size_t h, size_t budget) {
  size_t step = 1;
  while (((w + step - 1) / step) * ((h + step - 1) / step) > budget) ++step;
  return step;
}

uint32_t Premultiplied(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
  r = std::min(r, a);
  g = std::min(g, a);
  b = std::min(b, a);
  return uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}

struct TJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
};

void OnJpegError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<TJpegError*>(info->err)->Jump, 1);
}
void OnJpegMessage(j_common_ptr) {}

// libjpeg reports errors through longjmp: nothing with a destructor lives
// in this function's frame. A picture over the budget is decoded at 1/2, 1/4
// or 1/8 by libjpeg (cheaper than the whole) and, beyond that, every
// step-th pixel kept.
bool DecodeJpeg(const uint8_t* data, size_t size, size_t budget, TPixels& out) {
  jpeg_decompress_struct info;
  TJpegError error;
  info.err = jpeg_std_error(&error.Manager);
  error.Manager.error_exit = OnJpegError;
  error.Manager.output_message = OnJpegMessage;
  if (setjmp(error.Jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  const size_t fullW = info.image_width, fullH = info.image_height;
  if (fullW == 0 || fullH == 0) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.scale_num = 1;
  info.scale_denom = 1;
  while (info.scale_denom < 8 && StepWithin(fullW, fullH, budget) > info.scale_denom)
    info.scale_denom *= 2;
  jpeg_start_decompress(&info);
  const size_t w = info.output_width, h = info.output_height;
  if (info.output_components != 3 || w == 0 || h == 0) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  const size_t step = StepWithin(w, h, budget);
  out.Width = int((w + step - 1) / step);
  out.Height = int((h + step - 1) / step);
  out.ScaleX = double(fullW) / out.Width;
  out.ScaleY = double(fullH) / out.Height;
  out.Data.assign(size_t(out.Width) * out.Height, 0xFF000000u);
  JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                             JDIMENSION(w * 3), 1);
  while (info.output_scanline < h) {
    const size_t y = info.output_scanline;
    if (jpeg_read_scanlines(&info, row, 1) != 1) break;
    if (y % step) continue;
    uint32_t* dst = out.Data.data() + (y / step) * size_t(out.Width);
    for (size_t x = 0; x < size_t(out.Width); ++x) {
      const JSAMPLE* p = row[0] + 3 * x * step;
      dst[x] = 0xFF000000u | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    }
  }
  jpeg_abort_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

// The alpha plane holds one byte per pixel of the whole picture; a picture
// kept smaller takes the byte of the pixel each stored one stands for. A
// short plane leaves the rest opaque.
void ApplyAlphaPlane(const std::vector<uint8_t>& alphaData, TPixels& pixels) {
  const size_t fullW = size_t(std::lround(pixels.Width * pixels.ScaleX));
  const size_t fullH = size_t(std::lround(pixels.Height * pixels.ScaleY));
  TInflater inflater(alphaData);
  std::vector<uint8_t> row(fullW, 255);
  size_t rowsRead = 0;
  for (size_t y = 0; y < size_t(pixels.Height); ++y) {
    const size_t source = std::min(fullH - 1, size_t(y * pixels.ScaleY));
    for (; rowsRead <= source; ++rowsRead) {
      std::fill(row.begin(), row.end(), uint8_t(255));
      inflater.Read(row.data(), fullW);
    }
    uint32_t* dst = &pixels.Data[y * size_t(pixels.Width)];
    for (size_t x = 0; x < size_t(pixels.Width); ++x) {
      const uint32_t p = dst[x];
      const uint8_t a = row[std::min(fullW - 1, size_t(x * pixels.ScaleX))];
      dst[x] = Premultiplied(a, uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p));
    }
  }
}

std::unique_ptr<TPixels> DecodeJpegBitmap(const TBitmapCharacter& bitmap, size_t budget) {
  const std::vector<uint8_t> jpeg = CleanJpegData(bitmap.Data);
  auto pixels = std::make_unique<TPixels>();
  if (!DecodeJpeg(jpeg.data(), jpeg.size(), budget, *pixels)) return nullptr;
  if (!bitmap.AlphaData.empty()) ApplyAlphaPlane(bitmap.AlphaData, *pixels);
  return pixels;
}

uint32_t LosslessPixel(const TBitmapCharacter& bitmap, const uint8_t* row, size_t x,
                       const std::vector<uint32_t>& palette) {
  if (bitmap.Format == 3) return row[x] < bitmap.ColorTableSize ? palette[row[x]] : 0;
  if (bitmap.Format == 4) {
    const unsigned v = row[2 * x] << 8 | row[2 * x + 1];
    auto five = [](unsigned c) { return uint8_t((c << 3) | (c >> 2)); };
    return Premultiplied(255, five((v >> 10) & 31), five((v >> 5) & 31), five(v & 31));
  }
  const uint8_t* p = &row[4 * x];
  return Premultiplied(bitmap.HasAlpha ? p[0] : 255, p[1], p[2], p[3]);
}

// Rows are inflated one at a time; a bitmap over the budget keeps every
// step-th pixel of every step-th row.
std::unique_ptr<TPixels> DecodeLossless(const TBitmapCharacter& bitmap, size_t budget) {
  const size_t w = bitmap.Width, h = bitmap.Height;
  if (w == 0 || h == 0) return nullptr;
  size_t stride = 0, table = 0;
  const size_t entry = bitmap.HasAlpha ? 4 : 3;
  switch (bitmap.Format) {
    case 3:
      stride = (w + 3) & ~size_t(3);
      table = bitmap.ColorTableSize * entry;
      break;
    case 4:
      stride = (w * 2 + 3) & ~size_t(3);
      break;
    case 5:
      stride = w * 4;
      break;
    default:
      return nullptr;
  }
  TInflater inflater(bitmap.Data);
  std::vector<uint8_t> tableBytes(table, 0);
  inflater.Read(tableBytes.data(), table);
  std::vector<uint32_t> palette(256, 0);
  for (size_t i = 0; i < bitmap.ColorTableSize && i < 256; ++i) {
    const uint8_t* e = &tableBytes[i * entry];
    palette[i] = Premultiplied(bitmap.HasAlpha ? e[3] : 255, e[0], e[1], e[2]);
  }
  const size_t step = StepWithin(w, h, budget);
  auto pixels = std::make_unique<TPixels>();
  pixels->Width = int((w + step - 1) / step);
  pixels->Height = int((h + step - 1) / step);
  pixels->ScaleX = double(w) / pixels->Width;
  pixels->ScaleY = double(h) / pixels->Height;
  pixels->Data.resize(size_t(pixels->Width) * pixels->Height);
  std::vector<uint8_t> row(stride, 0);
  for (size_t y = 0; y < h; ++y) {
    if (!inflater.Ended()) {
      std::fill(row.begin(), row.end(), uint8_t(0));
      inflater.Read(row.data(), stride);
    }
    if (y % step) continue;
    uint32_t* dst = &pixels->Data[(y / step) * size_t(pixels->Width)];
    for (size_t x = 0; x < size_t(pixels->Width); ++x)
      dst[x] = LosslessPixel(bitmap, row.data(), x * step, palette);
  }
  if (inflater.Total() == 0) return nullptr;
  return pixels;
}

}  // namespace

std::vector<uint8_t> CleanJpegData(const std::vector<uint8_t>& data) {
  const size_t n = data.size();
  size_t p = 0;
  if (n >= 4 && data[0] == 0xFF && data[1] == 0xD9 && data[2] == 0xFF && data[3] == 0xD8) p = 4;
  std::vector<uint8_t> out{0xFF, 0xD8};
  out.reserve(n);
  while (p + 1 < n && data[p] == 0xFF) {
    const uint8_t m = data[p + 1];
    if (m == 0xD8 || m == 0xD9) {  // start markers after the first, ends before the image
      p += 2;
    } else if (m == 0xFF) {
      ++p;
    } else if (m == 0xDA) {
      break;  // the scan: copied as it stands
    } else if (m == 0x01 || (m >= 0xD0 && m <= 0xD7)) {
      out.insert(out.end(), data.begin() + long(p), data.begin() + long(p + 2));
      p += 2;
    } else {
      if (p + 4 > n) break;
      const size_t length = size_t(data[p + 2]) << 8 | data[p + 3];
      const size_t end = std::min(n, p + 2 + length);
      out.insert(out.end(), data.begin() + long(p), data.begin() + long(end));
      p = end;
    }
  }
  out.insert(out.end(), data.begin() + long(std::min(p, n)), data.end());
  return out;
}

std::unique_ptr<TPixels> DecodeBitmap(const TBitmapCharacter& bitmap, size_t budget) {
  return bitmap.Encoding == TBitmapCharacter::Jpeg ? DecodeJpegBitmap(bitmap, budget)
                                                   : DecodeLossless(bitmap, budget);
}

const TPixels* TBitmapCharacter::Pixels() const {
  if (!decoded_) {
    decoded_ = true;
    pixels_ = DecodeBitmap(*this);
  }
  return pixels_.get();
}

}  // namespace player
