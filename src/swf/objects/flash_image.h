#pragma once
// TFlashImage: the bitmap character of a movie, made from a JPEG or BMP file.
// A JPEG goes into the movie as its own bytes (DefineBitsJPEG2, or
// DefineBitsJPEG3 with an alpha plane); a BMP is converted once into a
// zlib-compressed lossless layout (DefineBitsLossless, or DefineBitsLossless2
// for 32-bit pictures with alpha).
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "media/bmp_reader.h"
#include "swf/objects/flash_object.h"

namespace swf {

class TSWFDataObject;

class TFlashImage : public TFlashIDObject {
 public:
  // What DataStream holds.
  enum TDataState : uint8_t {
    dsNothing = 0,        // nothing loaded
    dsEmpty = 1,          // created, still empty
    dsLossless = 2,       // a BMP: compressed lossless data, made at the first write
    dsConvertedJPEG = 3,  // a progressive JPEG re-encoded as baseline
    dsJPEGFile = 4,       // the JPEG file's own bytes
  };

  // Loads FileName unless it is empty.
  explicit TFlashImage(TFlashMovie* owner = nullptr, const std::string& fileName = "");
  ~TFlashImage() override;

  void Assign(const TBasedSWFObject& source) override;
  // 3 for DefineBitsLossless2 and for DefineBitsJPEG3 (a JPEG with an alpha plane).
  int MinVersion() const override;
  void WriteToStream(TBitsEngine& be) override;

  // By extension: JPG and JPEG, or BMP; any other raises `Image format "EXT"
  // not supported!`. Media errors (damaged files) propagate as they are.
  void LoadFromFile(const std::string& fileName);
  // Takes the size and the lossless layout from the reader's picture; for a
  // handler of the movie's OnLoadImage that fills Reader() itself.
  void PrepareBitmapFormat();

  uint16_t ImageWidth() const { return imageWidth_; }
  uint16_t ImageHeight() const { return imageHeight_; }
  bool IsJPEG() const { return isJPEG_; }
  bool HasAlpha() const { return hasAlpha_; }
  uint32_t ColorCount() const { return colorCount_; }
  uint16_t RowWidth() const { return rowWidth_; }
  uint8_t PixelLayout() const { return pixelLayout_; }
  TDataState DataState() const { return dataState_; }
  const std::vector<uint8_t>& DataStream() const { return dataStream_; }

  // The alpha plane of a JPEG picture (one byte per pixel, rows top to
  // bottom), created empty on first access; none (nullptr) for a BMP.
  std::vector<uint8_t>* AlphaData();
  // Fills the alpha plane with ImageWidth x ImageHeight bytes of Value.
  void SetAlphaValue(uint8_t value);

  bool ConvertProgressive() const { return convertProgressive_; }
  void SetConvertProgressive(bool convert);

  // The picture's pixels, for filling: a copy's pixels are shared with its
  // source until one of them changes them.
  media::TBMPReader& Reader();

 private:
  void LoadJPEG(const std::string& fileName);
  void ConvertIfProgressive();
  void MakeLosslessData();
  void WriteImageData(TSWFDataObject& tag, TBitsEngine& be);
  void WriteAlphaData(TSWFDataObject& tag, TBitsEngine& be);

  std::optional<std::vector<uint8_t>> alphaData_;
  bool isJPEG_ = false;
  // Shared between copies (a picture is copied into every build of the
  // editor's frame); a copy is made before a shared one would change.
  std::shared_ptr<media::TBMPReader> reader_;
  uint32_t colorCount_ = 0;
  bool convertProgressive_ = false;
  std::vector<uint8_t> dataStream_;
  TDataState dataState_ = dsNothing;
  bool hasAlpha_ = false;
  uint16_t imageHeight_ = 0;
  uint16_t rowWidth_ = 0;
  uint16_t imageWidth_ = 0;
  uint8_t pixelLayout_ = 0;
};

// zlib stream format at the default level, as the lossless bitmaps and the
// JPEG alpha planes need it.
std::vector<uint8_t> ZlibCompress(const uint8_t* data, size_t size);

}  // namespace swf
