#include "exporters/page_data.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "exporters/page_png.h"
#include "platform/error.h"
#include "player/bitmap_decode.h"

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

// --- path packing ---

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

int64_t WholeUnits(double v) {
  if (!(std::fabs(v) < 2147483648.0) || v != std::floor(v))
    throw platform::TVellumetError(
        "The HTML5 page cannot show this movie exactly: a path has a point off the "
        "movie's grid");
  return int64_t(v);
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

std::string Color(TRGBA c) {
  return Numbers({double(c.R), double(c.G), double(c.B), double(c.A)});
}

std::string Matrix(const TMatrix& m) {
  return Numbers({m.A, m.B, m.C, m.D, m.TX, m.TY});
}

std::string ColorTransform(const TColorTransform& c) {
  return Numbers(
      {c.Mult[0], c.Mult[1], c.Mult[2], c.Mult[3], c.Add[0], c.Add[1], c.Add[2], c.Add[3]});
}

std::string Rect(const TRectD& r) {
  return Numbers({r.Xmin, r.Ymin, r.Xmax, r.Ymax});
}

template <typename T, typename F>
std::string List(const std::vector<T>& items, F write) {
  std::string out = "[";
  for (const T& item : items) out += (out.size() > 1 ? "," : "") + write(item);
  return out + "]";
}

std::string Stops(const std::vector<TGradientStop>& stops) {
  return List(stops, [](const TGradientStop& s) {
    return "[" + NumberText(s.Ratio) + "," + Color(s.Color) + "]";
  });
}

std::string Fill(const TFillStyle& f) {
  switch (f.Kind) {
    case TFillStyle::Solid:
      return "{\"solid\":" + Color(f.Color) + "}";
    case TFillStyle::LinearGradient:
      return "{\"linear\":" + Stops(f.Stops) + ",\"matrix\":" + Matrix(f.Matrix) + "}";
    case TFillStyle::RadialGradient:
      return "{\"radial\":" + Stops(f.Stops) + ",\"matrix\":" + Matrix(f.Matrix) + "}";
    case TFillStyle::FocalGradient:
      return "{\"radial\":" + Stops(f.Stops) + ",\"matrix\":" + Matrix(f.Matrix) +
             ",\"focus\":" + NumberText(f.Focal) + "}";
    case TFillStyle::Bitmap:
      return "{\"bitmap\":" + NumberText(f.BitmapID) + ",\"matrix\":" + Matrix(f.Matrix) +
             ",\"repeat\":" + (f.Repeat ? "true" : "false") +
             ",\"smooth\":" + (f.Smooth ? "true" : "false") + "}";
  }
  return "{}";
}

std::string StyledPaths(const std::vector<TStyledPath>& paths) {
  return List(paths, [](const TStyledPath& p) {
    return "[" + NumberText(double(p.Style)) + ",\"" + EncodePath(p.Path) + "\"]";
  });
}

std::string Shape(const TShape& shape) {
  return "{\"kind\":\"shape\",\"layers\":" +
         List(shape.Layers,
              [](const TShapeLayer& l) {
                return "{\"fills\":" + List(l.Fills, Fill) + ",\"lines\":" +
                       List(l.Lines,
                            [](const TLineStyle& s) {
                              return "[" + NumberText(s.Width) + "," + Color(s.Color) + "]";
                            }) +
                       ",\"fillPaths\":" + StyledPaths(l.FillPaths) +
                       ",\"linePaths\":" + StyledPaths(l.LinePaths) + "}";
              }) +
         "}";
}

// A plain JPEG goes in as it is (browsers decode it as our player does);
// anything else as the PNG of its decoded pixels.
std::string Bitmap(const TBitmapCharacter& b, const TPageDataOptions& options) {
  const TPixels* pixels = b.Pixels();
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
    const std::vector<uint8_t> png = PagePng(*pixels);
    image = options.PictureFile ? options.PictureFile(b.ID, "png", png)
                                : "data:image/png;base64," + Base64(png.data(), png.size());
  }
  // A large picture is kept smaller: each of its pixels then covers several
  // of the bitmap's (the JPEG goes in whole, so only the PNG needs it).
  const bool reduced = !jpeg && (pixels->ScaleX != 1 || pixels->ScaleY != 1);
  return "{\"kind\":\"bitmap\",\"width\":" + NumberText(pixels->Width) +
         ",\"height\":" + NumberText(pixels->Height) +
         (reduced ? ",\"scale\":" + Numbers({pixels->ScaleX, pixels->ScaleY}) : "") +
         ",\"image\":\"" + image + "\"}";
}

std::string Font(const TFontCharacter& f) {
  return "{\"kind\":\"font\",\"scale\":" + NumberText(f.GlyphScale) + ",\"glyphs\":" +
         List(f.Glyphs,
              [](const TShape& g) {
                std::vector<std::string> paths;
                if (!g.Layers.empty())
                  for (const TStyledPath& p : g.Layers.front().FillPaths)
                    paths.push_back("\"" + EncodePath(p.Path) + "\"");
                return List(paths, [](const std::string& s) { return s; });
              }) +
         "}";
}

std::string Text(const TTextCharacter& t) {
  return "{\"kind\":\"text\",\"matrix\":" + Matrix(t.Matrix) + ",\"bounds\":" + Rect(t.Bounds) +
         ",\"records\":" +
         List(t.Records,
              [](const TTextRecord& r) {
                std::string glyphs = "[";
                for (const TGlyphEntry& g : r.Glyphs)
                  glyphs += (glyphs.size() > 1 ? "," : "") + NumberText(g.Index) + "," +
                            NumberText(g.Advance);
                return "{\"font\":" + NumberText(r.FontID) + ",\"color\":" + Color(r.Color) +
                       ",\"x\":" + NumberText(r.X) + ",\"y\":" + NumberText(r.Y) +
                       ",\"height\":" + NumberText(r.Height) + ",\"glyphs\":" + glyphs + "]}";
              }) +
         "}";
}

