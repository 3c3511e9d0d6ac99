#include "player/movie.h"

#include <algorithm>
#include <cmath>

namespace player {

int TMovie::StageWidthPixels() const {
  return int(std::lround((Stage.Xmax - Stage.Xmin) / 20));
}
int TMovie::StageHeightPixels() const {
  return int(std::lround((Stage.Ymax - Stage.Ymin) / 20));
}

const TCharacter* TMovie::Find(uint16_t id) const {
  auto it = Characters.find(id);
  return it == Characters.end() ? nullptr : it->second.get();
}

const TFrameContent* TMovie::Content(uint32_t frame) const {
  auto it = std::lower_bound(Frames.begin(), Frames.end(), frame,
                             [](const TFrameContent& c, uint32_t f) { return c.Frame < f; });
  return it != Frames.end() && it->Frame == frame ? &*it : nullptr;
}

const TStreamBlock* TStreamSound::Block(uint32_t frame) const {
  auto it = std::lower_bound(Blocks.begin(), Blocks.end(), frame,
                             [](const TStreamBlock& b, uint32_t f) { return b.Frame < f; });
  return it != Blocks.end() && it->Frame == frame ? &*it : nullptr;
}

int TMovie::FindLabel(const std::string& label) const {
  for (const TFrameContent& c : Frames)
    if (!c.Label.empty() && c.Label == label) return int(c.Frame);
  return -1;
}

}  // namespace player
