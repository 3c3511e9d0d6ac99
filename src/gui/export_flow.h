#pragma once
// The File menu's exports beside "SWF Preview": a movie in any format of the
// export dialog, and the web page that plays the movie in today's browsers.
// Both build the whole movie and export it on a worker thread with a
// progress dialog that can be cancelled.
#include <functional>
#include <string>

#include "editor/interfaces.h"

class QWidget;

namespace editor {
class TEditor;
}

namespace gui {

class TExportFlow {
 public:
  TExportFlow(QWidget* window, editor::TEditor& editor, editor::IPrompts& prompts,
              std::function<bool(const std::string&)> openDocument);
  void ExportMovie();
  void ExportWebPage();
  // The HTML5 ad package: its dialog measures the package as options change;
  // a package over its profile's limit is said before it is written.
  void ExportAdPackage();

 private:
  // Builds the whole movie into a temporary file and shows the build's warnings.
  std::string BuildMovie(bool compact, bool uncompressed = false);
  void Report(const std::string& text, bool failed);
  std::string StartFolder() const;
  // The status bar names what an export wrote and offers its folder.
  void Written(const std::string& what, const std::string& folder);

  QWidget* window_;
  editor::TEditor& editor_;
  editor::IPrompts& prompts_;
  std::function<bool(const std::string&)> openDocument_;
  std::string lastProject_, lastFolder_;  // where the last export went, for which project
};

}  // namespace gui
