#include "player/renderer.h"

#include <QBrush>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

#include "player/player_error.h"
#include "player/timeline.h"

namespace player {
namespace {

constexpr int kMaxNesting = 8;

QTransform ToQt(const TMatrix& m) {
  return QTransform(m.A, m.B, m.C, m.D, m.TX, m.TY);
}

QColor ToQt(TRGBA c) {
  return QColor(c.R, c.G, c.B, c.A);
}

QPainterPath ToPainterPath(const TPath& path, Qt::FillRule rule) {
  QPainterPath p;
  p.setFillRule(rule);
  for (const TSubpath& sp : path) {
    p.moveTo(sp.Start.X, sp.Start.Y);
    for (const TSegment& s : sp.Segments) {
      if (s.Curved)
        p.quadTo(s.Control.X, s.Control.Y, s.To.X, s.To.Y);
      else
        p.lineTo(s.To.X, s.To.Y);
    }
    if (sp.Closed) p.closeSubpath();
  }
  return p;
}

QImage ToImage(const TPixels& pixels) {
  QImage image(pixels.Width, pixels.Height, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < pixels.Height; ++y)
    std::copy_n(pixels.Data.data() + size_t(y) * pixels.Width, pixels.Width,
                reinterpret_cast<uint32_t*>(image.scanLine(y)));
  return image;
}

// The image with its edge pixels repeated once around it: a clipped bitmap
// fill shows its edges beyond the image, as players do.
QImage Padded(const QImage& image) {
  const int w = image.width(), h = image.height();
  QImage padded(w + 2, h + 2, image.format());
  for (int y = 0; y < h + 2; ++y) {
    const auto* src =
        reinterpret_cast<const uint32_t*>(image.constScanLine(std::clamp(y - 1, 0, h - 1)));
    auto* dst = reinterpret_cast<uint32_t*>(padded.scanLine(y));
    for (int x = 0; x < w + 2; ++x) dst[x] = src[std::clamp(x - 1, 0, w - 1)];
  }
  return padded;
}

QImage Transformed(const QImage& image, const TColorTransform& cx) {
  QImage out = image.copy();
  for (int y = 0; y < out.height(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      const QColor c = QColor::fromRgba(qUnpremultiply(row[x]));
      const TRGBA t =
          cx.Apply({uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()), uint8_t(c.alpha())});
      row[x] = qPremultiply(qRgba(t.R, t.G, t.B, t.A));
    }
  }
  return out;
}

QGradientStops Stops(const TFillStyle& fill, const TColorTransform& cx) {
  QGradientStops stops;
  for (const TGradientStop& s : fill.Stops)
    stops.append({s.Ratio / 255.0, ToQt(cx.Apply(s.Color))});
  return stops;
}

double DeviceScale(const QTransform& t) {
  return std::sqrt(std::fabs(t.determinant()));
}

// The decoded images of earlier movies kept at most, in bytes.
constexpr qsizetype kKeptImageBytes = qsizetype(64) << 20;

void CopyEncoded(const TBitmapCharacter& from, TBitmapCharacter& to) {
  to.Encoding = from.Encoding;
  to.Data = from.Data;
  to.AlphaData = from.AlphaData;
  to.Format = from.Format;
  to.HasAlpha = from.HasAlpha;
  to.Width = from.Width;
  to.Height = from.Height;
  to.ColorTableSize = from.ColorTableSize;
}

// Everything the decoded pixels depend on is equal.
bool SameEncoded(const TBitmapCharacter& a, const TBitmapCharacter& b) {
  return a.Encoding == b.Encoding && a.Format == b.Format && a.HasAlpha == b.HasAlpha &&
         a.Width == b.Width && a.Height == b.Height && a.ColorTableSize == b.ColorTableSize &&
         a.Data == b.Data && a.AlphaData == b.AlphaData;
}

}  // namespace

void TRenderer::SetMovie(std::shared_ptr<const TMovie> movie) {
  KeepImages();
  movie_ = std::move(movie);
  paths_.clear();
  images_.clear();
  undrawable_.clear();
}

