// Sound tags: DefineSound, StartSound, the stream head and its blocks.
#include <algorithm>
#include <cstdio>

#include "player/reader_internal.h"
#include "swf/core/swf_error.h"

namespace player::detail {
namespace {

TSoundFormat ReadFormat(swf::TBitsEngine& be) {
  TSoundFormat f;
  f.Format = uint8_t(be.ReadBits(4));
  f.Rate = uint8_t(be.ReadBits(2));
  f.Is16Bit = be.ReadBit();
  f.Stereo = be.ReadBit();
  return f;
}

std::string DescribeFormat(const TSoundFormat& f) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "format=%u rate=%u %s %s", f.Format, f.Rate,
                f.Is16Bit ? "16bit" : "8bit", f.Stereo ? "stereo" : "mono");
  return buf;
}

// The names of the formats the player leaves silent, for its warning.
std::string FormatName(uint8_t format) {
  switch (format) {
    case 4:
      return "Nellymoser 16 kHz";
    case 5:
      return "Nellymoser 8 kHz";
    case 6:
      return "Nellymoser";
    case 7:
      return "G.711 A-law";
    case 8:
      return "G.711 mu-law";
    case 11:
      return "Speex";
    default:
      return "unknown";
  }
}

// A sound the player cannot decode plays as silence; the user learns why.
void WarnUndecodable(const TSoundFormat& f, const std::string& what, TReadContext& ctx) {
  if (f.Decodable()) return;
  ctx.Movie.Warnings.push_back(what + ": sound format " + std::to_string(f.Format) + " (" +
                               FormatName(f.Format) + ") cannot be decoded; it plays as silence");
}

void ReadDefineSound(swf::TBitsEngine& be, TReadContext& ctx) {
  auto sound = std::make_unique<TSoundCharacter>();
  sound->ID = be.ReadWord();
  sound->TagCode = swf::tagDefineSound;
  sound->Format = ReadFormat(be);
  sound->SampleCount = be.ReadDWord();
  if (sound->Format.Format == 2) sound->SeekSamples = int16_t(be.ReadWord());
  sound->Data = ReadRest(be);
  if (ctx.KeepTags)
    ctx.Info = "id=" + std::to_string(sound->ID) + " " + DescribeFormat(sound->Format) +
               " samples=" + std::to_string(sound->SampleCount) +
               (sound->Format.Format == 2 ? " seek=" + std::to_string(sound->SeekSamples) : "") +
               " data=" + std::to_string(sound->Data.size());
  WarnUndecodable(sound->Format, "DefineSound " + std::to_string(sound->ID), ctx);
  ctx.AddCharacter(std::move(sound));
}

void ReadStreamHead(swf::TBitsEngine& be, TReadContext& ctx) {
  TStreamSound s;
  be.ReadByte();  // playback settings: a hint for the player's output
  s.Format = ReadFormat(be);
  s.SamplesPerFrame = be.ReadWord();
  if (s.Format.Format == 2 && Remaining(be) >= 2) s.LatencySeek = int16_t(be.ReadWord());
  if (ctx.KeepTags)
    ctx.Info = DescribeFormat(s.Format) + " samples/frame=" + std::to_string(s.SamplesPerFrame);
  if (ctx.Movie.StreamSound) {
    ctx.Movie.Warnings.push_back("a second sound stream head is ignored");
    return;
  }
  WarnUndecodable(s.Format, "the sound stream", ctx);
  ctx.Movie.StreamSound = std::move(s);
}

// One block a frame, as players take it; a block without a head has no format.
void ReadStreamBlock(swf::TBitsEngine& be, TReadContext& ctx) {
  if (ctx.KeepTags) ctx.Info = "data=" + std::to_string(Remaining(be));
  std::optional<TStreamSound>& stream = ctx.Movie.StreamSound;
  if (!stream || (!stream->Blocks.empty() && stream->Blocks.back().Frame == ctx.Frame)) return;
  stream->Blocks.push_back({ctx.Frame, ReadRest(be)});
}

}  // namespace

TSoundStart ReadSoundInfo(swf::TBitsEngine& be, uint16_t soundID) {
  TSoundStart s;
  s.SoundID = soundID;
  const uint8_t flags = be.ReadByte();
  s.Stop = flags & 0x20;
  s.NoMultiple = flags & 0x10;
  if (flags & 0x01) be.ReadDWord();  // in point
  if (flags & 0x02) be.ReadDWord();  // out point
  if (flags & 0x04) s.Loops = std::max<uint16_t>(be.ReadWord(), 1);
  if (flags & 0x08) Skip(be, size_t(be.ReadByte()) * 8);  // envelope
  return s;
}

std::string DescribeSoundStart(const TSoundStart& s) {
  std::string text = "sound=" + std::to_string(s.SoundID);
  if (s.Stop) text += " stop";
  if (s.NoMultiple) text += " nomultiple";
  if (s.Loops > 1) text += " loops=" + std::to_string(s.Loops);
  return text;
}

void ReadSoundTag(swf::TBitsEngine& be, uint16_t code, TReadContext& ctx) {
  switch (code) {
    case swf::tagDefineSound:
      ReadDefineSound(be, ctx);
      break;
    case swf::tagStartSound: {
      const uint16_t id = be.ReadWord();
      const TSoundStart start = ReadSoundInfo(be, id);
      if (ctx.KeepTags) ctx.Info = DescribeSoundStart(start);
      ctx.CurrentFrame().Sounds.push_back(start);
      break;
    }
    case swf::tagSoundStreamHead:
    case swf::tagSoundStreamHead2:
      ReadStreamHead(be, ctx);
      break;
    default:
      ReadStreamBlock(be, ctx);
      break;
  }
}

}  // namespace player::detail
