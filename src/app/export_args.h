#pragma once
// The arguments of `vellumet export`, read and checked for sense before
// anything is built.
#include <string>
#include <vector>

#include "exporters/exporters.h"

namespace app {

struct TExportArgs {
  std::vector<std::string> Projects;
  std::string Output;                 // -o: a file or a folder
  std::string PngFrames;              // --png-frames DIR
  int Frame = 0;                      // --frame N; 0: the whole movie
  bool Web = false;                   // --web
  bool Compact = false;               // --compact
  bool Html = false;                  // --format html: a folder gets NAME.html
  bool AnimationOptionGiven = false;  // --scale, --max-size, --loop or --no-loop
  exporters::TAnimationOptions Animation;
};

// Reads the arguments after "export". Returns "" when they make a command,
// else what is wrong with them (the usage follows it).
std::string ParseExportArgs(int argc, char** argv, TExportArgs& args);

}  // namespace app
