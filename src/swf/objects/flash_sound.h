#pragma once
// TFlashSound: the sound character. It learns a WAV or MP3 file's format
// through the wave reader, keeps the file open and copies the sound data
// straight from it into the movie: as an event sound (DefineSound) or as a
// stream (a stream head, then one SoundStreamBlock before each frame).
#include <cstdint>
#include <memory>
#include <string>

#include "swf/core/memory_stream.h"
#include "swf/objects/flash_object.h"

namespace media {
class TFileSource;
}

namespace swf {

class TSWFSoundStreamHead;

class TFlashSound : public TFlashIDObject {
 public:
  // Loads the file when one of that name exists; otherwise the sound has no data.
  TFlashSound(TFlashMovie* owner, const std::string& fileName);
  ~TFlashSound() override;

  // Analyses the file and keeps it open. Throws (media::TMediaError) when the
  // file cannot be analysed or opened; the sound is then unchanged.
  void LoadFromFile(const std::string& fileName);

  // Copies every field; the copy shares the open data file, which is closed
  // when the last sound using it is gone.
  void Assign(const TBasedSWFObject& source) override;
  int MinVersion() const override;
  // Writes the DefineSound tag.
  void WriteToStream(TBitsEngine& be) override;

  // Fills a stream head for fps frames per second and restarts the stream.
  void FillStreamHead(TSWFSoundStreamHead& head, float fps);
  // Writes the next SoundStreamBlock (nothing once the data is used up).
  void WriteStreamBlock(TBitsEngine& be);

  bool HasDataFile() const { return dataFile_ != nullptr; }

  int32_t DataOffset = 0;
  int32_t DataSize = 0;
  bool Loop = false;
  uint8_t SoundFormat = 0;  // 0 uncompressed, 1 ADPCM, 2 MP3
  uint8_t SoundRate = 0;    // 0 5.5 kHz, 1 11 kHz, 2 22 kHz, 3 44 kHz
  uint16_t SampleRate = 0;
  uint8_t BitsPerSample = 0;
  bool Is16Bit = false;
  bool Stereo = false;
  int32_t SampleCount = 0;
  uint16_t SeekSamples = 0;
  double Duration = 0;
  // MPEG frame figures (MP3 data only).
  uint16_t SamplesPerFrame = 0, FrameSize = 0, FrameCount = 0, BitRate = 0;

  // Stream state.
  uint16_t SamplesPerBlock() const { return samplesPerBlock_; }
  int32_t BlockSize() const { return blockSize_; }
  uint16_t BlockCount() const { return blockCount_; }
  int32_t CurrentSeek() const { return currentSeek_; }

 private:
  void WriteSoundData(TBitsEngine& be);
  void WriteUncompressedBlock(TMemoryStream& out);
  void WriteMP3Block(TMemoryStream& out);
  // Appends count bytes of the data from the file position on; bytes the file
  // does not have (past the data, or a read error) are written as zeros.
  void CopyData(TMemoryStream& out, int64_t count, bool ignoreErrors);
  // Appends count bytes, starting again at the data start whenever the data runs out.
  void CopyLooping(TMemoryStream& out, int64_t count);
  int64_t DataEnd() const { return int64_t(DataOffset) + DataSize; }

  std::shared_ptr<media::TFileSource> dataFile_;
  int64_t filePosition_ = 0;

  uint16_t samplesPerBlock_ = 0;
  int32_t blockSize_ = 0;
  int32_t readPosition_ = 0;
  uint16_t blockCount_ = 0;
  int32_t samplesWritten_ = 0;
  int32_t framesWritten_ = 0;
  int32_t currentSeek_ = 0;
};

}  // namespace swf
