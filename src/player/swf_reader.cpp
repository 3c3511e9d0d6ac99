#include "player/swf_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "platform/codepage.h"
#include "player/player_error.h"
#include "player/reader_internal.h"
#include "player/swf_body.h"
#include "swf/core/swf_error.h"

namespace player {
namespace detail {

size_t Remaining(swf::TBitsEngine& be) {
  const swf::TMemoryStream& s = be.Stream();
  return s.Position() < s.Size() ? s.Size() - s.Position() : 0;
}

std::vector<uint8_t> ReadRest(swf::TBitsEngine& be) {
  be.AlignRead();
  swf::TMemoryStream& s = be.Stream();
  const size_t n = Remaining(be);
  std::vector<uint8_t> rest(s.Data() + s.Position(), s.Data() + s.Position() + n);
  s.Seek(s.Size());
  return rest;
}

void Skip(swf::TBitsEngine& be, size_t count) {
  if (count > Remaining(be)) throw swf::ESWFError("Unexpected end of SWF data");
  be.AlignRead();
  be.Stream().Seek(be.Stream().Position() + count);
}

TRGBA ReadColor(swf::TBitsEngine& be, bool withAlpha) {
  if (withAlpha) {
    const swf::TSWFRGBARec c = be.ReadRGBA();
    return {c.R, c.G, c.B, c.A};
  }
  const swf::TSWFRGBRec c = be.ReadRGB();
  return {c.R, c.G, c.B, 255};
}

TRectD ReadRectD(swf::TBitsEngine& be) {
  const swf::TSWFRectRec r = be.ReadRect();
  return {double(r.Xmin), double(r.Ymin), double(r.Xmax), double(r.Ymax)};
}

std::string ToUtf8(const std::string& bytes, uint8_t version) {
  return version >= 6 ? bytes : platform::Cp1252ToUtf8(bytes);
}

std::string DescribeMatrix(const TMatrix& m) {
  char buf[120];
  std::snprintf(buf, sizeof buf, "[%.4g %.4g %.4g %.4g %g %g]", m.A, m.B, m.C, m.D, m.TX, m.TY);
  return buf;
}

TFrameContent& TReadContext::CurrentFrame() {
  std::vector<TFrameContent>& frames = Movie.Frames;
  if (frames.empty() || frames.back().Frame != Frame) {
    frames.emplace_back();
    frames.back().Frame = Frame;
  }
  return frames.back();
}

void TReadContext::AddCharacter(std::unique_ptr<TCharacter> character) {
  const uint16_t id = character->ID;
  if (!Movie.Characters.emplace(id, std::move(character)).second)
    Movie.Warnings.push_back("character " + std::to_string(id) +
                             " defined twice; the first definition is kept");
}

}  // namespace detail

namespace {

using detail::TReadContext;

struct TTagName {
  uint16_t Code;
  const char* Name;
};

constexpr TTagName kTagNames[] = {
    {0, "End"},
    {1, "ShowFrame"},
    {2, "DefineShape"},
    {4, "PlaceObject"},
    {5, "RemoveObject"},
    {6, "DefineBits"},
    {7, "DefineButton"},
    {8, "JPEGTables"},
    {9, "SetBackgroundColor"},
    {10, "DefineFont"},
    {11, "DefineText"},
    {12, "DoAction"},
    {13, "DefineFontInfo"},
    {14, "DefineSound"},
    {15, "StartSound"},
    {17, "DefineButtonSound"},
    {18, "SoundStreamHead"},
    {19, "SoundStreamBlock"},
    {20, "DefineBitsLossless"},
    {21, "DefineBitsJPEG2"},
    {22, "DefineShape2"},
    {23, "DefineButtonCxform"},
    {24, "Protect"},
    {26, "PlaceObject2"},
    {28, "RemoveObject2"},
    {32, "DefineShape3"},
    {33, "DefineText2"},
    {34, "DefineButton2"},
    {35, "DefineBitsJPEG3"},
    {36, "DefineBitsLossless2"},
    {37, "DefineEditText"},
    {39, "DefineSprite"},
    {43, "FrameLabel"},
    {45, "SoundStreamHead2"},
    {46, "DefineMorphShape"},
    {48, "DefineFont2"},
    {56, "ExportAssets"},
    {57, "ImportAssets"},
    {58, "EnableDebugger"},
    {59, "DoInitAction"},
    {60, "DefineVideoStream"},
    {61, "VideoFrame"},
    {62, "DefineFontInfo2"},
    {64, "EnableDebugger2"},
    {65, "ScriptLimits"},
    {66, "SetTabIndex"},
    {69, "FileAttributes"},
    {70, "PlaceObject3"},
    {71, "ImportAssets2"},
    {73, "DefineFontAlignZones"},
    {74, "CSMTextSettings"},
    {75, "DefineFont3"},
    {76, "SymbolClass"},
    {77, "Metadata"},
    {78, "DefineScalingGrid"},
    {82, "DoABC"},
    {83, "DefineShape4"},
    {84, "DefineMorphShape2"},
    {86, "DefineSceneAndFrameLabelData"},
    {87, "DefineBinaryData"},
    {88, "DefineFontName"},
    {89, "StartSound2"},
    {90, "DefineBitsJPEG4"},
    {91, "DefineFont4"},
};

void ReadHeader(swf::TBitsEngine& be, TMovie& movie) {
  const swf::TSWFRectRec r = be.ReadRect();
  movie.Stage = {double(r.Xmin), double(r.Ymin), double(r.Xmax), double(r.Ymax)};
  const uint16_t rate = be.ReadWord();
  movie.FrameRate = (rate >> 8) + (rate & 0xFF) / 256.0;
  movie.HeaderFrameCount = be.ReadWord();
}

TDisplayOp ReadPlaceObject2(swf::TBitsEngine& be, uint8_t version) {
  TDisplayOp op;
  const uint8_t flags = be.ReadByte();
  op.Move = flags & 0x01;
  op.Depth = be.ReadWord();
  if (flags & 0x02) op.CharacterID = be.ReadWord();
  if (flags & 0x04) op.Matrix = TMatrix::FromRec(be.ReadMatrix());
  if (flags & 0x08) op.ColorTransform = TColorTransform::FromRec(be.ReadColorTransform(true));
  if (flags & 0x10) op.Ratio = be.ReadWord();
  if (flags & 0x20) op.Name = detail::ToUtf8(be.ReadString(), version);
  if (flags & 0x40) op.ClipDepth = be.ReadWord();
  return op;  // clip actions belong to sprites, which are not played
}

TDisplayOp ReadPlaceObject(swf::TBitsEngine& be) {
  TDisplayOp op;
  op.CharacterID = be.ReadWord();
  op.Depth = be.ReadWord();
  op.Matrix = TMatrix::FromRec(be.ReadMatrix());
  if (detail::Remaining(be) > 0)
    op.ColorTransform = TColorTransform::FromRec(be.ReadColorTransform(false));
  return op;
}

std::string DescribeOp(const TDisplayOp& op) {
  std::string s = "depth=" + std::to_string(op.Depth);
  if (op.Kind == TDisplayOp::Remove) return s;
  if (op.Move) s += " move";
  if (op.CharacterID) s += " char=" + std::to_string(*op.CharacterID);
  if (op.Matrix) s += " matrix=" + detail::DescribeMatrix(*op.Matrix);
  if (op.ColorTransform) {
    const TColorTransform& c = *op.ColorTransform;
    char buf[120];
    std::snprintf(buf, sizeof buf, " cxform=[*%g,%g,%g,%g +%g,%g,%g,%g]", c.Mult[0], c.Mult[1],
                  c.Mult[2], c.Mult[3], c.Add[0], c.Add[1], c.Add[2], c.Add[3]);
    s += buf;
  }
  if (op.Ratio) s += " ratio=" + std::to_string(*op.Ratio);
  if (!op.Name.empty()) s += " name=\"" + op.Name + "\"";
  if (op.ClipDepth) s += " clipdepth=" + std::to_string(*op.ClipDepth);
  return s;
}

// Removing an empty depth changes nothing. Our builds remove every depth up
// to the frame's in each frame, which would make a long movie's op list grow
// with the square of its length.
void ApplyRemoval(TReadContext& ctx, uint16_t depth) {
  if (!ctx.Occupied.test(depth)) return;
  ctx.Occupied.reset(depth);
  TDisplayOp& op = ctx.CurrentFrame().Ops.emplace_back();
  op.Kind = TDisplayOp::Remove;
  op.Depth = depth;
}

// Reads one tag body; returns false for a tag the player does not use.
bool ReadTag(swf::TBitsEngine& be, uint16_t code, TReadContext& ctx) {
  TMovie& movie = ctx.Movie;
  switch (code) {
    case swf::tagShowFrame:
    case swf::tagEnd:
      break;
    case swf::tagSetBackgroundColor:
      movie.Background = detail::ReadColor(be, false);
      movie.HasBackground = true;
      if (ctx.KeepTags) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "#%02X%02X%02X", movie.Background.R, movie.Background.G,
                      movie.Background.B);
        ctx.Info = buf;
      }
      break;
    case swf::tagProtect:
      if (ctx.KeepTags) ctx.Info = detail::Remaining(be) > 2 ? "with password" : "no password";
      break;
    case swf::tagFrameLabel: {
      std::string label = detail::ToUtf8(be.ReadString(), movie.Version);
      if (ctx.KeepTags) ctx.Info = "\"" + label + "\"";
      ctx.CurrentFrame().Label = std::move(label);
      break;
    }
    case 4:
    case swf::tagPlaceObject2: {
      TDisplayOp op = code == 4 ? ReadPlaceObject(be) : ReadPlaceObject2(be, movie.Version);
      if (ctx.KeepTags) ctx.Info = DescribeOp(op);
      if (op.CharacterID) ctx.Occupied.set(op.Depth);
      ctx.CurrentFrame().Ops.push_back(std::move(op));
      break;
    }
    case swf::tagRemoveObject:
    case swf::tagRemoveObject2: {
      TDisplayOp op;
      op.Kind = TDisplayOp::Remove;
      if (code == swf::tagRemoveObject) be.ReadWord();
      op.Depth = be.ReadWord();
      if (ctx.KeepTags) ctx.Info = DescribeOp(op);
      ApplyRemoval(ctx, op.Depth);
      break;
    }
    case swf::tagDoAction: {
      TActionList actions = detail::ReadActionRecords(be, movie.Version);
      if (ctx.KeepTags) ctx.Info = detail::DescribeActions(actions);
      TActionList& target = ctx.CurrentFrame().Actions;
      target.insert(target.end(), actions.begin(), actions.end());
      break;
    }
    case swf::tagDefineShape:
    case swf::tagDefineShape2:
    case swf::tagDefineShape3:
      detail::ReadShapeTag(be, code, ctx);
      break;
    case 8:  // JPEGTables
      ctx.JpegTables = detail::ReadRest(be);
      if (ctx.KeepTags) ctx.Info = "data=" + std::to_string(ctx.JpegTables.size());
      break;
    case swf::tagDefineBits:
    case swf::tagDefineBitsJPEG2:
    case swf::tagDefineBitsJPEG3:
    case swf::tagDefineBitsLossless:
    case swf::tagDefineBitsLossless2:
      detail::ReadBitmapTag(be, code, ctx);
      break;
    case swf::tagDefineFont:
    case swf::tagDefineFont2:
    case 75:  // DefineFont3
      detail::ReadFontTag(be, code, ctx);
      break;
    case swf::tagDefineText:
    case swf::tagDefineText2:
      detail::ReadTextTag(be, code, ctx);
      break;
    case swf::tagDefineEditText:
      detail::ReadEditTextTag(be, ctx);
      break;
    case swf::tagDefineButton:
    case swf::tagDefineButton2:
      detail::ReadButtonTag(be, code, ctx);
      break;
    case swf::tagDefineButtonSound:
      detail::ReadButtonSoundTag(be, ctx);
      break;
    case swf::tagDefineSound:
    case swf::tagStartSound:
    case swf::tagSoundStreamHead:
    case swf::tagSoundStreamHead2:
    case swf::tagSoundStreamBlock:
      detail::ReadSoundTag(be, code, ctx);
      break;
    default:
      return false;
  }
  return true;
}

