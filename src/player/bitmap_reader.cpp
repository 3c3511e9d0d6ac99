// Bitmap tags: the encoded data is kept as it stands and decoded when first
// drawn (bitmap_decode.h).
#include <cstdio>

#include "player/reader_internal.h"
#include "swf/core/swf_error.h"

namespace player::detail {

void ReadBitmapTag(swf::TBitsEngine& be, uint16_t code, TReadContext& ctx) {
  auto bitmap = std::make_unique<TBitmapCharacter>();
  bitmap->ID = be.ReadWord();
  bitmap->TagCode = code;
  char buf[160];
  if (code == swf::tagDefineBitsLossless || code == swf::tagDefineBitsLossless2) {
    bitmap->Encoding = TBitmapCharacter::Lossless;
    bitmap->HasAlpha = code == swf::tagDefineBitsLossless2;
    bitmap->Format = be.ReadByte();
    bitmap->Width = be.ReadWord();
    bitmap->Height = be.ReadWord();
    if (bitmap->Format == 3) bitmap->ColorTableSize = uint16_t(be.ReadByte() + 1);
    bitmap->Data = ReadRest(be);
    std::snprintf(buf, sizeof buf, "id=%u format=%u size=%ux%u data=%zu", bitmap->ID,
                  bitmap->Format, bitmap->Width, bitmap->Height, bitmap->Data.size());
  } else {
    size_t alphaOffset = 0;
    if (code == swf::tagDefineBitsJPEG3) {
      alphaOffset = be.ReadDWord();
      if (alphaOffset > Remaining(be)) throw swf::ESWFError("alpha data offset beyond the tag");
    }
    bitmap->Data = ReadRest(be);
    if (code == swf::tagDefineBitsJPEG3) {
      bitmap->AlphaData.assign(bitmap->Data.begin() + long(alphaOffset), bitmap->Data.end());
      bitmap->Data.resize(alphaOffset);
    }
    if (code == swf::tagDefineBits)
      bitmap->Data.insert(bitmap->Data.begin(), ctx.JpegTables.begin(), ctx.JpegTables.end());
    std::snprintf(buf, sizeof buf, "id=%u jpeg=%zu alpha=%zu", bitmap->ID, bitmap->Data.size(),
                  bitmap->AlphaData.size());
  }
  if (ctx.KeepTags) ctx.Info = buf;
  ctx.AddCharacter(std::move(bitmap));
}

}  // namespace player::detail
