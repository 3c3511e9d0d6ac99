#include "support/swf_walk.h"

#include <zlib.h>

#include <set>

#include "swf/core/bits_engine.h"
#include "swf/core/memory_stream.h"

namespace vtest {

namespace {

bool IsDefinition(uint16_t code) {
  switch (code) {
    case kDefineShape:
    case kDefineShape2:
    case kDefineShape3:
    case kDefineBitsLossless:
    case kDefineBitsLossless2:
    case kDefineBitsJPEG2:
    case kDefineBitsJPEG3:
    case kDefineFont2:
    case kDefineText:
    case kDefineText2:
    case kDefineButton2:
    case kDefineSound:
      return true;
    default:
      return false;
  }
}

bool IsShape(uint16_t code) {
  return code == kDefineShape || code == kDefineShape2 || code == kDefineShape3;
}

}  // namespace

TSwfFile ReadSwf(const Bytes& file) {
  TSwfFile swf;
  if (file.size() < 8) {
    ADD_FAILURE() << "SWF file of " << file.size() << " bytes";
    return swf;
  }
  swf.Compressed = file[0] == 'C';
  swf.Version = file[3];
  const uint32_t length = file[4] | file[5] << 8 | file[6] << 16 | uint32_t(file[7]) << 24;
  Bytes rest;
  if (swf.Compressed) {
    rest.resize(length - 8);
    uLongf size = rest.size();
    if (uncompress(rest.data(), &size, file.data() + 8, uLong(file.size() - 8)) != Z_OK ||
        size != rest.size()) {
      ADD_FAILURE() << "the compressed body does not inflate to the length in the header";
      return swf;
    }
  } else {
    rest.assign(file.begin() + 8, file.end());
  }
  swf::TMemoryStream stream(rest);
  swf::TBitsEngine be(stream);
  const swf::TSWFRectRec frame = be.ReadRect();
  swf.Width = frame.Xmax - frame.Xmin;
  swf.Height = frame.Ymax - frame.Ymin;
  swf.Rate = be.ReadWord();
  swf.FrameCount = be.ReadWord();
  while (stream.Position() < stream.Size()) {
    const uint16_t head = be.ReadWord();
    uint32_t size = head & 0x3F;
    if (size == 0x3F) size = be.ReadDWord();
    TTag tag;
    tag.Code = head >> 6;
    if (size > stream.Size() - stream.Position()) {
      ADD_FAILURE() << "tag " << tag.Code << " runs past the end";
      break;
    }
    tag.Body.resize(size);
    if (size) be.ReadBytes(tag.Body.data(), size);
    swf.Tags.push_back(std::move(tag));
    if (swf.Tags.back().Code == kEnd) break;
  }
  return swf;
}

TSwfFile ReadSwfFile(const std::string& path) {
  return ReadSwf(ReadFile(path));
}

TPlacement ReadPlaceObject2(const TTag& tag) {
  swf::TMemoryStream stream(tag.Body);
  swf::TBitsEngine be(stream);
  TPlacement p;
  const uint8_t flags = be.ReadByte();
  p.Move = flags & 1;
  p.HasCharacter = flags & 2;
  p.HasMatrix = flags & 4;
  p.Depth = be.ReadWord();
  if (p.HasCharacter) p.CharacterID = be.ReadWord();
  if (p.HasMatrix) p.Matrix = be.ReadMatrix();
  return p;
}

uint16_t RemovedDepth(const TTag& tag) {
  return uint16_t(tag.Body.at(0) | tag.Body.at(1) << 8);
}

uint16_t DefinedID(const TTag& tag) {
  return uint16_t(tag.Body.at(0) | tag.Body.at(1) << 8);
}

TShapeInfo ReadShape(const TTag& tag) {
  swf::TMemoryStream stream(tag.Body);
  swf::TBitsEngine be(stream);
  const bool alpha = tag.Code == kDefineShape3;
  auto color = [&] {
    const uint32_t rgb = uint32_t(be.ReadByte()) << 24 | uint32_t(be.ReadByte()) << 16 |
                         uint32_t(be.ReadByte()) << 8;
    return rgb | (alpha ? be.ReadByte() : 255);
  };
  auto count = [&] {
    uint16_t n = be.ReadByte();
    if (n == 0xFF && tag.Code != kDefineShape) n = be.ReadWord();
    return n;
  };
  TShapeInfo info;
  be.ReadWord();
  info.Bounds = be.ReadRect();
  for (uint16_t n = count(), i = 0; i < n; ++i) {
    const uint8_t type = be.ReadByte();
    info.FillTypes.push_back(type);
    uint32_t solid = 0;
    uint16_t bitmap = 0;
    if (type == 0x00) {
      solid = color();
    } else if (type == 0x10 || type == 0x12 || type == 0x13) {
      be.ReadMatrix();
      const uint8_t records = be.ReadByte() & 15;
      for (uint8_t r = 0; r < records; ++r) {
        be.ReadByte();
        color();
      }
      if (type == 0x13) be.ReadWord();
    } else {
      bitmap = be.ReadWord();
      be.ReadMatrix();
    }
    info.FillColors.push_back(solid);
    info.FillBitmaps.push_back(bitmap);
  }
  for (uint16_t n = count(), i = 0; i < n; ++i) {
    info.LineWidths.push_back(be.ReadWord());
    info.LineColors.push_back(color());
  }
  return info;
}

TButtonInfo ReadButton2(const TTag& tag) {
  swf::TMemoryStream stream(tag.Body);
  swf::TBitsEngine be(stream);
  TButtonInfo info;
  be.ReadWord();  // ID
  be.ReadByte();  // TrackAsMenu
  const uint16_t actionOffset = be.ReadWord();
  const size_t actionsAt = stream.Position() - 2 + actionOffset;
  for (;;) {
    const uint8_t states = be.ReadByte();
    if (states == 0) break;
    TButtonInfo::TRecord r{uint8_t(states & 15), be.ReadWord(), be.ReadWord()};
    be.ReadMatrix();
    be.ReadColorTransform(true);
    info.Records.push_back(r);
  }
  if (actionOffset && actionsAt + 4 <= tag.Body.size())
    info.Actions.assign(tag.Body.begin() + long(actionsAt) + 4, tag.Body.end());
  return info;
}

bool FindGetURL(const Bytes& actions, std::string& url, std::string& target) {
  size_t at = 0;
  while (at < actions.size() && actions[at] != 0) {
    const uint8_t code = actions[at];
    size_t length = 0;
    if (code >= 0x80) {
      if (at + 3 > actions.size()) return false;
      length = actions[at + 1] | actions[at + 2] << 8;
    }
    if (code == 0x83) {
      const size_t from = at + 3;
      const auto end = std::find(actions.begin() + long(from), actions.end(), 0);
      url.assign(actions.begin() + long(from), end);
      const auto end2 = std::find(end + 1, actions.end(), 0);
      target.assign(end + 1, end2);
      return true;
    }
    at += 1 + (code >= 0x80 ? 2 + length : 0);
  }
  return false;
}

std::vector<size_t> ShowFrameIndices(const TSwfFile& swf) {
  std::vector<size_t> result;
  for (size_t i = 0; i < swf.Tags.size(); ++i)
    if (swf.Tags[i].Code == kShowFrame) result.push_back(i);
  return result;
}

std::string CheckDisplayList(const TSwfFile& swf) {
  std::set<uint16_t> defined, taken;
  auto need = [&](uint16_t id, size_t i, const char* use) -> std::string {
    if (defined.count(id)) return "";
    return "tag #" + std::to_string(i) + " uses character " + std::to_string(id) + " " + use +
           " before it is defined";
  };
  for (size_t i = 0; i < swf.Tags.size(); ++i) {
    const TTag& tag = swf.Tags[i];
    std::string fault;
    if (IsShape(tag.Code)) {
      for (uint16_t bitmap : ReadShape(tag).FillBitmaps)
        if (bitmap && bitmap != 0xFFFF && (fault = need(bitmap, i, "as a fill")) != "")
          return fault;
    } else if (tag.Code == kDefineButton2) {
      for (const auto& r : ReadButton2(tag).Records)
        if ((fault = need(r.CharacterID, i, "in a button")) != "") return fault;
    } else if (tag.Code == kStartSound) {
      if ((fault = need(DefinedID(tag), i, "as a sound")) != "") return fault;
    } else if (tag.Code == kPlaceObject2) {
      const TPlacement p = ReadPlaceObject2(tag);
      if (p.HasCharacter && (fault = need(p.CharacterID, i, "in a placement")) != "") return fault;
      if (!p.Move && !taken.insert(p.Depth).second)
        return "tag #" + std::to_string(i) + " places a character on taken depth " +
               std::to_string(p.Depth);
    } else if (tag.Code == kRemoveObject2) {
      taken.erase(RemovedDepth(tag));
    }
    if (IsDefinition(tag.Code)) defined.insert(DefinedID(tag));
  }
  return "";
}

}  // namespace vtest
