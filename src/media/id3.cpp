#include "media/id3.h"

#include <algorithm>
#include <charconv>
#include <map>

#include "media/media_error.h"

namespace media {

const std::array<std::string_view, 148> ID3v1Genres = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz",
    "Metal", "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno",
    "Industrial", "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno",
    "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental",
    "Acid", "House", "Game", "Sound Clip", "Gospel", "Noise", "AlternRock", "Bass", "Soul", "Punk",
    "Space", "Meditative", "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic", "Darkwave",
    "Techno-Industrial", "Electronic", "Pop-Folk", "Eurodance", "Dream", "Southern Rock", "Comedy",
    "Cult", "Gangsta", "Top 40", "Christian Rap", "Pop/Funk", "Jungle", "Native American",
    "Cabaret", "New Wave", "Psychadelic", "Rave", "Showtunes", "Trailer", "Lo-Fi", "Tribal",
    "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock",
    // Winamp extensions
    "Folk", "Folk-Rock", "National Folk", "Swing", "Fast Fusion", "Bebob", "Latin", "Revival",
    "Celtic", "Bluegrass", "Avantgarde", "Gothic Rock", "Progressive Rock", "Psychedelic Rock",
    "Symphonic Rock", "Slow Rock", "Big Band", "Chorus", "Easy Listening", "Acoustic", "Humour",
    "Speech", "Chanson", "Opera", "Chamber Music", "Sonata", "Symphony", "Booty Bass", "Primus",
    "Porn Groove", "Satire", "Slow Jam", "Club", "Tango", "Samba", "Folklore", "Ballad",
    "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock", "Drum Solo", "A capella",
    "Euro-House", "Dance Hall", "Goa", "Drum & Bass", "Club-House", "Hardcore", "Terror", "Indie",
    "BritPop", "Afro-Punk", "Polsk Punk", "Beat", "Christian Gangsta Rap", "Heavy Metal",
    "Black Metal", "Crossover", "Contemporary Christian", "Christian Rock", "Merengue", "Salsa",
    "Thrash Metal", "Anime", "JPop", "Synthpop"};

namespace {

// Tag texts end in spaces or zeros (padding) and version 2 text frames start
// with an encoding byte; both are control-or-space bytes.
bool IsBlank(char c) {
  return uint8_t(c) <= 0x20;
}

std::string TrimRight(std::string text) {
  while (!text.empty() && IsBlank(text.back())) text.pop_back();
  return text;
}

std::string Trim(std::string text) {
  text = TrimRight(std::move(text));
  const auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
  return std::string(first, text.end());
}

std::string Field(const uint8_t* tag, size_t from, size_t to) {
  return TrimRight(std::string(reinterpret_cast<const char*>(tag) + from, to - from + 1));
}

// The decimal number before the first "/" (track 3 of 12 is "3/12"); 0 when
// there is none.
int32_t TrackNumber(const std::string& text) {
  const std::string number = text.substr(0, text.find('/'));
  const char* begin = number.data();
  const char* end = begin + number.size();
  if (begin != end && *begin == '+') ++begin;
  int32_t value = 0;
  const auto [ptr, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc() || ptr != end) return 0;
  return value;
}

// "(17)Rock" names the genre twice, by ID3v1 number and by text: keep the text.
std::string GenreText(const std::string& text) {
  const size_t close = text.rfind(')');
  return close == std::string::npos ? text : text.substr(close + 1);
}

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

template <typename Reader>
bool ReadFile(Reader& reader, const std::string& FileName) {
  reader.ResetData();
  try {
    const auto file = TFileSource::TryOpen(FileName);
    return file && reader.ReadFromSource(*file);
  } catch (const TMediaError&) {
    reader.ResetData();
    return false;
  }
}

}  // namespace

void TID3v1::ResetData() {
  *this = TID3v1();
}

bool TID3v1::ReadFromFile(const std::string& FileName) {
  return ReadFile(*this, FileName);
}

bool TID3v1::ReadFromSource(const TByteSource& Source) {
  ResetData();
  const uint64_t size = Source.Size();
  uint8_t tag[128];
  if (size < 128 || Source.ReadAt(size - 128, tag, 128) != 128) return false;
  if (tag[0] != 'T' || tag[1] != 'A' || tag[2] != 'G') return true;
  Exists = true;
  // Version 1.1 keeps the track number in the last comment byte, after a zero.
  if ((tag[125] == 0 && tag[126] != 0) || (tag[125] == 0x20 && tag[126] != 0x20)) TagVersion = 2;
  Title = Field(tag, 3, 32);
  Artist = Field(tag, 33, 62);
  Album = Field(tag, 63, 92);
  Year = Field(tag, 93, 96);
  if (TagVersion == 1) {
    Comment = Field(tag, 97, 126);
  } else {
    Comment = Field(tag, 97, 124);
    Track = tag[126];
  }
  Genre = tag[127];
  return true;
}

void TID3v2::ResetData() {
  *this = TID3v2();
}

bool TID3v2::ReadFromFile(const std::string& FileName) {
  return ReadFile(*this, FileName);
}

bool TID3v2::ReadFromSource(const TByteSource& Source) {
  ResetData();
  uint8_t header[10];
  if (Source.ReadAt(0, header, 10) != 10) return false;
  if (header[0] != 'I' || header[1] != 'D' || header[2] != '3') return true;
  Exists = true;
  TagVersion = header[3];
  // The size bytes are meant to be 7-bit (synchsafe); they are taken unmasked,
  // and a size beyond the file is not trusted at all.
  const uint64_t size = (uint64_t(header[6]) << 21) + (uint64_t(header[7]) << 14) +
                        (uint64_t(header[8]) << 7) + header[9] + 10;
  TagSize = size > Source.Size() ? 0 : uint32_t(size);
  if (TagVersion == 3 && TagSize > 0) ReadFrames(Source);
  return true;
}

void TID3v2::ReadFrames(const TByteSource& Source) {
  constexpr size_t kKept = 250;
  std::map<std::string, std::string> texts;
  uint64_t position = 10;
  try {
    while (position < TagSize && position < Source.Size()) {
      uint8_t frame[10];
      if (Source.ReadAt(position, frame, 10) != 10) break;
      const std::string id(reinterpret_cast<const char*>(frame), 4);
      const uint32_t size = BigEndian32(frame + 4);
      position += 10;
      char content[kKept] = {};
      Source.ReadAt(position, content, std::min<size_t>(size, kKept));
      if (id == "TIT2" || id == "TPE1" || id == "TALB" || id == "TRCK" || id == "TYER" ||
          id == "TCON" || id == "COMM")
        texts[id] = Trim(std::string(content, kKept));
      position += size;
    }
  } catch (const TMediaError&) {
    // A damaged frame list keeps what was read before the damage.
  }
  Title = texts["TIT2"];
  Artist = texts["TPE1"];
  Album = texts["TALB"];
  Track = TrackNumber(texts["TRCK"]);
  Year = texts["TYER"];
  Genre = GenreText(texts["TCON"]);
  // After the encoding byte (trimmed away) come the language and the end of the
  // short description; the comment text follows.
  const std::string& comment = texts["COMM"];
  Comment = comment.size() > 4 ? Trim(comment.substr(4)) : std::string();
}

}  // namespace media
