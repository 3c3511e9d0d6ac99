#include "app/export_command.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "exporters/exporters.h"
#include "moviegen/build_host.h"
#include "moviegen/export.h"
#include "moviegen/movie_build.h"
#include "platform/error.h"
#include "project/document.h"

namespace app {

const char* const kExportUsage =
    "  vellumet export PROJECT.sw0 -o OUT.swf [--frame N] [--web]\n"
    "      builds the whole movie and writes OUT.swf and the HTML test page OUT.html;\n"
    "      with --frame N the single-frame build of frame N (as the editor shows it);\n"
    "      with --web also OUT.web.html, which plays the movie in today's browsers\n";

namespace {

// Keeps the text of a failed open for the command's message.
class TOpenErrors : public project::IDocumentView {
 public:
  void ShowError(const std::string& message, const std::string& detail) override {
    Message = message;
    Detail = detail;
  }
  std::string Message, Detail;
};

struct TExportArgs {
  std::string Project, Output;
  int Frame = 0;  // 0: the whole movie
  bool Web = false;
};

bool ParseArgs(int argc, char** argv, TExportArgs& args) {
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-o" && i + 1 < argc) {
      args.Output = argv[++i];
    } else if (arg == "--frame" && i + 1 < argc) {
      char* end = nullptr;
      const long frame = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || frame < 1 || frame > 1000000) return false;
      args.Frame = int(frame);
    } else if (arg == "--web") {
      args.Web = true;
    } else if (args.Project.empty() && !arg.empty() && arg[0] != '-') {
      args.Project = arg;
    } else {
      return false;
    }
  }
  return !args.Project.empty() && !args.Output.empty();
}

}  // namespace

int RunExport(int argc, char** argv) {
  TExportArgs args;
  if (!ParseArgs(argc, argv, args)) {
    std::fprintf(stderr, "usage:\n%s", kExportUsage);
    return 2;
  }
  TOpenErrors errors;
  project::TProjectDocument doc(errors);
  if (!doc.OpenMV(args.Project)) {
    std::fprintf(stderr, "vellumet: %s\n", errors.Message.c_str());
    if (!errors.Detail.empty()) std::fprintf(stderr, "  %s\n", errors.Detail.c_str());
    return 1;
  }
  if (args.Frame > doc.FrameCount) {
    std::fprintf(stderr, "vellumet: %s has %d frames; there is no frame %d\n", args.Project.c_str(),
                 doc.FrameCount, args.Frame);
    return 1;
  }
  std::string movie;
  try {
    moviegen::THeadlessBuildHost host;
    if (args.Frame > 0) doc.CurrentFrame = args.Frame;
    movie = moviegen::CreateMovie(doc, host, args.Frame == 0, false, false);
    const moviegen::TExportResult result = moviegen::SaveSWF(doc.Settings, movie, args.Output);
    std::filesystem::remove(movie);
    std::printf("%s: %llu bytes\n%s\n", result.SwfPath.c_str(),
                static_cast<unsigned long long>(result.SwfSize), result.PagePath.c_str());
    if (args.Web) std::printf("%s\n", exporters::WriteWebPage(doc, result.SwfPath).Path.c_str());
    return 0;
  } catch (const std::exception& e) {
    std::error_code ignored;
    if (!movie.empty()) std::filesystem::remove(movie, ignored);
    std::fprintf(stderr, "vellumet: %s\n", e.what());
    return 1;
  }
}

}  // namespace app
