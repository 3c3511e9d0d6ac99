#pragma once
// The selection outline with its handles, drawn over the canvas player from
// the editor's selection: the movie shows the object with its own colours,
// and the outline lies above it. It takes no pointer input.
#include <QWidget>
#include <vector>

#include "editor/object_box.h"

namespace gui {

class TSelectionOverlay : public QWidget {
  Q_OBJECT

 public:
  // `stage` is the player, a sibling: the outlines are in its pixels.
  TSelectionOverlay(QWidget* parent, QWidget* stage);
  void ShowOutlines(const std::vector<editor::TOutline>& outlines);

  // The handles' side in pixels.
  static constexpr int kHandle = 6;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QWidget* stage_;
  std::vector<editor::TOutline> outlines_;
};

}  // namespace gui
