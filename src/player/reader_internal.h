#pragma once
// Shared by the reader's files: the state of one read and the readers of the
// tag families. Every reader works on the body of one tag and throws
// swf::ESWFError when the body ends early; the tag loop then skips the tag.
#include <bitset>
#include <memory>
#include <string>
#include <vector>

#include "player/movie.h"
#include "swf/core/bits_engine.h"
#include "swf/core/swf_object.h"

namespace player::detail {

struct TReadContext {
  TMovie& Movie;
  bool KeepTags = false;
  std::vector<uint8_t> JpegTables;
  uint32_t Frame = 0;
  std::string Info;  // key fields of the tag being read (when KeepTags)
  // The depths that hold an object once the ops read so far are applied from
  // the first frame, as every play applies them.
  std::bitset<65536> Occupied;

  TFrameContent& CurrentFrame();
  // Keeps the first definition of an ID, as players do.
  void AddCharacter(std::unique_ptr<TCharacter> character);
};

size_t Remaining(swf::TBitsEngine& be);
std::vector<uint8_t> ReadRest(swf::TBitsEngine& be);
void Skip(swf::TBitsEngine& be, size_t count);
TRGBA ReadColor(swf::TBitsEngine& be, bool withAlpha);
TRectD ReadRectD(swf::TBitsEngine& be);
// Text from the file as UTF-8 (Windows-1252 before version 6).
std::string ToUtf8(const std::string& bytes, uint8_t version);

void ReadShapeTag(swf::TBitsEngine& be, uint16_t code, TReadContext& ctx);
void ReadFontTag(swf::TBitsEngine& be, uint16_t code, TReadContext& ctx);
void ReadTextTag(swf::TBitsEngine& be, uint16_t code, TReadContext& ctx);
void ReadEditTextTag(swf::TBitsEngine& be, TReadContext& ctx);
void ReadBitmapTag(swf::TBitsEngine& be, uint16_t code, TReadContext& ctx);
void ReadButtonTag(swf::TBitsEngine& be, uint16_t code, TReadContext& ctx);
void ReadButtonSoundTag(swf::TBitsEngine& be, TReadContext& ctx);
void ReadSoundTag(swf::TBitsEngine& be, uint16_t code, TReadContext& ctx);
// The sound info of a StartSound or of a button transition.
TSoundStart ReadSoundInfo(swf::TBitsEngine& be, uint16_t soundID);
std::string DescribeSoundStart(const TSoundStart& start);
// Action records up to the end action (code 0) or the end of the data.
TActionList ReadActionRecords(swf::TBitsEngine& be, uint8_t version);

// The shape records of a glyph (one fill, no styles of its own).
TShape ReadGlyphShape(swf::TBitsEngine& be);

std::string DescribeActions(const TActionList& actions);
std::string DescribeMatrix(const TMatrix& m);

}  // namespace player::detail
