#include "player/qt_audio_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <QtDebug>
#include <atomic>

namespace player {
namespace {

constexpr int kBufferMs = 100;
// Queued sound that is not played for this long means a stalled device.
constexpr qint64 kStallMs = 1000;

// One warning a program run: a preview opened again says nothing new.
void WarnOnce(const char* why) {
  static std::atomic<bool> warned{false};
  if (!warned.exchange(true)) qWarning("vellumet: no sound: %s", why);
}

}  // namespace

TQtAudioOutput::TQtAudioOutput() {
  Open();
}

TQtAudioOutput::~TQtAudioOutput() {
  if (sink_) sink_->stop();
}

void TQtAudioOutput::Open() {
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  if (device.isNull()) return Fail("the machine has no sound device");
  QAudioFormat format;
  format.setSampleRate(44100);
  format.setChannelCount(2);
  format.setSampleFormat(QAudioFormat::Int16);
  if (!device.isFormatSupported(format)) {
    format.setSampleRate(device.preferredFormat().sampleRate());
    if (!device.isFormatSupported(format))
      return Fail("the sound device takes no 16-bit stereo sound");
  }
  rate_ = format.sampleRate();
  sink_ = std::make_unique<QAudioSink>(device, format);
  sink_->setBufferSize(qsizetype(rate_) * 4 * kBufferMs / 1000);
  io_ = sink_->start();
  if (!io_ || sink_->error() != QAudio::NoError) Fail("the sound device cannot be opened");
}

void TQtAudioOutput::Fail(const char* why) {
  failed_ = true;
  WarnOnce(why);
  if (sink_) sink_->stop();
  io_ = nullptr;
}

size_t TQtAudioOutput::Room() {
  return Working() ? size_t(sink_->bytesFree()) / 4 : 0;
}

void TQtAudioOutput::Write(const int16_t* frames, size_t count) {
  if (Working()) io_->write(reinterpret_cast<const char*>(frames), qint64(count) * 4);
}

size_t TQtAudioOutput::Queued() {
  if (!Working()) return 0;
  return size_t(std::max<qsizetype>(sink_->bufferSize() - sink_->bytesFree(), 0)) / 4;
}

void TQtAudioOutput::Flush() {
  if (!Working()) return;
  sink_->reset();
  io_ = sink_->start();
  lastProcessed_ = -1;
  if (!io_) Fail("the sound device cannot be opened");
}

bool TQtAudioOutput::Working() {
  if (failed_) return false;
  const QAudio::Error error = sink_->error();
  if (error == QAudio::OpenError || error == QAudio::IOError || error == QAudio::FatalError) {
    Fail("the sound device failed");
    return false;
  }
  if (Stalled()) {
    Fail("the sound device does not play");
    return false;
  }
  return true;
}

// Sound waiting in the buffer while the device's count stands still.
bool TQtAudioOutput::Stalled() {
  const qint64 processed = sink_->processedUSecs();
  const bool waiting = sink_->bytesFree() < sink_->bufferSize();
  if (processed != lastProcessed_ || !waiting) {
    lastProcessed_ = processed;
    sinceProgress_.start();
    return false;
  }
  return sinceProgress_.elapsed() > kStallMs;
}

}  // namespace player
