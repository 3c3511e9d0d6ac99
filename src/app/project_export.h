#pragma once
// One project of `vellumet export`: opened, built and written in every form
// the arguments ask for. The single export and each project of a batch go
// through here.
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "app/export_args.h"
#include "exporters/exporters.h"
#include "moviegen/build_host.h"

namespace app {

struct TWrittenFile {
  std::string Path;
  uint64_t Bytes = 0;
  std::string Choice;  // what a size budget made the exporter choose
  // Lines shown after the file's: an ad package's choices and its check.
  std::vector<std::string> Notes;
  bool Rejected = false;  // the package failed a rule of its profile
};

// "" when every folder the arguments write into takes new files, else why
// not. Checked before anything is built.
std::string TargetProblem(const TExportArgs& args);

// Opens `project` with its media unpacked into `tempDir`, builds its movie
// there, writes what `args` asks for and deletes the built movie again.
// Throws platform::TVellumetError with the text the user sees.
std::vector<TWrittenFile> ExportProject(const std::string& project, const TExportArgs& args,
                                        const std::string& tempDir, moviegen::IBuildHost& host,
                                        const exporters::TProgress& progress = {});

// The text a failed export shows: the program's own errors as they are, and
// no library's internal words for the rest.
std::string UserMessage(const std::exception& e);

// "PATH: 1234 bytes", with the exporter's choice in brackets.
std::string WrittenLine(const TWrittenFile& file);

}  // namespace app
