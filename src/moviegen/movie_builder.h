#pragma once
// TMovieBuilder: the state of one build (the movie, its caches, the frame
// range and the depth layout) and the steps that fill the movie. The
// driver's steps live in movie_builder.cpp, backgrounds and borders in
// backgrounds.cpp, shapes in shape_objects.cpp, texts in text_objects.cpp,
// pictures and buttons in picture_objects.cpp.
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "moviegen/build_host.h"
#include "moviegen/image_store.h"
#include "moviegen/movie_build.h"
#include "project/document.h"

namespace swf {
class TFlashFont;
class TFlashImage;
class TFlashMovie;
class TFlashPlaceObject;
class TFlashShape;
class TFlashVisualObject;
}  // namespace swf

namespace moviegen {

class TMovieBuilder {
 public:
  TMovieBuilder(project::TProjectDocument& doc, IBuildHost& host, bool wholeMovie,
                const TBuildOptions& options = {});
  ~TMovieBuilder();

  // Fills the movie and makes its tag stream (the driver's steps 2 to 14,
  // before saving).
  void Build();
  swf::TFlashMovie& Movie() { return *movie_; }

 private:
  // What an image of the build is made from; images are shared by key.
  enum class TImageKind { Picture, ButtonState, Rendered };
  using TImageKey = std::tuple<TImageKind, std::string, int32_t, int>;  // kind, name, alpha, state
  using TFontKey = std::tuple<std::string, int32_t, int32_t, int32_t>;  // face, size, bold, italic

  // The driver.
  void FillMovie();
  void CreateMovieObject();
  void ChooseDepthLayout();
  void RegisterSounds();
  void StartBackgroundSound();
  void AddLinkButton();
  void BuildFrame(int32_t l);
  void RemovePreviousFrame(int32_t l);
  // Places an object of frame l's depth range; the depth is noted for the
  // next frame's removals.
  swf::TFlashPlaceObject& PlaceAt(swf::TFlashVisualObject& object, uint16_t depth);
  // In a compact build, a character just made that is identical to one
  // defined before gives way to it: the frames show the earlier one.
  swf::TFlashVisualObject& Shared(swf::TFlashVisualObject& made);
  template <class T>
  T& Shared(T& made) {
    return static_cast<T&>(Shared(static_cast<swf::TFlashVisualObject&>(made)));
  }
  void DrawObject(int32_t l, int e, project::TShapeRec& slot);
  // Places slot e's object of frame l, turned by angle.
  swf::TFlashPlaceObject& Place(swf::TFlashVisualObject& object, int32_t l, int e, int32_t angle);
  // Whether a compact build draws the object at the origin and moves it there
  // by the placement.
  bool DrawsAtOrigin(const project::TShapeRec& slot) const;
  // The file a media reference names, or "" when it is not available.
  const std::string& Resolve(const std::string& stored);
  // An image character for a picture file, prepared once per process.
  swf::TFlashImage& AddImageFile(const std::string& path);
  swf::TFlashImage* FindImage(TImageKind kind, const std::string& name, int32_t alpha,
                              int state = 0) const;
  // Held while a file of the cache folder is made and read: builds may run
  // side by side (a batch export), and two of them may make the same
  // background, or JPEG copies and button states of the same name from
  // pictures of different projects.
  static std::mutex& CacheLock();

  // Backgrounds and borders.
  void RegisterBackgrounds();
  std::string RenderedImage(const std::string& fileName, bool border,
                            const project::TFrameRec& frame);
  void PlaceBackground(int32_t l);
  void PlaceBorder(int32_t l);

  // Shapes.
  swf::TFlashPlaceObject* DrawShape(int32_t l, int e, project::TShapeRec& slot, int32_t x,
                                    int32_t y);
  void FillShape(swf::TFlashShape& shape, project::TShapeRec& slot);

  // Texts.
  void MeasureTexts();
  void RegisterFonts();
  swf::TFlashPlaceObject* DrawText(int32_t l, int e, project::TShapeRec& slot, int32_t x,
                                   int32_t y);

  // Pictures, bitmap fills and buttons.
  void RegisterPictures();
  void RegisterButtonImages();
  void AddPictureImage(const project::TShapeRec& slot, const std::string& source, int32_t l, int e);
  void AddButtonState(const project::TShapeRec& slot, const std::string& source, int state);
  // Gives a JPEG image the slot's transparency; otherwise the slot's Alpha
  // becomes 0, since the picture cannot carry it.
  void ApplyPictureAlpha(swf::TFlashImage& image, project::TShapeRec& slot);
  swf::TFlashPlaceObject* DrawPicture(int32_t l, int e, project::TShapeRec& slot, int32_t x,
                                      int32_t y);
  swf::TFlashPlaceObject* DrawButton(int32_t l, int e, project::TShapeRec& slot, int32_t x,
                                     int32_t y);
  // Slots 1..stride are visited in every frame (there are no slots above 255).
  int LastSlot() const { return std::min(depths_.Stride(), project::MaxShapeSlots); }
  void SetDerived(int32_t& field, int32_t value);
  void SetDerivedAlpha(uint8_t& field, uint8_t value);

  project::TProjectDocument& doc_;
  IBuildHost& host_;
  bool whole_;
  TBuildOptions options_;
  std::string cacheDir_;
  std::unique_ptr<swf::TFlashMovie> movie_;
  int32_t first_ = 1, last_ = 1;  // frame range
  TDepthLayout depths_{1, 4};
  std::map<TImageKey, swf::TFlashImage*> images_;
  std::map<TFontKey, swf::TFlashFont*> fonts_;
  std::unordered_map<std::string, uint16_t> sounds_;  // resolved path -> sound ID
  std::unordered_map<std::string, std::string> resolved_;
  std::vector<TImageStore::TFresh> freshImages_;
  std::vector<uint16_t> frameDepths_;  // placed by the frame being built
  // A compact build's shapes, texts and buttons by their tag bytes without the ID.
  std::unordered_map<std::string, swf::TFlashVisualObject*> definitions_;
  bool derivedChanged_ = false;
};

}  // namespace moviegen
