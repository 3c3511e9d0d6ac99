#pragma once
// Helpers of the sound tests: 16-bit sample files, the output of a command
// line tool, and movies whose sounds come through the movie writer.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "player/swf_reader.h"
#include "support/bytes.h"
#include "swf/objects/flash_movie.h"

namespace vtest {

inline std::string SamplesMediaPath(const std::string& name) {
  return (std::filesystem::path(TestDataPath("")) / ".." / ".." / "samples" / "media" / name)
      .lexically_normal()
      .string();
}

// Native-endian 16-bit samples of raw bytes.
inline std::vector<int16_t> Samples16(const Bytes& raw) {
  std::vector<int16_t> s(raw.size() / 2);
  for (size_t i = 0; i < s.size(); ++i) s[i] = int16_t(raw[2 * i] | raw[2 * i + 1] << 8);
  return s;
}

// What a command writes on its standard output; empty when it cannot run.
inline Bytes CommandOutput(const std::string& command) {
  Bytes out;
  if (std::FILE* pipe = popen(command.c_str(), "r")) {
    char buf[65536];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.insert(out.end(), buf, buf + n);
    pclose(pipe);
  }
  return out;
}

inline bool HasTool(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// The movie as the player reads it, also kept for the independent parser.
inline std::shared_ptr<const player::TMovie> WrittenMovie(swf::TFlashMovie& movie,
                                                          const std::string& name) {
  movie.MakeData();
  const Bytes bytes = movie.SaveToBytes();
  KeepSwfForParserCheck(name, bytes);
  return std::make_shared<const player::TMovie>(player::ReadMovie(bytes));
}

}  // namespace vtest
