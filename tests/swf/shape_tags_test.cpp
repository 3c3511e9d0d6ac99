#include "swf/tags/shape_tags.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/bytes.h"
#include "swf/core/swf_error.h"

namespace {

using vtest::Bytes;
using vtest::hex;
using vtest::SameBytes;
using namespace swf;

Bytes WrittenRecord(TSWFShapeRecord& record) {
  TMemoryStream stream;
  TBitsEngine be(stream);
  record.Write(be);
  be.FlushLastByte(true);
  return stream.Bytes();
}

Bytes WrittenTag(TSWFObject& tag) {
  TMemoryStream stream;
  TBitsEngine be(stream);
  tag.WriteToStream(be);
  return stream.Bytes();
}

std::unique_ptr<TSWFStyleChangeRecord> Select(uint16_t fill1, uint16_t line) {
  auto sc = std::make_unique<TSWFStyleChangeRecord>();
  sc->SetFill1Id(fill1);
  sc->SetLineId(line);
  return sc;
}

// One solid red fill, a 20-twip blue line and a 2000 x 1000 rectangle.
void FillRectangleShape(TSWFDefineShape& tag, uint8_t fillAlpha) {
  tag.ShapeID = 1;
  tag.ShapeBounds.SetRect(0, 0, 2000, 1000);
  auto fill = std::make_unique<TSWFColorFill>();
  fill->Color.SetRGBA(0x000000FF | uint32_t(fillAlpha) << 24);
  tag.FillStyles.push_back(std::move(fill));
  auto line = std::make_unique<TSWFLineStyle>();
  line->Width = 20;
  line->Color.SetRGBA(0xFFFF0000);
  tag.LineStyles.push_back(std::move(line));
  tag.ShapeRecords.push_back(Select(1, 1));
  for (auto [x, y] : {std::pair{2000, 0}, {0, 1000}, {-2000, 0}, {0, -1000}})
    tag.ShapeRecords.push_back(std::make_unique<TSWFStraightEdgeRecord>(x, y));
  tag.ShapeRecords.push_back(std::make_unique<TSWFEndShapeRecord>());
}

TEST(ShapeRecords, WriteTheirBitFields) {
  struct Row {
    const char* name;
    std::function<std::unique_ptr<TSWFShapeRecord>()> make;
    const char* bytes;
  };
  const Row rows[] = {
      {"end", [] { return std::make_unique<TSWFEndShapeRecord>(); }, "00"},
      // type 1, straight 1, n-2 = 6, general 0, vertical 0, 100 in 8 bits
      {"horizontal", [] { return std::make_unique<TSWFStraightEdgeRecord>(100, 0); }, "D8 64"},
      {"vertical", [] { return std::make_unique<TSWFStraightEdgeRecord>(0, 100); }, "D9 64"},
      {"general", [] { return std::make_unique<TSWFStraightEdgeRecord>(100, 100); }, "DA C8 C8"},
      {"zero line", [] { return std::make_unique<TSWFStraightEdgeRecord>(0, 0); }, ""},
      // type 1, straight 0, n-2 = 2, then 1, 2, -3, 4 in 4 bits
      {"curve", [] { return std::make_unique<TSWFCurvedEdgeRecord>(1, 2, -3, 4); }, "88 4B 50"},
      {"zero curve", [] { return std::make_unique<TSWFCurvedEdgeRecord>(); }, ""},
      // no style selected: the move flag is forced, with a 0-bit count
      {"bare style change", [] { return std::make_unique<TSWFStyleChangeRecord>(); }, "04 00"},
      // line 1, fill1 1, move (200, 200) in 9 bits, fill index in 1 bit, line in 0 bits
      {"style change",
       [] {
         auto sc = Select(1, 1);
         sc->SetMoveTo(200, 200);
         sc->FillBits = 1;
         return sc;
       },
       "35 2C 86 44"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    auto record = r.make();
    EXPECT_TRUE(SameBytes(hex(r.bytes), WrittenRecord(*record)));
  }
}

TEST(DefineShape, WritesRgbOrRgbaByTheTagFlag) {
  struct Row {
    bool shape3;
    const char* bytes;
  };
  const Row rows[] = {
      {false,
       "A1 00"                 // DefineShape, 33 bytes
       "01 00"                 // ShapeID
       "60 00 3E 80 00 1F 40"  // bounds 0..2000, 0..1000 in 12 bits
       "01 00 FF 00 00"        // one solid red fill, RGB
       "01 14 00 00 00 FF"     // one line: width 20, blue RGB
       "11"                    // 1 fill bit, 1 line bit
       "33 E8 7D 0E 57 D1 D1 06 1C B0 60 00"},
      {true,
       "23 08"                 // DefineShape3, 35 bytes
       "01 00"                 // ShapeID
       "60 00 3E 80 00 1F 40"  // the same bounds
       "01 00 FF 00 00 80"     // RGBA, the fill's alpha kept
       "01 14 00 00 00 FF FF"  // RGBA line colour
       "11"                    // the same bit widths
       "33 E8 7D 0E 57 D1 D1 06 1C B0 60 00"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.shape3);
    std::unique_ptr<TSWFDefineShape> tag =
        r.shape3 ? std::make_unique<TSWFDefineShape3>() : std::make_unique<TSWFDefineShape>();
    FillRectangleShape(*tag, 0x80);
    EXPECT_TRUE(SameBytes(hex(r.bytes), WrittenTag(*tag)));
    EXPECT_EQ(tag->MinVersion(), r.shape3 ? 3 : 1);
  }
}

TEST(DefineShape, EndRecordOnlyAtTheEnd) {
  // No records: only the end record after the bit widths.
  TSWFDefineShape empty;
  EXPECT_TRUE(SameBytes(hex("87 00 | 00 00 | 00 | 00 | 00 | 00 | 00"), WrittenTag(empty)));

  // An end record in the middle is dropped; a list ending with an edge gets one.
  TSWFDefineShape tag;
  tag.ShapeRecords.push_back(std::make_unique<TSWFStraightEdgeRecord>(100, 0));
  tag.ShapeRecords.push_back(std::make_unique<TSWFEndShapeRecord>());
  tag.ShapeRecords.push_back(std::make_unique<TSWFStraightEdgeRecord>(0, 100));
  // D8 64 then D9 64 shifted by nothing, then six zero bits
  EXPECT_TRUE(
      SameBytes(hex("8B 00 | 00 00 | 00 | 00 | 00 | 00 | D8 64 D9 64 00"), WrittenTag(tag)));
}

TEST(DefineShape, IndexWidthsFollowTheStylesInForce) {
  // The tag has no styles; the first record brings one fill, so the next
  // record writes its fill index in 1 bit.
  TSWFDefineShape tag;
  auto first = std::make_unique<TSWFStyleChangeRecord>();
  auto fill = std::make_unique<TSWFColorFill>();
  fill->Color.SetRGBA(0xFF0000FF);
  first->NewFillStyles().push_back(std::move(fill));
  first->SetFill1Id(1);
  tag.ShapeRecords.push_back(std::move(first));
  tag.ShapeRecords.push_back(std::make_unique<TSWFStraightEdgeRecord>(100, 0));
  auto second = std::make_unique<TSWFStyleChangeRecord>();
  second->SetFill1Id(1);
  tag.ShapeRecords.push_back(std::move(second));
  EXPECT_TRUE(SameBytes(hex("92 00 | 00 00 | 00 | 00 00 | 00"
                            "50"                // new styles, fill1, no move, index in 0 bits
                            "01 00 FF 00 00"    // the new fill array
                            "00"                // no new lines
                            "10 D8 64 12 00"),  // widths 1/0, the edge, fill1 = 1, end
                        WrittenTag(tag)));

  // With one fill and no line style, a record asking for a line writes no index.
  TSWFDefineShape one;
  one.FillStyles.push_back(std::make_unique<TSWFColorFill>());
  one.ShapeRecords.push_back(Select(1, 1));
  // fill1 and line flags dropped to fill1 only: 0 0 0 1 0 0 | 1 | end 000000
  EXPECT_TRUE(
      SameBytes(hex("8C 00 | 00 00 | 00 | 01 00 00 00 00 | 00 | 10 | 12 00"), WrittenTag(one)));
}

TEST(DefineShape, ExtendedStyleCount) {
  TSWFDefineShape tag;
  for (int i = 0; i < 255; ++i) tag.FillStyles.push_back(std::make_unique<TSWFColorFill>());
  TMemoryStream stream;
  TBitsEngine be(stream);
  tag.WriteTagBody(be);
  // ShapeID (2 bytes) and an empty RECT (1 byte) come first.
  ASSERT_GT(stream.Size(), 7u);
  EXPECT_TRUE(SameBytes(hex("FF FF 00 00 00 00 00"), Bytes(stream.Data() + 3, stream.Data() + 10)));
}

TEST(FillStyles, GradientAndBitmapLayout) {
  TSWFGradientFill gradient;
  gradient.GradientCount = 2;
  gradient.SetGradientRatio(1, 0);
  gradient.GradientColor(1).SetRGBA(0xFF0000FF);
  gradient.SetGradientRatio(2, 255);
  gradient.GradientColor(2).SetRGBA(0x80FF0000);
  TSWFImageFill image;
  image.ImageID = 7;
  image.Matrix.SetTranslate(-5, -5);
  TSWFFillStyleList fills;
  fills.push_back(CopyFillStyle(gradient));
  fills.push_back(CopyFillStyle(image));
  TMemoryStream stream;
  TBitsEngine be(stream);
  WriteStyleArrays(be, fills, {}, true);
  EXPECT_TRUE(SameBytes(hex("02"
                            "10 00 02 00 FF 00 00 FF FF 00 00 FF 80"  // linear, empty matrix
                            "41 07 00 | 09 76"                        // clipped, translate -5, -5
                            "00"),
                        stream.Bytes()));
  EXPECT_EQ(gradient.GradientColorValue(2), 0x80FF0000u);
}

TEST(ShapeRecords, CopiesWriteTheSameBytes) {
  TSWFDefineShape3 source;
  FillRectangleShape(source, 0x80);
  auto& sc = static_cast<TSWFStyleChangeRecord&>(*source.ShapeRecords[0]);
  sc.NewLineStyles().push_back(std::make_unique<TSWFLineStyle>());
  source.ShapeRecords.insert(source.ShapeRecords.begin() + 3,
                             std::make_unique<TSWFCurvedEdgeRecord>(10, 20, 30, -40));
  TSWFDefineShape3 copy;
  copy.Assign(source);
  EXPECT_TRUE(SameBytes(WrittenTag(source), WrittenTag(copy)));
  copy.Assign(copy);  // a no-op, not a doubling
  EXPECT_TRUE(SameBytes(WrittenTag(source), WrittenTag(copy)));
  // A list copied onto itself doubles.
  const size_t n = copy.ShapeRecords.size();
  CopyShapeRecords(copy.ShapeRecords, copy.ShapeRecords);
  EXPECT_EQ(copy.ShapeRecords.size(), 2 * n);

  TSWFShapeRecordList target;
  target.push_back(std::make_unique<TSWFEndShapeRecord>());
  CopyShapeRecords({}, target);
  EXPECT_TRUE(target.empty());
}

TEST(DefineShape, ReadsBackWhatItWrote) {
  TSWFDefineShape3 source;
  FillRectangleShape(source, 0x80);
  source.ShapeRecords.insert(source.ShapeRecords.begin() + 2,
                             std::make_unique<TSWFCurvedEdgeRecord>(-300, 20, 30, -40));
  static_cast<TSWFStyleChangeRecord&>(*source.ShapeRecords[0])
      .NewLineStyles()
      .push_back(std::make_unique<TSWFLineStyle>());
  auto gradient = std::make_unique<TSWFGradientFill>();
  gradient->SetRadial(true);
  gradient->GradientCount = 1;
  gradient->Matrix.SetScale(0.5f, 2.0f);
  source.FillStyles.push_back(std::move(gradient));
  TMemoryStream body;
  TBitsEngine be(body);
  source.WriteTagBody(be);

  TSWFDefineShape3 read;
  TBitsEngine reader(body);
  body.Seek(0);
  read.ReadFromStream(reader);
  ASSERT_EQ(read.ShapeRecords.size(), source.ShapeRecords.size());
  EXPECT_EQ(read.ShapeBounds.Rec(), source.ShapeBounds.Rec());
  TMemoryStream again;
  TBitsEngine be2(again);
  read.WriteTagBody(be2);
  EXPECT_TRUE(SameBytes(body.Bytes(), again.Bytes()));
}

TEST(DefineShape, ReaderRejectsShortAndLyingData) {
  TSWFDefineShape3 source;
  FillRectangleShape(source, 0xFF);
  TMemoryStream body;
  TBitsEngine be(body);
  source.WriteTagBody(be);
  const Bytes full = body.Bytes();
  // Every truncation fails with a clear error, never reads past the data.
  for (size_t n = 0; n < full.size(); ++n) {
    SCOPED_TRACE(n);
    TMemoryStream cut(Bytes(full.begin(), full.begin() + long(n)));
    TBitsEngine reader(cut);
    TSWFDefineShape3 read;
    EXPECT_THROW(read.ReadFromStream(reader), ESWFError);
  }
  struct Row {
    const char* name;
    const char* body;
  };
  const Row rows[] = {
      {"fill count beyond the data", "01 00 00 | FF FF 7F 00 00"},
      {"unknown fill type", "01 00 00 | 01 07"},
      {"nine gradient colours", "01 00 00 | 01 10 00 09"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    TMemoryStream data(hex(r.body));
    TBitsEngine reader(data);
    TSWFDefineShape3 read;
    EXPECT_THROW(read.ReadFromStream(reader), ESWFError);
  }
}

}  // namespace
