#pragma once
// Failures of the media readers (a sound or picture file that cannot be read
// or analysed). The text names the file and is shown to the user as it stands.
#include "platform/error.h"

namespace media {

class TMediaError : public platform::TVellumetError {
 public:
  using platform::TVellumetError::TVellumetError;
};

}  // namespace media
