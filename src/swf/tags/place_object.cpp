#include "swf/tags/place_object.h"

namespace swf {

void TSWFClipActionRecord::SetKeyCode(uint8_t key) {
  keyCode_ = key;
  if (key) EventFlags |= kKeyPressEvent;
  else EventFlags &= ~kKeyPressEvent;
}

TSWFClipActionRecord& TSWFClipActions::AddActionRecord(uint32_t eventFlags) {
  auto record = std::make_unique<TSWFClipActionRecord>();
  record->EventFlags = eventFlags;
  AllEventFlags |= eventFlags;
  records_.push_back(std::move(record));
  return *records_.back();
}

void TSWFClipActions::CopyFrom(const TSWFClipActions& source) {
  for (const auto& r : source.records_) {
    TSWFClipActionRecord& copy = AddActionRecord(r->EventFlags);
    copy.SetKeyCode(r->KeyCode());
    copy.AppendCopyOf(*r);
  }
  AllEventFlags |= source.AllEventFlags;
}

void TSWFPlaceObject2::SetCharacterID(uint16_t id) {
  CharacterID = id;
  HasCharacter = true;
}

TSWFMatrix& TSWFPlaceObject2::Matrix() {
  if (!matrix_) matrix_.emplace();
  HasMatrix = true;
  return *matrix_;
}

TSWFColorTransform& TSWFPlaceObject2::ColorTransform() {
  if (!colorTransform_) {
    colorTransform_.emplace();
    colorTransform_->SetHasAlpha(true);
  }
  HasColorTransform = true;
  return *colorTransform_;
}

TSWFClipActions& TSWFPlaceObject2::ClipActions() {
  if (!clipActions_) clipActions_ = std::make_unique<TSWFClipActions>();
  return *clipActions_;
}

void TSWFPlaceObject2::SetClipDepth(uint16_t depth) {
  ClipDepth = depth;
  HasClipDepth = true;
}

void TSWFPlaceObject2::SetName(const std::string& name) {
  Name = name;
  HasName = !name.empty();
}

void TSWFPlaceObject2::SetRatio(uint16_t ratio) {
  Ratio = ratio;
  HasRatio = true;
}

void TSWFPlaceObject2::Assign(const TBasedSWFObject& source) {
  TSWFObject::Assign(source);
  auto* s = dynamic_cast<const TSWFPlaceObject2*>(&source);
  if (!s) return;
  CharacterID = s->CharacterID;
  Depth = s->Depth;
  HasClipDepth = s->HasClipDepth;
  HasColorTransform = s->HasColorTransform;
  HasMatrix = s->HasMatrix;
  HasName = s->HasName;
  HasRatio = s->HasRatio;
  HasCharacter = s->HasCharacter;
  Move = s->Move;
  ClipDepth = s->ClipDepth;
  Ratio = s->Ratio;
  Name = s->Name;
  SWFVersion = s->SWFVersion;
  matrix_ = s->matrix_;
  colorTransform_ = s->colorTransform_;
  clipActions_.reset();
  if (s->clipActions_) ClipActions().CopyFrom(*s->clipActions_);
}

int TSWFPlaceObject2::MinVersion() const {
  if (!clipActions_) return 3;
  return SWFVersion < 6 ? 5 : SWFVersion;
}

void TSWFPlaceObject2::WriteTagBody(TBitsEngine& be) {
  const bool writeClipActions = clipActions_ && !clipActions_->Records().empty();
  be.WriteByte(uint8_t(writeClipActions << 7 | HasClipDepth << 6 | HasName << 5 | HasRatio << 4 |
                       HasColorTransform << 3 | HasMatrix << 2 | HasCharacter << 1 | Move));
  be.WriteWord(Depth);
  if (HasCharacter) be.WriteWord(CharacterID);
  if (HasMatrix) be.WriteMatrix(Matrix().Rec());
  if (HasColorTransform) be.WriteColorTransform(ColorTransform().Rec());
  if (HasRatio) be.WriteWord(Ratio);
  if (HasName) be.WriteString(Name);
  if (HasClipDepth) be.WriteWord(ClipDepth);
  if (writeClipActions) WriteClipActions(be);
}

// From SWF 6 on the flags are 32 bits: 0-15, five zero bits, 16-18, eight zero bits.
void TSWFPlaceObject2::WriteEventFlags(TBitsEngine& be, uint32_t flags) const {
  for (int bit = 0; bit < 16; ++bit) be.WriteBit(flags & (1u << bit));
  if (SWFVersion < 6) return;
  be.WriteBits(0, 5);
  for (int bit = 16; bit <= 18; ++bit) be.WriteBit(flags & (1u << bit));
  be.WriteBits(0, 8);
}

void TSWFPlaceObject2::WriteClipActions(TBitsEngine& be) {
  if (SWFVersion < MinVersion()) SWFVersion = uint8_t(MinVersion());
  TMemoryStream& stream = be.Stream();
  be.WriteWord(0);
  WriteEventFlags(be, clipActions_->AllEventFlags);
  for (const auto& record : clipActions_->Records()) {
    WriteEventFlags(be, record->EventFlags);
    const size_t sizePos = stream.Position();
    be.WriteDWord(0);
    if (record->EventFlags & TSWFClipActionRecord::kKeyPressEvent) be.WriteByte(record->KeyCode());
    if (record->Empty()) be.WriteByte(0);
    record->WriteActions(be);
    if (!record->Empty() && !record->EndsList()) be.WriteByte(0);
    const size_t end = stream.Position();
    const uint32_t size = uint32_t(end - sizePos - 4);
    stream.Seek(sizePos);
    be.WriteDWord(size);
    stream.Seek(end);
  }
  if (SWFVersion < 6) be.WriteWord(0);
  else be.WriteDWord(0);
}

}  // namespace swf
