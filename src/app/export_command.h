#pragma once
// vellumet export PROJECT.sw0 -o OUT.swf [--frame N]

namespace app {

// Builds the project's movie (or, with --frame, the single-frame build the
// editor's canvas shows) and writes it with its HTML test page. Returns the
// process exit code.
int RunExport(int argc, char** argv);

// The command's lines for `vellumet --help`.
extern const char* const kExportUsage;

}  // namespace app
