// Pictures, bitmap fills and buttons: their images (JPEG copies and button
// states cached on disk), their transparency, and their drawing.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>

#include "media/bitmap32.h"
#include "media/bmp_writer.h"
#include "media/picture_decoder.h"
#include "moviegen/movie_builder.h"
#include "moviegen/object_colors.h"
#include "platform/folders.h"
#include "swf/objects/action_script.h"
#include "swf/objects/flash_button.h"
#include "swf/objects/flash_image.h"
#include "swf/objects/flash_movie.h"
#include "swf/objects/flash_place_object.h"
#include "swf/objects/flash_shape.h"
#include "swf/tags/sound_tags.h"

namespace moviegen {

namespace fs = std::filesystem;
using project::TShapeRec;

namespace {

constexpr uint8_t kStateSets[3] = {1 | 8, 2 | 8, 4 | 8};  // up, down, over; each with the hit area

bool IsJPEGName(const std::string& stored) {
  std::string name(platform::FileNamePart(stored));
  const size_t dot = name.rfind('.');
  std::string ext = dot == std::string::npos ? "" : name.substr(dot);
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".jpg" || ext == ".jpeg";
}

std::string FileName(const std::string& path) {
  return fs::path(path).filename().string();
}

// A cached file made from `source` is current while it carries the source's
// modification time (and, for a plain copy, its size).
bool CacheIsCurrent(const std::string& cached, const std::string& source, bool sameSize) {
  std::error_code error;
  const auto cachedTime = fs::last_write_time(cached, error);
  if (error) return false;
  const auto sourceTime = fs::last_write_time(source, error);
  if (error || cachedTime != sourceTime) return false;
  if (!sameSize) return true;
  const auto cachedSize = fs::file_size(cached, error);
  if (error) return false;
  const auto sourceSize = fs::file_size(source, error);
  return !error && cachedSize == sourceSize;
}

void TakeTime(const std::string& cached, const std::string& source) {
  std::error_code error;
  const auto time = fs::last_write_time(source, error);
  if (!error) fs::last_write_time(cached, time, error);
}

// The update guard is held while picture files are copied or cut.
class TGuard {
 public:
  explicit TGuard(IBuildHost& host) : host_(host) { host_.SetUpdateGuard(true); }
  ~TGuard() { host_.SetUpdateGuard(false); }
  TGuard(const TGuard&) = delete;
  TGuard& operator=(const TGuard&) = delete;

