#include "media/jpeg_codec.h"

#include <csetjmp>
#include <cstdio>
#include <string>

// jpeglib.h needs FILE declared first.
#include <jpeglib.h>

#include "media/media_error.h"

namespace media {

namespace {

bool IsFrameMarker(uint8_t M) {
  // C0..CF are frame headers except C4 (Huffman tables), C8 (reserved) and CC (arithmetic
  // conditioning); C2, C6, CA and CE are the progressive ones.
  return M >= 0xC0 && M <= 0xCF && M != 0xC4 && M != 0xC8 && M != 0xCC;
}

// libjpeg reports fatal errors through error_exit, which must not return: it jumps back
// to the call that set `Jump`, which then raises the message as a C++ exception.
struct TJPEGErrors {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr Info) {
  auto* errors = reinterpret_cast<TJPEGErrors*>(Info->err);
  (*Info->err->format_message)(Info, errors->Message);
  std::longjmp(errors->Jump, 1);
}

void Silent(j_common_ptr) {}  // warnings about damaged data are not printed

jpeg_error_mgr* InitErrors(TJPEGErrors& Errors) {
  jpeg_error_mgr* manager = jpeg_std_error(&Errors.Manager);
  manager->error_exit = ErrorExit;
  manager->output_message = Silent;
  Errors.Message[0] = 0;
  return manager;
}

[[noreturn]] void Fail(const TJPEGErrors& Errors) {
  throw TMediaError(std::string("The JPEG picture cannot be read: ") + Errors.Message);
}

// A destination that appends to a vector owned by the caller's frame, so an error
// jump leaves nothing allocated behind libjpeg's back.
struct TVectorDestination {
  jpeg_destination_mgr Manager;
  std::vector<uint8_t>* Out;
  JOCTET Buffer[65536];
};

void InitDestination(j_compress_ptr Info) {
  auto* d = reinterpret_cast<TVectorDestination*>(Info->dest);
  d->Manager.next_output_byte = d->Buffer;
  d->Manager.free_in_buffer = sizeof d->Buffer;
}

boolean EmptyBuffer(j_compress_ptr Info) {
  auto* d = reinterpret_cast<TVectorDestination*>(Info->dest);
  d->Out->insert(d->Out->end(), d->Buffer, d->Buffer + sizeof d->Buffer);
  InitDestination(Info);
  return TRUE;
}

void TermDestination(j_compress_ptr Info) {
  auto* d = reinterpret_cast<TVectorDestination*>(Info->dest);
  d->Out->insert(d->Out->end(), d->Buffer,
                 d->Buffer + (sizeof d->Buffer - d->Manager.free_in_buffer));
}

}  // namespace

bool IsJPEGData(std::span<const uint8_t> Data) {
  return Data.size() >= 2 && Data[0] == 0xFF && Data[1] == 0xD8;
}

std::optional<TJPEGFrame> ReadJPEGSize(std::span<const uint8_t> Data) {
  if (!IsJPEGData(Data)) return std::nullopt;
  size_t at = 2;
  while (at < Data.size() && Data[at] == 0xFF) {
    while (at < Data.size() && Data[at] == 0xFF) ++at;  // fill bytes before the marker
    if (at >= Data.size()) break;
    const uint8_t marker = Data[at++];
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no segment
    if (marker == 0xD9 || marker == 0xDA) break;  // end of image, or scan data follows
    if (at + 2 > Data.size()) break;
    const size_t length = size_t(Data[at]) << 8 | Data[at + 1];
    if (IsFrameMarker(marker)) {
      if (length < 7 || at + 7 > Data.size()) break;
      TJPEGFrame frame;
      frame.Height = uint16_t(Data[at + 3] << 8 | Data[at + 4]);
      frame.Width = uint16_t(Data[at + 5] << 8 | Data[at + 6]);
      frame.Progressive = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
      return frame;
    }
    if (length < 2) break;
    at += length;
  }
  return std::nullopt;
}

std::vector<uint8_t> ConvertToBaselineJPEG(std::span<const uint8_t> Data) {
  std::vector<uint8_t> out;
  jpeg_decompress_struct source{};
  jpeg_compress_struct target{};
  TJPEGErrors errors;
  TVectorDestination destination{};
  destination.Out = &out;
  destination.Manager.init_destination = InitDestination;
  destination.Manager.empty_output_buffer = EmptyBuffer;
  destination.Manager.term_destination = TermDestination;
  source.err = InitErrors(errors);
  target.err = source.err;
  if (setjmp(errors.Jump)) {
    jpeg_destroy_compress(&target);
    jpeg_destroy_decompress(&source);
    Fail(errors);
  }
  jpeg_create_decompress(&source);
  jpeg_create_compress(&target);
  jpeg_mem_src(&source, Data.data(), static_cast<unsigned long>(Data.size()));
  jpeg_read_header(&source, TRUE);
  jvirt_barray_ptr* coefficients = jpeg_read_coefficients(&source);
  jpeg_copy_critical_parameters(&source, &target);
  target.optimize_coding = TRUE;  // still baseline; only the Huffman tables fit the picture
  target.dest = &destination.Manager;
  jpeg_write_coefficients(&target, coefficients);
  jpeg_finish_compress(&target);
  jpeg_finish_decompress(&source);
  jpeg_destroy_compress(&target);
  jpeg_destroy_decompress(&source);
  return out;
}

TBitmap32 DecodeJPEG(std::span<const uint8_t> Data, size_t MaxBytes) {
  TBitmap32 picture;
  std::vector<uint8_t> row;
  jpeg_decompress_struct info{};
  TJPEGErrors errors;
  info.err = InitErrors(errors);
  bool tooLarge = false;
  if (setjmp(errors.Jump)) {
    jpeg_destroy_decompress(&info);
    Fail(errors);
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, Data.data(), static_cast<unsigned long>(Data.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  const uint64_t pixels = uint64_t(info.image_width) * info.image_height;
  tooLarge = pixels * 4 > MaxBytes;
  if (!tooLarge) {
    jpeg_start_decompress(&info);
    picture = TBitmap32(int32_t(info.output_width), int32_t(info.output_height));
    row.resize(size_t(info.output_width) * 3);
    while (info.output_scanline < info.output_height) {
      JSAMPROW line = row.data();
      const int32_t y = int32_t(info.output_scanline);
      jpeg_read_scanlines(&info, &line, 1);
      for (int32_t x = 0; x < picture.Width; ++x)
        picture.At(x, y) =
            ARGB(255, row[3 * size_t(x)], row[3 * size_t(x) + 1], row[3 * size_t(x) + 2]);
    }
    jpeg_finish_decompress(&info);
  }
  jpeg_destroy_decompress(&info);
  if (tooLarge) throw TMediaError("The JPEG picture is too large");
  return picture;
}

}  // namespace media
