#pragma once
// The one exception base of the program. Its text is what the user sees; each
// layer derives its own type so callers can tell where a failure came from.
#include <stdexcept>
#include <string>

namespace platform {

class TVellumetError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace platform
