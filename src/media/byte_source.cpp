#include "media/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "media/media_error.h"

namespace media {

size_t TMemorySource::ReadAt(uint64_t Offset, void* Buffer, size_t Count) const {
  if (Offset >= Data_.size()) return 0;
  const size_t n = std::min<uint64_t>(Count, Data_.size() - Offset);
  if (n > 0) std::memcpy(Buffer, Data_.data() + Offset, n);
  return n;
}

TFileSource::TFileSource(const std::string& FileName, TNoThrow) : FileName_(FileName) {
  Fd_ = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (Fd_ < 0) return;
  struct stat st {};
  // A folder opens read-only too; only regular files (or devices) are sources.
  if (::fstat(Fd_, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(Fd_);
    Fd_ = -1;
    return;
  }
  Size_ = st.st_size > 0 ? uint64_t(st.st_size) : 0;
}

TFileSource::TFileSource(const std::string& FileName) : TFileSource(FileName, TNoThrow{}) {
  if (Fd_ < 0) throw TMediaError("The file \"" + FileName + "\" cannot be opened.");
}

TFileSource::~TFileSource() {
  if (Fd_ >= 0) ::close(Fd_);
}

std::unique_ptr<TFileSource> TFileSource::TryOpen(const std::string& FileName) {
  std::unique_ptr<TFileSource> file(new TFileSource(FileName, TNoThrow{}));
  if (file->Fd_ < 0) return nullptr;
  return file;
}

size_t TFileSource::ReadAt(uint64_t Offset, void* Buffer, size_t Count) const {
  auto* out = static_cast<uint8_t*>(Buffer);
  // Offsets come from file contents; one past what off_t holds reads nothing.
  if (Offset > uint64_t(INT64_MAX) - Count) return 0;
  size_t done = 0;
  while (done < Count) {
    const ssize_t got = ::pread(Fd_, out + done, Count - done, off_t(Offset + done));
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      throw TMediaError("The file \"" + FileName_ + "\" cannot be read: " + std::strerror(errno) +
                        ".");
    }
    done += size_t(got);
  }
  return done;
}

}  // namespace media
