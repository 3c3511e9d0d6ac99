#pragma once
// The movie build's own failures: a file it must write (a cached bitmap, the
// exported movie, the test page) or copy could not be written.
#include "platform/error.h"

namespace moviegen {

class TMovieGenError : public platform::TVellumetError {
 public:
  using TVellumetError::TVellumetError;
};

}  // namespace moviegen
