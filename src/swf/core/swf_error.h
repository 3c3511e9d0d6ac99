#pragma once
#include "platform/error.h"

namespace swf {

// A failure of the SWF library: an unwritable file, or SWF data that ends early.
class ESWFError : public platform::TVellumetError {
 public:
  using platform::TVellumetError::TVellumetError;
};

// A movie that would number more characters than the format's 16-bit IDs.
class ETooManyCharacters : public ESWFError {
 public:
  ETooManyCharacters() : ESWFError("An SWF movie can number at most 65535 characters") {}
};

}  // namespace swf
