// The document's file operations: open (both versions), save, unpack media.
#include <filesystem>

#include "platform/folders.h"
#include "project/document.h"
#include "project/project_file.h"

namespace project {

namespace {

std::string_view FirstLine(std::string_view data) {
  std::string_view line = data.substr(0, data.find('\n'));
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

std::string AbsolutePath(const std::string& path) {
  std::error_code ec;
  std::filesystem::path abs = std::filesystem::absolute(path, ec);
  return ec ? path : abs.lexically_normal().string();
}

// Parse errors name the line; the message the user sees names the file.
template <class Parse>
TProjectContent ParseFile(const std::string& path, std::string_view data, Parse parse) {
  try {
    return parse(data);
  } catch (const TProjectError& e) {
    throw TProjectError("Error reading the file " + path, e.Detail());
  }
}

}  // namespace

bool TProjectDocument::OpenMV(const std::string& path) {
  try {
    std::string data = ReadProjectBytes(path);
    std::string_view first = FirstLine(data);
    if (first == HeaderV16)
      OpenNew(path, data);
    else if (first == HeaderV12)
      OpenLegacy(path, data);
    else
      throw TProjectError("Error reading the file " + path, "not a Vellumet project file");
    return true;
  } catch (const TProjectError& e) {
    view_->ShowError("Error reading the file " + path, e.Detail());
  } catch (const std::exception& e) {  // out of memory, above all
    view_->ShowError("Error reading the file " + path, e.what());
  }
  return false;
}

void TProjectDocument::OpenMV_New(const std::string& path) {
  OpenNew(path, ReadProjectBytes(path));
}

void TProjectDocument::OpenMV_Legacy(const std::string& path) {
  OpenLegacy(path, ReadProjectBytes(path));
}

void TProjectDocument::OpenNew(const std::string& path, std::string_view data) {
  view_->SetEditMode(TEditMode::emLocked);
  TProjectContent content = ParseFile(path, data, ParseProjectV16);
  // Media are unpacked only from a file that was read to its end, so a
  // broken file leaves the open project's media alone too.
  try {
    for (const std::string& file : ExtractMedia(content.Media, TempDir)) AddToTempList(file);
  } catch (const TProjectError& e) {
    throw TProjectError("Error reading the file " + path,
                        e.what() + std::string(": ") + e.Detail());
  }
  TakeOver(std::move(content), path);
}

void TProjectDocument::OpenLegacy(const std::string& path, std::string_view data) {
  view_->SetEditMode(TEditMode::emLocked);
  TakeOver(ParseFile(path, data, ParseProjectV12), path);
}

void TProjectDocument::TakeOver(TProjectContent&& content, const std::string& path) {
  Settings = std::move(content.Settings);
  Frames = std::move(content.Frames);
  FrameCount = content.FrameCount;
  CurrentFrame = 1;
  ProjectFileName = AbsolutePath(path);
  ProjectDir = std::string(platform::FolderPart(ProjectFileName));
  SelectedSlots.reset();
  view_->ProjectOpened(ProjectFileName);
  Modify(false);
  view_->OpenFinished();
  view_->EnableClose(true);
}

void TProjectDocument::SaveMV_NEW(const std::string& path) {
  WriteProjectFile(*this, path);
  Modify(false);
  view_->ProjectSaved(path);
}

void TProjectDocument::ExtractAllImages(const std::string& path) {
  std::string data = ReadProjectBytes(path);
  TProjectContent content = ParseFile(path, data, ParseProjectV16);
  for (const std::string& file : ExtractMedia(content.Media, TempDir)) AddToTempList(file);
}

}  // namespace project
