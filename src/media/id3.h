#pragma once
// ID3 tags of MP3 files: version 1 (the 128 bytes at the end of the file) and
// version 2 (the tag at the start, whose size tells where the audio begins).
// Texts are kept as the bytes found in the file, without conversion.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "media/byte_source.h"

namespace media {

// The ID3v1 genre names of numbers 0 to 147 (the Winamp extended list).
extern const std::array<std::string_view, 148> ID3v1Genres;

class TID3v1 {
 public:
  bool Exists = false;
  uint8_t TagVersion = 1;  // 1 for ID3v1.0, 2 for ID3v1.1 (with a track number)
  std::string Title, Artist, Album, Year, Comment;
  uint8_t Track = 0;
  uint8_t Genre = 255;  // 255: none

  void ResetData();
  // False when the file cannot be read or is shorter than 128 bytes; true
  // with Exists false when the file has no tag.
  bool ReadFromFile(const std::string& FileName);
  bool ReadFromSource(const TByteSource& Source);
};

class TID3v2 {
 public:
  bool Exists = false;
  uint8_t TagVersion = 0;  // the major version of the tag header
  uint32_t TagSize = 0;    // the whole tag with its 10-byte header; 0 when it overruns the file
  std::string Title, Artist, Album;
  int32_t Track = 0;
  std::string Year, Genre, Comment;

  void ResetData();
  // False when fewer than 10 bytes can be read. Frames are read for version
  // 3 tags only; a damaged frame list ends the reading and keeps what was found.
  bool ReadFromFile(const std::string& FileName);
  bool ReadFromSource(const TByteSource& Source);

 private:
  void ReadFrames(const TByteSource& Source);
};

}  // namespace media
