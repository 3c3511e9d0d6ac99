#pragma once
// The player's exception: a movie that cannot be read at all.
#include "platform/error.h"

namespace player {

class EPlayerError : public platform::TVellumetError {
 public:
  using platform::TVellumetError::TVellumetError;
};

}  // namespace player
