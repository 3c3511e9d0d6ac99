#pragma once
// TBasedSWFStream: the SWF container. It owns the tag stream (BodyStream)
// that MakeData fills and writes the header and the body, plain ("FWS") or
// zlib-compressed ("CWS").
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "swf/core/memory_stream.h"
#include "swf/core/records.h"

namespace swf {

class TBasedSWFStream;

// Sender, percent, stage (1: building the tag stream, 2: compressing).
using TProgressEvent = std::function<void(TBasedSWFStream&, int, uint8_t)>;

class TBasedSWFStream {
 public:
  TBasedSWFStream() = default;
  TBasedSWFStream(int32_t xMin, int32_t yMin, int32_t xMax, int32_t yMax, float fps, bool inPixels);
  virtual ~TBasedSWFStream() = default;
  TBasedSWFStream(const TBasedSWFStream&) = delete;
  TBasedSWFStream& operator=(const TBasedSWFStream&) = delete;

  virtual void MakeData() = 0;

  // Neither calls MakeData: the caller does.
  void SaveToStream(TMemoryStream& stream);
  std::vector<uint8_t> SaveToBytes();
  // Replaces the file only once the new one is completely written; throws
  // ESWFError when it cannot be written, leaving any old file as it was.
  void SaveToFile(const std::string& fileName);

  uint8_t Version() const { return version_; }
  void SetVersion(uint8_t version);
  bool Compressed() const { return compressed_; }
  void SetCompressed(bool compressed);
  bool CoordsInPixels() const { return coordsInPixels_; }
  void SetCoordsInPixels(bool inPixels);
  uint8_t CoordFactor() const { return coordFactor_; }
  float GetFPS() const;
  void SetFPS(float fps);
  uint16_t FPSWord() const { return fps_; }
  uint16_t FramesCount() const { return framesCount_; }
  static constexpr uint16_t kMaxFramesCount = 0xFFFF;
  uint32_t FileLength() const { return fileLength_; }
  const TSWFRectRec& MovieRect() const { return movieRect_; }
  uint32_t HeaderSize() const;

  TMemoryStream BodyStream;
  TProgressEvent OnProgress;

 protected:
  uint16_t framesCount_ = 0;

 private:
  void WriteHeaderTail(TMemoryStream& out) const;
  void WriteCompressed(TMemoryStream& stream);

  bool compressed_ = false;
  bool coordsInPixels_ = false;
  uint8_t coordFactor_ = 1;
  uint8_t version_ = 5;
  uint32_t fileLength_ = 0;
  TSWFRectRec movieRect_;  // Xmin = left, Ymin = top, Xmax = right, Ymax = bottom
  uint16_t fps_ = 0;
};

}  // namespace swf
