#pragma once
// A file written under a hidden name beside its target and renamed over the
// target only when complete, so a failed or cancelled export leaves no
// half-written file and never spoils a file the user already had.
#include <string>

namespace exporters {

class TPartialFile {
 public:
  // Creates the hidden file (empty) beside `target`; throws
  // "Error writing the file <target>: <reason>" when the folder refuses it.
  explicit TPartialFile(const std::string& target);
  // Removes the hidden file unless Commit succeeded.
  ~TPartialFile();
  TPartialFile(const TPartialFile&) = delete;
  TPartialFile& operator=(const TPartialFile&) = delete;

  const std::string& Path() const { return path_; }
  // Renames the finished file to the target.
  void Commit();

 private:
  std::string target_, path_;
  bool committed_ = false;
};

}  // namespace exporters
