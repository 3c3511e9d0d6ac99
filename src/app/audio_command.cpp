// vellumet render --audio OUT.wav IN [--seconds N]: what the movie plays, as
// a 44.1 kHz 16-bit stereo wave file; the headless way to hear a movie.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "app/commands.h"
#include "app/project_movie.h"
#include "player/audio_render.h"
#include "player/swf_reader.h"

namespace app {
namespace {

constexpr int kRate = 44100;

struct TAudioArgs {
  std::string In, Out;
  std::optional<double> Seconds;
};

bool ParseArgs(int argc, char** argv, TAudioArgs& args) {
  for (int i = 0; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "--audio" && hasValue) {
      args.Out = argv[++i];
    } else if (a == "--seconds" && hasValue) {
      char* end = nullptr;
      const double s = std::strtod(argv[++i], &end);
      if (end == argv[i] || *end != '\0' || !(s > 0 && s <= player::kMaxRenderSeconds)) return false;
      args.Seconds = s;
    } else if (args.In.empty() && !a.empty() && a[0] != '-') {
      args.In = a;
    } else {
      return false;
    }
  }
  return !args.In.empty() && !args.Out.empty();
}

void PutLE(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += char(v >> (8 * i));
}

// A PCM wave file, written beside the target and renamed over it when whole.
bool WriteWave(const std::string& path, const std::vector<int16_t>& samples) {
  const uint32_t dataBytes = uint32_t(samples.size() * 2);
  std::string head = "RIFF";
  PutLE(head, 36 + dataBytes, 4);
  head += "WAVEfmt ";
  PutLE(head, 16, 4);
  PutLE(head, 1, 2);  // PCM
  PutLE(head, 2, 2);  // stereo
  PutLE(head, kRate, 4);
  PutLE(head, kRate * 4, 4);
  PutLE(head, 4, 2);
  PutLE(head, 16, 2);
  head += "data";
  PutLE(head, dataBytes, 4);
  const std::string part = path + ".part";
  {
    std::ofstream out(part, std::ios::binary);
    out.write(head.data(), std::streamsize(head.size()));
    for (int16_t s : samples) {
      const char le[2] = {char(s & 0xFF), char((s >> 8) & 0xFF)};
      out.write(le, 2);
    }
    if (!out.flush()) {
      std::error_code ignored;
      std::filesystem::remove(part, ignored);
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(part, path, error);
  return !error;
}

}  // namespace

int RunRenderAudio(int argc, char** argv) {
  TAudioArgs args;
  if (!ParseArgs(argc, argv, args)) {
    std::fputs("usage: vellumet render --audio OUT.wav IN [--seconds N]\n"
               "  IN: an SWF movie or a project (.sw0, its whole movie); N: above 0 up to 600\n",
               stderr);
    return 2;
  }
  try {
    const TInputMovie input = ReadInputMovie(args.In, true, 1);
    const std::vector<int16_t> samples = player::RenderAudio(input.Movie, args.Seconds, kRate);
    if (!WriteWave(args.Out, samples)) {
      std::fprintf(stderr, "vellumet render: cannot write %s\n", args.Out.c_str());
      return 1;
    }
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vellumet render: %s\n", e.what());
    return 1;
  }
}

}  // namespace app