void ReadTags(const std::vector<uint8_t>& data, size_t pos, TReadContext& ctx) {
  TMovie& movie = ctx.Movie;
  uint32_t frames = 0;
  std::map<uint16_t, size_t> skipped;
  bool ended = false;
  swf::TMemoryStream body;  // one buffer for every tag's body
  while (!ended) {
    if (pos + 2 > data.size()) {
      movie.Warnings.push_back("the file ends without an End tag");
      break;
    }
    const size_t offset = pos;
    const uint16_t head = uint16_t(data[pos] | data[pos + 1] << 8);
    pos += 2;
    const uint16_t code = head >> 6;
    size_t length = head & 0x3F;
    if (length == 0x3F) {
      if (pos + 4 > data.size()) {
        movie.Warnings.push_back("the file is truncated at byte " + std::to_string(offset));
        break;
      }
      length = uint32_t(data[pos] | data[pos + 1] << 8 | data[pos + 2] << 16 |
                        uint32_t(data[pos + 3]) << 24);
      pos += 4;
    }
    if (length > data.size() - pos) {
      movie.Warnings.push_back(TagName(code) + " at byte " + std::to_string(offset) +
                               " runs past the end of the file");
      break;
    }
    // Long builds are mostly these two: read in place rather than through a stream.
    if (code == swf::tagShowFrame && length == 0 && !ctx.KeepTags) {
      ++frames;
      continue;
    }
    if (code == swf::tagRemoveObject2 && length == 2 && !ctx.KeepTags) {
      ctx.Frame = frames;
      ApplyRemoval(ctx, uint16_t(data[pos] | data[pos + 1] << 8));
      pos += 2;
      continue;
    }
    body.Clear();
    body.Write(data.data() + pos, length);
    body.Seek(0);
    swf::TBitsEngine be(body);
    ctx.Frame = frames;
    ctx.Info.clear();
    bool known = true;
    try {
      known = ReadTag(be, code, ctx);
      if (!known) ++skipped[code];
    } catch (const swf::ESWFError& e) {
      const std::string what =
          TagName(code) + " at byte " + std::to_string(offset) + " is damaged (" + e.what() + ")";
      movie.Warnings.push_back(what + "; skipped");
      ctx.Info = "damaged, skipped: " + std::string(e.what());
    }
    if (ctx.KeepTags) {
      if (!known) ctx.Info = "skipped";
      movie.Tags.push_back({offset, code, uint32_t(length), frames, ctx.Info});
    }
    if (code == swf::tagShowFrame) ++frames;
    if (code == swf::tagEnd) ended = true;
    pos += length;
  }
  for (const auto& [code, count] : skipped)
    movie.Warnings.push_back(TagName(code) + " skipped (" + std::to_string(count) +
                             "x): not played");
  movie.FrameCount = std::max<uint32_t>(frames, 1);
  // Tags after the last ShowFrame never show.
  while (!movie.Frames.empty() && movie.Frames.back().Frame >= movie.FrameCount)
    movie.Frames.pop_back();
}

}  // namespace

