#include "swf/objects/flash_movie.h"

#include <cmath>

#include "swf/core/control_tags.h"
#include "swf/objects/action_script.h"
#include "swf/objects/flash_button.h"
#include "swf/objects/flash_font.h"
#include "swf/objects/flash_image.h"
#include "swf/objects/flash_place_object.h"
#include "swf/objects/flash_shape.h"
#include "swf/objects/flash_sound.h"
#include "swf/objects/flash_text.h"
#include "swf/tags/sound_tags.h"

namespace swf {

namespace {

constexpr size_t kArenaChunkSize = 64 * 1024;

}  // namespace

void TObjectArena::AddChunk(size_t size) {
  const size_t chunkSize = PooledBlockSize(std::max(size, kArenaChunkSize));
  chunks_.reserve(chunks_.size() + 1);  // so that the block cannot be lost
  chunks_.push_back({static_cast<std::byte*>(TakeBlock(chunkSize)), chunkSize});
}

void TObjectArena::Release() {
  for (const TChunk& chunk : chunks_) GiveBlock(chunk.Memory, chunk.Size);
  chunks_.clear();
  used_ = 0;
}

TFlashMovie::TFlashMovie(int32_t xMin, int32_t yMin, int32_t xMax, int32_t yMax, float fps,
                         bool inPixels)
    : TBasedSWFStream(xMin, yMin, xMax, yMax, fps, inPixels) {}

void TTagSlot::Free() const {
  switch (Kind) {
    case TSlotKind::Owned:
      delete Object;
      break;
    case TSlotKind::InArena:
    case TSlotKind::PlaceObject:
      Object->~TBasedSWFObject();
      break;
    case TSlotKind::ShowFrame:
    case TSlotKind::RemoveObject2:
      break;  // plain fields only: the arena's memory is all they hold
  }
}

TFlashMovie::~TFlashMovie() {
  FreeObjects();
}

void TFlashMovie::FreeObjects() {
  for (const TTagSlot& slot : objects_) slot.Free();
  objects_.clear();
  arena_.Release();
}

TBasedSWFObject& TFlashMovie::AddFlashObject(std::unique_ptr<TBasedSWFObject> object) {
  MakeRoomForSlot();
  return Register(TTagSlot{object.release(), TSlotKind::Owned});
}

TBasedSWFObject& TFlashMovie::Register(TTagSlot slot) {
  const int32_t count = int32_t(objects_.size());
  if (InsertMode && InsertPos != -1 && InsertPos >= 0 && InsertPos < count - 1) [[unlikely]] {
    objects_.insert(objects_.begin() + InsertPos, slot);
    ++InsertPos;
  } else {
    objects_.push_back(slot);
    InsertPos = count;
  }
  return *slot.Object;
}

namespace {

template <class T>
void UnlistLast(TFlashObjectList<T>& list, const TBasedSWFObject* object) {
  if (!list.empty() && static_cast<const TBasedSWFObject*>(list.back()) == object) list.pop_back();
}

}  // namespace

bool TFlashMovie::DiscardLastCharacter(const TFlashIDObject& object) {
  if (InsertMode || objects_.empty() || objects_.back().Object != &object ||
      objects_.back().Kind != TSlotKind::Owned || NextCharacterID == 0 ||
      object.GetCharacterID() != NextCharacterID - 1)
    return false;
  UnlistLast(shapes_, &object);
  UnlistLast(images_, &object);
  UnlistLast(fonts_, &object);
  UnlistLast(texts_, &object);
  UnlistLast(sounds_, &object);
  UnlistLast(buttons_, &object);
  objects_.back().Free();
  objects_.pop_back();
  InsertPos = int32_t(objects_.size()) - 1;
  --NextCharacterID;
  return true;
}

TFlashButton& TFlashMovie::AddButton(bool trackAsMenu, bool advanced) {
  return RegisterCharacter(std::make_unique<TFlashButton>(this, trackAsMenu, advanced), buttons_);
}

TFlashPlaceObject& TFlashMovie::PlaceObject(TFlashVisualObject* object, uint16_t depth) {
  return static_cast<TFlashPlaceObject&>(
      Register(MakeInArena<TFlashPlaceObject>(TSlotKind::PlaceObject, this, object, depth)));
}

void TFlashMovie::RemoveObjects(uint16_t first, uint16_t last) {
  if (first > last) return;
  MakeRoomForSlots(size_t(last - first) + 1);
  for (uint32_t depth = first; depth <= last; ++depth) RemoveObject(uint16_t(depth));
}

void TFlashMovie::RemoveObject(uint16_t depth, const TFlashIDObject* object) {
  if (object) {
    auto& tag =
        static_cast<TSWFRemoveObject&>(Register(MakeInArena<TSWFRemoveObject>(TSlotKind::InArena)));
    tag.CharacterID = object->GetCharacterID();
    tag.Depth = depth;
  } else {
    auto& tag = static_cast<TSWFRemoveObject2&>(
        Register(MakeInArena<TSWFRemoveObject2>(TSlotKind::RemoveObject2)));
    tag.Depth = depth;
  }
}

TSWFStartSound& TFlashMovie::StartSound(uint16_t soundID) {
  return static_cast<TSWFStartSound&>(
      Register(MakeInArena<TSWFStartSound>(TSlotKind::InArena, soundID)));
}

void TFlashMovie::ShowFrame(uint16_t count) {
  if (count == 0) count = 1;
  if (!frameLabel_.empty()) {
    objects_.push_back(MakeInArena<TSWFFrameLabel>(TSlotKind::InArena, frameLabel_));
    frameLabel_.clear();
  }
  if (frameActions_) {
    MakeRoomForSlot();
    objects_.push_back(TTagSlot{frameActions_.release(), TSlotKind::Owned});
  }
  MakeRoomForSlots(count);
  for (uint16_t i = 0; i < count; ++i) {
    if (framesCount_ < kMaxFramesCount) ++framesCount_;
    objects_.push_back(TTagSlot{&showFrame_, TSlotKind::ShowFrame});
  }
  CurrentFrameNum = int32_t(framesCount_) - 1;
}

void TFlashMovie::Protect(const std::string& password) {
  protect_ = true;
  password_ = password;
}

void TFlashMovie::Clear() {
  protect_ = false;
  hasBackground_ = false;
  shapes_.clear();
  images_.clear();
  fonts_.clear();
  texts_.clear();
  sounds_.clear();
  buttons_.clear();
  FreeObjects();
  NextCharacterID = 0;
}

TSWFRGB& TFlashMovie::BackgroundColor() {
  if (!backgroundColor_) backgroundColor_.emplace();
  hasBackground_ = true;
  return *backgroundColor_;
}

TFlashActionScript& TFlashMovie::FrameActions() {
  if (!frameActions_) frameActions_ = std::make_unique<TFlashActionScript>(this);
  return *frameActions_;
}

// What stands before the tags: background colour, the stream sound's head,
// protection.
void TFlashMovie::WriteLeadingTags(TBitsEngine& be, int& version) {
  if (hasBackground_) {
    TSWFSetBackgroundColor tag;
    tag.Color.Assign(*backgroundColor_);
    tag.WriteToStream(be);
  }
  if (backgroundSound_) {
    version = std::max(version, backgroundSound_->MinVersion());
    TSWFSoundStreamHead2 head;
    backgroundSound_->FillStreamHead(head, GetFPS());
    head.WriteToStream(be);
  }
  if (protect_) {
    TSWFProtect tag;
    tag.Password = password_;
    version = std::max(version, tag.MinVersion());
    tag.WriteToStream(be);
  }
}

// A frame's sound block goes before its ShowFrame.
void TFlashMovie::CountFrame(TBitsEngine& be, uint32_t& frames) {
  if (backgroundSound_) backgroundSound_->WriteStreamBlock(be);
  ++frames;
}

void TFlashMovie::WriteSlot(TBitsEngine& be, const TTagSlot& slot, int& version, uint32_t& frames) {
  TBasedSWFObject& object = *slot;
  switch (slot.Kind) {
    // The two tags of which long movies are made, written as the bytes their
    // WriteToStream gives: a short header and the body.
    case TSlotKind::ShowFrame:
      CountFrame(be, frames);
      FillTagHeader(be.Stream().WriteRoom(2), tagShowFrame, 0, false);
      return;
    case TSlotKind::RemoveObject2: {
      version = std::max(version, 3);
      const uint16_t depth = static_cast<const TSWFRemoveObject2&>(object).Depth;
      uint8_t* bytes = be.Stream().WriteRoom(4);
      FillTagHeader(bytes, tagRemoveObject2, 2, false);
      bytes[2] = uint8_t(depth);
      bytes[3] = uint8_t(depth >> 8);
      return;
    }
    case TSlotKind::PlaceObject: {
      auto& place = static_cast<TFlashPlaceObject&>(object);
      version = std::max(version, place.MinVersion());
      place.WriteInMovie(be, uint8_t(version));
      return;
    }
    default:
      break;
  }
  version = std::max(version, object.MinVersion());
  if (object.LibraryLevel() == 0) {
    if (static_cast<TSWFObject&>(object).TagID == tagShowFrame) CountFrame(be, frames);
  } else {
    static_cast<TFlashObject&>(object).SetMovieVersion(uint8_t(version));
  }
  object.WriteToStream(be);
}

void TFlashMovie::MakeData() {
  BodyStream.Clear();
  BodyStream.Reserve(objects_.size() * 8 + 64);
  int version = Version();
  TBitsEngine be(BodyStream);
  uint32_t frames = 0;
  WriteLeadingTags(be, version);

  const size_t count = objects_.size();
  for (size_t i = 0; i < count; ++i) {
    if (OnProgress)
      OnProgress(*this, int(std::nearbyint(double(i + 1) / double(count) * 100.0)), 1);
    WriteSlot(be, objects_[i], version, frames);
  }

  const bool endsWithEnd = count > 0 && dynamic_cast<TSWFEnd*>(objects_.back().Object);
  if (!endsWithEnd) be.WriteWord(0);

  // The header holds 16 bits: a longer movie says 65535 rather than a wrapped count.
  framesCount_ = uint16_t(std::min<uint32_t>(frames, kMaxFramesCount));
  if (Version() < version) SetVersion(uint8_t(version));
}

}  // namespace swf