std::string Action(const TAction& a) {
  switch (a.Kind) {
    case TAction::Stop:
      return "{\"stop\":true}";
    case TAction::Play:
      return "{\"play\":true}";
    case TAction::NextFrame:
      return "{\"next\":true}";
    case TAction::PreviousFrame:
      return "{\"previous\":true}";
    case TAction::GotoFrame:
      return "{\"goto\":" + NumberText(a.Frame) + "}";
    case TAction::GotoLabel:
      return "{\"label\":" + JsonQuoted(a.Label) + "}";
    case TAction::GetURL:
      return "{\"url\":" + JsonQuoted(a.URL) + ",\"target\":" + JsonQuoted(a.Target) + "}";
    case TAction::Other:
      break;
  }
  return "{}";
}

std::string SoundStart(const TSoundStart& s) {
  return "{\"id\":" + NumberText(s.SoundID) + ",\"stop\":" + (s.Stop ? "true" : "false") +
         ",\"noMultiple\":" + (s.NoMultiple ? "true" : "false") +
         ",\"loops\":" + NumberText(s.Loops) + "}";
}

std::string Button(const TButtonCharacter& b) {
  std::string sounds = "[";
  for (const TSoundStart& s : b.Sounds)
    sounds += (sounds.size() > 1 ? "," : "") + (s.SoundID ? SoundStart(s) : "null");
  return "{\"kind\":\"button\",\"records\":" +
         List(b.Records,
              [](const TButtonRecord& r) {
                return "{\"states\":" + NumberText(r.States) +
                       ",\"id\":" + NumberText(r.CharacterID) +
                       ",\"depth\":" + NumberText(r.Depth) + ",\"matrix\":" + Matrix(r.Matrix) +
                       ",\"color\":" + ColorTransform(r.ColorTransform) + "}";
              }) +
         ",\"actions\":" +
         List(b.Actions,
              [](const TButtonCondAction& a) {
                return "{\"conditions\":" + NumberText(a.Conditions) +
                       ",\"actions\":" + List(a.Actions, Action) + "}";
              }) +
         ",\"sounds\":" + sounds + "]}";
}

std::string Op(const TDisplayOp& op) {
  std::string out = "{\"depth\":" + NumberText(op.Depth);
  if (op.Kind == TDisplayOp::Remove) return out + ",\"remove\":true}";
  if (op.Move) out += ",\"move\":true";
  if (op.CharacterID) out += ",\"id\":" + NumberText(*op.CharacterID);
  if (op.Matrix) out += ",\"matrix\":" + Matrix(*op.Matrix);
  if (op.ColorTransform) out += ",\"color\":" + ColorTransform(*op.ColorTransform);
  if (op.ClipDepth) out += ",\"clip\":" + NumberText(*op.ClipDepth);
  return out + "}";
}

std::string Frame(const TFrameContent& f) {
  std::string out = "{\"frame\":" + NumberText(f.Frame);
  if (!f.Ops.empty()) out += ",\"ops\":" + List(f.Ops, Op);
  if (!f.Actions.empty()) out += ",\"actions\":" + List(f.Actions, Action);
  if (!f.Sounds.empty()) out += ",\"sounds\":" + List(f.Sounds, SoundStart);
  if (!f.Label.empty()) out += ",\"label\":" + JsonQuoted(f.Label);
  return out + "}";
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

std::string EncodePath(const TPath& path) {
  TPathWriter w;
  PutNumber(w.bytes_, path.size());
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
  const uint64_t count = r.Number();
  if (count > r.Remaining()) TPathReader::Fail();  // each subpath takes bytes
  TPath path(count);
  for (TSubpath& sp : path) {
    const uint64_t header = r.Number();
    sp.Closed = header & 1;
    if (header / 2 > r.Remaining()) TPathReader::Fail();
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
  if (!r.AtEnd()) TPathReader::Fail();
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

// Null for what the page does not draw or play (edit texts).
std::string Character(const TCharacter& c, const TPageDataOptions& options) {
  switch (c.Kind) {
    case TCharacterKind::Shape:
      return Shape(static_cast<const TShapeCharacter&>(c).Shape);
    case TCharacterKind::Bitmap:
      return Bitmap(static_cast<const TBitmapCharacter&>(c), options);
    case TCharacterKind::Font:
      return Font(static_cast<const TFontCharacter&>(c));
    case TCharacterKind::Text:
      return Text(static_cast<const TTextCharacter&>(c));
    case TCharacterKind::Button:
      return Button(static_cast<const TButtonCharacter&>(c));
    case TCharacterKind::Sound:
      if (!options.Sound) break;
      return Sound(static_cast<const TSoundCharacter&>(c));
    case TCharacterKind::EditText:
      break;
  }
  return "null";
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
  std::string characters = "{";
  for (const auto& [id, c] : movie.Characters)
    characters += (characters.size() > 1 ? ",\"" : "\"") + std::to_string(id) +
                  "\":" + Character(*c, options);
  characters += "}";
  return "{\"version\":1,\"stage\":" + Rect(movie.Stage) +
         ",\"width\":" + NumberText(movie.StageWidthPixels()) +
         ",\"height\":" + NumberText(movie.StageHeightPixels()) +
         ",\"rate\":" + NumberText(movie.FrameRate) +
         ",\"frames\":" + NumberText(movie.FrameCount) + ",\"background\":\"" +
         HexColor(movie.Background) + "\",\"characters\":" + characters +
         ",\"timeline\":" + List(movie.Frames, Frame) + "}";
}

}  // namespace exporters
