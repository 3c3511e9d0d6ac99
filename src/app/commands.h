#pragma once
// The headless commands of the program; each returns the process exit code.
#include <cstdio>

namespace app {

int RunRender(int argc, char** argv);  // vellumet render IN -o OUT.png [--frame N] [--scale S]
int RunRenderAudio(int argc, char** argv);  // vellumet render --audio OUT.wav IN [--seconds N]
int RunDump(int argc, char** argv);    // vellumet dump FILE.swf
void PrintUsage(std::FILE* out);       // the commands and options, for --help and mistakes
int RunEditor(int argc, char** argv);  // vellumet [PROJECT.sw0]: the editor window
void PrintVersion();                   // "vellumet 1.4.0": the version of the CMake project

}  // namespace app
