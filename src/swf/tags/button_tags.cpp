#include "swf/tags/button_tags.h"

namespace swf {

TSWFMatrix& TSWFButtonRecord::Matrix() {
  if (!matrix_) matrix_.emplace();
  return *matrix_;
}

TSWFColorTransform& TSWFButtonRecord::ColorTransform() {
  if (!colorTransform_) {
    colorTransform_.emplace();
    colorTransform_->SetHasAlpha(true);
  }
  return *colorTransform_;
}

void TSWFButtonRecord::Write(TBitsEngine& be, bool forceColorTransform) {
  be.WriteBits(0, 4);
  for (uint8_t state : {bsHitTest, bsDown, bsOver, bsUp}) be.WriteBit(ButtonStates & state);
  be.WriteWord(CharacterID);
  be.WriteWord(Depth);
  be.WriteMatrix(matrix_ ? matrix_->Rec() : TSWFMatrixRec{});
  if (forceColorTransform || colorTransform_) {
    TSWFColorTransform& c = ColorTransform();
    c.SetHasAlpha(true);
    be.WriteColorTransform(c.Rec());
  }
}

static void CopyRecords(std::vector<std::unique_ptr<TSWFButtonRecord>>& target,
                        const std::vector<std::unique_ptr<TSWFButtonRecord>>& source) {
  target.clear();
  for (const auto& r : source) target.push_back(std::make_unique<TSWFButtonRecord>(*r));
}

void TSWFBasedButton::Assign(const TBasedSWFObject& source) {
  TSWFObject::Assign(source);
  if (auto* s = dynamic_cast<const TSWFBasedButton*>(&source)) {
    ButtonID = s->ButtonID;
    CopyRecords(ButtonRecords, s->ButtonRecords);
  }
}

TSWFButtonRecord& TSWFBasedButton::AddRecord(uint16_t characterID) {
  ButtonRecords.push_back(std::make_unique<TSWFButtonRecord>(characterID));
  return *ButtonRecords.back();
}

void TSWFDefineButton::Assign(const TBasedSWFObject& source) {
  TSWFBasedButton::Assign(source);
  if (auto* s = dynamic_cast<const TSWFDefineButton*>(&source)) {
    Actions.Clear();
    Actions.AppendCopyOf(s->Actions);
  }
}

void TSWFDefineButton::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(ButtonID);
  for (auto& r : ButtonRecords) r->Write(be, false);
  be.WriteByte(0);
  Actions.WriteActions(be);
  be.WriteByte(0);
}

void TSWFDefineButton2::Assign(const TBasedSWFObject& source) {
  TSWFBasedButton::Assign(source);
  auto* s = dynamic_cast<const TSWFDefineButton2*>(&source);
  if (!s) return;
  TrackAsMenu = s->TrackAsMenu;
  CondActions.clear();
  for (const auto& c : s->CondActions) {
    TSWFButtonCondAction& copy = AddCondAction(c->CondFlags);
    copy.KeyCode = c->KeyCode;
    copy.AppendCopyOf(*c);
  }
}

TSWFButtonCondAction& TSWFDefineButton2::AddCondAction(uint16_t condFlags) {
  CondActions.push_back(std::make_unique<TSWFButtonCondAction>());
  CondActions.back()->CondFlags = condFlags;
  return *CondActions.back();
}

// Both offsets are patched once the following data is written: the action
// offset counts from its own field, each condition's size from its own field.
static void PatchWord(TMemoryStream& stream, size_t at, size_t value) {
  const size_t end = stream.Position();
  stream.Seek(at);
  const uint8_t bytes[2] = {uint8_t(value), uint8_t(value >> 8)};
  stream.Write(bytes, 2);
  stream.Seek(end);
}

void TSWFDefineButton2::WriteTagBody(TBitsEngine& be) {
  TMemoryStream& stream = be.Stream();
  be.WriteWord(ButtonID);
  be.WriteByte(TrackAsMenu ? 1 : 0);
  const size_t offsetPos = stream.Position();
  be.WriteWord(0);
  for (auto& r : ButtonRecords) r->Write(be, true);
  be.WriteByte(0);
  if (CondActions.empty()) return;
  PatchWord(stream, offsetPos, stream.Position() - offsetPos);
  for (size_t i = 0; i < CondActions.size(); ++i) {
    const TSWFButtonCondAction& c = *CondActions[i];
    const size_t sizePos = stream.Position();
    be.WriteWord(0);
    for (int bit : {7, 6, 4, 5, 3, 2, 1, 0}) be.WriteBit(c.CondFlags & (1u << bit));
    be.WriteBits(c.KeyCode, 7);
    be.WriteBit(c.CondFlags & (1u << 8));
    c.WriteActions(be);
    be.WriteByte(0);
    if (i + 1 < CondActions.size()) PatchWord(stream, sizePos, stream.Position() - sizePos);
  }
}

TSWFStartSound& TSWFDefineButtonSound::Sound(TTransition t) {
  if (!sounds_[t]) sounds_[t] = std::make_unique<TSWFStartSound>();
  return *sounds_[t];
}

bool TSWFDefineButtonSound::AnyRequested() const {
  for (const auto& s : sounds_)
    if (s) return true;
  return false;
}

void TSWFDefineButtonSound::Assign(const TBasedSWFObject& source) {
  TSWFObject::Assign(source);
  auto* s = dynamic_cast<const TSWFDefineButtonSound*>(&source);
  if (!s) return;
  ButtonID = s->ButtonID;
  for (int t = 0; t < 4; ++t)
    if (s->sounds_[t] && s->sounds_[t]->SoundId != 0) Sound(TTransition(t)).Assign(*s->sounds_[t]);
}

void TSWFDefineButtonSound::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(ButtonID);
  for (auto& sound : sounds_) {
    if (sound && sound->SoundId != 0) sound->WriteSoundInfo(be);
    else be.WriteWord(0);
  }
}

}  // namespace swf