TMovie ReadMovie(const std::vector<uint8_t>& file, const TReadOptions& options) {
  if (file.size() < 8 || file[1] != 'W' || file[2] != 'S' ||
      (file[0] != 'F' && file[0] != 'C' && file[0] != 'Z'))
    throw EPlayerError("The file is not a Flash movie (SWF)");
  TMovie movie;
  movie.Compressed = file[0] != 'F';
  movie.Lzma = file[0] == 'Z';
  movie.Version = file[3];
  movie.FileLength = uint32_t(file[4] | file[5] << 8 | file[6] << 16 | uint32_t(file[7]) << 24);
  if (movie.FileLength > kMaxMovieBytes) throw EPlayerError("The movie is too large to be played");
  const std::vector<uint8_t> inflated =
      movie.Lzma         ? LzmaBody(file, movie.FileLength, movie.Warnings)
      : movie.Compressed ? InflateBody(file, movie.FileLength, movie.Warnings)
                         : std::vector<uint8_t>();
  const std::vector<uint8_t>& data = movie.Compressed ? inflated : file;
  swf::TMemoryStream header;
  header.Write(data.data(), std::min<size_t>(data.size(), 64));
  header.Seek(8);
  swf::TBitsEngine be(header);
  try {
    ReadHeader(be, movie);
  } catch (const swf::ESWFError&) {
    throw EPlayerError("The movie's header is damaged");
  }
  TReadContext ctx{movie, options.KeepTags, {}, 0, {}, {}};
  ReadTags(data, header.Position(), ctx);
  return movie;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EPlayerError("Cannot open " + path);
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) throw EPlayerError("Cannot read " + path);
  if (size_t(size) > kMaxMovieBytes)
    throw EPlayerError("The movie is too large to be played: " + path);
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), size))
    throw EPlayerError("Cannot read " + path);
  return bytes;
}

TMovie ReadMovieFile(const std::string& path, const TReadOptions& options) {
  return ReadMovie(ReadFileBytes(path), options);
}

// By code, so the dump of a long movie does not search the list for each tag.
std::string TagName(uint16_t code) {
  static const auto names = [] {
    std::array<const char*, 128> byCode{};
    for (const TTagName& t : kTagNames) byCode[t.Code] = t.Name;
    return byCode;
  }();
  if (code < names.size() && names[code]) return names[code];
  return "Tag" + std::to_string(code);
}

}  // namespace player
