#pragma once
// TFlashMovie: the movie registry. It numbers characters, keeps everything
// that goes into the file in tag order (Objects) and writes the tag stream.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/font_engine.h"
#include "swf/core/buffer_pool.h"
#include "swf/core/control_tags.h"
#include "swf/core/records.h"
#include "swf/core/swf_error.h"
#include "swf/core/swf_stream.h"
#include "swf/objects/flash_object.h"

namespace swf {

class TFlashActionScript;
class TFlashButton;
class TFlashFont;
class TFlashImage;
class TFlashPlaceObject;
class TFlashShape;
class TFlashSound;
class TFlashText;
class TSWFStartSound;

// The per-kind lists index objects that Objects owns.
template <class T>
using TFlashObjectList = std::vector<T*>;

// Called by each image before it loads its file: (image, file name, continue flag).
using TLoadImageEvent = std::function<void(TFlashImage&, const std::string&, bool&)>;

// One entry of Objects, in tag order. The movie owns every object: what the
// caller hands over (deleted), and the small tags it makes itself, which
// live in an arena (only destroyed: a movie of thousands of frames would
// otherwise spend most of its time allocating). The kind says which, and
// tells MakeData the movie's own frequent tags (frames, removals by depth,
// placements) apart without a round of virtual calls each. A plain pair,
// so that a growing list of tens of thousands of tags moves as bytes.
enum class TSlotKind : uint8_t {
  Owned,
  InArena,
  ShowFrame,      // the movie's one TSWFShowFrame, nothing to destroy
  RemoveObject2,  // in the arena, nothing to destroy
  PlaceObject,    // a TFlashPlaceObject in the arena
};
struct TTagSlot {
  TBasedSWFObject* Object = nullptr;
  TSlotKind Kind = TSlotKind::Owned;

  TBasedSWFObject* get() const { return Object; }
  TBasedSWFObject& operator*() const { return *Object; }
  TBasedSWFObject* operator->() const { return Object; }
  // Ends the object's life the way its kind requires.
  void Free() const;
};

// A bump allocator: memory is handed out in order and freed all at once,
// in blocks from the buffer pool.
class TObjectArena {
 public:
  TObjectArena() = default;
  TObjectArena(const TObjectArena&) = delete;
  TObjectArena& operator=(const TObjectArena&) = delete;
  ~TObjectArena() { Release(); }

  void* Allocate(size_t size, size_t align) {
    size_t at = (used_ + align - 1) & ~(align - 1);
    if (chunks_.empty() || at + size > chunks_.back().Size) {
      AddChunk(size);
      at = 0;
    }
    used_ = at + size;
    return chunks_.back().Memory + at;
  }
  void Release();

 private:
  struct TChunk {
    std::byte* Memory;
    size_t Size;
  };
  void AddChunk(size_t size);

  std::vector<TChunk> chunks_;
  size_t used_ = 0;
};

// The movie's tags in order: tens of thousands for a long movie, so the
// list's memory comes from the buffer pool.
using TTagList = std::vector<TTagSlot, TPooledAllocator<TTagSlot>>;

class TFlashMovie : public TBasedSWFStream {
 public:
  TFlashMovie(int32_t xMin, int32_t yMin, int32_t xMax, int32_t yMax, float fps,
              bool inPixels = true);
  ~TFlashMovie() override;

  void MakeData() override;

  // Registers an object in tag order (honouring InsertMode) and returns it.
  TBasedSWFObject& AddFlashObject(std::unique_ptr<TBasedSWFObject> object);
  // When object stands after anchor in Objects, moves it to anchor's place
  // (anchor and what follows move one on): a character is then defined
  // before the one that uses it.
  void MoveObjectBefore(const TBasedSWFObject& object, const TBasedSWFObject& anchor);

  // Gives a new character the next ID, registers it and lists it by kind.
  // Throws ETooManyCharacters rather than let the 16-bit IDs wrap around
  // (a later character would take an earlier one's ID).
  template <class T>
  T& RegisterCharacter(std::unique_ptr<T> object, TFlashObjectList<T>& list) {
    if (NextCharacterID == kLastCharacterID + 1) throw ETooManyCharacters();
    T& ref = *object;
    ref.SetCharacterID(NextCharacterID);
    AddFlashObject(std::move(object));
    list.push_back(&ref);
    ++NextCharacterID;
    return ref;
  }

