// vellumet render IN -o OUT.png [--frame N] [--scale S]; --audio: audio_command.cpp
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "app/commands.h"
#include "app/project_movie.h"
#include "player/renderer.h"
#include "player/swf_reader.h"

namespace app {
namespace {

struct TRenderArgs {
  std::string In, Out;
  long Frame = 1;
  double Scale = 1;
};

bool ParseNumber(const char* text, double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);
  return end != text && *end == '\0';
}

bool ParseArgs(int argc, char** argv, TRenderArgs& args) {
  for (int i = 0; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    double number = 0;
    if (a == "-o" && hasValue) {
      args.Out = argv[++i];
    } else if (a == "--frame" && hasValue && ParseNumber(argv[++i], number) && number >= 1 &&
               number <= 65535 && number == long(number)) {
      args.Frame = long(number);
    } else if (a == "--scale" && hasValue && ParseNumber(argv[++i], number) && number > 0 &&
               number <= 100) {
      args.Scale = number;
    } else if (args.In.empty() && !a.empty() && a[0] != '-') {
      args.In = a;
    } else {
      return false;
    }
  }
  return !args.In.empty() && !args.Out.empty();
}

}  // namespace

int RunRender(int argc, char** argv) {
  for (int i = 0; i < argc; ++i)
    if (std::string(argv[i]) == "--audio") return RunRenderAudio(argc, argv);
  TRenderArgs args;
  if (!ParseArgs(argc, argv, args)) {
    std::fputs("usage: vellumet render IN -o OUT.png [--frame N] [--scale S]\n"
               "       vellumet render --audio OUT.wav IN [--seconds N]\n"
               "  N: 1 to 65535 (frames count from 1), S: above 0 up to 100\n",
               stderr);
    return 2;
  }
  try {
    const TInputMovie input = ReadInputMovie(args.In, false, args.Frame);
    const std::shared_ptr<const player::TMovie>& movie = input.Movie;
    // A project's single-frame build shows the picture on every frame.
    const uint32_t frame = input.FromProject ? 0 : uint32_t(args.Frame - 1);
    if (frame >= movie->FrameCount) {
      std::fprintf(stderr, "vellumet render: the movie has %u frames\n", movie->FrameCount);
      return 1;
    }
    std::set<uint16_t> undrawable;
    const QImage image = player::RenderFrame(movie, frame, args.Scale, &undrawable);
    for (uint16_t id : undrawable)
      std::fprintf(stderr, "vellumet render: picture %u of the movie cannot be shown: its data is "
                   "damaged\n", unsigned(id));
    if (!image.save(QString::fromStdString(args.Out), "PNG")) {
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
