#pragma once
// Bitmap tags: thin containers for image data that the image object prepares
// (JPEG bytes, zlib-compressed lossless pixels or alpha planes). Each tag adds
// its fixed fields, and the JPEG tags the start and end of image markers.
#include <cstdint>
#include <vector>

#include "swf/tags/data_object.h"

namespace swf {

class TSWFImageTag : public TSWFDataObject {
 public:
  void Assign(const TBasedSWFObject& source) override;

  uint16_t CharacterID = 0;
};

// Body: CharacterID, FF D8, the data, FF D9. The data is therefore a JPEG
// stream without its own start and end markers.
class TSWFDefineBits : public TSWFImageTag {
 public:
  TSWFDefineBits() { TagID = tagDefineBits; }
  void WriteTagBody(TBitsEngine& be) override;

 protected:
  void WriteJPEGData(TBitsEngine& be);
};

class TSWFDefineBitsJPEG2 : public TSWFDefineBits {
 public:
  TSWFDefineBitsJPEG2() { TagID = tagDefineBitsJPEG2; }
  int MinVersion() const override { return 2; }
};

// The JPEG part is preceded by its length (AlphaDataOffset) and followed by a
// zlib-compressed alpha plane of one byte per pixel.
class TSWFDefineBitsJPEG3 : public TSWFDefineBitsJPEG2 {
 public:
  TSWFDefineBitsJPEG3() { TagID = tagDefineBitsJPEG3; }
  void Assign(const TBasedSWFObject& source) override;
  int MinVersion() const override { return 3; }
  void WriteTagBody(TBitsEngine& be) override;

  std::vector<uint8_t> AlphaData;
  TDataWriteEvent OnAlphaDataWrite;  // wins over AlphaData when set
};

// Body: CharacterID, BitmapFormat, BitmapWidth, BitmapHeight, the colour table
// size (format 3 only), then the zlib-compressed pixels.
class TSWFDefineBitsLossless : public TSWFImageTag {
 public:
  TSWFDefineBitsLossless() { TagID = tagDefineBitsLossless; }
  void Assign(const TBasedSWFObject& source) override;
  int MinVersion() const override { return 2; }
  void WriteTagBody(TBitsEngine& be) override;

  uint8_t BitmapColorTableSize = 0;  // entries - 1
  uint8_t BitmapFormat = 0;          // 3 colour-mapped, 4 15-bit RGB, 5 32-bit
  uint16_t BitmapHeight = 0;
  uint16_t BitmapWidth = 0;
};

class TSWFDefineBitsLossless2 : public TSWFDefineBitsLossless {
 public:
  TSWFDefineBitsLossless2() { TagID = tagDefineBitsLossless2; }
  int MinVersion() const override { return 3; }
};

class TSWFVideoFrame : public TSWFDataObject {
 public:
  TSWFVideoFrame() { TagID = tagVideoFrame; }
  void Assign(const TBasedSWFObject& source) override;
  int MinVersion() const override { return 6; }
  void WriteTagBody(TBitsEngine& be) override;

  uint16_t FrameNum = 0;
  uint16_t StreamID = 0;
};

}  // namespace swf
