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
#include "support/sound_data.h"
#include "swf/objects/flash_button.h"
#include "swf/objects/flash_movie.h"
#include "swf/objects/flash_shape.h"
#include "swf/objects/flash_sound.h"
#include "swf/tags/button_tags.h"
#include "swf/tags/sound_tags.h"

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

constexpr int kRampRate = 44100;

// A 44.1 kHz 16-bit mono wave whose samples are 1000, 1001, ...: heard
// unchanged (no resampling), and each start shows as a lone 1000.
inline std::string RampWave(size_t samples) {
  Bytes data;
  for (size_t i = 0; i < samples; ++i) {
    const int16_t v = int16_t(1000 + i);
    data.push_back(uint8_t(v));
    data.push_back(uint8_t(v >> 8));
  }
  return WriteTestFile(TestTempDir(), "ramp" + std::to_string(samples) + ".wav",
                       PcmWave(1, kRampRate, 16, data));
}

// A 100 x 100 movie of one frame: a button on (0, 0)-(50, 50) whose
// roll-over sound is a ramp of length samples.
inline std::shared_ptr<const player::TMovie> RollOverSoundMovie(size_t length) {
  swf::TFlashMovie movie(0, 0, 100, 100, 12);
  const uint16_t id = movie.AddSound(RampWave(length)).GetCharacterID();
  swf::TFlashShape& square = movie.AddRectangle(0, 0, 50, 50);
  square.SetSolidColor(255, 0, 0, 255);
  swf::TFlashButton& button = movie.AddButton(false, true);
  button.AddRecord(square, swf::bsUp | swf::bsOver | swf::bsDown | swf::bsHitTest, 1);
  button.RollOverSound().SoundId = id;
  movie.PlaceObject(&button, 1);
  movie.ShowFrame();
  return WrittenMovie(movie, "player-sound-button.swf");
}

}  // namespace vtest
