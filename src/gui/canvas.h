#pragma once
// The canvas: the area in the site colour that holds the object palette at
// its left edge and the player showing the current frame at 1:1, centred in
// the room right of the palette. It is the editor's player and reports the
// pointer to the editor in stage pixels.
#include <QWidget>
#include <vector>

#include "editor/interfaces.h"
#include "editor/object_box.h"

namespace player {
class TPlayerWidget;
}

namespace gui {

class TPaletteStrip;
class TSelectionOverlay;

class TCanvas : public QWidget, public editor::IPlayer {
  Q_OBJECT

 public:
  explicit TCanvas(QWidget* parent = nullptr);
  player::TPlayerWidget* Player() const { return player_; }
  TPaletteStrip* Palette() const { return palette_; }
  void SetSiteColor(QRgb rgb);
  int PaletteWidth() const;
  // The selected objects' outlines, in stage pixels, over the player.
  void ShowSelection(const std::vector<editor::TOutline>& outlines);

  // editor::IPlayer
  void LoadMovie(const std::vector<uint8_t>& swf) override;
  void SetBackgroundColor(uint32_t rgb) override;
  void GotoFrame(int32_t frame) override;
  void SetStageSize(int32_t width, int32_t height) override;
  void Refresh() override;

 signals:
  // Pointer events in stage pixels on the player, and on the area around it.
  void stageMoved(int x, int y);
  void stagePressed(int x, int y);
  void released();
  void areaMoved();
  void areaPressed();
  // Files dropped on the canvas, with the drop point in stage pixels.
  void filesDropped(const QStringList& paths, int x, int y);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void PlacePlayer();

  TPaletteStrip* palette_;
  player::TPlayerWidget* player_;
  TSelectionOverlay* overlay_;
  QSize stage_{468, 60};
};

}  // namespace gui
