#pragma once
// The timeline: plays a movie's frames on a display list, runs the frame
// and button actions (Stop, Play, GotoFrame, NextFrame, PreviousFrame,
// GotoLabel, GetURL) and follows the pointer over buttons. Plain C++: the
// widget drives it with ticks and pointer positions in stage twips.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "player/display_list.h"
#include "player/movie.h"

namespace player {

// What the timeline tells whoever plays its sounds (sound_engine.h).
class ITimelineSounds {
 public:
  virtual ~ITimelineSounds() = default;
  // A frame is shown: by playing on to the next one (continuous; from the
  // last back to the first too), or by a start, a jump or the host's GotoFrame.
  virtual void FrameShown(uint32_t frame, bool continuous) = 0;
  // A StartSound of the frame entered, or a button transition's sound.
  virtual void StartSound(const TSoundStart& start) = 0;
  virtual void PlayingChanged(bool playing) = 0;
};

class TTimeline {
 public:
  // Shows frame 0; its actions wait for Start, so the host can set OnGetURL first.
  explicit TTimeline(std::shared_ptr<const TMovie> movie);
  // Starts frame 0's sounds and runs its actions, as a player does when a
  // movie starts.
  void Start();

  const TMovie& Movie() const { return *movie_; }
  std::shared_ptr<const TMovie> MoviePtr() const { return movie_; }
  const TDisplayList& DisplayList() const { return list_; }
  uint32_t CurrentFrame() const { return frame_; }
  bool Playing() const { return playing_; }

  void Play() { SetPlaying(true); }
  void Stop() { SetPlaying(false); }
  // Shows the 0-based frame (clamped to the last one); runs no actions and
  // leaves playing as it is, like the host's GotoFrame of the Flash control.
  void GotoFrame(uint32_t frame);
  // One tick of playback: while playing, the next frame (from the last one
  // back to the first when Looping) and its actions.
  void Advance();

  // Pointer in stage twips.
  void PointerMove(TPointD p);
  void PointerDown(TPointD p);
  void PointerUp(TPointD p);
  // The pointer is over a button (the host shows a hand).
  bool OverButton() const { return over_.has_value(); }
  // Depth of the topmost button whose hit area holds p.
  std::optional<uint16_t> ButtonAt(TPointD p) const;

  bool Looping = true;
  // GetURL from a frame or a button: (url, target), both UTF-8.
  std::function<void(const std::string&, const std::string&)> OnGetURL;
  // Hears about frames, sounds and playing; set before Start.
  ITimelineSounds* Sounds = nullptr;

 private:
  void ShowFrame(uint32_t frame);
  // Shows the frame and starts its sounds (playing on, or a jump of an action).
  void EnterFrame(uint32_t frame, bool continuous);
  // Tells Sounds the current frame is shown and starts its sounds.
  void StartFrameSounds(bool continuous);
  void SetPlaying(bool playing);
  void RunActions(const TActionList& actions, int nesting = 0);
  void RunFrameActions(int nesting);
  void SetMouse(uint16_t depth, TButtonMouse state, int condition);
  const TButtonCharacter* ButtonOf(const TPlacedObject& object) const;
  bool HitTest(const TButtonCharacter& button, const TMatrix& matrix, TPointD p) const;
  bool CharacterContains(uint16_t id, const TMatrix& matrix, TPointD p) const;

  std::shared_ptr<const TMovie> movie_;
  TDisplayList list_;
  uint32_t frame_ = 0;
  bool playing_ = true;
  bool jumped_ = false;
  std::optional<uint16_t> over_;     // button under the pointer
  std::optional<uint16_t> pressed_;  // button that took the press
};

}  // namespace player
