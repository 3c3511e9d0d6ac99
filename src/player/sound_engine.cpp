#include "player/sound_engine.h"

#include <algorithm>

#include "player/stream_source.h"

namespace player {
namespace {

constexpr size_t kChunkFrames = 1024;

}  // namespace

TSoundEngine::TSoundEngine(IAudioOutput* output) : output_(output) {
  if (output_) mixer_ = std::make_unique<TMixer>(output_->Rate());
}

TSoundEngine::~TSoundEngine() = default;

bool TSoundEngine::Active() const {
  return output_ && movie_ && output_->Working();
}

int64_t TSoundEngine::Heard() const {
  return written_ - int64_t(output_->Queued());
}

void TSoundEngine::SetMovie(std::shared_ptr<const TMovie> movie, bool looping) {
  StopAll();
  movie_ = std::move(movie);
  looping_ = looping && movie_ && movie_->FrameCount > 1;
  playing_ = true;
  frame_ = 0;
}

void TSoundEngine::StopAll() {
  if (!output_) return;
  mixer_->Clear();
  stream_ = nullptr;
  written_ -= int64_t(output_->Queued());
  output_->Flush();
}

void TSoundEngine::Pump() {
  if (!Active()) return;
  if (stream_ && StreamDone()) StopStream();
  if (const int64_t heard = Heard() - streamStart_; stream_ && heard > 0)
    stream_->ForgetBefore(mixer_->Stream()->SourcePosition(uint64_t(heard)));
  // Nothing is written while all is silent, so a new sound starts at once.
  for (size_t room = output_->Room(); room > 0 && !mixer_->Silent();) {
    const size_t n = std::min(room, kChunkFrames);
    buffer_.resize(n * 2);
    mixer_->Mix(buffer_.data(), n);
    if (muted_) std::fill(buffer_.begin(), buffer_.end(), int16_t(0));
    output_->Write(buffer_.data(), n);
    written_ += int64_t(n);
    room -= n;
  }
}

bool TSoundEngine::StreamDone() const {
  const TVoice* voice = mixer_->Stream();
  return voice->Ended() && Heard() >= streamStart_ + int64_t(voice->Produced());
}

std::optional<uint32_t> TSoundEngine::StreamFrame() const {
  if (!Active() || !stream_ || StreamDone()) return std::nullopt;
  const int64_t heard = Heard() - streamStart_;
  if (heard < 0) return stream_->FrameAt(0);  // what went before the stream is still heard
  return stream_->FrameAt(mixer_->Stream()->SourcePosition(uint64_t(heard)));
}

bool TSoundEngine::Silent() const {
  return !Active() || (mixer_->Silent() && output_->Queued() == 0);
}

void TSoundEngine::StartStream(uint32_t frame) {
  auto source = std::make_unique<TStreamSource>(*movie_->StreamSound, movie_->FrameCount, frame,
                                                looping_);
  stream_ = source.get();
  mixer_->SetStream(std::make_unique<TVoice>(std::move(source), mixer_->Rate(), 0, 1));
  streamStart_ = written_;
}

void TSoundEngine::StopStream() {
  mixer_->SetStream(nullptr);
  stream_ = nullptr;
}

void TSoundEngine::FrameShown(uint32_t frame, bool continuous) {
  frame_ = frame;
  if (!Active() || !movie_->StreamSound) return;
  if (continuous) {
    if (stream_) return;  // the stream goes on by itself
    // A stream that ran out starts again where the movie has a block again.
    if (!playing_ || !movie_->StreamSound->Block(frame)) return;
  }
  if (playing_)
    StartStream(frame);
  else
    StopStream();
}

void TSoundEngine::StartSound(const TSoundStart& start) {
  if (!Active()) return;
  if (start.Stop) {
    mixer_->StopSound(start.SoundID);
    return;
  }
  if (start.NoMultiple && mixer_->IsPlaying(start.SoundID)) return;
  const TCharacter* c = movie_->Find(start.SoundID);
  if (!c || c->Kind != TCharacterKind::Sound) return;
  std::unique_ptr<TSampleSource> source = MakeSoundSource(static_cast<const TSoundCharacter&>(*c));
  if (!source) return;
  mixer_->Add(std::make_unique<TVoice>(std::move(source), mixer_->Rate(), start.SoundID, start.Loops));
}

void TSoundEngine::PlayingChanged(bool playing) {
  playing_ = playing;
  if (!Active() || !movie_->StreamSound) return;
  if (playing)
    StartStream(frame_);
  else
    StopStream();
}

}  // namespace player
