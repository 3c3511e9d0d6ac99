#include "swf/objects/flash_image.h"
#include "swf/objects/flash_movie.h"

namespace swf {

// The image loads its file before it is registered, so a picture that fails
// to load takes no character ID and leaves nothing in the movie.
TFlashImage& TFlashMovie::AddImage(const std::string& fileName) {
  return RegisterCharacter(std::make_unique<TFlashImage>(this, fileName), images_);
}

}  // namespace swf
