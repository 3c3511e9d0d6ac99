#include "media/id3.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/bytes.h"
#include "support/sound_data.h"

namespace {

using media::TID3v1;
using media::TID3v2;
using media::TMemorySource;
using vtest::Bytes;
using vtest::Concat;

// The 128-byte ID3v1 tag; Comment fills bytes 97..126 as given.
Bytes ID3v1Tag(const std::string& title, const Bytes& comment30, uint8_t genre) {
  Bytes tag(128, 0);
  std::memcpy(tag.data(), "TAG", 3);
  std::memcpy(tag.data() + 3, title.data(), title.size());
  std::memcpy(tag.data() + 33, "Artist  ", 8);  // trailing spaces are padding
  std::memcpy(tag.data() + 63, "Album", 5);
  std::memcpy(tag.data() + 93, "1999", 4);
  std::copy(comment30.begin(), comment30.end(), tag.begin() + 97);
  tag[127] = genre;
  return tag;
}

Bytes Text(const std::string& s) {
  return Bytes(s.begin(), s.end());
}

TEST(ID3v1, ReadsVersion10And11Tags) {
  struct Row {
    const char* what;
    Bytes comment;  // bytes 97..126
    uint8_t version, track;
    std::string text;
  };
  Bytes v11 = Text("Twenty-eight characters long");
  v11.resize(30, 0);
  v11[29] = 7;
  Bytes v10 = Text("Thirty characters of a comment");
  Bytes spaces = Text("spaced out");
  spaces.resize(30, ' ');
  spaces[29] = 9;  // byte 125 is 0x20 and byte 126 is not
  const Row rows[] = {
      {"1.1: byte 125 is 0, byte 126 the track", v11, 2, 7, "Twenty-eight characters long"},
      {"1.0: 30 comment bytes", v10, 1, 0, "Thirty characters of a comment"},
      {"1.1 padded with spaces", spaces, 2, 9, "spaced out"},
      {"1.0 all zeros", Bytes(30, 0), 1, 0, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const Bytes file = Concat(Bytes(500, 0xAA), ID3v1Tag("Song", r.comment, 17));
    TID3v1 tag;
    ASSERT_TRUE(tag.ReadFromSource(TMemorySource(file)));
    EXPECT_TRUE(tag.Exists);
    EXPECT_EQ(tag.TagVersion, r.version);
    EXPECT_EQ(tag.Track, r.track);
    EXPECT_EQ(tag.Comment, r.text);
    EXPECT_EQ(tag.Title, "Song");
    EXPECT_EQ(tag.Artist, "Artist");
    EXPECT_EQ(tag.Album, "Album");
    EXPECT_EQ(tag.Year, "1999");
    EXPECT_EQ(tag.Genre, 17);
  }
}

TEST(ID3v1, NoTagAndShortFiles) {
  TID3v1 tag;
  EXPECT_TRUE(tag.ReadFromSource(TMemorySource(Bytes(128, 'x'))));
  EXPECT_FALSE(tag.Exists);
  EXPECT_EQ(tag.Genre, 255);
  EXPECT_FALSE(tag.ReadFromSource(TMemorySource(Bytes(127, 'x'))));
  EXPECT_FALSE(tag.ReadFromFile(vtest::TestTempDir() + "/missing.mp3"));
}

TEST(ID3v1, GenreNames) {
  ASSERT_EQ(media::ID3v1Genres.size(), 148u);
  EXPECT_EQ(media::ID3v1Genres[0], "Blues");
  EXPECT_EQ(media::ID3v1Genres[17], "Rock");
  EXPECT_EQ(media::ID3v1Genres[79], "Hard Rock");
  EXPECT_EQ(media::ID3v1Genres[80], "Folk");
  EXPECT_EQ(media::ID3v1Genres[147], "Synthpop");
}

// An ID3v2 tag of the given major version holding the frames; the stated size
// may be overridden to lie.
Bytes ID3v2Tag(uint8_t version, const std::vector<std::pair<std::string, Bytes>>& frames,
               int64_t statedSize = -1) {
  Bytes body;
  for (const auto& [id, content] : frames) {
    body = Concat(body, Text(id));
    const uint32_t n = uint32_t(content.size());
    body =
        Concat(body, Bytes{uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n), 0, 0});
    body = Concat(body, content);
  }
  const uint32_t size = statedSize < 0 ? uint32_t(body.size()) : uint32_t(statedSize);
  Bytes header = {'I',
                  'D',
                  '3',
                  version,
                  0,
                  0,
                  uint8_t(size >> 21 & 0x7F),
                  uint8_t(size >> 14 & 0x7F),
                  uint8_t(size >> 7 & 0x7F),
                  uint8_t(size & 0x7F)};
  return Concat(header, body);
}

Bytes TextFrame(const std::string& s) {
  return Concat(Bytes{0}, Text(s));
}

TID3v2 ReadID3v2(const Bytes& file) {
  TID3v2 tag;
  EXPECT_TRUE(tag.ReadFromSource(TMemorySource(file)));
  return tag;
}

TEST(ID3v2, ReadsTheTextFramesOfAVersion3Tag) {
  const Bytes file = Concat(
      ID3v2Tag(3, {{"TIT2", TextFrame("First title")},
                   {"TPE1", TextFrame("  Artist  ")},
                   {"TXXX", TextFrame("ignored")},
                   {"TALB", TextFrame("Album")},
                   {"TYER", TextFrame("2003")},
                   {"COMM", Concat(Bytes{0}, Concat(Text("eng"), Concat(Bytes{0}, Text("Nice"))))},
                   {"TIT2", TextFrame("Second title")}}),  // a later frame replaces an earlier
      Bytes(200, 0));
  const TID3v2 tag = ReadID3v2(file);
  EXPECT_TRUE(tag.Exists);
  EXPECT_EQ(tag.TagVersion, 3);
  EXPECT_EQ(tag.TagSize, file.size() - 200);
  EXPECT_EQ(tag.Title, "Second title");
  EXPECT_EQ(tag.Artist, "Artist");
  EXPECT_EQ(tag.Album, "Album");
  EXPECT_EQ(tag.Year, "2003");
  EXPECT_EQ(tag.Comment, "Nice");
}

TEST(ID3v2, TrackAndGenreRules) {
  struct Row {
    std::string trck, tcon;
    int32_t track;
    std::string genre;
  };
  const Row rows[] = {
      {"3/12", "(17)Rock", 3, "Rock"},
      {"7", "(17)", 7, ""},
      {"x", "Rock", 0, "Rock"},
      {"12x/3", "(4)(17)Rock", 0, "Rock"},
      {"", "", 0, ""},
      {"99999999999", "Jazz (live)", 0, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.trck + " | " + r.tcon);
    const TID3v2 tag = ReadID3v2(Concat(
        ID3v2Tag(3, {{"TRCK", TextFrame(r.trck)}, {"TCON", TextFrame(r.tcon)}}), Bytes(100, 0)));
    EXPECT_EQ(tag.Track, r.track);
    EXPECT_EQ(tag.Genre, r.genre);
  }
}

TEST(ID3v2, KeepsTheFirst250BytesOfALongFrame) {
  const std::string longTitle(400, 'z');
  const TID3v2 tag = ReadID3v2(Concat(
      ID3v2Tag(3, {{"TIT2", TextFrame(longTitle)}, {"TALB", TextFrame("after")}}), Bytes(100, 0)));
  EXPECT_EQ(tag.Title, std::string(249, 'z'));
  EXPECT_EQ(tag.Album, "after");
}

TEST(ID3v2, LyingSizesNeverReadPastTheFile) {
  struct Row {
    const char* what;
    Bytes file;
    uint32_t tagSize;
    std::string title;
  };
  // A frame whose size runs past the tag and the file ends the frame list.
  Bytes hugeFrame = ID3v2Tag(3, {{"TIT2", TextFrame("kept")}, {"TALB", TextFrame("x")}}, 60);
  hugeFrame[hugeFrame.size() - 8] = 0x7F;  // TALB size high byte
  hugeFrame = Concat(hugeFrame, Bytes(60, 0));
  const Row rows[] = {
      {"stated size beyond the file", ID3v2Tag(3, {{"TIT2", TextFrame("t")}}, 100000), 0, ""},
      {"version 4 frames are not read",
       Concat(ID3v2Tag(4, {{"TIT2", TextFrame("t")}}), Bytes(10, 0)), 22, ""},
      {"frame size beyond the file", hugeFrame, 70, "kept"},
      {"tag ends inside a frame header",
       Concat(ID3v2Tag(3, {{"TIT2", TextFrame("t")}}, 17), Bytes(5, 0)), 27, "t"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const TID3v2 tag = ReadID3v2(r.file);
    EXPECT_TRUE(tag.Exists);
    EXPECT_EQ(tag.TagSize, r.tagSize);
    EXPECT_EQ(tag.Title, r.title);
  }
}

TEST(ID3v2, NoTagAndShortFiles) {
  TID3v2 tag;
  EXPECT_TRUE(tag.ReadFromSource(TMemorySource(Bytes(10, 0))));
  EXPECT_FALSE(tag.Exists);
  EXPECT_EQ(tag.TagSize, 0u);
  EXPECT_FALSE(tag.ReadFromSource(TMemorySource(vtest::hex("49 44 33 03 00"))));
}

TEST(ID3, ReadsTheTagsWrittenByLame) {
  const std::string path = vtest::TestDataPath("cbr-128k-44k-stereo-id3v23-id3v11.mp3");
  TID3v2 v2;
  ASSERT_TRUE(v2.ReadFromFile(path));
  EXPECT_EQ(v2.TagVersion, 3);
  EXPECT_EQ(v2.TagSize, 217u);
  EXPECT_EQ(v2.Title, "Tiny Tone");
  EXPECT_EQ(v2.Artist, "Vellumet Tests");
  EXPECT_EQ(v2.Album, "Fixtures");
  EXPECT_EQ(v2.Year, "2024");
  EXPECT_EQ(v2.Track, 7);
  EXPECT_EQ(v2.Genre, "Rock");
  EXPECT_EQ(v2.Comment, "made by lame");
  TID3v1 v1;
  ASSERT_TRUE(v1.ReadFromFile(path));
  EXPECT_EQ(v1.TagVersion, 2);
  EXPECT_EQ(v1.Title, "Tiny Tone");
  EXPECT_EQ(v1.Comment, "made by lame");
  EXPECT_EQ(v1.Track, 7);
  EXPECT_EQ(v1.Genre, 17);
}

}  // namespace
