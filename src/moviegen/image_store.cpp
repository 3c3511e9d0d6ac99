#include "moviegen/image_store.h"

#include <sys/stat.h>

#include "swf/objects/flash_image.h"
#include "swf/objects/flash_movie.h"

namespace moviegen {

namespace {

// Enough for the backgrounds, borders and pictures of several large stages.
constexpr size_t kMaxBytes = size_t(64) << 20;

bool ReadKey(const std::string& path, TImageStore::TFileKey& key) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  key.Path = path;
  key.Device = uint64_t(st.st_dev);
  key.Inode = uint64_t(st.st_ino);
  key.Size = uint64_t(st.st_size);
  key.Modified = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  key.Changed = int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
  return true;
}

size_t ImageBytes(const swf::TFlashImage& image) {
  // The prepared data and the decoded pixels a BMP keeps.
  return image.DataStream().size() +
         (image.IsJPEG() ? 0 : size_t(image.ImageWidth()) * image.ImageHeight() * 4);
}

}  // namespace

struct TImageStore::TEntry {
  TFileKey Key;
  std::unique_ptr<swf::TFlashImage> Image;
};

TImageStore::TImageStore() = default;
TImageStore::~TImageStore() = default;

TImageStore& TImageStore::Shared() {
  static TImageStore store;
  return store;
}

swf::TFlashImage& TImageStore::Add(swf::TFlashMovie& movie, const std::string& path,
                                   std::vector<TFresh>& fresh) {
  TFileKey key;
  if (ReadKey(path, key)) {
    std::lock_guard lock(mutex_);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->Key.Path != path) continue;
      if (!(it->Key == key)) {
        bytes_ -= ImageBytes(*it->Image);
        entries_.erase(it);
        break;
      }
      entries_.splice(entries_.begin(), entries_, it);
      auto image = std::make_unique<swf::TFlashImage>(&movie);
      image->Assign(*it->Image);
      return movie.RegisterCharacter(std::move(image), movie.Images());
    }
  }
  swf::TFlashImage& image = movie.AddImage(path);
  if (!key.Path.empty()) fresh.push_back({key, &image});
  return image;
}

void TImageStore::Keep(const std::vector<TFresh>& fresh) {
  std::lock_guard lock(mutex_);
  for (const TFresh& f : fresh) {
    bool known = false;
    for (const TEntry& e : entries_) known |= e.Key.Path == f.Key.Path;
    if (known) continue;
    auto copy = std::make_unique<swf::TFlashImage>();
    copy->Assign(*f.Image);
    copy->SetOwner(nullptr);  // the movie goes when the build ends
    // Each build gives a picture its own transparency.
    if (std::vector<uint8_t>* alpha = copy->AlphaData()) alpha->clear();
    bytes_ += ImageBytes(*copy);
    entries_.push_front({f.Key, std::move(copy)});
  }
  while (bytes_ > kMaxBytes && entries_.size() > 1) {
    bytes_ -= ImageBytes(*entries_.back().Image);
    entries_.pop_back();
  }
}

size_t TImageStore::Count() const {
  std::lock_guard lock(mutex_);
  return entries_.size();
}

}  // namespace moviegen
