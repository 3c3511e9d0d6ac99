#include "support/pictures.h"

#include <cstdio>
#include <cstdlib>

// jpeglib.h needs FILE declared first.
#include <jpeglib.h>

namespace vtest {

namespace {

void Put(Bytes& out, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

}  // namespace

Bytes MakeBmp(const BmpFile& f) {
  const bool core = f.HeaderSize == 12;
  const bool masksAfterHeader = f.HeaderSize == 40 && !f.Masks.empty();
  const size_t paletteBytes = f.Palette.size() * (core ? 3 : 4);
  const uint32_t offset =
      uint32_t(14 + f.HeaderSize + (masksAfterHeader ? 4 * f.Masks.size() : 0) + paletteBytes);
  Bytes out;
  out.push_back('B');
  out.push_back('M');
  Put(out, uint32_t(offset + f.Pixels.size()), 4);
  Put(out, 0, 4);
  Put(out, offset, 4);
  Put(out, f.HeaderSize, 4);
  if (core) {
    Put(out, uint32_t(f.Width), 2);
    Put(out, uint32_t(f.Height), 2);
    Put(out, 1, 2);
    Put(out, f.BitCount, 2);
  } else {
    Put(out, uint32_t(f.Width), 4);
    Put(out, uint32_t(f.Height), 4);
    Put(out, 1, 2);
    Put(out, f.BitCount, 2);
    Put(out, f.Compression, 4);
    Put(out, uint32_t(f.Pixels.size()), 4);
    Put(out, 2835, 4);
    Put(out, 2835, 4);
    Put(out, f.ColorsUsed, 4);
    Put(out, 0, 4);
    if (f.HeaderSize > 40) {
      // Masks live inside the longer headers; the rest (colour space, gamma) stays 0.
      for (size_t i = 0; i < (f.HeaderSize - 40) / 4; ++i)
        Put(out, i < f.Masks.size() ? f.Masks[i] : 0, 4);
    }
  }
  if (masksAfterHeader)
    for (uint32_t m : f.Masks) Put(out, m, 4);
  for (uint32_t c : f.Palette) Put(out, c, core ? 3 : 4);
  out.insert(out.end(), f.Pixels.begin(), f.Pixels.end());
  return out;
}

Bytes EncodeJpeg(int Width, int Height, const std::vector<uint8_t>& Rgb, int Quality,
                 bool Progressive) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = JDIMENSION(Width);
  info.image_height = JDIMENSION(Height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, Quality, TRUE);
  if (Progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(&Rgb[size_t(info.next_scanline) * size_t(Width) * 3]);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

Bytes MakeJpeg(int Width, int Height, bool Progressive) {
  std::vector<uint8_t> rgb(size_t(Width) * size_t(Height) * 3);
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) {
      uint8_t* p = &rgb[(size_t(y) * size_t(Width) + size_t(x)) * 3];
      p[0] = uint8_t(x * 8);
      p[1] = uint8_t(y * 8);
      p[2] = 128;
    }
  return EncodeJpeg(Width, Height, rgb, 90, Progressive);
}

}  // namespace vtest
