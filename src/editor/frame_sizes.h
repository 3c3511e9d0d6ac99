#pragma once
// What each project frame costs in a built movie: the bytes it adds to the
// file and when it can show over a given connection. The figures are read
// from the built file itself.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace editor {

struct TFrameSize {
  uint64_t Bytes = 0;    // what the frame adds to the file
  uint64_t ReadyAt = 0;  // the file's bytes that must have arrived before it shows
  double PlaysAt = 0;    // seconds from the start when the movie comes to it
  bool operator==(const TFrameSize&) const = default;
};

// The project frames of the movie file `swf`, where project frame i lasts
// swfFrames[i] SWF frames. The bytes add up to the file's size (a movie cut
// short gives its missing frames no bytes). Throws platform::TVellumetError
// when the file cannot be measured.
std::vector<TFrameSize> MeasureFrames(const std::vector<uint8_t>& swf,
                                      const std::vector<int32_t>& swfFrames);

// The same for a file on disk; empty when it cannot be read or measured (the
// preview then shows no bars).
std::vector<TFrameSize> MeasureFrameFile(const std::string& path,
                                         const std::vector<int32_t>& swfFrames);

// The frames of an HTML5 package whose frames add `bytes` each. Its page
// starts once every byte of it is in (the script reads all of its data and
// pictures first), so every frame is ready at the package's size; frame i
// plays when the movie's swf[i] does (0 s when the movie's frames are not known).
std::vector<TFrameSize> PackageFrames(const std::vector<uint64_t>& bytes,
                                      const std::vector<TFrameSize>& swf);

struct TConnectionSpeed {
  const char* Name;
  int64_t BitsPerSecond;
};

// The speeds the preview offers, slowest first.
inline constexpr std::array<TConnectionSpeed, 4> kConnectionSpeeds{{
    {"Slow 3G (400 kbit/s)", 400'000},
    {"3G (1.6 Mbit/s)", 1'600'000},
    {"4G (10 Mbit/s)", 10'000'000},
    {"Broadband (50 Mbit/s)", 50'000'000},
}};

// Seconds until `bytes` have arrived at the speed.
double ArrivalSeconds(uint64_t bytes, int64_t bitsPerSecond);

// When the movie comes to frame i: it starts once the first frame is in.
double DueSeconds(const std::vector<TFrameSize>& frames, size_t i, int64_t bitsPerSecond);

// Whether frame i arrives after it is due (the player waits there).
bool ArrivesLate(const std::vector<TFrameSize>& frames, size_t i, int64_t bitsPerSecond);

// "Frame 3: 12345 bytes, in after 0.25 s, due at 2.00 s" (i 0-based).
std::string FrameTip(const std::vector<TFrameSize>& frames, size_t i, int64_t bitsPerSecond);

// One line for all frames: when the last is in, and the first frame that
// arrives late.
std::string ArrivalSummary(const std::vector<TFrameSize>& frames, int64_t bitsPerSecond);

}  // namespace editor
