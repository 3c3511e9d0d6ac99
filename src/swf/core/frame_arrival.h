#pragma once
// How a movie arrives over the wire. A player shows a frame once every byte
// up to that frame's ShowFrame tag is in; for a compressed (CWS) file that
// is the compressed input the inflater needed to give those bytes out. So the
// figures are the file's own bytes, the ones a download counts.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace swf {

struct TFrameArrivals {
  double FrameRate = 0;  // frames per second, from the header
  // For each frame (0-based), the bytes of the file needed to show it. They
  // rise; the last is the file's size (the End tag and anything after it
  // count for the last frame).
  std::vector<uint64_t> ReadyAt;
};

// Reads an FWS or CWS file. Throws ESWFError when the header cannot be read,
// the file is LZMA-compressed (ZWS) or the body cannot be inflated; a tag
// stream cut short ends the frames there.
TFrameArrivals ReadFrameArrivals(const std::vector<uint8_t>& file);

// The bytes each frame adds: the differences of ReadyAt. They add up to the
// file's size.
std::vector<uint64_t> FrameBytes(const TFrameArrivals& arrivals);

// The movie uncompressed (FWS); throws as ReadFrameArrivals.
std::vector<uint8_t> PlainMovie(const std::vector<uint8_t>& file);

// The plain movie's first `frames` frames as a movie of their own: the tags
// through that frame's ShowFrame, then End, with the header's frame count and
// length set to match. Asking for none, or for as many frames as the movie
// has or more, gives the whole movie. Throws ESWFError when the header cannot be read.
std::vector<uint8_t> FirstFrames(const std::vector<uint8_t>& plain, size_t frames);

}  // namespace swf
