#pragma once
// The sound device through Qt Multimedia: a QAudioSink written from the GUI
// thread (push mode), about 100 ms ahead. A machine without a device, or a
// device that cannot be opened, fails or stops playing, gives silence and
// one warning, never an error or a wait.
#include <QElapsedTimer>
#include <memory>

#include "player/audio_output.h"

class QAudioSink;
class QIODevice;

namespace player {

class TQtAudioOutput : public IAudioOutput {
 public:
  TQtAudioOutput();
  ~TQtAudioOutput() override;

  int Rate() const override { return rate_; }
  size_t Room() override;
  void Write(const int16_t* frames, size_t count) override;
  size_t Queued() override;
  void Flush() override;
  bool Working() override;

 private:
  void Open();
  void Fail(const char* why);
  bool Stalled();

  std::unique_ptr<QAudioSink> sink_;
  QIODevice* io_ = nullptr;
  int rate_ = 44100;
  bool failed_ = false;
  qint64 lastProcessed_ = -1;
  QElapsedTimer sinceProgress_;
};

}  // namespace player
