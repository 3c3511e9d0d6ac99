#pragma once
// TFlashMovie: the movie registry. It numbers characters, keeps everything
// that goes into the file in tag order (Objects) and writes the tag stream.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "swf/core/records.h"
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

class TFlashMovie : public TBasedSWFStream {
 public:
  TFlashMovie(int32_t xMin, int32_t yMin, int32_t xMax, int32_t yMax, float fps,
              bool inPixels = true);
  ~TFlashMovie() override;

  void MakeData() override;

  // Registers an object in tag order (honouring InsertMode) and returns it.
  TBasedSWFObject& AddFlashObject(std::unique_ptr<TBasedSWFObject> object);

  // Gives a new character the next ID, registers it and lists it by kind.
  template <class T>
  T& RegisterCharacter(std::unique_ptr<T> object, TFlashObjectList<T>& list) {
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
  TFlashShape& AddStar(int32_t x, int32_t y, int32_t r1, int32_t r2, uint16_t numPoints, bool curved);
  TFlashImage& AddImage(const std::string& fileName);
  TFlashSound& AddSound(const std::string& fileName);
  TFlashButton& AddButton(bool trackAsMenu, bool advanced);

  TFlashPlaceObject& PlaceObject(TFlashVisualObject* object, uint16_t depth);
  // With an object a RemoveObject for its character, else a RemoveObject2.
  void RemoveObject(uint16_t depth, const TFlashIDObject* object = nullptr);
  TSWFStartSound& StartSound(uint16_t soundID);
  // Emits the pending label and frame actions, then count (at least 1) frames.
  void ShowFrame(uint16_t count = 1);
  void Protect(const std::string& password);
  // Empties the movie; the next character gets ID 0.
  void Clear();

  TSWFRGB& BackgroundColor();
  TFlashActionScript& FrameActions();
  void SetFrameLabel(const std::string& label) { frameLabel_ = label; }
  const std::string& FrameLabel() const { return frameLabel_; }

  TFlashObjectList<TFlashShape>& Shapes() { return shapes_; }
  TFlashObjectList<TFlashImage>& Images() { return images_; }
  TFlashObjectList<TFlashFont>& Fonts() { return fonts_; }
  TFlashObjectList<TFlashText>& Texts() { return texts_; }
  TFlashObjectList<TFlashSound>& Sounds() { return sounds_; }
  TFlashObjectList<TFlashButton>& Buttons() { return buttons_; }

  const std::vector<std::unique_ptr<TBasedSWFObject>>& Objects() const { return objects_; }

  bool InsertMode = false;
  int32_t InsertPos = 0;
  uint16_t NextCharacterID = 1;
  int32_t CurrentFrameNum = 0;
  TLoadImageEvent OnLoadImage;

 private:
  void Append(std::unique_ptr<TBasedSWFObject> object) { objects_.push_back(std::move(object)); }

  std::vector<std::unique_ptr<TBasedSWFObject>> objects_;
  std::optional<TSWFRGB> backgroundColor_;
  bool hasBackground_ = false;
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
