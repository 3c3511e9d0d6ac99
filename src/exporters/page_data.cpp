#include "exporters/page_data.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "exporters/page_png.h"
#include "platform/error.h"
#include "player/bitmap_decode.h"
#include "player/display_list.h"

namespace exporters {

using namespace player;

std::string NumberText(double value) {
  if (value == 0) return "0";  // also -0, which JSON readers take as 0 anyway
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

namespace {

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// --- paths ---

[[noreturn]] void Refuse(const std::string& what) {
  throw platform::TVellumetError("The HTML5 page cannot show this movie exactly: " + what);
}

int64_t WholeUnits(double v) {
  if (!(std::fabs(v) < 2147483648.0) || v != std::floor(v))
    Refuse("a path has a point off the movie's grid");
  return int64_t(v);
}

void PutNumber(std::vector<uint8_t>& out, uint64_t v) {
  while (v >= 0x80) {
    out.push_back(uint8_t(v & 0x7F) | 0x80);
    v >>= 7;
  }
  out.push_back(uint8_t(v));
}

uint64_t ZigZag(int64_t v) {
  return v < 0 ? (uint64_t(-(v + 1)) << 1) | 1 : uint64_t(v) << 1;
}

class TPathWriter {
 public:
  void Point(TPointD p, uint64_t flag = 0, bool flagged = false) {
    const int64_t x = WholeUnits(p.X), y = WholeUnits(p.Y);
    const uint64_t dx = ZigZag(x - x_);
    PutNumber(bytes_, flagged ? dx * 2 + flag : dx);
    PutNumber(bytes_, ZigZag(y - y_));
    x_ = x;
    y_ = y;
  }
  std::vector<uint8_t> bytes_;

 private:
  int64_t x_ = 0, y_ = 0;
};

class TPathReader {
 public:
  explicit TPathReader(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  uint64_t Number() {
    uint64_t v = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      if (pos_ >= bytes_.size()) Fail();
      const uint8_t b = bytes_[pos_++];
      v |= uint64_t(b & 0x7F) << shift;
      if (!(b & 0x80)) return v;
    }
    Fail();
  }
  static int64_t Unzig(uint64_t v) { return v & 1 ? -int64_t(v >> 1) - 1 : int64_t(v >> 1); }
  TPointD Point(uint64_t firstNumber) {
    x_ += Unzig(firstNumber);
    y_ += Unzig(Number());
    return {double(x_), double(y_)};
  }
  bool AtEnd() const { return pos_ == bytes_.size(); }
  size_t Remaining() const { return bytes_.size() - pos_; }
  [[noreturn]] static void Fail() { throw platform::TVellumetError("damaged path data"); }

 private:
  std::vector<uint8_t> bytes_;
  size_t pos_ = 0;
  int64_t x_ = 0, y_ = 0;
};

std::vector<uint8_t> FromBase64(const std::string& text) {
  std::vector<uint8_t> out;
  uint32_t bits = 0;
  int count = 0;
  for (char c : text) {
    const char* at = std::strchr(kBase64, c);
    if (!at || c == 0) TPathReader::Fail();
    bits = (bits << 6) | uint32_t(at - kBase64);
    count += 6;
    if (count >= 8) {
      count -= 8;
      out.push_back(uint8_t(bits >> count));
    }
  }
  return out;
}

std::string Base64Unpadded(const std::vector<uint8_t>& bytes) {
  std::string text = Base64(bytes.data(), bytes.size());
  while (!text.empty() && text.back() == '=') text.pop_back();
  return text;
}

// --- JSON pieces ---

}  // namespace

std::string JsonQuoted(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += char(c);
    } else if (c < 0x20 || c == '<' || c == '>' || c == '&') {
      // Escaped, so the data can never end the script element around it;
      // UTF-8 passes through as it is (the page is UTF-8).
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
      out += buffer;
    } else {
      out += char(c);
    }
  }
  return out + "\"";
}

