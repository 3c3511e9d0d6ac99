// Action records and button tags.
#include <cstdio>

#include "player/reader_internal.h"
#include "swf/core/swf_error.h"

namespace player::detail {
namespace {

// Button condition bits on the wire, first to last, as bit numbers of
// TButtonCondAction::Conditions; the key code sits between the 8th and 9th.
constexpr int kCondWireOrder[8] = {7, 6, 4, 5, 3, 2, 1, 0};

TAction ReadAction(swf::TBitsEngine& be, uint8_t code, size_t length, uint8_t version) {
  TAction a;
  a.Code = code;
  const size_t start = be.Stream().Position();
  switch (code) {
    case 0x04:
      a.Kind = TAction::NextFrame;
      break;
    case 0x05:
      a.Kind = TAction::PreviousFrame;
      break;
    case 0x06:
      a.Kind = TAction::Play;
      break;
    case 0x07:
      a.Kind = TAction::Stop;
      break;
    case 0x81:
      a.Kind = TAction::GotoFrame;
      a.Frame = be.ReadWord();
      break;
    case 0x83:
      a.Kind = TAction::GetURL;
      a.URL = ToUtf8(be.ReadString(), version);
      a.Target = ToUtf8(be.ReadString(), version);
      break;
    case 0x8C:
      a.Kind = TAction::GotoLabel;
      a.Label = ToUtf8(be.ReadString(), version);
      break;
    default:
      break;
  }
  if (be.Stream().Position() > start + length)
    throw swf::ESWFError("action longer than its record");
  be.Stream().Seek(start + length);
  return a;
}

std::string DescribeAction(const TAction& a) {
  switch (a.Kind) {
    case TAction::NextFrame:
      return "NextFrame";
    case TAction::PreviousFrame:
      return "PreviousFrame";
    case TAction::Play:
      return "Play";
    case TAction::Stop:
      return "Stop";
    case TAction::GotoFrame:
      return "GotoFrame(" + std::to_string(a.Frame) + ")";
    case TAction::GetURL:
      return "GetURL(\"" + a.URL + "\", \"" + a.Target + "\")";
    case TAction::GotoLabel:
      return "GotoLabel(\"" + a.Label + "\")";
    case TAction::Other:
      break;
  }
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%02X", a.Code);
  return buf;
}

TButtonRecord ReadButtonRecord(swf::TBitsEngine& be, uint8_t flags, bool withColorTransform) {
  TButtonRecord r;
  r.States = flags & 0x0F;
  r.CharacterID = be.ReadWord();
  r.Depth = be.ReadWord();
  r.Matrix = TMatrix::FromRec(be.ReadMatrix());
  if (withColorTransform) r.ColorTransform = TColorTransform::FromRec(be.ReadColorTransform(true));
  return r;
}

// Condition actions of a DefineButton2 from the current position.
void ReadCondActions(swf::TBitsEngine& be, uint8_t version, TButtonCharacter& button) {
  for (;;) {
    const size_t start = be.Stream().Position();
    const size_t size = be.ReadWord();
    TButtonCondAction c;
    for (int bit : kCondWireOrder)
      if (be.ReadBit()) c.Conditions |= uint16_t(1u << bit);
    c.KeyCode = uint8_t(be.ReadBits(7));
    if (be.ReadBit()) c.Conditions |= 1u << 8;
    const size_t end = size ? start + size : be.Stream().Size();
    if (end > be.Stream().Size() || end < be.Stream().Position())
      throw swf::ESWFError("condition action size");
    swf::TMemoryStream slice;
    slice.Write(be.Stream().Data() + be.Stream().Position(), end - be.Stream().Position());
    slice.Seek(0);
    swf::TBitsEngine sub(slice);
    c.Actions = ReadActionRecords(sub, version);
    button.Actions.push_back(std::move(c));
    if (size == 0) break;
    be.Stream().Seek(end);
  }
}

}  // namespace

TActionList ReadActionRecords(swf::TBitsEngine& be, uint8_t version) {
  TActionList actions;
  while (Remaining(be) > 0) {
    const uint8_t code = be.ReadByte();
    if (code == 0) break;
    const size_t length = code >= 0x80 ? be.ReadWord() : 0;
    if (length > Remaining(be)) throw swf::ESWFError("action record longer than its tag");
    actions.push_back(ReadAction(be, code, length, version));
  }
  return actions;
}

std::string DescribeActions(const TActionList& actions) {
  std::string s;
  for (const TAction& a : actions) {
    if (!s.empty()) s += ' ';
    s += DescribeAction(a);
  }
  return s;
}

void ReadButtonTag(swf::TBitsEngine& be, uint16_t code, TReadContext& ctx) {
  const bool v2 = code == swf::tagDefineButton2;
  auto button = std::make_unique<TButtonCharacter>();
  button->ID = be.ReadWord();
  button->TagCode = code;
  size_t actionOffset = 0, offsetPos = 0;
  if (v2) {
    button->TrackAsMenu = be.ReadByte() & 1;
    offsetPos = be.Stream().Position();
    actionOffset = be.ReadWord();
  }
  for (uint8_t flags = be.ReadByte(); flags != 0; flags = be.ReadByte())
    button->Records.push_back(ReadButtonRecord(be, flags, v2));
  if (!v2) {
    TButtonCondAction release;
    release.Conditions = 1u << 3;  // OverDownToOverUp
    release.Actions = ReadActionRecords(be, ctx.Movie.Version);
    button->Actions.push_back(std::move(release));
  } else if (actionOffset != 0) {
    be.Stream().Seek(offsetPos + actionOffset);
    ReadCondActions(be, ctx.Movie.Version, *button);
  }
  if (ctx.KeepTags) {
    std::string s =
        "id=" + std::to_string(button->ID) + " records=" + std::to_string(button->Records.size());
    for (const TButtonRecord& r : button->Records) {
      char buf[80];
      std::snprintf(buf, sizeof buf, " [states=%s%s%s%s char=%u depth=%u]",
                    r.States & bsUp ? "U" : "", r.States & bsOver ? "O" : "",
                    r.States & bsDown ? "D" : "", r.States & bsHitTest ? "H" : "", r.CharacterID,
                    r.Depth);
      s += buf;
    }
    for (const TButtonCondAction& c : button->Actions) {
      char buf[24];
      std::snprintf(buf, sizeof buf, " on(0x%03X): ", c.Conditions);
      s += buf + DescribeActions(c.Actions);
    }
    ctx.Info = s;
  }
  ctx.AddCharacter(std::move(button));
}

void ReadButtonSoundTag(swf::TBitsEngine& be, TReadContext& ctx) {
  const uint16_t id = be.ReadWord();
  TSoundStart sounds[4];
  for (TSoundStart& s : sounds)
    if (const uint16_t soundID = be.ReadWord()) s = ReadSoundInfo(be, soundID);
  auto it = ctx.Movie.Characters.find(id);
  if (it != ctx.Movie.Characters.end() && it->second->Kind == TCharacterKind::Button) {
    auto& button = static_cast<TButtonCharacter&>(*it->second);
    for (int i = 0; i < 4; ++i) button.Sounds[i] = sounds[i];
  }
  if (ctx.KeepTags) {
    ctx.Info = "button=" + std::to_string(id) + " sounds=";
    for (int i = 0; i < 4; ++i) {
      if (i) ctx.Info += ',';
      ctx.Info += std::to_string(sounds[i].SoundID);
    }
  }
}

}  // namespace player::detail
