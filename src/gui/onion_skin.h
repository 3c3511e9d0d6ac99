#pragma once
// The onion skin: the neighbouring frames drawn faintly on the canvas, tinted
// (earlier and later in different tints), over the current frame's background
// and under its objects. Only the canvas shows it; it never enters a build.
// The neighbours' pictures are kept while their frames stay the same, so a
// repaint only lays the kept pictures down.
#include <QImage>
#include <map>
#include <utility>
#include <vector>

#include "editor/frame_view.h"

namespace editor {
class TEditor;
}
namespace player {
class TPlayerWidget;
}

namespace gui {

class TOnionSkin {
 public:
  TOnionSkin(editor::TEditor& editor, player::TPlayerWidget& player)
      : editor_(editor), player_(player) {}
  void SetEnabled(bool enabled);
  bool Enabled() const { return enabled_; }
  // Frames each side, 1..3.
  void SetCount(int count);
  int Count() const { return count_; }
  // Follows the document and the current frame.
  void Show();

 private:
  struct TNeighbour {
    editor::TFramePicture Picture;
    bool Earlier = false;
    QImage Image;
  };
  const QImage& Picture(int32_t frame, bool earlier);

  editor::TEditor& editor_;
  player::TPlayerWidget& player_;
  bool enabled_ = false;
  int count_ = 2;
  bool shown_ = false;
  // The frames and pictures the canvas shows, to repaint only when they change.
  std::vector<std::pair<int32_t, qint64>> shownKeys_;
  uint16_t depth_ = 0;
  std::map<int32_t, TNeighbour> pictures_;
};

}  // namespace gui