namespace {

std::string Numbers(std::initializer_list<double> values) {
  std::string out = "[";
  for (double v : values) out += (out.size() > 1 ? "," : "") + NumberText(v);
  return out + "]";
}

// CSS text, as the canvas takes it: "#rrggbbaa".
std::string Color(TRGBA c) {
  char buffer[12];
  std::snprintf(buffer, sizeof buffer, "\"#%02x%02x%02x%02x\"", c.R, c.G, c.B, c.A);
  return buffer;
}

std::string Matrix(const TMatrix& m) {
  return Numbers({m.A, m.B, m.C, m.D, m.TX, m.TY});
}

std::string Rect(const TRectD& r) {
  return Numbers({r.Xmin, r.Ymin, r.Xmax, r.Ymax});
}

// The items written, comma-separated in brackets; an empty text leaves its item out.
template <typename T, typename F>
std::string List(const std::vector<T>& items, F write) {
  std::string out;
  for (const T& item : items)
    if (const std::string text = write(item); !text.empty()) out += (out.empty() ? "" : ",") + text;
  return "[" + out + "]";
}

std::string Same(const std::string& text) {
  return text;
}

std::string Quoted(const std::string& plain) {
  return "\"" + plain + "\"";
}

template <typename T>
const T* Find(const TMovie& movie, uint16_t id, TCharacterKind kind) {
  const TCharacter* c = movie.Find(id);
  return c && c->Kind == kind ? static_cast<const T*>(c) : nullptr;
}

// The page draws no colour transforms and no masks: no movie Vellumet
// builds has them.
void CheckColors(const TColorTransform& c) {
  if (!c.IsIdentity()) Refuse("an object is recoloured");
}

std::string Stops(const std::vector<TGradientStop>& stops) {
  return List(stops, [](const TGradientStop& s) {
    return "[" + NumberText(s.Ratio) + "," + Color(s.Color) + "]";
  });
}

// Empty for a fill that draws nothing (a picture the movie lacks, a
// gradient without colours).
std::string Fill(const TFillStyle& f, const TMovie& movie) {
  const std::string matrix = ",\"matrix\":" + Matrix(f.Matrix);
  if (f.Kind != TFillStyle::Solid && f.Kind != TFillStyle::Bitmap && f.Stops.empty()) return "";
  switch (f.Kind) {
    case TFillStyle::Solid:
      return Color(f.Color);
    case TFillStyle::LinearGradient:
      return "{\"linear\":" + Stops(f.Stops) + matrix + "}";
    case TFillStyle::RadialGradient:
      return "{\"radial\":" + Stops(f.Stops) + matrix + "}";
    case TFillStyle::FocalGradient:
      return "{\"radial\":" + Stops(f.Stops) + matrix + ",\"focus\":" + NumberText(f.Focal) + "}";
    case TFillStyle::Bitmap:
      if (!Find<TBitmapCharacter>(movie, f.BitmapID, TCharacterKind::Bitmap)) return "";
      return "{\"bitmap\":" + NumberText(f.BitmapID) + matrix + (f.Repeat ? ",\"repeat\":1" : "") +
             (f.Smooth ? ",\"smooth\":1" : "") + "}";
  }
  return "";
}

// Every path with its style, in the order the player draws them: each
// layer's fills, then its lines.
std::string Shape(const TShape& shape, const TMovie& movie) {
  std::vector<std::string> items;
  for (const TShapeLayer& l : shape.Layers) {
    for (const TStyledPath& p : l.FillPaths) {
      const std::string fill = p.Style < l.Fills.size() ? Fill(l.Fills[p.Style], movie) : "";
      if (!fill.empty()) items.push_back("[" + Quoted(EncodePath(p.Path)) + "," + fill + "]");
    }
    for (const TStyledPath& p : l.LinePaths)
      if (p.Style < l.Lines.size())
        items.push_back("[" + Quoted(EncodePath(p.Path)) + "," +
                        NumberText(l.Lines[p.Style].Width) + "," + Color(l.Lines[p.Style].Color) +
                        "]");
  }
  return "{\"shape\":" + List(items, Same) + "}";
}

// A plain JPEG goes in as it is (browsers decode it as our player does);
// anything else as the PNG of its decoded pixels.
std::string Bitmap(const TBitmapCharacter& b, const TPageDataOptions& options,
                   TPagePngWriter& pngs) {
  // Decoded here rather than through the movie's cache, so each picture's
  // pixels go as soon as its PNG is written.
  const std::unique_ptr<TPixels> pixels = DecodeBitmap(b, options.MaxPicturePixels);
  if (!pixels)
    throw platform::TVellumetError("The HTML5 page cannot show this movie: picture " +
                                   std::to_string(b.ID) + " cannot be decoded");
  std::string image;
  const bool jpeg = b.Encoding == TBitmapCharacter::Jpeg && b.AlphaData.empty();
  if (jpeg) {
    const std::vector<uint8_t> jpeg = CleanJpegData(b.Data);
    image = options.PictureFile ? options.PictureFile(b.ID, "jpg", jpeg)
                                : "data:image/jpeg;base64," + Base64(jpeg.data(), jpeg.size());
  } else {
    const std::vector<uint8_t> png = pngs.Png(*pixels);
    image = options.PictureFile ? options.PictureFile(b.ID, "png", png)
                                : "data:image/png;base64," + Base64(png.data(), png.size());
  }
  // A large picture is kept smaller: each of its pixels then covers several
  // of the bitmap's (the JPEG goes in whole, so only the PNG needs it).
  const bool reduced = !jpeg && (pixels->ScaleX != 1 || pixels->ScaleY != 1);
  const double width = reduced ? pixels->Width : std::round(pixels->Width * pixels->ScaleX);
  const double height = reduced ? pixels->Height : std::round(pixels->Height * pixels->ScaleY);
  return "{\"kind\":\"bitmap\",\"width\":" + NumberText(width) +
         ",\"height\":" + NumberText(height) +
         (reduced ? ",\"scale\":" + Numbers({pixels->ScaleX, pixels->ScaleY}) : "") +
         ",\"image\":\"" + image + "\"}";
}

std::string Font(const TFontCharacter& f) {
  return "{\"glyphs\":" +
         List(f.Glyphs,
              [](const TShape& g) {
                return g.Layers.empty()
                           ? "[]"
                           : List(g.Layers.front().FillPaths,
                                  [](const TStyledPath& p) { return Quoted(EncodePath(p.Path)); });
              }) +
         "}";
}

// Each record: font, colour, pen position, the glyphs' scale, then glyph
// and advance pairs. Records in a font the movie lacks draw nothing.
std::string Text(const TTextCharacter& t, const TMovie& movie) {
  return "{\"matrix\":" + Matrix(t.Matrix) + ",\"text\":" +
         List(t.Records,
              [&movie](const TTextRecord& r) -> std::string {
                const auto* font = Find<TFontCharacter>(movie, r.FontID, TCharacterKind::Font);
                if (!font) return "";
                std::string glyphs;
                for (const TGlyphEntry& g : r.Glyphs)
                  glyphs += (glyphs.empty() ? "" : ",") + NumberText(g.Index) + "," +
                            NumberText(g.Advance);
                return "[" + NumberText(r.FontID) + "," + Color(r.Color) + "," + NumberText(r.X) +
                       "," + NumberText(r.Y) + "," +
                       NumberText(double(r.Height) / 1024 * font->GlyphScale) + ",[" + glyphs +
                       "]]";
              }) +
         "}";
}

// The page plays its frames in order: it knows Stop and GetURL; actions the
// player ignores are left out.
std::string Action(const TAction& a) {
  switch (a.Kind) {
    case TAction::Stop:
      return "{\"stop\":1}";
    case TAction::GetURL:
      return "{\"url\":" + JsonQuoted(a.URL) + ",\"target\":" + JsonQuoted(a.Target) + "}";
    case TAction::Other:
      return "";
    case TAction::NextFrame:
    case TAction::PreviousFrame:
    case TAction::Play:
    case TAction::GotoFrame:
    case TAction::GotoLabel:
      break;
  }
  Refuse("an action moves between frames or plays on");
}

// Empty for a start the page leaves out: no sound in the page, or none of that ID.
std::string SoundStart(const TSoundStart& s, const TMovie& movie, bool sound) {
  if (!sound || !Find<TSoundCharacter>(movie, s.SoundID, TCharacterKind::Sound)) return "";
  return "{\"id\":" + NumberText(s.SoundID) + (s.Stop ? ",\"stop\":1" : "") +
         (s.NoMultiple ? ",\"noMultiple\":1" : "") +
         ",\"loops\":" + NumberText(std::max<uint16_t>(s.Loops, 1)) + "}";
}

// The records each state shows (up, over, down, the hit area) in depth
// order. A button shows shapes and texts (a button in a button shows
// nothing); its hit area is made of shapes.
std::string Button(const TButtonCharacter& b, const TMovie& movie, bool sound) {
  std::vector<const TButtonRecord*> records;
  for (const TButtonRecord& r : b.Records) records.push_back(&r);
  std::stable_sort(
      records.begin(), records.end(),
      [](const TButtonRecord* a, const TButtonRecord* b) { return a->Depth < b->Depth; });
  std::string states;
  for (uint8_t state : {bsUp, bsOver, bsDown, bsHitTest}) {
    std::vector<std::string> shown;
    for (const TButtonRecord* r : records) {
      const TCharacter* c = movie.Find(r->CharacterID);
      if (!(r->States & state) || !c) continue;
      const bool shape = c->Kind == TCharacterKind::Shape, text = c->Kind == TCharacterKind::Text;
      if (state == bsHitTest && text) Refuse("a button's hit area is a text");
      if (!shape && !text) continue;
      if (state != bsHitTest) CheckColors(r->ColorTransform);
      shown.push_back("[" + NumberText(r->CharacterID) + "," + Matrix(r->Matrix) + "]");
    }
    states += (states.empty() ? "" : ",") + List(shown, Same);
  }
  std::string sounds;
  for (const TSoundStart& s : b.Sounds) {
    const std::string start = SoundStart(s, movie, sound);
    sounds += (sounds.empty() ? "" : ",") + (start.empty() ? "null" : start);
  }
  return "{\"states\":[" + states + "],\"actions\":" +
         List(b.Actions,
              [](const TButtonCondAction& a) {
                return "{\"conditions\":" + NumberText(a.Conditions) +
                       ",\"actions\":" + List(a.Actions, Action) + "}";
              }) +
         ",\"sounds\":[" + sounds + "]}";
}

// What stands at the depth after an op: [depth] when nothing the page draws,
// else [depth, character, matrix].
std::string Placed(TDisplayList& list, uint16_t depth, const TMovie& movie) {
  const TPlacedObject* o = list.Find(depth);
  if (o && o->ClipDepth) Refuse("an object masks others");
  const TCharacter* c = o ? movie.Find(o->CharacterID) : nullptr;
  if (!c || (c->Kind != TCharacterKind::Shape && c->Kind != TCharacterKind::Text &&
             c->Kind != TCharacterKind::Button))
    return "[" + NumberText(depth) + "]";
  CheckColors(o->ColorTransform);
  return "[" + NumberText(depth) + "," + NumberText(o->CharacterID) + "," + Matrix(o->Matrix) + "]";
}

// Each frame's changes as the states they leave, played through the
// player's own display list: the page then only sets or clears depths.
// The timeline runs in order from an empty stage, as the page plays it.
std::string Timeline(const TMovie& movie, bool sound) {
  TDisplayList list;
  return List(movie.Frames, [&](const TFrameContent& f) -> std::string {
    std::vector<std::string> ops;
    for (const TDisplayOp& op : f.Ops) {
      list.Apply(op);
      ops.push_back(Placed(list, op.Depth, movie));
    }
    const std::string actions = List(f.Actions, Action);
    const std::string sounds =
        List(f.Sounds, [&](const TSoundStart& s) { return SoundStart(s, movie, sound); });
    std::string out;
    if (!ops.empty()) out += ",\"ops\":" + List(ops, Same);
    if (actions != "[]") out += ",\"actions\":" + actions;
    if (sounds != "[]") out += ",\"sounds\":" + sounds;
    return out.empty() ? "" : "{\"frame\":" + NumberText(f.Frame) + out + "}";
  });
}

}  // namespace

