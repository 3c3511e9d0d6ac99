#pragma once
// Movie objects: the high-level objects a TFlashMovie owns and turns into
// tags when it writes its tag stream (LibraryLevel 1).
#include <cstdint>

#include "swf/core/swf_object.h"

namespace swf {

class TFlashMovie;

class TFlashObject : public TBasedSWFObject {
 public:
  explicit TFlashObject(TFlashMovie* owner = nullptr) : owner_(owner) {}
  int LibraryLevel() const override { return 1; }
  void Assign(const TBasedSWFObject& source) override;

  // Told the movie's version just before the object is written.
  virtual void SetMovieVersion(uint8_t) {}

  TFlashMovie* Owner() const { return owner_; }
  void SetOwner(TFlashMovie* owner) {
    owner_ = owner;
    ChangeOwner();
  }

 protected:
  virtual void ChangeOwner() {}

 private:
  TFlashMovie* owner_;
};

class TFlashIDObject : public TFlashObject {
 public:
  using TFlashObject::TFlashObject;
  void Assign(const TBasedSWFObject& source) override;
  virtual uint16_t GetCharacterID() const { return characterID_; }
  virtual void SetCharacterID(uint16_t id) { characterID_ = id; }

 private:
  uint16_t characterID_ = 0;
};

class TFlashVisualObject : public TFlashIDObject {
 public:
  using TFlashIDObject::TFlashIDObject;
  void Assign(const TBasedSWFObject& source) override;
  // Twips per unit of the object's coordinates: 1 with NoScale or without a
  // movie, else the movie's factor (20 when it works in pixels).
  int CoordFactor() const;
  // True for a sprite (movie clip), which carries clip actions when placed.
  virtual bool IsSprite() const { return false; }

  bool NoScale = false;
};

}  // namespace swf
