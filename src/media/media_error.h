#pragma once
// Failures of the media readers (pictures, sounds, fonts): the text names the
// file or the fault so the user can tell which input is damaged.
#include "platform/error.h"

namespace media {

class TMediaError : public platform::TVellumetError {
 public:
  using platform::TVellumetError::TVellumetError;
};

}  // namespace media
