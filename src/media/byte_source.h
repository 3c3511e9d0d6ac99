#pragma once
// Random-access, read-only byte sources for the media readers. The readers
// take their input through this seam so that a file on disk, a memory buffer
// (tests, fuzzing) and a file shared by two sound characters read alike.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace media {

class TByteSource {
 public:
  virtual ~TByteSource() = default;
  virtual uint64_t Size() const = 0;
  // Reads up to Count bytes at Offset; returns how many were read, fewer only
  // at the end of the data. Throws TMediaError on an input/output error.
  virtual size_t ReadAt(uint64_t Offset, void* Buffer, size_t Count) const = 0;
};

// A view of bytes the caller keeps alive.
class TMemorySource final : public TByteSource {
 public:
  explicit TMemorySource(std::span<const uint8_t> Data) : Data_(Data) {}
  uint64_t Size() const override { return Data_.size(); }
  size_t ReadAt(uint64_t Offset, void* Buffer, size_t Count) const override;

 private:
  std::span<const uint8_t> Data_;
};

// A file opened read-only for the life of the object. Reads are positioned
// (pread), so several users may share one open file without a shared cursor.
class TFileSource final : public TByteSource {
 public:
  // Throws TMediaError naming the file when it cannot be opened.
  explicit TFileSource(const std::string& FileName);
  ~TFileSource() override;
  TFileSource(const TFileSource&) = delete;
  TFileSource& operator=(const TFileSource&) = delete;

  // nullptr instead of an error when the file cannot be opened.
  static std::unique_ptr<TFileSource> TryOpen(const std::string& FileName);

  const std::string& FileName() const { return FileName_; }
  uint64_t Size() const override { return Size_; }
  size_t ReadAt(uint64_t Offset, void* Buffer, size_t Count) const override;

 private:
  struct TNoThrow {};
  TFileSource(const std::string& FileName, TNoThrow);

  std::string FileName_;
  int Fd_ = -1;
  uint64_t Size_ = 0;
};

}  // namespace media
