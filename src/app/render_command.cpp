// vellumet render IN -o OUT.png [--frame N] [--scale S]
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include "app/commands.h"
#include "moviegen/build_host.h"
#include "moviegen/movie_build.h"
#include "platform/error.h"
#include "player/renderer.h"
#include "player/swf_reader.h"
#include "project/document.h"

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

bool IsSwf(const std::vector<uint8_t>& bytes) {
  return bytes.size() >= 3 && (bytes[0] == 'F' || bytes[0] == 'C' || bytes[0] == 'Z') &&
         bytes[1] == 'W' && bytes[2] == 'S';
}

// Keeps the text of a failed open for the command's message.
class TOpenErrors : public project::IDocumentView {
 public:
  void ShowError(const std::string& message, const std::string& detail) override {
    Text = detail.empty() ? message : message + " (" + detail + ")";
  }
  std::string Text;
};

// The single-frame build of the project's frame, as the editor's canvas
// shows it: the movie's bytes (its file is deleted at once).
std::vector<uint8_t> SingleFrameBuild(const std::string& path, long frame) {
  TOpenErrors errors;
  project::TProjectDocument doc(errors);
  if (!doc.OpenMV(path)) throw platform::TVellumetError(errors.Text);
  if (frame > doc.FrameCount)
    throw platform::TVellumetError(path + " has " + std::to_string(doc.FrameCount) +
                                   " frames; there is no frame " + std::to_string(frame));
  moviegen::THeadlessBuildHost host;
  doc.CurrentFrame = int32_t(frame);
  const std::string movie = moviegen::CreateMovie(doc, host, false, false, false);
  std::vector<uint8_t> bytes;
  try {
    bytes = player::ReadFileBytes(movie);
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(movie, ignored);
    throw;
  }
  std::filesystem::remove(movie);
  return bytes;
}

}  // namespace

int RunRender(int argc, char** argv) {
  TRenderArgs args;
  if (!ParseArgs(argc, argv, args)) {
    std::fputs("usage: vellumet render IN -o OUT.png [--frame N] [--scale S]\n"
               "  N: 1 to 65535 (frames count from 1), S: above 0 up to 100\n",
               stderr);
    return 2;
  }
  try {
    std::vector<uint8_t> bytes = player::ReadFileBytes(args.In);
    uint32_t frame = uint32_t(args.Frame - 1);
    if (!IsSwf(bytes)) {  // a project: every frame of its single-frame build shows the picture
      bytes = SingleFrameBuild(args.In, args.Frame);
      frame = 0;
    }
    auto movie = std::make_shared<const player::TMovie>(player::ReadMovie(bytes));
    for (const std::string& w : movie->Warnings) std::fprintf(stderr, "warning: %s\n", w.c_str());
    if (frame >= movie->FrameCount) {
      std::fprintf(stderr, "vellumet render: the movie has %u frames\n", movie->FrameCount);
      return 1;
    }
    const QImage image = player::RenderFrame(movie, frame, args.Scale);
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
