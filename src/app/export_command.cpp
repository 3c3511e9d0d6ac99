#include "app/export_command.h"

#include <cstdio>
#include <exception>
#include <string>

#include "app/batch_export.h"
#include "app/export_args.h"
#include "app/progress_bar.h"
#include "app/project_export.h"
#include "moviegen/build_host.h"
#include "platform/folders.h"

namespace app {

const char* const kExportUsage =
    "  vellumet export PROJECT.sw0 -o OUT.swf [--frame N] [--compact] [--web]\n"
    "      builds the whole movie and writes OUT.swf and the HTML test page OUT.html;\n"
    "      with --frame N the single-frame build of frame N (as the editor shows it);\n"
    "      --compact: a smaller file that shows the same frames (each frame removes\n"
    "      only what the frame before showed; objects are defined once where they can be);\n"
    "      --web: also OUT.web.html, which plays the movie in today's browsers\n"
    "  vellumet export PROJECT.sw0 -o OUT.gif|OUT.webp|OUT.mp4|OUT.webm [--png-frames DIR]\n"
    "                  [--scale S] [--max-size KB] [--loop|--no-loop]\n"
    "      the movie as an animated GIF or WebP, or a video; --png-frames DIR writes\n"
    "      one PNG file per frame; S scales the stage, KB is a size budget, and the\n"
    "      loop is the project's unless one is given\n"
    "  vellumet export PROJECT.sw0 -o OUT.html [--compact] [--loop|--no-loop]\n"
    "      the HTML5 page: one file that plays the movie in any browser by itself\n"
    "  vellumet export A.sw0 B.sw0 ... -o DIR/ [--compact] [--web] [--format html]\n"
    "      builds the projects side by side into DIR/NAME.swf (and their pages);\n"
    "      --format html writes their HTML5 pages DIR/NAME.html instead;\n"
    "      -o naming an existing folder does the same for one project\n";

namespace {

int RunSingleExport(const TExportArgs& args) {
  if (const std::string problem = TargetProblem(args); !problem.empty()) {
    std::fprintf(stderr, "vellumet: %s\n", problem.c_str());
    return 1;
  }
  std::vector<TWrittenFile> written;
  try {
    moviegen::THeadlessBuildHost host;
    TProgressBar bar("exporting");
    written = ExportProject(args.Projects.front(), args, platform::TempDir(), host,
                            [&bar](int64_t done, int64_t total) {
                              bar.Show(done, total);
                              return true;
                            });
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vellumet: %s\n", UserMessage(e).c_str());
    return 1;
  }
  for (const TWrittenFile& file : written) std::printf("%s\n", WrittenLine(file).c_str());
  return 0;
}

}  // namespace

int RunExport(int argc, char** argv) {
  TExportArgs args;
  if (const std::string problem = ParseExportArgs(argc, argv, args); !problem.empty()) {
    std::fprintf(stderr, "vellumet export: %s\nusage:\n%s", problem.c_str(), kExportUsage);
    return 2;
  }
  return args.Projects.size() > 1 ? RunBatchExport(args) : RunSingleExport(args);
}

}  // namespace app
