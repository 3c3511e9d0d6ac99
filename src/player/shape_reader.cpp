// Shape records into filled contours and stroked runs. SWF stores each edge
// once with the fill on its left (FillStyle0) and right (FillStyle1) side;
// painting needs, per fill style, closed contours that keep the fill on one
// side, so the edges are collected per style (fill0 edges reversed) and
// chained end to start.
#include <cstdio>
#include <unordered_map>

#include "player/reader_internal.h"
#include "swf/core/swf_error.h"

namespace player::detail {
namespace {

struct TPoint64 {
  int64_t X = 0, Y = 0;
  bool operator==(const TPoint64&) const = default;
};

struct TPointHash {
  size_t operator()(const TPoint64& p) const {
    return std::hash<int64_t>()(p.X * 1000003 ^ (p.Y << 1));
  }
};

struct TEdge {
  TPoint64 From, Control, To;
  bool Curved = false;
  uint32_t Fill0 = 0, Fill1 = 0, Line = 0;  // 1-based, 0 = none
};

TPointD D(TPoint64 p) {
  return {double(p.X), double(p.Y)};
}

TEdge Reversed(const TEdge& e) {
  TEdge r = e;
  r.From = e.To;
  r.To = e.From;
  return r;
}

void Append(TSubpath& sp, const TEdge& e) {
  sp.Segments.push_back({e.Curved, D(e.Control), D(e.To)});
}

// Edges that already follow each other in closed loops (how most shapes
// are written) need no search.
bool LinkInOrder(const std::vector<TEdge>& edges, TPath& path) {
  for (size_t i = 0; i < edges.size(); ++i) {
    if (path.empty() || path.back().Closed) {
      path.push_back({});
      path.back().Start = D(edges[i].From);
    } else if (!(D(edges[i].From) == path.back().Segments.back().To)) {
      return false;
    }
    Append(path.back(), edges[i]);
    path.back().Closed = path.back().Segments.back().To == path.back().Start;
  }
  return path.empty() || path.back().Closed;
}

// Chains directed edges into contours, each edge used once.
TPath LinkContours(const std::vector<TEdge>& edges) {
  TPath ordered;
  if (LinkInOrder(edges, ordered)) return ordered;
  std::unordered_map<TPoint64, std::vector<uint32_t>, TPointHash> starts;
  for (uint32_t i = uint32_t(edges.size()); i-- > 0;) starts[edges[i].From].push_back(i);
  std::vector<bool> used(edges.size());
  TPath path;
  for (uint32_t first = 0; first < edges.size(); ++first) {
    if (used[first]) continue;
    TSubpath sp;
    sp.Start = D(edges[first].From);
    uint32_t cur = first;
    for (;;) {
      used[cur] = true;
      Append(sp, edges[cur]);
      if (edges[cur].To == edges[first].From) break;
      auto it = starts.find(edges[cur].To);
      int64_t next = -1;
      while (it != starts.end() && !it->second.empty()) {
        const uint32_t candidate = it->second.back();
        it->second.pop_back();
        if (!used[candidate]) {
          next = candidate;
          break;
        }
      }
      if (next < 0) break;
      cur = uint32_t(next);
    }
    sp.Closed = true;
    path.push_back(std::move(sp));
  }
  return path;
}

// Consecutive connected edges of one line style become one run.
TPath LinkRuns(const std::vector<TEdge>& edges) {
  TPath path;
  for (const TEdge& e : edges) {
    if (path.empty() || !(path.back().Segments.back().To == D(e.From))) {
      path.push_back({});
      path.back().Start = D(e.From);
    }
    Append(path.back(), e);
  }
  for (TSubpath& sp : path) sp.Closed = sp.Segments.back().To == sp.Start;
  return path;
}

void BuildPaths(TShapeLayer& layer, const std::vector<TEdge>& edges) {
  for (size_t f = 1; f <= layer.Fills.size(); ++f) {
    std::vector<TEdge> directed;
    for (const TEdge& e : edges) {
      if (e.Fill1 == f) directed.push_back(e);
      if (e.Fill0 == f) directed.push_back(Reversed(e));
    }
    if (!directed.empty()) layer.FillPaths.push_back({f - 1, LinkContours(directed)});
  }
  for (size_t l = 1; l <= layer.Lines.size(); ++l) {
    std::vector<TEdge> run;
    for (const TEdge& e : edges)
      if (e.Line == l) run.push_back(e);
    if (!run.empty()) layer.LinePaths.push_back({l - 1, LinkRuns(run)});
  }
}

TGradientStop ReadStop(swf::TBitsEngine& be, bool alpha) {
  TGradientStop s;
  s.Ratio = be.ReadByte();
  s.Color = ReadColor(be, alpha);
  return s;
}

TFillStyle ReadFillStyle(swf::TBitsEngine& be, int shapeVersion) {
  const bool alpha = shapeVersion >= 3;
  TFillStyle f;
  const uint8_t type = be.ReadByte();
  switch (type) {
    case 0x00:
      f.Kind = TFillStyle::Solid;
      f.Color = ReadColor(be, alpha);
      break;
    case 0x10:
    case 0x12:
    case 0x13: {
      f.Kind = type == 0x10   ? TFillStyle::LinearGradient
               : type == 0x12 ? TFillStyle::RadialGradient
                              : TFillStyle::FocalGradient;
      f.Matrix = TMatrix::FromRec(be.ReadMatrix());
      const unsigned count = be.ReadByte() & 0x0F;
      for (unsigned i = 0; i < count; ++i) f.Stops.push_back(ReadStop(be, alpha));
      if (type == 0x13) f.Focal = int16_t(be.ReadWord()) / 256.0;
      break;
    }
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
      f.Kind = TFillStyle::Bitmap;
      f.BitmapID = be.ReadWord();
      f.Matrix = TMatrix::FromRec(be.ReadMatrix());
      f.Repeat = type == 0x40 || type == 0x42;
      f.Smooth = type == 0x40 || type == 0x41;
      break;
    default:
      throw swf::ESWFError("unknown fill style type " + std::to_string(type));
  }
  return f;
}

size_t ReadStyleCount(swf::TBitsEngine& be, int shapeVersion) {
  size_t n = be.ReadByte();
  if (n == 0xFF && shapeVersion >= 2) n = be.ReadWord();
  return n;
}

void ReadStyles(swf::TBitsEngine& be, int shapeVersion, TShapeLayer& layer) {
  const size_t fills = ReadStyleCount(be, shapeVersion);
  for (size_t i = 0; i < fills; ++i) layer.Fills.push_back(ReadFillStyle(be, shapeVersion));
  const size_t lines = ReadStyleCount(be, shapeVersion);
  for (size_t i = 0; i < lines; ++i) {
    TLineStyle l;
    l.Width = be.ReadWord();
    l.Color = ReadColor(be, shapeVersion >= 3);
    layer.Lines.push_back(l);
  }
}

// Reads shape records after the style arrays of the first layer (given in
// shape.Layers[0]). shapeVersion 0 reads a glyph: no new styles allowed.
void ReadShapeRecords(swf::TBitsEngine& be, int shapeVersion, TShape& shape) {
  unsigned fillBits = be.ReadBits(4), lineBits = be.ReadBits(4);
  std::vector<TEdge> edges;
  TPoint64 pen;
  uint32_t fill0 = 0, fill1 = 0, line = 0;
  auto valid = [&](uint32_t index, size_t count) { return index <= count ? index : 0; };
  for (;;) {
    if (!be.ReadBit()) {
      const uint32_t flags = be.ReadBits(5);
      if (flags == 0) break;
      const bool newStyles = flags & 16, hasLine = flags & 8, hasFill1 = flags & 4,
                 hasFill0 = flags & 2, moveTo = flags & 1;
      if (moveTo) {
        const unsigned n = be.ReadBits(5);
        pen.X = be.ReadSBits(n);
        pen.Y = be.ReadSBits(n);
      }
      const uint32_t f0 = hasFill0 ? be.ReadBits(fillBits) : 0;
      const uint32_t f1 = hasFill1 ? be.ReadBits(fillBits) : 0;
      const uint32_t l = hasLine ? be.ReadBits(lineBits) : 0;
      if (newStyles && shapeVersion >= 2) {
        BuildPaths(shape.Layers.back(), edges);
        edges.clear();
        shape.Layers.emplace_back();
        ReadStyles(be, shapeVersion, shape.Layers.back());
        fillBits = be.ReadBits(4);
        lineBits = be.ReadBits(4);
        fill0 = fill1 = line = 0;
      }
      const TShapeLayer& layer = shape.Layers.back();
      if (hasFill0) fill0 = valid(f0, layer.Fills.size());
      if (hasFill1) fill1 = valid(f1, layer.Fills.size());
      if (hasLine) line = valid(l, layer.Lines.size());
      continue;
    }
    TEdge e;
    e.From = pen;
    e.Fill0 = fill0;
    e.Fill1 = fill1;
    e.Line = line;
    const bool straight = be.ReadBit();
    const unsigned n = be.ReadBits(4) + 2;
    if (straight) {
      int64_t dx = 0, dy = 0;
      if (be.ReadBit()) {
        dx = be.ReadSBits(n);
        dy = be.ReadSBits(n);
      } else if (be.ReadBit()) {
        dy = be.ReadSBits(n);
      } else {
        dx = be.ReadSBits(n);
      }
      e.To = {pen.X + dx, pen.Y + dy};
    } else {
      const int64_t cx = be.ReadSBits(n), cy = be.ReadSBits(n);
      const int64_t ax = be.ReadSBits(n), ay = be.ReadSBits(n);
      e.Curved = true;
      e.Control = {pen.X + cx, pen.Y + cy};
      e.To = {e.Control.X + ax, e.Control.Y + ay};
    }
    pen = e.To;
    if (e.Fill0 || e.Fill1 || e.Line) edges.push_back(e);
  }
  BuildPaths(shape.Layers.back(), edges);
}

std::string DescribeShape(const TShapeCharacter& s) {
  size_t fills = 0, lines = 0, contours = 0;
  for (const TShapeLayer& l : s.Shape.Layers) {
    fills += l.Fills.size();
    lines += l.Lines.size();
    for (const TStyledPath& p : l.FillPaths) contours += p.Path.size();
  }
  char buf[200];
  const TRectD& b = s.Shape.Bounds;
  std::snprintf(buf, sizeof buf, "id=%u bounds=(%g,%g)-(%g,%g) fills=%zu lines=%zu contours=%zu",
                s.ID, b.Xmin, b.Ymin, b.Xmax, b.Ymax, fills, lines, contours);
  return buf;
}

}  // namespace

void ReadShapeTag(swf::TBitsEngine& be, uint16_t code, TReadContext& ctx) {
  const int version = code == swf::tagDefineShape ? 1 : code == swf::tagDefineShape2 ? 2 : 3;
  auto c = std::make_unique<TShapeCharacter>();
  c->ID = be.ReadWord();
  c->TagCode = code;
  c->Shape.Bounds = ReadRectD(be);
  c->Shape.Layers.emplace_back();
  ReadStyles(be, version, c->Shape.Layers.back());
  ReadShapeRecords(be, version, c->Shape);
  if (ctx.KeepTags) ctx.Info = DescribeShape(*c);
  ctx.AddCharacter(std::move(c));
}

TShape ReadGlyphShape(swf::TBitsEngine& be) {
  TShape shape;
  shape.Layers.emplace_back();
  shape.Layers.back().Fills.emplace_back();  // the text colour, given when drawn
  ReadShapeRecords(be, 0, shape);
  return shape;
}

}  // namespace player::detail
