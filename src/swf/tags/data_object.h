#pragma once
// TSWFDataObject: a tag whose trailing data (sound samples, image bytes) is
// either held as a buffer or written on demand by OnDataWrite, so large media
// go straight from their source into the tag stream.
#include <cstdint>
#include <functional>
#include <vector>

#include "swf/core/swf_object.h"

namespace swf {

class TSWFDataObject;
using TDataWriteEvent = std::function<void(TSWFDataObject& sender, TBitsEngine& be)>;

class TSWFDataObject : public TSWFObject {
 public:
  void Assign(const TBasedSWFObject& source) override;
  // Writes OnDataWrite's data when it is set, else the buffer.
  void WriteData(TBitsEngine& be);

  std::vector<uint8_t> Data;
  TDataWriteEvent OnDataWrite;
};

}  // namespace swf
