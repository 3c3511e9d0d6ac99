#pragma once
// The recovery copies of unsaved work: one per running editor, in the
// user's state folder, each beside a lock file its editor holds while it
// runs. A copy is the project file as Save writes it plus a small info file
// naming the document and checking the project file's size and checksum, so
// a copy cut short (a power cut while it was written) is told from a whole
// one and never mistaken for the user's work.
//
// Files of a copy with the id ID:
//   ID.lock        held (flock) by the editor that writes the copy
//   ID.info        what the copy holds; replaced atomically, last
//   ID.N.sw0       the project file the info names (N counts the writes)
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "project/project_file.h"

namespace editor {

// What a recovery copy says about the document it keeps.
struct TRecoveryInfo {
  std::string OriginalPath;  // native path of the user's file; "" when untitled
  std::string Name;          // the document's name as the window showed it
  int64_t Time = 0;          // seconds since 1970 (UTC) when the copy was taken
  int32_t FrameCount = 0;
  bool operator==(const TRecoveryInfo&) const = default;
};

// A copy left behind by an editor that runs no more.
struct TRecoveryCopy {
  std::string Id;
  std::optional<TRecoveryInfo> Info;  // none when the info file cannot be read
  std::string ProjectPath;            // the checked project file; "" when unreadable
  std::string Problem;                // why the copy cannot be read
  bool Readable() const { return !ProjectPath.empty(); }
};

class TRecoveryStore {
 public:
  // `folder`: native, with or without a trailing '/'; made on the first write.
  explicit TRecoveryStore(std::string folder);
  // Releases the locks. This editor's files stay unless RemoveOwn ran.
  ~TRecoveryStore();
  TRecoveryStore(const TRecoveryStore&) = delete;
  TRecoveryStore& operator=(const TRecoveryStore&) = delete;

  // $XDG_STATE_HOME/vellumet/recovery/ (default ~/.local/state/...); "" when
  // there is neither a state folder nor a home folder.
  static std::string DefaultFolder();
  const std::string& Folder() const { return folder_; }

  // Replaces this editor's copy. The previous copy stays whole until the new
  // one is complete on disk. May run on a worker thread. Throws
  // platform::TVellumetError saying why the copy could not be written.
  void Write(const project::TProjectSnapshot& snapshot, const TRecoveryInfo& info);
  // Removes this editor's copy (saved, or closed without changes).
  void RemoveOwn();
  bool HasOwnCopy();

  // The copies no running editor holds. Each one found is locked by this
  // store until it is discarded or released, so two editors starting at
  // once never both offer it.
  std::vector<TRecoveryCopy> FindLeftCopies();
  // Deletes every file of a found copy.
  void Discard(const TRecoveryCopy& copy);
  // Lets other editors find the copies this store found and kept.
  void ReleaseLeftCopies();

 private:
  std::string Path(const std::string& name) const { return folder_ + name; }
  void MakeFolder();
  void LockOwn();
  void RemoveFilesOf(const std::string& id, const std::string& keep = "");

  std::string folder_;
  std::string id_;
  std::mutex ownGuard_;  // the worker writes while the window may remove
  int ownLock_ = -1;
  int generation_ = 0;
  std::string ownProject_;                // the project file the own info names
  std::map<std::string, int> heldLocks_;  // copies found, by id
};

// Reads an info file's text; nullopt when it is not whole.
std::optional<TRecoveryInfo> ParseRecoveryInfo(std::string_view text, std::string& project,
                                               uint64_t& size, uint32_t& crc);
std::string FormatRecoveryInfo(const TRecoveryInfo& info, const std::string& project, uint64_t size,
                               uint32_t crc);

}  // namespace editor
