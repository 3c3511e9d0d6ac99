#pragma once
// Writes a tag or an action through a fresh engine and returns the bytes.
#include "support/bytes.h"
#include "swf/core/bits_engine.h"

namespace vtest {

template <class T>
Bytes WrittenBy(T& writable) {
  swf::TMemoryStream stream;
  swf::TBitsEngine be(stream);
  writable.WriteToStream(be);
  return stream.Bytes();
}

template <class T>
Bytes BodyOf(T& tag) {
  swf::TMemoryStream stream;
  swf::TBitsEngine be(stream);
  tag.WriteTagBody(be);
  be.FlushLastByte(true);
  return stream.Bytes();
}

}  // namespace vtest
