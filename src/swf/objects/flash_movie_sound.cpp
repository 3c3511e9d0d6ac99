#include "swf/objects/flash_movie.h"
#include "swf/objects/flash_sound.h"

namespace swf {

TFlashSound& TFlashMovie::AddSound(const std::string& fileName) {
  return RegisterCharacter(std::make_unique<TFlashSound>(this, fileName), sounds_);
}

TFlashSound& TFlashMovie::BackgroundSound() {
  if (!backgroundSound_) {
    backgroundSound_ = std::make_unique<TFlashSound>(this, std::string());
    backgroundSound_->Loop = true;
  }
  return *backgroundSound_;
}

}  // namespace swf