// The images the movie going away decoded join the kept ones, newest first,
// within a byte budget.
void TRenderer::KeepImages() {
  for (auto& [key, image] : images_) {
    const TCharacter* c = movie_ ? movie_->Find(uint16_t(key & 0xFFFF)) : nullptr;
    if (image.Image.isNull() || !c || c->Kind != TCharacterKind::Bitmap) continue;
    TKeptImage& kept = kept_.emplace_front();
    CopyEncoded(*static_cast<const TBitmapCharacter*>(c), kept.Source);
    kept.Padded = key >= 65536;
    kept.Image = std::move(image);
  }
  qsizetype bytes = 0;
  for (auto it = kept_.begin(); it != kept_.end();) {
    bytes += it->Image.Image.sizeInBytes();
    it = bytes > kKeptImageBytes ? kept_.erase(it) : std::next(it);
  }
}

std::optional<TRenderer::TImage> TRenderer::TakeKept(const TBitmapCharacter& bitmap, bool padded) {
  for (auto it = kept_.begin(); it != kept_.end(); ++it) {
    if (it->Padded != padded || !SameEncoded(it->Source, bitmap)) continue;
    TImage image = std::move(it->Image);
    kept_.erase(it);
    return image;
  }
  return std::nullopt;
}

TRenderer::TShapePaths& TRenderer::PathsOf(const TShape& shape, bool glyph) {
  auto it = paths_.find(&shape);
  if (it != paths_.end()) return it->second;
  TShapePaths& paths = paths_[&shape];
  for (const TShapeLayer& layer : shape.Layers) {
    paths.Fills.emplace_back();
    paths.Lines.emplace_back();
    paths.Strokes.emplace_back(layer.LinePaths.size());
    for (const TStyledPath& p : layer.FillPaths)
      paths.Fills.back().push_back(
          ToPainterPath(p.Path, glyph ? Qt::OddEvenFill : Qt::WindingFill));
    for (const TStyledPath& p : layer.LinePaths)
      paths.Lines.back().push_back(ToPainterPath(p.Path, Qt::WindingFill));
  }
  return paths;
}

const TRenderer::TImage* TRenderer::ImageOf(uint16_t bitmapID, bool padded) {
  const uint32_t key = bitmapID + (padded ? 65536u : 0u);
  auto it = images_.find(key);
  if (it != images_.end()) return it->second.Image.isNull() ? nullptr : &it->second;
  TImage image;
  const TCharacter* c = movie_->Find(bitmapID);
  if (c && c->Kind == TCharacterKind::Bitmap) {
    const auto* bitmap = static_cast<const TBitmapCharacter*>(c);
    if (std::optional<TImage> kept = TakeKept(*bitmap, padded)) {
      image = std::move(*kept);
    } else if (const TPixels* pixels = bitmap->Pixels()) {
      image = {ToImage(*pixels), pixels->ScaleX, pixels->ScaleY};
      if (padded) image.Image = Padded(image.Image);
    } else {
      undrawable_.insert(bitmapID);
    }
  }
  TImage& stored = images_[key] = std::move(image);
  return stored.Image.isNull() ? nullptr : &stored;
}

// A bitmap shown at its own size and unturned is drawn texel for pixel:
// smoothing would only blur it by the part of a pixel its place is off the
// pixel grid (the library places a picture 5 twips up and left), and
// Ruffle in the browser shows such a picture crisp.
static bool TexelForPixel(const QTransform& texelsToDevice) {
  return texelsToDevice.type() <= QTransform::TxScale &&
         std::abs(texelsToDevice.m11() - 1.0) < 1e-3 && std::abs(texelsToDevice.m22() - 1.0) < 1e-3;
}

void TRenderer::FillPath(QPainter& painter, const QPainterPath& path, const TFillStyle& fill,
                         const TColorTransform& cx) {
  switch (fill.Kind) {
    case TFillStyle::Solid:
      painter.fillPath(path, ToQt(cx.Apply(fill.Color)));
      return;
    case TFillStyle::LinearGradient:
    case TFillStyle::RadialGradient:
    case TFillStyle::FocalGradient: {
      if (fill.Stops.empty()) return;
      QGradient gradient = QLinearGradient(-16384, 0, 16384, 0);
      if (fill.Kind == TFillStyle::RadialGradient) gradient = QRadialGradient(0, 0, 16384);
      if (fill.Kind == TFillStyle::FocalGradient)
        gradient = QRadialGradient(0, 0, 16384, fill.Focal * 16384, 0);
      gradient.setStops(Stops(fill, cx));
      QBrush brush(gradient);
      brush.setTransform(ToQt(fill.Matrix));
      painter.fillPath(path, brush);
      return;
    }
    case TFillStyle::Bitmap: {
      const TImage* stored = ImageOf(fill.BitmapID, !fill.Repeat);
      if (!stored) return;
      const QImage* image = &stored->Image;
      painter.save();
      QTransform t = QTransform::fromScale(stored->ScaleX, stored->ScaleY) * ToQt(fill.Matrix);
      if (!fill.Repeat) t = QTransform::fromTranslate(-1, -1) * t;
      painter.setRenderHint(QPainter::SmoothPixmapTransform,
                            fill.Smooth && !TexelForPixel(t * painter.worldTransform()));
      QImage shown;
      if (cx.IsAlphaOnly())
        painter.setOpacity(painter.opacity() * std::clamp(cx.Mult[3], 0.0, 1.0));
      else
        shown = Transformed(*image, cx);
      QBrush brush(shown.isNull() ? *image : shown);
      brush.setTransform(t);
      painter.fillPath(path, brush);
      painter.restore();
      return;
    }
  }
}