std::string Base64(const uint8_t* data, size_t size) {
  std::string out;
  out.reserve((size + 2) / 3 * 4);
  for (size_t i = 0; i < size; i += 3) {
    const uint32_t n = uint32_t(data[i]) << 16 | (i + 1 < size ? uint32_t(data[i + 1]) << 8 : 0) |
                       (i + 2 < size ? data[i + 2] : 0);
    out += kBase64[n >> 18];
    out += kBase64[(n >> 12) & 63];
    out += i + 1 < size ? kBase64[(n >> 6) & 63] : '=';
    out += i + 2 < size ? kBase64[n & 63] : '=';
  }
  return out;
}

// Subpaths one after the other until the text ends.
std::string EncodePath(const TPath& path) {
  TPathWriter w;
  for (const TSubpath& sp : path) {
    PutNumber(w.bytes_, uint64_t(sp.Segments.size()) * 2 + (sp.Closed ? 1 : 0));
    w.Point(sp.Start);
    for (const TSegment& s : sp.Segments) {
      if (s.Curved) {
        w.Point(s.Control, 1, true);
        w.Point(s.To);
      } else {
        w.Point(s.To, 0, true);
      }
    }
  }
  return Base64Unpadded(w.bytes_);
}

TPath DecodePath(const std::string& text) {
  TPathReader r(FromBase64(text));
  TPath path;
  while (!r.AtEnd()) {
    TSubpath& sp = path.emplace_back();
    const uint64_t header = r.Number();
    sp.Closed = header & 1;
    if (header / 2 > r.Remaining()) TPathReader::Fail();  // each segment takes bytes
    sp.Segments.resize(header / 2);
    sp.Start = r.Point(r.Number());
    for (TSegment& s : sp.Segments) {
      const uint64_t first = r.Number();
      s.Curved = first & 1;
      if (s.Curved) {
        s.Control = r.Point(first / 2);
        s.To = r.Point(r.Number());
      } else {
        s.To = r.Point(first / 2);
      }
    }
  }
  return path;
}

