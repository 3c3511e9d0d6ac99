#include "swf/tags/bitmap_tags.h"

namespace swf {

void TSWFImageTag::Assign(const TBasedSWFObject& source) {
  TSWFDataObject::Assign(source);
  if (auto* s = dynamic_cast<const TSWFImageTag*>(&source)) CharacterID = s->CharacterID;
}

void TSWFDefineBits::WriteJPEGData(TBitsEngine& be) {
  be.WriteByte(0xFF);
  be.WriteByte(0xD8);
  WriteData(be);
  be.WriteByte(0xFF);
  be.WriteByte(0xD9);
}

void TSWFDefineBits::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(CharacterID);
  WriteJPEGData(be);
}

void TSWFDefineBitsJPEG3::Assign(const TBasedSWFObject& source) {
  TSWFDefineBitsJPEG2::Assign(source);
  if (auto* s = dynamic_cast<const TSWFDefineBitsJPEG3*>(&source)) {
    AlphaData = s->AlphaData;
    OnAlphaDataWrite = s->OnAlphaDataWrite;
  }
}

void TSWFDefineBitsJPEG3::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(CharacterID);
  TMemoryStream& stream = be.Stream();
  const size_t offsetAt = stream.Position();
  be.WriteDWord(0);
  WriteJPEGData(be);
  const size_t end = stream.Position();
  stream.Seek(offsetAt);
  be.WriteDWord(uint32_t(end - offsetAt - 4));  // AlphaDataOffset: the JPEG part's length
  stream.Seek(end);
  if (OnAlphaDataWrite)
    OnAlphaDataWrite(*this, be);
  else
    be.WriteBytes(AlphaData.data(), long(AlphaData.size()));
}

void TSWFDefineBitsLossless::Assign(const TBasedSWFObject& source) {
  TSWFImageTag::Assign(source);
  if (auto* s = dynamic_cast<const TSWFDefineBitsLossless*>(&source)) {
    BitmapColorTableSize = s->BitmapColorTableSize;
    BitmapFormat = s->BitmapFormat;
    BitmapHeight = s->BitmapHeight;
    BitmapWidth = s->BitmapWidth;
  }
}

void TSWFDefineBitsLossless::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(CharacterID);
  be.WriteByte(BitmapFormat);
  be.WriteWord(BitmapWidth);
  be.WriteWord(BitmapHeight);
  if (BitmapFormat == 3) be.WriteByte(BitmapColorTableSize);
  WriteData(be);
}

void TSWFVideoFrame::Assign(const TBasedSWFObject& source) {
  TSWFDataObject::Assign(source);
  if (auto* s = dynamic_cast<const TSWFVideoFrame*>(&source)) {
    FrameNum = s->FrameNum;
    StreamID = s->StreamID;
  }
}

void TSWFVideoFrame::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(StreamID);
  be.WriteWord(FrameNum);
  WriteData(be);
}

}  // namespace swf
