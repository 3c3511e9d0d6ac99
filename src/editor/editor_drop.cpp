// Files dropped on the canvas: a project opens (after the unsaved-changes
// question), pictures become picture objects at the drop point.
#include <algorithm>
#include <cctype>

#include "editor/editor.h"

namespace editor {

namespace {

std::string LowerExtension(const std::string& path) {
  size_t dot = path.find_last_of('.');
  size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return ext;
}

bool IsPicture(const std::string& path) {
  std::string ext = LowerExtension(path);
  return ext == ".bmp" || ext == ".jpg" || ext == ".jpeg";
}

}  // namespace

void TEditor::DropFiles(const std::vector<std::string>& paths, int32_t x, int32_t y) {
  for (const std::string& path : paths) {
    if (LowerExtension(path) != ".sw0") continue;
    Unrecorded([&] {
      if (doc_.Modified && ModifyMsg() == TMsgResult::Cancel) return;
      OpenProject(path);
    });
    return;
  }
  TPoint at{x, y};
  for (const std::string& path : paths) {
    if (!IsPicture(path)) continue;
    Command([&] { AddPictureObject(project::skPicture, path, &at); });
  }
}

}  // namespace editor
