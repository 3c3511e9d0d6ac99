#pragma once
// TImageStore: pictures prepared by earlier builds, kept for the life of the
// process. The editor rebuilds its frame after every edit, and most of that
// time would go into reading the same backgrounds, borders and pictures and
// compressing their pixels again; an image whose file has not changed since
// (same file, size and change times) is copied from the stored one instead.
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace swf {
class TFlashImage;
class TFlashMovie;
}  // namespace swf

namespace moviegen {

class TImageStore {
 public:
  // What a stored image was made from; equal keys mean an unchanged file.
  struct TFileKey {
    std::string Path;
    uint64_t Device = 0, Inode = 0, Size = 0;
    int64_t Modified = 0, Changed = 0;  // nanoseconds
    bool operator==(const TFileKey&) const = default;
  };
  // An image made in this build from a file not stored yet.
  struct TFresh {
    TFileKey Key;
    const swf::TFlashImage* Image;
  };

  TImageStore();
  ~TImageStore();

  // The process's store.
  static TImageStore& Shared();

  // A new image character of the movie for the file: a copy of the stored
  // one when the file is unchanged, else read from the file (and listed in
  // `fresh`, to be kept once the movie is written).
  swf::TFlashImage& Add(swf::TFlashMovie& movie, const std::string& path,
                        std::vector<TFresh>& fresh);
  // Keeps copies of the fresh images, now that writing the movie prepared
  // their data. The oldest go when the store passes its size.
  void Keep(const std::vector<TFresh>& fresh);

  size_t Count() const;

 private:
  struct TEntry;
  std::list<TEntry> entries_;  // most recently used first
  size_t bytes_ = 0;
  mutable std::mutex mutex_;
};

}  // namespace moviegen