void TRenderer::DrawShape(QPainter& painter, const TShape& shape, const QTransform& world,
                          const TColorTransform& cx) {
  TShapePaths& paths = PathsOf(shape, false);
  painter.setTransform(world);
  const double scale = DeviceScale(world);
  for (size_t l = 0; l < shape.Layers.size(); ++l) {
    const TShapeLayer& layer = shape.Layers[l];
    for (size_t i = 0; i < layer.FillPaths.size(); ++i)
      FillPath(painter, paths.Fills[l][i], layer.Fills[layer.FillPaths[i].Style], cx);
    for (size_t i = 0; i < layer.LinePaths.size(); ++i) {
      const TLineStyle& style = layer.Lines[layer.LinePaths[i].Style];
      const QColor color = ToQt(cx.Apply(style.Color));
      if (style.Width * scale < 1.0) {  // players draw thinner lines as hairlines
        QPen pen(color, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        pen.setCosmetic(true);
        painter.strokePath(paths.Lines[l][i], pen);
        continue;
      }
      // The outline of a stroke in shape space never changes: made once.
      QPainterPath& stroke = paths.Strokes[l][i];
      if (stroke.isEmpty()) {
        QPainterPathStroker stroker;
        stroker.setWidth(style.Width);
        stroker.setCapStyle(Qt::RoundCap);
        stroker.setJoinStyle(Qt::RoundJoin);
        stroke = stroker.createStroke(paths.Lines[l][i]);
      }
      painter.fillPath(stroke, color);
    }
  }
}

void TRenderer::DrawText(QPainter& painter, const TTextCharacter& text, const QTransform& world,
                         const TColorTransform& cx) {
  const QTransform textWorld = ToQt(text.Matrix) * world;
  for (const TTextRecord& r : text.Records) {
    const TCharacter* c = movie_->Find(r.FontID);
    if (!c || c->Kind != TCharacterKind::Font) continue;
    const auto& font = static_cast<const TFontCharacter&>(*c);
    const double scale = r.Height / 1024.0 * font.GlyphScale;
    const QColor color = ToQt(cx.Apply(r.Color));
    double x = r.X;
    for (const TGlyphEntry& g : r.Glyphs) {
      if (g.Index < font.Glyphs.size()) {
        const TShapePaths& paths = PathsOf(font.Glyphs[g.Index], true);
        painter.setTransform(QTransform(scale, 0, 0, scale, x, r.Y) * textWorld);
        for (const QPainterPath& p : paths.Fills[0]) painter.fillPath(p, color);
      }
      x += g.Advance;
    }
  }
}

void TRenderer::DrawButton(QPainter& painter, const TButtonCharacter& button,
                           const QTransform& world, const TColorTransform& cx, uint8_t state,
                           int nesting) {
  std::vector<const TButtonRecord*> records;
  for (const TButtonRecord& r : button.Records)
    if (r.States & state) records.push_back(&r);
  std::stable_sort(
      records.begin(), records.end(),
      [](const TButtonRecord* a, const TButtonRecord* b) { return a->Depth < b->Depth; });
  for (const TButtonRecord* r : records)
    DrawCharacter(painter, r->CharacterID, ToQt(r->Matrix) * world, cx * r->ColorTransform, bsUp,
                  nesting + 1);
}

void TRenderer::DrawCharacter(QPainter& painter, uint16_t id, const QTransform& world,
                              const TColorTransform& cx, uint8_t buttonState, int nesting) {
  const TCharacter* c = movie_->Find(id);
  if (!c || nesting > kMaxNesting) return;
  switch (c->Kind) {
    case TCharacterKind::Shape:
      DrawShape(painter, static_cast<const TShapeCharacter*>(c)->Shape, world, cx);
      break;
    case TCharacterKind::Text:
      DrawText(painter, *static_cast<const TTextCharacter*>(c), world, cx);
      break;
    case TCharacterKind::Button:  // a button inside a button shows nothing, as in players
      if (nesting == 0)
        DrawButton(painter, *static_cast<const TButtonCharacter*>(c), world, cx, buttonState,
                   nesting);
      break;
    default:
      break;  // bitmaps are drawn through fills; edit texts and sounds show nothing
  }
}

QPainterPath TRenderer::MaskPath(const TPlacedObject& mask, const QTransform& twipsToDevice) {
  QPainterPath clip;
  const TCharacter* c = movie_->Find(mask.CharacterID);
  if (!c || c->Kind != TCharacterKind::Shape) return clip;
  const TShape& shape = static_cast<const TShapeCharacter*>(c)->Shape;
  const QTransform t = ToQt(mask.Matrix) * twipsToDevice;
  for (const auto& layer : PathsOf(shape, false).Fills)
    for (const QPainterPath& p : layer) clip.addPath(t.map(p));
  return clip;
}

void TRenderer::Paint(QPainter& painter, const TDisplayList& list, const QTransform& twipsToDevice,
                      uint16_t lowest, uint16_t highest) {
  if (!movie_) return;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  struct TClip {
    uint16_t UntilDepth;
    QPainterPath Path;
  };
  std::vector<TClip> clips;
  for (const auto& [depth, object] : list.Objects()) {
    while (!clips.empty() && clips.back().UntilDepth < depth) clips.pop_back();
    if (object.ClipDepth) {
      clips.push_back({object.ClipDepth, MaskPath(object, twipsToDevice)});
      continue;
    }
    if (depth < lowest || depth > highest) continue;
    painter.setClipping(false);
    if (!clips.empty()) {
      painter.resetTransform();
      QPainterPath clip = clips.front().Path;
      for (size_t i = 1; i < clips.size(); ++i) clip = clip.intersected(clips[i].Path);
      painter.setClipPath(clip);
    }
    DrawCharacter(painter, object.CharacterID, ToQt(object.Matrix) * twipsToDevice,
                  object.ColorTransform, object.ShownButtonState(), 0);
  }
  painter.restore();
}

QTransform ShowAllTransform(const TMovie& movie, double deviceWidth, double deviceHeight) {
  const double w = std::max(1.0, (movie.Stage.Xmax - movie.Stage.Xmin) / 20);
  const double h = std::max(1.0, (movie.Stage.Ymax - movie.Stage.Ymin) / 20);
  const double s = std::min(deviceWidth / w, deviceHeight / h);
  return QTransform::fromTranslate(-movie.Stage.Xmin, -movie.Stage.Ymin) *
         QTransform::fromScale(s / 20, s / 20) *
         QTransform::fromTranslate((deviceWidth - w * s) / 2, (deviceHeight - h * s) / 2);
}

QImage RenderFrame(std::shared_ptr<const TMovie> movie, uint32_t frame, double scale,
                   std::set<uint16_t>* undrawable) {
  TRenderer renderer;
  return RenderFrame(renderer, std::move(movie), frame, scale, undrawable);
}

QImage RenderFrame(TRenderer& renderer, std::shared_ptr<const TMovie> movie, uint32_t frame,
                   double scale, std::set<uint16_t>* undrawable) {
  const double w = std::round(movie->StageWidthPixels() * scale),
               h = std::round(movie->StageHeightPixels() * scale);
  if (!(w >= 1 && h >= 1 && w <= 16384 && h <= 16384))
    throw EPlayerError("The picture would be " + std::to_string(long(w)) + " x " +
                       std::to_string(long(h)) +
                       " pixels; choose a scale that gives 1 to 16384 pixels a side");
  QImage image(int(w), int(h), QImage::Format_ARGB32_Premultiplied);
  image.fill(ToQt(movie->Background));
  TTimeline timeline(movie);
  timeline.GotoFrame(frame);
  renderer.SetMovie(movie);
  QPainter painter(&image);
  renderer.Paint(painter, timeline.DisplayList(), ShowAllTransform(*movie, w, h));
  painter.end();
  if (undrawable) *undrawable = renderer.UndrawableBitmaps();
  return image;
}

}  // namespace player
