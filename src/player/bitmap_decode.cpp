#include "player/bitmap_decode.h"

#include <jpeglib.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>

namespace player {
namespace {

// Inflates up to out.size() bytes; returns how many were produced (a damaged
// or short stream keeps what came before the damage).
size_t InflateInto(const std::vector<uint8_t>& in, std::vector<uint8_t>& out) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return 0;
  z.next_in = const_cast<uint8_t*>(in.data());
  z.avail_in = uInt(std::min<size_t>(in.size(), UINT32_MAX));
  z.next_out = out.data();
  z.avail_out = uInt(out.size());
  while (z.avail_out > 0) {
    const int rc = inflate(&z, Z_NO_FLUSH);
    if (rc != Z_OK) break;
  }
  const size_t produced = out.size() - z.avail_out;
  inflateEnd(&z);
  return produced;
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
// in this function's frame.
bool DecodeJpeg(const uint8_t* data, size_t size, TPixels& out) {
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
  if (size_t(info.image_width) * info.image_height > kMaxBitmapPixels || info.image_width == 0) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_start_decompress(&info);
  const unsigned w = info.output_width, h = info.output_height;
  if (info.output_components != 3 || size_t(w) * h > kMaxBitmapPixels) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  out.Width = int(w);
  out.Height = int(h);
  out.Data.assign(size_t(w) * h, 0xFF000000u);
  JSAMPARRAY row =
      (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, w * 3, 1);
  while (info.output_scanline < h) {
    const unsigned y = info.output_scanline;
    if (jpeg_read_scanlines(&info, row, 1) != 1) break;
    uint32_t* dst = out.Data.data() + size_t(y) * w;
    for (unsigned x = 0; x < w; ++x)
      dst[x] = 0xFF000000u | uint32_t(row[0][3 * x]) << 16 | uint32_t(row[0][3 * x + 1]) << 8 |
               row[0][3 * x + 2];
  }
  jpeg_abort_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

std::unique_ptr<TPixels> DecodeJpegBitmap(const TBitmapCharacter& bitmap) {
  const std::vector<uint8_t> jpeg = CleanJpegData(bitmap.Data);
  auto pixels = std::make_unique<TPixels>();
  if (!DecodeJpeg(jpeg.data(), jpeg.size(), *pixels)) return nullptr;
  if (!bitmap.AlphaData.empty()) {
    std::vector<uint8_t> alpha(pixels->Data.size(), 255);
    InflateInto(bitmap.AlphaData, alpha);
    for (size_t i = 0; i < alpha.size(); ++i) {
      const uint32_t p = pixels->Data[i];
      pixels->Data[i] = Premultiplied(alpha[i], uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p));
    }
  }
  return pixels;
}

std::unique_ptr<TPixels> DecodeLossless(const TBitmapCharacter& bitmap) {
  const size_t w = bitmap.Width, h = bitmap.Height;
  if (w == 0 || h == 0 || w * h > kMaxBitmapPixels) return nullptr;
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
  std::vector<uint8_t> raw(table + stride * h, 0);
  if (InflateInto(bitmap.Data, raw) == 0) return nullptr;
  auto pixels = std::make_unique<TPixels>();
  pixels->Width = int(w);
  pixels->Height = int(h);
  pixels->Data.resize(w * h);
  std::vector<uint32_t> palette(256, 0);
  for (size_t i = 0; i < bitmap.ColorTableSize && i < 256; ++i) {
    const uint8_t* e = &raw[i * entry];
    palette[i] = bitmap.HasAlpha ? Premultiplied(e[3], e[0], e[1], e[2])
                                 : Premultiplied(255, e[0], e[1], e[2]);
  }
  for (size_t y = 0; y < h; ++y) {
    const uint8_t* row = &raw[table + y * stride];
    uint32_t* dst = &pixels->Data[y * w];
    for (size_t x = 0; x < w; ++x) {
      if (bitmap.Format == 3) {
        dst[x] = row[x] < bitmap.ColorTableSize ? palette[row[x]] : 0;
      } else if (bitmap.Format == 4) {
        const unsigned v = row[2 * x] << 8 | row[2 * x + 1];
        auto five = [](unsigned c) { return uint8_t((c << 3) | (c >> 2)); };
        dst[x] = Premultiplied(255, five((v >> 10) & 31), five((v >> 5) & 31), five(v & 31));
      } else {
        const uint8_t* p = &row[4 * x];
        dst[x] = Premultiplied(bitmap.HasAlpha ? p[0] : 255, p[1], p[2], p[3]);
      }
    }
  }
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

std::unique_ptr<TPixels> DecodeBitmap(const TBitmapCharacter& bitmap) {
  return bitmap.Encoding == TBitmapCharacter::Jpeg ? DecodeJpegBitmap(bitmap)
                                                   : DecodeLossless(bitmap);
}

const TPixels* TBitmapCharacter::Pixels() const {
  if (!decoded_) {
    decoded_ = true;
    pixels_ = DecodeBitmap(*this);
  }
  return pixels_.get();
}

}  // namespace player