  // Shapes (the coordinates are in the movie's units).
  TFlashShape& AddShape(std::unique_ptr<TFlashShape> shape = nullptr);
  TFlashShape& AddRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  TFlashShape& AddRoundRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t r);
  TFlashShape& AddEllipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  TFlashShape& AddCircle(int32_t x, int32_t y, int32_t r);
  TFlashShape& AddDiamond(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  TFlashShape& AddStar(int32_t x, int32_t y, int32_t r1, int32_t r2, uint16_t numPoints,
                       bool curved);
  TFlashImage& AddImage(const std::string& fileName);
  TFlashSound& AddSound(const std::string& fileName);
  TFlashButton& AddButton(bool trackAsMenu, bool advanced);
  // A font of the face, style and size (|Height|) of the description, in its character set.
  TFlashFont& AddFont(const platform::TFontDescription& font, bool deviceFont);
  // A static text; color is packed 0xAABBGGRR, the rectangle in the movie's units.
  TFlashText& AddText(const std::string& text, uint32_t color, TFlashFont* font, int32_t left,
                      int32_t top, int32_t right, int32_t bottom);

  // Takes back the character registered last, before anything uses it (a
  // build found an identical one to show instead): it is freed and its ID
  // is given out again. False, and nothing changes, when object is not that
  // character.
  bool DiscardLastCharacter(const TFlashIDObject& object);

  TFlashPlaceObject& PlaceObject(TFlashVisualObject* object, uint16_t depth);
  // With an object a RemoveObject for its character, else a RemoveObject2.
  void RemoveObject(uint16_t depth, const TFlashIDObject* object = nullptr);
  // A RemoveObject2 for each depth from first to last, in ascending order.
  void RemoveObjects(uint16_t first, uint16_t last);
  TSWFStartSound& StartSound(uint16_t soundID);
  // Emits the pending label and frame actions, then count (at least 1) frames.
  void ShowFrame(uint16_t count = 1);
  void Protect(const std::string& password);
  // Empties the movie; the next character gets ID 0.
  void Clear();

  TSWFRGB& BackgroundColor();
  // The stream sound, made on first access without a file and looping: its
  // head starts the tag stream and a block goes before each frame.
  TFlashSound& BackgroundSound();
  TFlashActionScript& FrameActions();
  void SetFrameLabel(const std::string& label) { frameLabel_ = label; }
  const std::string& FrameLabel() const { return frameLabel_; }

  TFlashObjectList<TFlashShape>& Shapes() { return shapes_; }
  TFlashObjectList<TFlashImage>& Images() { return images_; }
  TFlashObjectList<TFlashFont>& Fonts() { return fonts_; }
  TFlashObjectList<TFlashText>& Texts() { return texts_; }
  TFlashObjectList<TFlashSound>& Sounds() { return sounds_; }
  TFlashObjectList<TFlashButton>& Buttons() { return buttons_; }

  const TTagList& Objects() const { return objects_; }

  bool InsertMode = false;
  int32_t InsertPos = 0;
  static constexpr uint16_t kLastCharacterID = 0xFFFE;
  uint16_t NextCharacterID = 1;
  int32_t CurrentFrameNum = 0;
  TLoadImageEvent OnLoadImage;

 private:
  // Registers an object the movie already owns through the slot; the list
  // has room for it (MakeRoomForSlot), so that nothing is lost on a throw.
  TBasedSWFObject& Register(TTagSlot slot);
  void MakeRoomForSlot() { MakeRoomForSlots(1); }
  void MakeRoomForSlots(size_t count) {
    if (objects_.capacity() - objects_.size() < count)
      objects_.reserve(std::max<size_t>({objects_.capacity() * 2, objects_.size() + count, 256}));
  }
  template <class T, class... Args>
  TTagSlot MakeInArena(TSlotKind kind, Args&&... args) {
    MakeRoomForSlot();
    void* memory = arena_.Allocate(sizeof(T), alignof(T));
    return TTagSlot{new (memory) T(std::forward<Args>(args)...), kind};
  }
  void FreeObjects();
  void WriteLeadingTags(TBitsEngine& be, int& version);
  void CountFrame(TBitsEngine& be, uint32_t& frames);
  // Writes one tag, raising version to what it needs and counting frames.
  void WriteSlot(TBitsEngine& be, const TTagSlot& slot, int& version, uint32_t& frames);

  TObjectArena arena_;
  TSWFShowFrame showFrame_;  // every ShowFrame slot's tag: it holds nothing of its own
  TTagList objects_;         // freed by FreeObjects
  std::optional<TSWFRGB> backgroundColor_;
  bool hasBackground_ = false;
  std::unique_ptr<TFlashSound> backgroundSound_;
  std::unique_ptr<TFlashActionScript> frameActions_;
  std::string frameLabel_;
  std::string password_;
  bool protect_ = false;
  TFlashObjectList<TFlashShape> shapes_;
  TFlashObjectList<TFlashImage> images_;
  TFlashObjectList<TFlashFont> fonts_;
  TFlashObjectList<TFlashText> texts_;
  TFlashObjectList<TFlashSound> sounds_;
  TFlashObjectList<TFlashButton> buttons_;
};

}  // namespace swf
