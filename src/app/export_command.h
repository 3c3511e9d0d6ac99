#pragma once
// vellumet export: one project into an SWF movie with its pages, an animated
// GIF or WebP, a video or PNG frames; several projects side by side into a
// folder.

namespace app {

// Reads the arguments after "export" and runs the export. Returns the
// process exit code: 0 when everything was written, 1 when something
// failed, 2 for arguments that make no command.
int RunExport(int argc, char** argv);

// The command's lines for `vellumet --help`.
extern const char* const kExportUsage;

}  // namespace app
