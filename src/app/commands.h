#pragma once
// The headless commands of the program; each returns the process exit code.
#include <cstdio>
#include <string>
#include <vector>

#include "exporters/ad_check.h"

namespace app {

int RunRender(int argc, char** argv);  // vellumet render IN -o OUT.png [--frame N] [--scale S]
int RunRenderAudio(int argc, char** argv);  // vellumet render --audio OUT.wav IN [--seconds N]
int RunDump(int argc, char** argv);    // vellumet dump FILE.swf
int RunCheck(int argc, char** argv);   // vellumet check PACKAGE.zip|DIR [--profile NAME]
void PrintUsage(std::FILE* out);       // the commands and options, for --help and mistakes
int RunEditor(int argc, char** argv);  // vellumet [PROJECT.sw0]: the editor window
void PrintVersion();                   // "vellumet 1.4.0": the version of the CMake project

// "Accepted for iab: 17 rules passed, 0 failed, 0 not applicable"
void PrintCheckSummary(const std::vector<exporters::TRuleResult>& results,
                       const std::string& profile);

}  // namespace app
