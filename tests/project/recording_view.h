#pragma once
// A document view that records every call, for checking what the document
// asks of the window and in which order.
#include <string>
#include <vector>

#include "project/document.h"

namespace vtest {

class TRecordingView : public project::IDocumentView {
 public:
  std::vector<std::string> Calls;
  std::string LastMessage, LastDetail;

  void SetEditMode(project::TEditMode mode) override {
    Calls.push_back(mode == project::TEditMode::emLocked      ? "mode locked"
                    : mode == project::TEditMode::emAnimation ? "mode animation"
                                                              : "mode all");
  }
  void NewProjectShown() override { Calls.push_back("new shown"); }
  void EnableClose(bool on) override { Calls.push_back(on ? "close on" : "close off"); }
  void ModifiedChanged(bool on) override { Calls.push_back(on ? "modified" : "unmodified"); }
  void ProjectOpened(const std::string& path) override { Calls.push_back("opened " + path); }
  void OpenFinished() override { Calls.push_back("open finished"); }
  void ProjectSaved(const std::string& path) override { Calls.push_back("saved " + path); }
  void ShowError(const std::string& message, const std::string& detail) override {
    Calls.push_back("error");
    LastMessage = message;
    LastDetail = detail;
  }
};

}  // namespace vtest