namespace {

void PutLE(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

// Uncompressed samples as a WAV file, which every browser decodes.
std::vector<uint8_t> Wav(const TSoundCharacter& s) {
  static const uint32_t kRates[] = {5512, 11025, 22050, 44100};
  const uint32_t channels = s.Format.Stereo ? 2 : 1, bits = s.Format.Is16Bit ? 16 : 8;
  const uint32_t rate = kRates[s.Format.Rate & 3];
  std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
  PutLE(out, uint32_t(36 + s.Data.size()), 4);
  for (char c : std::string("WAVEfmt ")) out.push_back(uint8_t(c));
  PutLE(out, 16, 4);
  PutLE(out, 1, 2);  // PCM
  PutLE(out, channels, 2);
  PutLE(out, rate, 4);
  PutLE(out, rate * channels * bits / 8, 4);
  PutLE(out, channels * bits / 8, 2);
  PutLE(out, bits, 2);
  for (char c : std::string("data")) out.push_back(uint8_t(c));
  PutLE(out, uint32_t(s.Data.size()), 4);
  out.insert(out.end(), s.Data.begin(), s.Data.end());
  return out;
}

std::string Sound(const TSoundCharacter& s) {
  std::string audio;
  if (s.Format.Format == 2) {
    audio = "data:audio/mpeg;base64," + Base64(s.Data.data(), s.Data.size());
  } else if (s.Format.Format == 0 || s.Format.Format == 3) {
    const std::vector<uint8_t> wav = Wav(s);
    audio = "data:audio/wav;base64," + Base64(wav.data(), wav.size());
  } else {
    throw platform::TVellumetError("The HTML5 page cannot play sound " + std::to_string(s.ID) +
                                   " of this movie (ADPCM); use an MP3 or WAV file");
  }
  return "{\"kind\":\"sound\",\"audio\":\"" + audio + "\"}";
}

// Empty for what the page does not draw or play (edit texts, sounds left out).
std::string Character(const TCharacter& c, const TMovie& movie, const TPageDataOptions& options,
                      TPagePngWriter& pngs) {
  switch (c.Kind) {
    case TCharacterKind::Shape:
      return Shape(static_cast<const TShapeCharacter&>(c).Shape, movie);
    case TCharacterKind::Bitmap:
      return Bitmap(static_cast<const TBitmapCharacter&>(c), options, pngs);
    case TCharacterKind::Font:
      return Font(static_cast<const TFontCharacter&>(c));
    case TCharacterKind::Text:
      return Text(static_cast<const TTextCharacter&>(c), movie);
    case TCharacterKind::Button:
      return Button(static_cast<const TButtonCharacter&>(c), movie, options.Sound);
    case TCharacterKind::Sound:
      if (!options.Sound) break;
      return Sound(static_cast<const TSoundCharacter&>(c));
    case TCharacterKind::EditText:
      break;
  }
  return "";
}

std::string HexColor(TRGBA c) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", c.R, c.G, c.B);
  return buffer;
}

}  // namespace

