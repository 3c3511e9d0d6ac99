#include "app/export_args.h"

#include <cmath>
#include <cstdlib>

#include "app/export_target.h"

namespace app {

namespace {

bool ParseNumber(const char* text, double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);
  return end != text && *end == '\0' && std::isfinite(value);
}

bool ParseWhole(const char* text, double low, double high, double& value) {
  return ParseNumber(text, value) && value >= low && value <= high && value == std::floor(value);
}

// One option with its value; "" when it was taken, else what is wrong.
std::string TakeOption(const std::string& name, const char* value, TExportArgs& args) {
  double number = 0;
  if (name == "-o") {
    args.Output = value;
  } else if (name == "--png-frames") {
    args.PngFrames = value;
  } else if (name == "--frame") {
    if (!ParseWhole(value, 1, 1000000, number)) return "--frame takes a frame number from 1";
    args.Frame = int(number);
  } else if (name == "--scale") {
    if (!ParseNumber(value, number) || number <= 0 || number > 100)
      return "--scale takes a number above 0 up to 100";
    args.Animation.Scale = number;
    args.AnimationOptionGiven = true;
  } else if (name == "--max-size") {
    if (!ParseWhole(value, 1, 1e9, number)) return "--max-size takes a whole number of KB from 1";
    args.Animation.MaxSizeKB = int64_t(number);
    args.AnimationOptionGiven = true;
  }
  return "";
}

bool TakesValue(const std::string& name) {
  return name == "-o" || name == "--png-frames" || name == "--frame" || name == "--scale" ||
         name == "--max-size";
}

// Options that make no sense together or without the output they act on.
std::string CheckCombination(const TExportArgs& args) {
  if (args.Projects.empty()) return "no project given";
  if (args.Output.empty() && args.PngFrames.empty()) return "-o OUT or --png-frames DIR is needed";
  const bool several = args.Projects.size() > 1;
  if (several && args.Output.empty()) return "several projects need -o DIR/";
  if (several && (args.Frame > 0 || !args.PngFrames.empty()))
    return "--frame and --png-frames take one project";
  if (args.Html && !NamesFolder(args.Output)) return "--format html writes into a folder: -o DIR/";
  const bool html =
      !args.Output.empty() && (args.Html || TargetKindOf(args.Output) == TTargetKind::Html);
  const bool swf = !args.Output.empty() && !html &&
                   (NamesFolder(args.Output) || TargetKindOf(args.Output) == TTargetKind::Swf);
  const bool animation = (!args.Output.empty() && !swf && !html) || !args.PngFrames.empty();
  if ((args.Web && !swf) || (args.Compact && !swf && !html))
    return "--web and --compact write SWF files: -o NAME.swf or a folder (--compact also "
           "NAME.html)";
  if (args.Frame > 0 && (!swf || !args.PngFrames.empty()))
    return "--frame exports one frame as an SWF movie: -o NAME.swf";
  const bool sized = args.Animation.Scale != 1.0 || args.Animation.MaxSizeKB > 0;
  if (args.AnimationOptionGiven && !animation && !(html && !sized))
    return "--scale, --max-size, --loop and --no-loop are for .gif, .webp, .mp4, .webm and "
           "--png-frames (--loop and --no-loop also for .html)";
  return "";
}

}  // namespace

std::string ParseExportArgs(int argc, char** argv, TExportArgs& args) {
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    if (TakesValue(arg)) {
      if (i + 1 >= argc) return arg + " needs a value";
      if (std::string problem = TakeOption(arg, argv[++i], args); !problem.empty()) return problem;
    } else if (arg == "--web") {
      args.Web = true;
    } else if (arg == "--compact") {
      args.Compact = true;
    } else if (arg == "--format") {
      if (i + 1 >= argc || std::string(argv[i + 1]) != "html") return "--format takes html";
      args.Html = true;
      ++i;
    } else if (arg == "--loop" || arg == "--no-loop") {
      args.Animation.Loop = arg == "--loop";
      args.AnimationOptionGiven = true;
    } else if (!arg.empty() && arg[0] != '-') {
      args.Projects.push_back(arg);
    } else {
      return "unknown option " + arg;
    }
  }
  return CheckCombination(args);
}

}  // namespace app
