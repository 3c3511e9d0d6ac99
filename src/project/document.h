#pragma once
// The project document: the one project the editor works on, its folders,
// its state for the window, and the project file operations.
#include <bitset>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"
#include "project/model.h"

namespace project {

struct TProjectContent;

// A failure of a project operation. what() is the text the user sees;
// Detail() says where it went wrong (line number, system error).
class TProjectError : public platform::TVellumetError {
 public:
  explicit TProjectError(const std::string& message, std::string detail = "")
      : TVellumetError(message), detail_(std::move(detail)) {}
  const std::string& Detail() const { return detail_; }

 private:
  std::string detail_;
};

// What the document's operations do to the main window, call by call in the
// order they happen. Every call does nothing by default; the editor
// implements the interface.
class IDocumentView {
 public:
  virtual ~IDocumentView() = default;

  // emAnimation after a new project; emLocked as soon as a file is read.
  virtual void SetEditMode(TEditMode /*mode*/) {}
  // A new project is in place: clear the object selection, disable
  // "Save Project", refresh the property panel, rebuild the preview.
  virtual void NewProjectShown() {}
  // The "Close" menu item.
  virtual void EnableClose(bool /*enabled*/) {}
  // `Modified` was set or cleared: the caption's "*" and the application
  // title (and, when set, the "Close" item).
  virtual void ModifiedChanged(bool /*modified*/) {}
  // A project was read from `path` and is in place: set JustOpened, record
  // the path as a recent file, enable Save, refresh the panel and caption,
  // fit the window to the stage, rebuild the preview. Modify(false),
  // OpenFinished() and EnableClose(true) follow.
  virtual void ProjectOpened(const std::string& /*path*/) {}
  // The end of a successful open: show frame 1 and clear JustOpened.
  virtual void OpenFinished() {}
  // The project was saved to `path`: record it as a recent file.
  virtual void ProjectSaved(const std::string& /*path*/) {}
  // An open failed: a message box with the error icon titled "Vellumet".
  // `detail` tells where the file went wrong, for logs and headless use.
  virtual void ShowError(const std::string& /*message*/, const std::string& /*detail*/) {}
};

class TProjectDocument {
 public:
  // Starts with a new empty project; no window calls are made. The folders
  // come from the platform; tests may point TempDir elsewhere.
  TProjectDocument();
  explicit TProjectDocument(IDocumentView& view);

  void SetView(IDocumentView& view) { view_ = &view; }
  IDocumentView& View() const { return *view_; }

  TMovieSettings Settings;
  // FrameCount + 1 records; index 0 exists and is never used.
  std::vector<TFrameRec> Frames;
  int32_t FrameCount = 0;
  int32_t CurrentFrame = 1;
  bool Modified = false;
  std::string ProjectFileName;
  std::string ProjectDir;                        // with a trailing separator, or empty
  std::string ProgramDir;                        // with a trailing separator
  std::string TempDir;                           // with a trailing separator
  std::bitset<MaxShapeSlots + 1> SelectedSlots;  // 1..255
  // The screen's pixels per inch; a new project records it as MResolution.
  int32_t ScreenPixelsPerInch = 96;

  // Resizes Frames to n + 1 records (n >= 1); frames added at the end are
  // emptied with SetEmptyFrame.
  void SetFrameCount(int32_t n);

  // A new project: 20 empty frames, default settings, "untitled.sw0".
  void CreateEmptyMV();
  // Resets frame `frame` to the frame defaults (background: the current
  // MBkgrColor) and empties its slots; their other fields stay.
  void SetEmptyFrame(int32_t frame);
  // Writes a new object of `kind` into `slot` of the frames the edit mode
  // reaches: all frames, the current frame, or first..last.
  void CreateEmptyShape(int slot, TShapeKind kind, int32_t first, int32_t last, TEditMode mode);
  // Lowest slot number empty in every frame; 256 when none is.
  int GetMinFreeShapeNr() const;
  // Highest slot number used in some frame; 0 when all frames are empty.
  int GetLastUsedShapeNr() const;
  // The slot number in an object-list entry "Object 12 - Star"; 0 for an
  // empty or unreadable entry.
  static int GetLayerNr(std::string_view entry);

  void Modify(bool flag);

  // Opens a project file of version 1.6 or 1.2. On failure the view shows
  // "Error reading the file " + path, the document stays as it was, and the
  // result is false.
  bool OpenMV(const std::string& path);
  // The readers of each version; they throw TProjectError and take the
  // project over only once the whole file was read.
  void OpenMV_New(const std::string& path);
  void OpenMV_Legacy(const std::string& path);
  // Writes the project to `path` with its media embedded. The file is
  // replaced only once the new content is complete on disk; on failure the
  // old file is untouched, Modified stays as it was, and TProjectError is
  // thrown with "Error writing the file " + path.
  void SaveMV_NEW(const std::string& path);
  // Unpacks every media block of the project file at `path` into TempDir.
  void ExtractAllImages(const std::string& path);

  // Files unpacked into TempDir by opening projects, each listed once.
  const std::vector<std::string>& TempFileList() const { return tempFiles_; }
  void AddToTempList(const std::string& path);
  // Deletes every listed file (at shut-down) and empties the list.
  void DeleteTempFiles();

 private:
  void OpenNew(const std::string& path, std::string_view data);
  void OpenLegacy(const std::string& path, std::string_view data);
  void TakeOver(TProjectContent&& content, const std::string& path);

  IDocumentView* view_;
  std::vector<std::string> tempFiles_;
  std::set<std::string> tempFileSet_;
};

}  // namespace project