 private:
  IBuildHost& host_;
};

// State k (1..3) of a strip of three equally wide state pictures; pixels
// beyond the strip stay transparent black.
media::TBitmap32 CutState(const media::TBitmap32& strip, int state) {
  const int32_t w3 = std::max(1, int32_t(std::nearbyint(strip.Width / 3.0)));
  media::TBitmap32 cut(w3, strip.Height, 0);
  const int64_t from = int64_t(state - 1) * w3;
  for (int32_t y = 0; y < strip.Height; ++y)
    for (int32_t x = 0; x < w3; ++x)
      if (from + x < strip.Width) cut.At(x, y) = strip.At(int32_t(from + x), y);
  return cut;
}

// Pictures and shapes with a bitmap fill: other kinds may carry a bitmap
// fill code as left-over data, which draws nothing.
bool HasPictureImage(const TShapeRec& slot) {
  if (slot.Object == project::skPicture) return true;
  return slot.Object >= project::skRectangle && slot.Object <= project::skStar &&
         slot.Fill == project::fkBitmap;
}

}  // namespace

void TMovieBuilder::RegisterPictures() {
  for (int32_t l = first_; l <= last_; ++l) {
    const project::TSlotArray& slots = doc_.Frames[size_t(l)].Slots;
    for (int e = 1; e <= LastSlot(); ++e) {
      const TShapeRec& slot = slots[e];
      if (!HasPictureImage(slot) || slot.Text.empty()) continue;
      const std::string& source = Resolve(slot.Text);
      if (!source.empty()) AddPictureImage(slot, source, l, e);
    }
  }
}

void TMovieBuilder::RegisterButtonImages() {
  for (int32_t l = first_; l <= last_; ++l) {
    const project::TSlotArray& slots = doc_.Frames[size_t(l)].Slots;
    for (int e = 1; e <= LastSlot(); ++e) {
      const TShapeRec& slot = slots[e];
      if (slot.Object != project::skButton || slot.Text.empty()) continue;
      const std::string& source = Resolve(slot.Text);
      if (source.empty()) continue;
      for (int k = 1; k <= 3; ++k) AddButtonState(slot, source, k);
    }
  }
}

// A JPEG goes into the movie from a copy in the cache, named after the frame
// and slot where the build first met it. When the copy cannot be made the
// picture is taken from its own file.
void TMovieBuilder::AddPictureImage(const TShapeRec& slot, const std::string& source, int32_t l,
                                    int e) {
  if (FindImage(TImageKind::Picture, slot.Text, slot.Alpha)) return;
  std::unique_lock lock(CacheLock(), std::defer_lock);
  std::string file = source;
  if (IsJPEGName(slot.Text)) {
    lock.lock();
    const std::string copy =
        cacheDir_ + std::to_string(l) + "_" + std::to_string(e) + "_" + FileName(source);
    if (CacheIsCurrent(copy, source, true)) {
      file = copy;
    } else {
      TGuard guard(host_);
      std::error_code error;
      fs::copy_file(source, copy, fs::copy_options::overwrite_existing, error);
      if (!error) {
        TakeTime(copy, source);
        file = copy;
      }
    }
  }
  images_[{TImageKind::Picture, slot.Text, slot.Alpha, 0}] = &AddImageFile(file);
}

void TMovieBuilder::AddButtonState(const TShapeRec& slot, const std::string& source, int state) {
  if (FindImage(TImageKind::ButtonState, slot.Text, slot.Alpha, state)) return;
  const std::string file = cacheDir_ + std::to_string(state) + "_" + FileName(source);
  std::lock_guard lock(CacheLock());
  if (!CacheIsCurrent(file, source, false)) {
    TGuard guard(host_);
    media::SaveBMP(file, CutState(media::LoadPicture(source), state), 32);
    TakeTime(file, source);
  }
  images_[{TImageKind::ButtonState, slot.Text, slot.Alpha, state}] = &AddImageFile(file);
}

void TMovieBuilder::ApplyPictureAlpha(swf::TFlashImage& image, TShapeRec& slot) {
  if (image.IsJPEG())
    image.SetAlphaValue(DrawnAlpha(slot.Alpha));
  else
    SetDerivedAlpha(slot.Alpha, 0);
}

swf::TFlashPlaceObject* TMovieBuilder::DrawPicture(int32_t l, int e, TShapeRec& slot, int32_t x,
                                                   int32_t y) {
  if (slot.Text.empty() || Resolve(slot.Text).empty()) return nullptr;
  swf::TFlashImage* image = FindImage(TImageKind::Picture, slot.Text, slot.Alpha);
  if (!image) return nullptr;
  SetDerived(slot.W, image->ImageWidth());
  SetDerived(slot.H, image->ImageHeight());
  ApplyPictureAlpha(*image, slot);
  swf::TFlashShape& shape =
      movie_->AddRectangle(x, y, AddClamped(x, slot.W), AddClamped(y, slot.H));
  shape.SetImageFill(*image, 1, 1.0f, 1.0f);
  return &Place(shape, l, e, slot.Angle);
}

// In the whole movie a button with its three states, roll-over sound and
// link; in the editor's single frame a plain picture of its first state.
// Each state shape is made before the button so that it is defined first.
swf::TFlashPlaceObject* TMovieBuilder::DrawButton(int32_t l, int e, TShapeRec& slot, int32_t x,
                                                  int32_t y) {
  if (slot.Text.empty() || Resolve(slot.Text).empty()) return nullptr;
  swf::TFlashImage* states[3];
  for (int k = 0; k < 3; ++k) {
    states[k] = FindImage(TImageKind::ButtonState, slot.Text, slot.Alpha, k + 1);
    if (!states[k]) return nullptr;
  }
  auto stateShape = [&](swf::TFlashImage& image) -> swf::TFlashShape& {
    SetDerived(slot.W, image.ImageWidth());
    SetDerived(slot.H, image.ImageHeight());
    swf::TFlashShape& shape =
        movie_->AddRectangle(x, y, AddClamped(x, slot.W), AddClamped(y, slot.H));
    shape.SetImageFill(image, 2, 1.0f, 1.0f);
    return Shared(shape);
  };
  if (!whole_) {
    swf::TFlashShape& shape = stateShape(*states[0]);
    SetDerivedAlpha(slot.Alpha, 0);
    return &Place(shape, l, e, slot.Angle);
  }
  swf::TFlashShape* shapes[3];
  for (int k = 0; k < 3; ++k) shapes[k] = &stateShape(*states[k]);
  swf::TFlashButton& button = movie_->AddButton(false, true);
  for (int k = 0; k < 3; ++k) button.AddRecord(*shapes[k], kStateSets[k], 1);
  SetDerivedAlpha(slot.Alpha, 0);
  if (!slot.SoundEv.empty()) {
    const std::string& sound = Resolve(slot.SoundEv);
    auto id = sounds_.find(sound);
    if (!sound.empty() && id != sounds_.end()) button.RollOverSound().SoundId = id->second;
  }
  // A frame whose link is empty gets no link action: GetURL("") would open an empty window.
  if (slot.URL.find_first_not_of(' ') != std::string::npos)
    button.ReleaseActions().GetURL(slot.URL, "_blank");
  return &Place(button, l, e, slot.Angle);
}

}  // namespace moviegen