std::string PageData(const TMovie& movie, const TPageDataOptions& options) {
  if (options.Sound && movie.StreamSound && !movie.StreamSound->Blocks.empty())
    throw platform::TVellumetError(
        "The HTML5 page cannot play this movie's streamed sound; use an event sound");
  std::string characters;
  TPagePngWriter pngs;
  for (const auto& [id, c] : movie.Characters)
    if (const std::string text = Character(*c, movie, options, pngs); !text.empty()) {
      characters += characters.empty() ? "\"" : ",\"";
      characters += std::to_string(id);
      characters += "\":";
      characters += text;
    }
  const std::string timeline = Timeline(movie, options.Sound);
  std::string out = "{\"version\":2,\"stage\":" + Rect(movie.Stage) +
                    ",\"width\":" + NumberText(movie.StageWidthPixels()) +
                    ",\"height\":" + NumberText(movie.StageHeightPixels()) +
                    ",\"rate\":" + NumberText(movie.FrameRate) +
                    ",\"frames\":" + NumberText(movie.FrameCount) + ",\"background\":\"" +
                    HexColor(movie.Background) + "\",\"characters\":{";
  // The pictures make most of it: copied once, into a text large enough.
  out.reserve(out.size() + characters.size() + timeline.size() + 16);
  out += characters;
  out += "},\"timeline\":";
  out += timeline;
  out += "}";
  return out;
}

}  // namespace exporters
