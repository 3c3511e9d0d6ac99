#pragma once
// The renderer: paints a display list with QPainter, antialiased, through
// any transform. Every QPainter call of the player lives in renderer.cpp;
// the paths and images it builds are cached per movie, and the decoded
// images of earlier movies are kept by their content for the next ones.
#include <QImage>
#include <QPainterPath>
#include <QTransform>
#include <list>
#include <memory>
#include <optional>
#include <set>
#include <unordered_map>
#include <vector>

#include "player/display_list.h"
#include "player/movie.h"

class QPainter;
class QBrush;

namespace player {

class TRenderer {
 public:
  // Drops the caches of the previous movie, except its decoded images: the
  // editor loads a new build of its frame after every edit, mostly with the
  // same pictures, and decoding them again would be most of its paint.
  void SetMovie(std::shared_ptr<const TMovie> movie);
  const TMovie* Movie() const { return movie_.get(); }

  // Paints the objects of the list at depths from `lowest` to `highest`;
  // twipsToDevice maps stage twips onto the painter's device. The background
  // is the caller's.
  void Paint(QPainter& painter, const TDisplayList& list, const QTransform& twipsToDevice,
             uint16_t lowest = 0, uint16_t highest = 0xFFFF);
  // The bitmaps met while painting that could not be decoded (damaged data),
  // so a caller can say why a picture is missing.
  const std::set<uint16_t>& UndrawableBitmaps() const { return undrawable_; }

 private:
  struct TShapePaths {
    std::vector<std::vector<QPainterPath>> Fills, Lines;  // per layer, per styled path
    std::vector<std::vector<QPainterPath>> Strokes;       // outlines of Lines, made on first use
  };

  void DrawCharacter(QPainter& painter, uint16_t id, const QTransform& world,
                     const TColorTransform& cx, uint8_t buttonState, int nesting);
  void DrawShape(QPainter& painter, const TShape& shape, const QTransform& world,
                 const TColorTransform& cx);
  void DrawText(QPainter& painter, const TTextCharacter& text, const QTransform& world,
                const TColorTransform& cx);
  void DrawButton(QPainter& painter, const TButtonCharacter& button, const QTransform& world,
                  const TColorTransform& cx, uint8_t state, int nesting);
  void FillPath(QPainter& painter, const QPainterPath& path, const TFillStyle& fill,
                const TColorTransform& cx);
  QPainterPath MaskPath(const TPlacedObject& mask, const QTransform& twipsToDevice);
  TShapePaths& PathsOf(const TShape& shape, bool glyph);
  // An image with the scale from its pixels to the bitmap's texels.
  struct TImage {
    QImage Image;
    double ScaleX = 1, ScaleY = 1;
  };
  const TImage* ImageOf(uint16_t bitmapID, bool padded);
  // A decoded image of an earlier movie with what it was decoded from.
  struct TKeptImage {
    TBitmapCharacter Source;  // the encoded data only, never decoded here
    bool Padded = false;
    TImage Image;
  };
  void KeepImages();
  std::optional<TImage> TakeKept(const TBitmapCharacter& bitmap, bool padded);

  std::shared_ptr<const TMovie> movie_;
  std::unordered_map<const TShape*, TShapePaths> paths_;
  std::unordered_map<uint32_t, TImage> images_;  // bitmap ID, +65536 for the padded form
  std::set<uint16_t> undrawable_;
  std::list<TKeptImage> kept_;  // most recently used first
};

// Stage fitted into the device and centred ("ShowAll"); 1:1 at the stage size.
QTransform ShowAllTransform(const TMovie& movie, double deviceWidth, double deviceHeight);

// Frame (0-based) of the movie at the scale, on its background colour.
// undrawable, when given, receives the bitmaps the frame shows that could
// not be decoded.
QImage RenderFrame(std::shared_ptr<const TMovie> movie, uint32_t frame, double scale = 1.0,
                   std::set<uint16_t>* undrawable = nullptr);
// The same with a renderer that may already hold decoded images of earlier
// movies, for a caller that renders many builds of similar frames.
QImage RenderFrame(TRenderer& renderer, std::shared_ptr<const TMovie> movie, uint32_t frame,
                   double scale = 1.0, std::set<uint16_t>* undrawable = nullptr);

}  // namespace player
