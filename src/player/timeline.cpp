#include "player/timeline.h"

#include <algorithm>

namespace player {
namespace {

constexpr int kMaxNesting = 8;

// Button condition bits (TButtonCondAction::Conditions).
enum : int {
  condIdleToOverUp = 0,
  condOverUpToIdle = 1,
  condOverUpToOverDown = 2,
  condOverDownToOverUp = 3,
  condOutDownToOverDown = 4,
  condOverDownToOutDown = 5,
  condOutDownToIdle = 6,
};

// The button sound of a transition (TButtonCharacter::Sounds), or -1.
int TransitionSound(int condition) {
  switch (condition) {
    case condOverUpToIdle:
      return 0;
    case condIdleToOverUp:
      return 1;
    case condOverUpToOverDown:
      return 2;
    case condOverDownToOverUp:
      return 3;
    default:
      return -1;
  }
}

bool ShapeContains(const TShape& shape, TPointD p) {
  for (const TShapeLayer& layer : shape.Layers) {
    for (const TStyledPath& fill : layer.FillPaths)
      if (WindingNumber(fill.Path, p) != 0) return true;
    for (const TStyledPath& line : layer.LinePaths)
      if (NearOutline(line.Path, p, std::max(10.0, layer.Lines[line.Style].Width / 2.0)))
        return true;
  }
  return false;
}

}  // namespace

TTimeline::TTimeline(std::shared_ptr<const TMovie> movie) : movie_(std::move(movie)) {
  ShowFrame(0);
}

// A movie may remove and place its objects anew in every frame: the same
// button placed again at the same depth is the button the pointer is on,
// and keeps its state (over, pressed) instead of falling back to up.
void TTimeline::ShowFrame(uint32_t frame) {
  frame = std::min(frame, movie_->FrameCount - 1);
  const std::optional<uint16_t> heldDepth = pressed_ ? pressed_ : over_;
  std::optional<TPlacedObject> held;
  if (heldDepth)
    if (const TPlacedObject* object = list_.Find(*heldDepth)) held = *object;
  const auto& frames = movie_->Frames;
  uint32_t from = frame_ + 1;
  if (frame <= frame_) {  // backwards (or again): from an empty list
    list_.Clear();
    from = 0;
  }
  auto it = std::lower_bound(frames.begin(), frames.end(), from,
                             [](const TFrameContent& c, uint32_t f) { return c.Frame < f; });
  for (; it != frames.end() && it->Frame <= frame; ++it)
    for (const TDisplayOp& op : it->Ops) list_.Apply(op);
  frame_ = frame;
  TPlacedObject* again = heldDepth ? list_.Find(*heldDepth) : nullptr;
  if (again && held && again->CharacterID == held->CharacterID) {
    again->Mouse = held->Mouse;
  } else {
    over_.reset();
    pressed_.reset();
  }
}

void TTimeline::EnterFrame(uint32_t frame, bool continuous) {
  ShowFrame(frame);
  StartFrameSounds(continuous);
}

void TTimeline::StartFrameSounds(bool continuous) {
  if (!Sounds) return;
  Sounds->FrameShown(frame_, continuous);
  if (const TFrameContent* content = movie_->Content(frame_))
    for (const TSoundStart& start : content->Sounds) Sounds->StartSound(start);
}

void TTimeline::SetPlaying(bool playing) {
  if (playing == playing_) return;
  playing_ = playing;
  if (Sounds) Sounds->PlayingChanged(playing);
}

void TTimeline::Start() {
  StartFrameSounds(false);
  RunFrameActions(0);
}

void TTimeline::GotoFrame(uint32_t frame) {
  if (frame == frame_) return;
  ShowFrame(frame);
  if (Sounds) Sounds->FrameShown(frame_, false);
}

void TTimeline::Advance() {
  if (!playing_) return;
  if (frame_ + 1 < movie_->FrameCount) {
    EnterFrame(frame_ + 1, true);
  } else if (Looping && movie_->FrameCount > 1) {
    EnterFrame(0, true);
  } else {
    SetPlaying(false);
    return;
  }
  RunFrameActions(0);
}

void TTimeline::RunFrameActions(int nesting) {
  if (const TFrameContent* content = movie_->Content(frame_)) RunActions(content->Actions, nesting);
}

void TTimeline::RunActions(const TActionList& actions, int nesting) {
  jumped_ = false;
  for (const TAction& a : actions) {
    switch (a.Kind) {
      case TAction::Stop:
        SetPlaying(false);
        break;
      case TAction::Play:
        SetPlaying(true);
        break;
      case TAction::NextFrame:
        SetPlaying(false);
        EnterFrame(frame_ + 1, false);
        break;
      case TAction::PreviousFrame:
        SetPlaying(false);
        EnterFrame(frame_ > 0 ? frame_ - 1 : 0, false);
        break;
      case TAction::GotoFrame:
        EnterFrame(a.Frame, false);
        jumped_ = true;
        break;
      case TAction::GotoLabel:
        if (int f = movie_->FindLabel(a.Label); f >= 0) {
          EnterFrame(uint32_t(f), false);
          jumped_ = true;
        }
        break;
      case TAction::GetURL:
        if (OnGetURL) OnGetURL(a.URL, a.Target);
        break;
      case TAction::Other:
        break;
    }
  }
  // A jump enters its frame: that frame's actions run too (bounded, since
  // two frames may jump to each other).
  if (jumped_ && nesting < kMaxNesting) RunFrameActions(nesting + 1);
}

const TButtonCharacter* TTimeline::ButtonOf(const TPlacedObject& object) const {
  const TCharacter* c = movie_->Find(object.CharacterID);
  return c && c->Kind == TCharacterKind::Button ? static_cast<const TButtonCharacter*>(c) : nullptr;
}

bool TTimeline::CharacterContains(uint16_t id, const TMatrix& matrix, TPointD p) const {
  const TCharacter* c = movie_->Find(id);
  if (!c) return false;
  TMatrix inverse;
  if (!matrix.Invert(inverse)) return false;
  const TPointD local = inverse.Map(p);
  switch (c->Kind) {
    case TCharacterKind::Shape:
      return ShapeContains(static_cast<const TShapeCharacter*>(c)->Shape, local);
    case TCharacterKind::Text: {
      const TRectD& b = static_cast<const TTextCharacter*>(c)->Bounds;
      TMatrix textInverse;
      if (!static_cast<const TTextCharacter*>(c)->Matrix.Invert(textInverse)) return false;
      const TPointD t = textInverse.Map(local);
      return t.X >= b.Xmin && t.X <= b.Xmax && t.Y >= b.Ymin && t.Y <= b.Ymax;
    }
    default:
      return false;  // a button inside a button is not drawn, so not hit either
  }
}

bool TTimeline::HitTest(const TButtonCharacter& button, const TMatrix& matrix, TPointD p) const {
  for (const TButtonRecord& r : button.Records)
    if ((r.States & bsHitTest) && CharacterContains(r.CharacterID, matrix * r.Matrix, p))
      return true;
  return false;
}

std::optional<uint16_t> TTimeline::ButtonAt(TPointD p) const {
  const auto& objects = list_.Objects();
  for (auto it = objects.rbegin(); it != objects.rend(); ++it)
    if (const TButtonCharacter* b = ButtonOf(it->second); b && HitTest(*b, it->second.Matrix, p))
      return it->first;
  return std::nullopt;
}

void TTimeline::SetMouse(uint16_t depth, TButtonMouse state, int condition) {
  TPlacedObject* object = list_.Find(depth);
  if (!object || object->Mouse == state) return;
  object->Mouse = state;
  list_.Touch();
  if (const TButtonCharacter* b = ButtonOf(*object)) {
    if (const int sound = TransitionSound(condition); sound >= 0 && Sounds && b->Sounds[sound].SoundID)
      Sounds->StartSound(b->Sounds[sound]);
    const TActionList* run = nullptr;
    for (const TButtonCondAction& c : b->Actions)
      if (c.Conditions & (1u << condition)) run = &c.Actions;
    if (run) RunActions(*run);
  }
}

void TTimeline::PointerMove(TPointD p) {
  const std::optional<uint16_t> hit = ButtonAt(p);
  if (pressed_) {
    const bool inside = hit == pressed_;
    const TPlacedObject* object = list_.Find(*pressed_);
    if (object && inside && object->Mouse == TButtonMouse::OutDown)
      SetMouse(*pressed_, TButtonMouse::OverDown, condOutDownToOverDown);
    else if (object && !inside && object->Mouse == TButtonMouse::OverDown)
      SetMouse(*pressed_, TButtonMouse::OutDown, condOverDownToOutDown);
    over_ = inside ? pressed_ : std::nullopt;
    return;
  }
  if (hit == over_) return;
  if (over_) SetMouse(*over_, TButtonMouse::Idle, condOverUpToIdle);
  over_ = hit;
  if (over_) SetMouse(*over_, TButtonMouse::OverUp, condIdleToOverUp);
}

void TTimeline::PointerDown(TPointD p) {
  PointerMove(p);
  if (!over_) return;
  pressed_ = over_;
  SetMouse(*pressed_, TButtonMouse::OverDown, condOverUpToOverDown);
}

void TTimeline::PointerUp(TPointD p) {
  PointerMove(p);
  if (pressed_) {
    const uint16_t depth = *pressed_;
    pressed_.reset();
    if (const TPlacedObject* object = list_.Find(depth)) {
      if (object->Mouse == TButtonMouse::OverDown)
        SetMouse(depth, TButtonMouse::OverUp, condOverDownToOverUp);
      else if (object->Mouse == TButtonMouse::OutDown)
        SetMouse(depth, TButtonMouse::Idle, condOutDownToIdle);
    }
  }
  over_.reset();
  PointerMove(p);
}

}  // namespace player
