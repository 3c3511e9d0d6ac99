#include "swf/objects/flash_image.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>

#include "media/jpeg_codec.h"
#include "media/media_error.h"
#include "media/picture_decoder.h"
#include "support/bytes.h"
#include "support/pictures.h"
#include "swf/core/swf_error.h"
#include "swf/objects/flash_movie.h"
#include "swf/tags/bitmap_tags.h"
#include "swf/tags/place_object.h"

namespace {

using swf::TFlashImage;
using vtest::BmpFile;
using vtest::Bytes;
using vtest::hex;
using vtest::SameBytes;

std::string WriteTemp(const std::string& dir, const std::string& name, const Bytes& bytes) {
  const std::string path = dir + "/" + name;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return path;
}

struct Tag {
  uint16_t code = 0;
  Bytes body;
};

Tag Written(TFlashImage& image) {
  swf::TMemoryStream stream;
  swf::TBitsEngine be(stream);
  image.WriteToStream(be);
  const Bytes& b = stream.Bytes();
  Tag tag;
  tag.code = uint16_t((b[0] | b[1] << 8) >> 6);
  size_t length = (b[0] | b[1] << 8) & 63, at = 2;
  if (length == 63) {
    length = size_t(b[2] | b[3] << 8 | b[4] << 16 | b[5] << 24);
    at = 6;
  }
  EXPECT_EQ(b.size(), at + length);
  tag.body.assign(b.begin() + long(at), b.end());
  return tag;
}

Bytes Inflate(const uint8_t* data, size_t size) {
  Bytes out(1 << 22);
  uLongf length = out.size();
  EXPECT_EQ(uncompress(out.data(), &length, data, uLong(size)), Z_OK);
  out.resize(length);
  return out;
}

Bytes Tail(const Bytes& b, size_t from) { return Bytes(b.begin() + long(from), b.end()); }

// The uncompressed pixels of a lossless tag body (after the fixed fields).
Bytes LosslessPixels(const Tag& tag) {
  const size_t fixed = tag.body[2] == 3 ? 8 : 7;
  return Inflate(tag.body.data() + fixed, tag.body.size() - fixed);
}

std::unique_ptr<TFlashImage> Load(const std::string& name, const Bytes& bytes) {
  return std::make_unique<TFlashImage>(nullptr, WriteTemp(vtest::TestTempDir(), name, bytes));
}

// ------------------------------------------------------------------- JPEG

TEST(FlashImage, BaselineJPEGIsEmbeddedByteForByte) {
  const Bytes file = vtest::MakeJpeg(640, 480, false);
  auto image = Load("photo.jpeg", file);
  EXPECT_TRUE(image->IsJPEG());
  EXPECT_EQ(image->ImageWidth(), 640);
  EXPECT_EQ(image->ImageHeight(), 480);
  EXPECT_EQ(image->DataState(), TFlashImage::dsJPEGFile);
  EXPECT_EQ(image->MinVersion(), 2);
  image->SetCharacterID(9);

  const Tag tag = Written(*image);
  EXPECT_EQ(tag.code, swf::tagDefineBitsJPEG2);
  EXPECT_TRUE(SameBytes(hex("09 00"), Bytes(tag.body.begin(), tag.body.begin() + 2)));
  // One start and one end marker: the body after the ID is the file itself.
  EXPECT_TRUE(SameBytes(file, Tail(tag.body, 2)));
}

TEST(FlashImage, TranslucentJPEGCarriesACompressedAlphaPlane) {
  const Bytes file = vtest::MakeJpeg(640, 480, false);
  auto image = Load("PHOTO.JPG", file);
  ASSERT_NE(image->AlphaData(), nullptr);
  image->SetAlphaValue(128);
  EXPECT_EQ(image->AlphaData()->size(), 640u * 480u);
  EXPECT_EQ(image->MinVersion(), 3);

  const Tag tag = Written(*image);
  EXPECT_EQ(tag.code, swf::tagDefineBitsJPEG3);
  const size_t offset = tag.body[2] | tag.body[3] << 8 | tag.body[4] << 16 | tag.body[5] << 24;
  EXPECT_EQ(offset, file.size());
  EXPECT_TRUE(SameBytes(file, Bytes(tag.body.begin() + 6, tag.body.begin() + 6 + long(offset))));
  const Bytes alpha = Inflate(tag.body.data() + 6 + offset, tag.body.size() - 6 - offset);
  EXPECT_EQ(alpha, Bytes(640 * 480, 128));
}

TEST(FlashImage, ProgressiveJPEGKeepsItsSizeAndBecomesBaseline) {
  const Bytes file = vtest::MakeJpeg(48, 32, true);
  auto image = Load("progressive.jpg", file);
  EXPECT_EQ(image->ImageWidth(), 48);
  EXPECT_EQ(image->ImageHeight(), 32);
  EXPECT_EQ(image->DataState(), TFlashImage::dsConvertedJPEG);

  const Bytes embedded = Tail(Written(*image).body, 2);
  const auto frame = media::ReadJPEGSize(embedded);
  ASSERT_TRUE(frame);
  EXPECT_FALSE(frame->Progressive);
  EXPECT_EQ(media::DecodePicture(embedded), media::DecodePicture(file));
}

TEST(FlashImage, FileKindsAndTheirErrors) {
  const std::string dir = vtest::TestTempDir();
  auto expectError = [](const std::string& path, const std::string& message) {
    SCOPED_TRACE(path);
    try {
      TFlashImage image(nullptr, path);
      ADD_FAILURE() << "no error";
    } catch (const platform::TVellumetError& e) {
      EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
    }
  };
  try {
    TFlashImage image(nullptr, "anim.gif");
    ADD_FAILURE() << "no error";
  } catch (const swf::ESWFError& e) {
    EXPECT_STREQ(e.what(), "Image format \"GIF\" not supported!");
  }
  expectError("C:\\Pics.old\\noextension", "Image format \"\" not supported!");
  expectError(dir + "/missing.jpg", "missing.jpg");
  expectError(WriteTemp(dir, "text.jpg", hex("47 49 46 38")), "not a readable JPEG");
  expectError(WriteTemp(dir, "noframe.jpg", hex("FF D8 FF E0 00 02 FF D9")), "not a readable JPEG");
  expectError(WriteTemp(dir, "bad.bmp", hex("42 4D 00")), "bad.bmp");

  auto bmp = Load("picture.Bmp", vtest::MakeBmp({.Width = 1, .Height = 1, .Pixels = Bytes(4)}));
  EXPECT_FALSE(bmp->IsJPEG());
  EXPECT_EQ(bmp->AlphaData(), nullptr);
  EXPECT_EQ(bmp->DataState(), TFlashImage::dsLossless);
}

// -------------------------------------------------------------------- BMP

TEST(FlashImage, BMPDepthsBecomeTheirLosslessLayouts) {
  struct Case {
    const char* name;
    BmpFile file;
    uint16_t code;
    uint8_t format;
    uint16_t width, height;
    int tableSize;  // -1: no table size field
    Bytes pixels;   // uncompressed, rows top to bottom
  };
  std::vector<uint32_t> ramp;
  for (uint32_t i = 0; i < 16; ++i) ramp.push_back(i * 0x100000 + 0x0A0B);
  const Case cases[] = {
      {"8-bit of width 10 using 3 entries: rows of 12",
       {.Width = 10, .Height = 1, .BitCount = 8, .Palette = ramp,
        .Pixels = hex("05 05 07 07 09 09 05 05 07 09 00 00")},
       20, 3, 10, 1, 2,
       hex("50 0A 0B  70 0A 0B  90 0A 0B"                  // colour table, 3 entries
           "00 00 01 01 02 02 00 00 01 02 | 00 00")},   // renumbered indices, padding
      {"4-bit, two rows, expanded and padded",
       {.Width = 3, .Height = 2, .BitCount = 4, .Palette = ramp,
        .Pixels = hex("12 30 00 00 | 33 10 00 00")},   // bottom 1 2 3, top 3 3 1
       20, 3, 3, 2, 2,
       hex("10 0A 0B  20 0A 0B  30 0A 0B | 02 02 00 00 | 00 01 02 00")},
      {"1-bit all set: one colour, the set one",
       {.Width = 3, .Height = 1, .BitCount = 1, .Palette = {0x000000, 0xFF8000},
        .Pixels = hex("E0 00 00 00")},
       20, 3, 3, 1, 0, hex("FF 80 00 | 00 00 00 00")},
      {"16-bit 5-5-5, rows padded to 2 pixels",
       {.Width = 3, .Height = 1, .BitCount = 16, .Pixels = hex("00 7C E0 83 1F 00 00 00")},
       20, 4, 3, 1, -1, hex("7C 00 | 03 E0 | 00 1F | 00 00")},  // the top bit is cleared
      {"16-bit 5-6-5 is brought to 5-5-5",
       {.Width = 2, .Height = 1, .BitCount = 16, .Compression = 3,
        .Masks = {0xF800, 0x07E0, 0x001F}, .Pixels = hex("00 F8 E0 07")},
       20, 4, 2, 1, -1, hex("7C 00 | 03 E0")},
      {"24-bit 2 x 1, blue then red",
       {.Width = 2, .Height = 1, .BitCount = 24, .Pixels = hex("FF 00 00 00 00 FF 00 00")},
       20, 5, 2, 1, -1, hex("FF 00 00 FF | FF FF 00 00")},
      {"24-bit top-down keeps its row order",
       {.Width = 1, .Height = -2, .BitCount = 24, .Pixels = hex("FF 00 00 00 | 00 00 FF 00")},
       20, 5, 1, 2, -1, hex("FF 00 00 FF | FF FF 00 00")},
      {"32-bit: opaque, transparent, premultiplied",
       {.Width = 3, .Height = 1, .BitCount = 32,
        .Pixels = hex("30 20 10 FF | 30 20 10 00 | 32 64 C8 80")},
       36, 5, 3, 1, -1, hex("FF 10 20 30 | 00 00 00 00 | 80 64 32 19")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto image = Load("picture.bmp", vtest::MakeBmp(c.file));
    image->SetCharacterID(4);
    EXPECT_EQ(image->ImageWidth(), c.width);
    EXPECT_EQ(image->ImageHeight(), c.height);
    EXPECT_EQ(image->MinVersion(), c.code == 36 ? 3 : 2);
    const Tag tag = Written(*image);
    EXPECT_EQ(tag.code, c.code);
    Bytes fixed = {0x04, 0x00, c.format, uint8_t(c.width), uint8_t(c.width >> 8),
                   uint8_t(c.height), uint8_t(c.height >> 8)};
    if (c.tableSize >= 0) fixed.push_back(uint8_t(c.tableSize));
    EXPECT_TRUE(SameBytes(fixed, Bytes(tag.body.begin(), tag.body.begin() + long(fixed.size()))));
    EXPECT_TRUE(SameBytes(c.pixels, LosslessPixels(tag)));
  }
}

TEST(FlashImage, FullPaletteWritesTableSize255) {
  std::vector<uint32_t> palette(256);
  Bytes pixels(256);
  for (int i = 0; i < 256; ++i) pixels[size_t(i)] = uint8_t(i);
  auto image = Load("full.bmp", vtest::MakeBmp({.Width = 256, .Height = 1, .BitCount = 8,
                                                .Palette = palette, .Pixels = pixels}));
  EXPECT_EQ(image->ColorCount(), 256u);
  EXPECT_EQ(Written(*image).body[7], 255);
}

TEST(FlashImage, ABMPIsConvertedOnlyOnce) {
  auto image = Load("once.bmp", vtest::MakeBmp({.Width = 2, .Height = 1, .BitCount = 24,
                                                .Pixels = hex("FF 00 00 00 00 FF 00 00")}));
  const Tag first = Written(*image);
  image->Reader().ScanLines(0)[0] = 0x12;  // a second conversion would see this
  EXPECT_TRUE(SameBytes(first.body, Written(*image).body));

  TFlashImage copy;
  copy.Assign(*image);
  EXPECT_EQ(copy.ImageWidth(), 2);
  EXPECT_TRUE(SameBytes(first.body, Written(copy).body));
}

// Copies share the decoded pixels, yet a change to one copy's pixels never
// reaches the other.
TEST(FlashImage, ACopysPixelsAreItsOwn) {
  auto image = Load("copied.bmp", vtest::MakeBmp({.Width = 2, .Height = 1, .BitCount = 24,
                                                  .Pixels = hex("FF 00 00 00 00 FF 00 00")}));
  TFlashImage copy;
  copy.Assign(*image);
  copy.Reader().ScanLines(0)[0] = 0x12;
  EXPECT_EQ(image->Reader().ScanLines(0)[0], 0xFF);
  image->Reader().ScanLines(0)[1] = 0x34;
  EXPECT_EQ(copy.Reader().ScanLines(0)[1], 0x00);
  EXPECT_EQ(copy.Reader().ScanLines(0)[0], 0x12);
}

TEST(FlashImage, LoadImageHandlerCanDeclineAFile) {
  swf::TFlashMovie movie(0, 0, 100, 100, 12);
  std::string seen;
  movie.OnLoadImage = [&](TFlashImage&, const std::string& name, bool& proceed) {
    seen = name;
    proceed = false;
  };
  TFlashImage& image = movie.AddImage("declined.gif");
  EXPECT_EQ(seen, "declined.gif");
  EXPECT_EQ(image.DataState(), TFlashImage::dsNothing);
  swf::TMemoryStream stream;
  swf::TBitsEngine be(stream);
  EXPECT_THROW(image.WriteToStream(be), swf::ESWFError);
}

TEST(FlashImage, AddImageNumbersOnlyLoadedPictures) {
  swf::TFlashMovie movie(0, 0, 100, 100, 12);
  const std::string dir = vtest::TestTempDir();
  const std::string bmp =
      WriteTemp(dir, "a.bmp", vtest::MakeBmp({.Width = 1, .Height = 1, .Pixels = Bytes(4)}));
  TFlashImage& first = movie.AddImage(bmp);
  EXPECT_THROW(movie.AddImage("b.png"), swf::ESWFError);
  TFlashImage& second = movie.AddImage(bmp);
  EXPECT_EQ(first.GetCharacterID(), 1);
  EXPECT_EQ(second.GetCharacterID(), 2);
  EXPECT_EQ(movie.Images().size(), 2u);
  EXPECT_EQ(movie.Objects().size(), 2u);
}

// ------------------------------------------------------------ a whole movie

// A rectangle of Width x Height twips filled with a bitmap at its own size (one
// bitmap pixel per 20 twips). Written here by hand from the DefineShape layout.
class BitmapRectangle : public swf::TSWFObject {
 public:
  BitmapRectangle(uint16_t id, uint16_t bitmap, int32_t w, int32_t h)
      : id_(id), bitmap_(bitmap), w_(w), h_(h) {
    TagID = swf::tagDefineShape;
  }
  void WriteTagBody(swf::TBitsEngine& be) override {
    be.WriteWord(id_);
    be.WriteRect({0, w_, 0, h_});
    be.WriteByte(1);     // one fill style
    be.WriteByte(0x41);  // clipped bitmap
    be.WriteWord(bitmap_);
    swf::TSWFMatrixRec m;
    m.HasScale = true;
    m.ScaleX = m.ScaleY = 20 << 16;
    be.WriteMatrix(m);
    be.WriteByte(0);         // no line styles
    be.WriteBits(0x10, 8);   // 1 fill bit, 0 line bits
    be.WriteBits(0b000011, 6);  // style change: fill style 0, move to
    be.WriteBits(1, 5);      // move bits
    be.WriteBits(0, 1);
    be.WriteBits(0, 1);
    be.WriteBits(1, 1);      // fill style 0 = 1
    Edge(be, w_, false);
    Edge(be, h_, true);
    Edge(be, -w_, false);
    Edge(be, -h_, true);
    be.WriteBits(0, 6);  // end of shape
    be.FlushLastByte(true);
  }

 private:
  static void Edge(swf::TBitsEngine& be, int32_t delta, bool vertical) {
    be.WriteBits(0b11, 2);  // edge, straight
    be.WriteBits(16 - 2, 4);
    be.WriteBits(0, 1);     // not a general line
    be.WriteBits(vertical ? 1 : 0, 1);
    be.WriteSBits(delta, 16);
  }
  uint16_t id_, bitmap_;
  int32_t w_, h_;
};

TEST(FlashImage, MovieWithEveryKindOfPictureParses) {
  const std::string dir = vtest::TestTempDir();
  std::vector<std::string> files = {
      WriteTemp(dir, "baseline.jpg", vtest::MakeJpeg(64, 48, false)),
      WriteTemp(dir, "translucent.jpeg", vtest::MakeJpeg(40, 30, false)),
      WriteTemp(dir, "progressive.jpg", vtest::MakeJpeg(32, 32, true)),
      WriteTemp(dir, "one.bmp", vtest::MakeBmp({.Width = 3, .Height = 2, .BitCount = 1,
                                           .Palette = {0xFF0000, 0x0000FF},
                                           .Pixels = hex("A0 00 00 00 40 00 00 00")})),
      WriteTemp(dir, "top-down.bmp",
                vtest::MakeBmp({.Width = 2, .Height = -2, .BitCount = 24,
                                .Pixels = hex("0000FF 00FF00 0000 | FF0000 FFFFFF 0000")})),
  };
  for (const char* fixture : {"bmp-core-4bit.bmp", "bmp-8bit-rle.bmp", "bmp-v5-16bit-rgb565.bmp",
                              "bmp-24bit.bmp", "bmp-v5-32bit-alpha.bmp"})
    files.push_back(vtest::TestDataPath(fixture));

  swf::TFlashMovie movie(0, 0, 400, 300, 12);
  movie.SetVersion(6);
  movie.SetCompressed(true);
  movie.BackgroundColor().SetRGB({255, 255, 255});
  uint16_t depth = 1;
  int32_t x = 0;
  for (const std::string& file : files) {
    TFlashImage& image = movie.AddImage(file);
    if (file.find("translucent") != std::string::npos) {
      image.SetAlphaValue(255);
      for (uint8_t& a : *image.AlphaData()) a = 160;
    }
    const uint16_t shapeID = movie.NextCharacterID++;
    movie.AddFlashObject(std::make_unique<BitmapRectangle>(
        shapeID, image.GetCharacterID(), image.ImageWidth() * 20, image.ImageHeight() * 20));
    auto place = std::make_unique<swf::TSWFPlaceObject2>();
    place->SetCharacterID(shapeID);
    place->Depth = depth++;
    place->Matrix().SetTranslate(x * 20, 10 * 20);
    x += image.ImageWidth() + 4;
    movie.AddFlashObject(std::move(place));
  }
  movie.ShowFrame();
  movie.MakeData();
  const Bytes swfFile = movie.SaveToBytes();
  EXPECT_EQ(movie.Version(), 6);
  vtest::KeepSwfForParserCheck("pictures.swf", swfFile);
}

}  // namespace
