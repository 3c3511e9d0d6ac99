#pragma once
#include "platform/error.h"

namespace swf {

// A failure of the SWF library: an unwritable file, or SWF data that ends early.
class ESWFError : public platform::TVellumetError {
 public:
  using platform::TVellumetError::TVellumetError;
};

}  // namespace swf
