#include "gui/onion_skin.h"

#include <QPainter>

#include "editor/editor.h"
#include "gui/frame_pictures.h"
#include "player/player_widget.h"

namespace gui {

void TOnionSkin::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Show();
}

void TOnionSkin::SetCount(int count) {
  count = std::clamp(count, 1, editor::kMaxOnionFrames);
  if (count == count_) return;
  count_ = count;
  Show();
}

const QImage& TOnionSkin::Picture(int32_t frame, bool earlier) {
  const project::TProjectDocument& doc = editor_.Doc();
  editor::TFramePicture picture = editor::FramePicture(doc, frame);
  TNeighbour& n = pictures_[frame];
  if (n.Picture == picture && n.Earlier == earlier && !n.Image.isNull()) return n.Image;
  n.Earlier = earlier;
  try {
    n.Image = RenderTintedObjects(BuildFrameMovie(editor::DocumentPlace(doc), picture),
                                  earlier ? editor::kEarlierTint : editor::kLaterTint);
  } catch (...) {
    // A frame that cannot be built shows nothing here; its own build says why.
    n.Image = QImage();
  }
  n.Picture = std::move(picture);
  return n.Image;
}

void TOnionSkin::Show() {
  if (!enabled_) {
    if (shown_) player_.SetUnderlay(0, {});
    shown_ = false;
    pictures_.clear();
    return;
  }
  const project::TProjectDocument& doc = editor_.Doc();
  const int32_t current = doc.CurrentFrame;
  std::vector<editor::TOnionLayer> layers = editor::OnionLayers(current, doc.FrameCount, count_);
  std::map<int32_t, QImage> images;
  std::vector<std::pair<int32_t, qint64>> shown;
  for (const editor::TOnionLayer& layer : layers) {
    const QImage& image = Picture(layer.Frame, layer.Earlier);
    images[layer.Frame] = image;
    shown.emplace_back(layer.Frame, image.cacheKey());
  }
  const uint16_t depth = editor::FrameDepths(doc, current).Background;
  if (shown_ && shown == shownKeys_ && depth == depth_) return;
  shownKeys_ = std::move(shown);
  std::erase_if(pictures_, [&](const auto& p) { return !images.count(p.first); });
  depth_ = depth;
  shown_ = true;
  player_.SetUnderlay(depth, [layers, images = std::move(images)](QPainter& painter) {
    for (const editor::TOnionLayer& layer : layers) {
      const QImage& image = images.at(layer.Frame);
      if (image.isNull()) continue;
      painter.setOpacity(layer.Opacity);
      painter.drawImage(QRectF(painter.window()), image);
    }
    painter.setOpacity(1);
  });
}

}  // namespace gui
