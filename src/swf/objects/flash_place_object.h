#pragma once
// TFlashPlaceObject: puts a character on the display list at a depth
// through a PlaceObject2 tag.
#include <memory>

#include "swf/objects/action_script.h"
#include "swf/objects/flash_object.h"
#include "swf/tags/place_object.h"

namespace swf {

class TFlashPlaceObject final : public TFlashObject {
 public:
  TFlashPlaceObject(TFlashMovie* owner, TFlashVisualObject* object, uint16_t depth);

  void Assign(const TBasedSWFObject& source) override;
  int MinVersion() const override { return placeTag_.HasClipActions() ? 5 : 3; }
  void WriteToStream(TBitsEngine& be) override { placeTag_.WriteToStream(be); }
  void SetMovieVersion(uint8_t version) override { placeTag_.SWFVersion = version; }
  uint16_t GetCharacterID() const { return placeTag_.CharacterID; }
  // What the movie does for each placement, without virtual calls: tells
  // the tag the movie's version, then writes it.
  void WriteInMovie(TBitsEngine& be, uint8_t version) {
    placeTag_.SWFVersion = version;
    WriteFramedTag(be, placeTag_.TagID, placeTag_.BodySize,
                   [this](TBitsEngine& body) { placeTag_.WriteTagBody(body); });
  }

  // Rotates about the character's origin (degrees).
  void SetRotate(float angle) { placeTag_.Matrix().SetRotate(angle); }
  uint16_t Depth() const { return placeTag_.Depth; }
  void SetClipDepth(uint16_t depth) { placeTag_.SetClipDepth(depth); }
  void SetMove(bool move) { placeTag_.Move = move; }

  TSWFPlaceObject2& PlaceTag() { return placeTag_; }
  TFlashVisualObject* PlacedObject() const { return placedObject_; }
  TFlashActionScript* ClipActionScript() const { return clipScript_.get(); }

 private:
  TFlashVisualObject* placedObject_;
  TSWFPlaceObject2 placeTag_;
  std::unique_ptr<TSWFActionList> clipList_;
  std::unique_ptr<TFlashActionScript> clipScript_;
};

}  // namespace swf
