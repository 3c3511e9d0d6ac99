#include "swf/objects/flash_image.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>

#include "media/file_bytes.h"
#include "media/jpeg_codec.h"
#include "media/media_error.h"
#include "swf/core/swf_error.h"
#include "swf/objects/flash_movie.h"
#include "swf/tags/bitmap_tags.h"

namespace swf {

namespace {

// The extension of the file-name part (stored paths may use either separator),
// upper case, without its dot.
std::string UpperExtension(const std::string& fileName) {
  const size_t slash = fileName.find_last_of("/\\");
  const std::string name = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
  const size_t dot = name.rfind('.');
  std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
  for (char& c : ext) c = char(std::toupper(static_cast<unsigned char>(c)));
  return ext;
}

// A 5-bit channel from a channel of Width bits.
uint32_t To5Bits(uint32_t value, int width) {
  if (width == 5) return value;
  if (width <= 0) return 0;
  const uint32_t max = (1u << width) - 1;
  return (value * 31 + max / 2) / max;
}

uint8_t Premultiply(uint8_t c, uint8_t a) {
  return uint8_t((c * a + 127) / 255);
}

}  // namespace

std::vector<uint8_t> ZlibCompress(const uint8_t* data, size_t size) {
  uLongf length = compressBound(uLong(size));
  std::vector<uint8_t> out(length);
  if (compress2(out.data(), &length, data, uLong(size), Z_DEFAULT_COMPRESSION) != Z_OK)
    throw ESWFError("Not enough memory to compress a picture");
  out.resize(length);
  return out;
}

TFlashImage::TFlashImage(TFlashMovie* owner, const std::string& fileName) : TFlashIDObject(owner) {
  if (!fileName.empty()) LoadFromFile(fileName);
}

TFlashImage::~TFlashImage() = default;

void TFlashImage::Assign(const TBasedSWFObject& source) {
  TFlashIDObject::Assign(source);
  auto* s = dynamic_cast<const TFlashImage*>(&source);
  if (!s || s == this) return;
  alphaData_ = s->alphaData_;
  isJPEG_ = s->isJPEG_;
  reader_ = s->reader_;
  colorCount_ = s->colorCount_;
  convertProgressive_ = s->convertProgressive_;
  dataStream_ = s->dataStream_;
  dataState_ = s->dataState_;
  hasAlpha_ = s->hasAlpha_;
  imageHeight_ = s->imageHeight_;
  rowWidth_ = s->rowWidth_;
  imageWidth_ = s->imageWidth_;
  pixelLayout_ = s->pixelLayout_;
}

int TFlashImage::MinVersion() const {
  return hasAlpha_ || (isJPEG_ && alphaData_ && !alphaData_->empty()) ? 3 : 2;
}

media::TBMPReader& TFlashImage::Reader() {
  if (!reader_)
    reader_ = std::make_shared<media::TBMPReader>();
  else if (reader_.use_count() > 1)
    reader_ = std::make_shared<media::TBMPReader>(*reader_);
  return *reader_;
}

std::vector<uint8_t>* TFlashImage::AlphaData() {
  if (!isJPEG_) return nullptr;
  if (!alphaData_) alphaData_.emplace();
  return &*alphaData_;
}

void TFlashImage::SetAlphaValue(uint8_t value) {
  if (std::vector<uint8_t>* alpha = AlphaData())
    alpha->assign(size_t(imageWidth_) * imageHeight_, value);
}

void TFlashImage::LoadFromFile(const std::string& fileName) {
  if (Owner() && Owner()->OnLoadImage) {
    bool proceed = true;
    Owner()->OnLoadImage(*this, fileName, proceed);
    if (!proceed) return;
  }
  const std::string ext = UpperExtension(fileName);
  if (ext == "JPG" || ext == "JPEG") {
    LoadJPEG(fileName);
  } else if (ext == "BMP") {
    reader_ = std::make_shared<media::TBMPReader>();
    reader_->LoadFromFile(fileName);
    PrepareBitmapFormat();
  } else {
    throw ESWFError("Image format \"" + ext + "\" not supported!");
  }
}

void TFlashImage::LoadJPEG(const std::string& fileName) {
  std::vector<uint8_t> bytes =
      media::ReadFileBytes(fileName, media::TBMPReader::DefaultMaxImageBytes);
  const std::optional<media::TJPEGFrame> frame = media::ReadJPEGSize(bytes);
  // Without a frame size the picture could be neither placed nor shown.
  if (!frame || frame->Width == 0 || frame->Height == 0)
    throw media::TMediaError("\"" + fileName + "\" is not a readable JPEG picture");
  // The data goes into the movie as it is, but a translucent picture gets an
  // alpha plane of its declared size, and every player decodes it to four
  // bytes a pixel: the same cap as for the pixels of a BMP.
  if (uint64_t(frame->Width) * frame->Height * 4 > media::TBMPReader::DefaultMaxImageBytes)
    throw media::TMediaError("\"" + fileName + "\": The picture is too large (" +
                             std::to_string(frame->Width) + " x " + std::to_string(frame->Height) +
                             " pixels)");
  reader_.reset();
  alphaData_.reset();
  isJPEG_ = true;
  hasAlpha_ = false;
  pixelLayout_ = 0;
  colorCount_ = 0;
  imageWidth_ = frame->Width;
  imageHeight_ = frame->Height;
  rowWidth_ = frame->Width;
  dataStream_ = std::move(bytes);
  dataState_ = dsJPEGFile;
  try {
    ConvertIfProgressive();
  } catch (const media::TMediaError& e) {
    throw media::TMediaError("\"" + fileName + "\": " + e.what());
  }
}

// Players before SWF 8 show nothing for a progressive JPEG, and the movies
// here are version 6, so such a picture is always re-encoded as baseline.
void TFlashImage::ConvertIfProgressive() {
  if (dataState_ != dsJPEGFile) return;
  const std::optional<media::TJPEGFrame> frame = media::ReadJPEGSize(dataStream_);
  if (!frame || !frame->Progressive) return;
  dataStream_ = media::ConvertToBaselineJPEG(dataStream_);
  dataState_ = dsConvertedJPEG;
}

void TFlashImage::SetConvertProgressive(bool convert) {
  if (convert) ConvertIfProgressive();
  convertProgressive_ = convert;
}

void TFlashImage::PrepareBitmapFormat() {
  media::TBMPReader& r = Reader();
  const uint32_t width = uint32_t(std::max(r.Width(), 0));
  const uint32_t rows = r.RowCount();
  const int bits = r.BitCount();
  const uint32_t rowWidth = bits <= 8    ? (width + 3) / 4 * 4
                            : bits == 16 ? (width + 1) / 2 * 2
                                         : width;
  if (rowWidth > 0xFFFF || rows > 0xFFFF)
    throw ESWFError("The picture is too large for a movie (" + std::to_string(width) + " x " +
                    std::to_string(rows) + " pixels)");
  isJPEG_ = false;
  hasAlpha_ = bits == 32;
  alphaData_.reset();
  imageWidth_ = uint16_t(width);
  imageHeight_ = uint16_t(rows);  // top-down pictures too: rows are walked top to bottom
  colorCount_ = 0;
  switch (bits) {
    case 1:
    case 4:
    case 8:
      pixelLayout_ = 3;
      colorCount_ = uint32_t(r.CountColors());
      break;
    case 16:
      pixelLayout_ = 4;
      break;
    case 24:
      pixelLayout_ = 5;
      break;
    case 32:
      pixelLayout_ = 1;
      break;
    default:
      throw ESWFError("Unsupported bit count " + std::to_string(bits));
  }
  rowWidth_ = uint16_t(rowWidth);
  dataStream_.clear();
  dataState_ = dsLossless;
}

// Builds the uncompressed layout row by row from the top of the picture, then
// keeps only its compressed form.
void TFlashImage::MakeLosslessData() {
  const media::TBMPReader& r = *reader_;
  const size_t w = imageWidth_, h = imageHeight_, row = rowWidth_;
  std::vector<uint8_t> raw;
  uint8_t* out = nullptr;
  switch (pixelLayout_) {
    case 3: {
      const size_t entry = hasAlpha_ ? 4 : 3;
      raw.assign(colorCount_ * entry + row * h, 0);
      out = raw.data();
      for (uint32_t i = 0; i < colorCount_; ++i) {
        const media::TBMPColor& c = r.ColorTable()[i];
        *out++ = c.Red;
        *out++ = c.Green;
        *out++ = c.Blue;
        if (hasAlpha_) *out++ = 255;
      }
      const int bits = r.BitCount();
      const int perByte = 8 / bits;
      const uint8_t mask = uint8_t((1 << bits) - 1);
      for (size_t y = 0; y < h; ++y, out += row) {
        const uint8_t* line = r.DisplayLine(uint32_t(y));
        if (bits == 8) {
          std::copy(line, line + w, out);
          continue;
        }
        for (size_t x = 0; x < w; ++x)
          out[x] = (line[x / size_t(perByte)] >> (8 - bits * (int(x) % perByte + 1))) & mask;
      }
      break;
    }
    case 4: {
      raw.assign(row * 2 * h, 0);
      out = raw.data();
      const int rb = r.RedBits(), gb = r.GreenBits(), bb = r.BlueBits();
      const bool is555 = rb == 5 && gb == 5 && bb == 5;
      for (size_t y = 0; y < h; ++y, out += row * 2) {
        const uint8_t* line = r.DisplayLine(uint32_t(y));
        for (size_t x = 0; x < w; ++x) {
          uint32_t v = uint32_t(line[2 * x] | line[2 * x + 1] << 8);
          if (is555) {
            v &= 0x7FFF;  // the top bit is reserved in SWF's 15-bit pixels
          } else {
            const uint32_t blue = v & ((1u << bb) - 1);
            const uint32_t green = (v >> bb) & ((1u << gb) - 1);
            const uint32_t red = (v >> (bb + gb)) & ((1u << rb) - 1);
            v = To5Bits(red, rb) << 10 | To5Bits(green, gb) << 5 | To5Bits(blue, bb);
          }
          out[2 * x] = uint8_t(v >> 8);
          out[2 * x + 1] = uint8_t(v);
        }
      }
      break;
    }
    case 5:
    case 1: {
      raw.resize(w * 4 * h);
      out = raw.data();
      const bool alpha = pixelLayout_ == 1;
      const size_t step = alpha ? 4 : 3;
      for (size_t y = 0; y < h; ++y) {
        const uint8_t* p = r.DisplayLine(uint32_t(y));
        for (size_t x = 0; x < w; ++x, p += step, out += 4) {
          const uint8_t a = alpha ? p[3] : 255;
          if (a == 255) {
            out[0] = 255;
            out[1] = p[2];
            out[2] = p[1];
            out[3] = p[0];
          } else {  // SWF's 32-bit pixels are premultiplied by their alpha
            out[0] = a;
            out[1] = Premultiply(p[2], a);
            out[2] = Premultiply(p[1], a);
            out[3] = Premultiply(p[0], a);
          }
        }
      }
      break;
    }
    default:
      break;
  }
  dataStream_ = ZlibCompress(raw.data(), raw.size());
  dataState_ = dsLossless;
}

void TFlashImage::WriteImageData(TSWFDataObject&, TBitsEngine& be) {
  if (!isJPEG_ && dataStream_.empty()) MakeLosslessData();
  const uint8_t* begin = dataStream_.data();
  const uint8_t* end = begin + dataStream_.size();
  if (isJPEG_) {
    // The tag writes its own start and end markers around the data; leaving the
    // file's in place would double them, which players and decoders reject.
    if (end - begin >= 2 && begin[0] == 0xFF && begin[1] == 0xD8) begin += 2;
    if (end - begin >= 2 && end[-2] == 0xFF && end[-1] == 0xD9) end -= 2;
  }
  be.WriteBytes(begin, long(end - begin));
}

void TFlashImage::WriteAlphaData(TSWFDataObject&, TBitsEngine& be) {
  // The player reads exactly one byte per pixel.
  std::vector<uint8_t> plane(size_t(imageWidth_) * imageHeight_, 255);
  std::copy_n(alphaData_->begin(), std::min(plane.size(), alphaData_->size()), plane.begin());
  const std::vector<uint8_t> packed = ZlibCompress(plane.data(), plane.size());
  be.WriteBytes(packed.data(), long(packed.size()));
}

void TFlashImage::WriteToStream(TBitsEngine& be) {
  if (dataState_ == dsNothing) throw ESWFError("An image without a picture cannot be written");
  auto imageData = [this](TSWFDataObject& tag, TBitsEngine& e) { WriteImageData(tag, e); };
  std::unique_ptr<TSWFImageTag> tag;
  if (!isJPEG_) {
    auto lossless = hasAlpha_ ? std::make_unique<TSWFDefineBitsLossless2>()
                              : std::make_unique<TSWFDefineBitsLossless>();
    lossless->BitmapFormat = pixelLayout_ == 1 ? 5 : pixelLayout_;
    lossless->BitmapWidth = imageWidth_;
    lossless->BitmapHeight = imageHeight_;
    if (lossless->BitmapFormat == 3) lossless->BitmapColorTableSize = uint8_t(colorCount_ - 1);
    tag = std::move(lossless);
  } else if (alphaData_ && !alphaData_->empty()) {
    auto jpeg3 = std::make_unique<TSWFDefineBitsJPEG3>();
    jpeg3->OnAlphaDataWrite = [this](TSWFDataObject& t, TBitsEngine& e) { WriteAlphaData(t, e); };
    tag = std::move(jpeg3);
  } else {
    tag = std::make_unique<TSWFDefineBitsJPEG2>();
  }
  tag->CharacterID = GetCharacterID();
  tag->OnDataWrite = imageData;
  tag->WriteToStream(be);
}

}  // namespace swf
