#include "exporters/html5_page.h"

#include <algorithm>

#include "exporters/page_data.h"
#include "exporters/page_runtime.js.h"
#include "exporters/web_page.h"
#include "platform/error.h"
#include "player/swf_reader.h"

namespace exporters {

using namespace player;

namespace {

constexpr size_t kMaxLabelLength = 300;

const TButtonCharacter* ButtonAt(const TMovie& movie, uint16_t id) {
  const TCharacter* c = movie.Find(id);
  return c && c->Kind == TCharacterKind::Button ? static_cast<const TButtonCharacter*>(c) : nullptr;
}

// The rectangle r mapped by m covers the stage (to a pixel).
bool CoversStage(const TMovie& movie, const TMatrix& m, const TRectD& r) {
  const TPointD corners[] = {m.Map({r.Xmin, r.Ymin}), m.Map({r.Xmax, r.Ymin}),
                             m.Map({r.Xmin, r.Ymax}), m.Map({r.Xmax, r.Ymax})};
  double x0 = corners[0].X, x1 = x0, y0 = corners[0].Y, y1 = y0;
  for (const TPointD& p : corners) {
    x0 = std::min(x0, p.X), x1 = std::max(x1, p.X);
    y0 = std::min(y0, p.Y), y1 = std::max(y1, p.Y);
  }
  const TRectD& s = movie.Stage;
  return x0 <= s.Xmin + 20 && y0 <= s.Ymin + 20 && x1 >= s.Xmax - 20 && y1 >= s.Ymax - 20;
}

const TAction* ReleaseLink(const TButtonCharacter& button) {
  for (const TButtonCondAction& c : button.Actions)
    if (c.Conditions & (1u << 3))  // OverDownToOverUp: the release of a click
      for (const TAction& a : c.Actions)
        if (a.Kind == TAction::GetURL) return &a;
  return nullptr;
}

// The movie-wide link: a button whose hit area covers the whole stage and
// whose click opens an address. Null when the movie has none.
const TAction* MovieLink(const TMovie& movie) {
  for (const TFrameContent& frame : movie.Frames)
    for (const TDisplayOp& op : frame.Ops) {
      if (op.Kind != TDisplayOp::Place || !op.CharacterID) continue;
      const TButtonCharacter* button = ButtonAt(movie, *op.CharacterID);
      if (!button) continue;
      const TAction* link = ReleaseLink(*button);
      if (!link) continue;
      for (const TButtonRecord& r : button->Records) {
        const TCharacter* hit = movie.Find(r.CharacterID);
        if ((r.States & bsHitTest) && hit && hit->Kind == TCharacterKind::Shape &&
            CoversStage(movie, op.Matrix.value_or(TMatrix{}) * r.Matrix,
                        static_cast<const TShapeCharacter*>(hit)->Shape.Bounds))
          return link;
      }
    }
  return nullptr;
}

// The buttons' own addresses besides the movie-wide link, in the order of
// their characters: ad platforms know them as clickTag2, clickTag3...
std::vector<std::string> ButtonExits(const TMovie& movie, const TAction* movieLink) {
  std::vector<std::string> exits;
  for (const auto& [id, c] : movie.Characters) {
    const TButtonCharacter* button = ButtonAt(movie, id);
    if (!button) continue;
    for (const TButtonCondAction& condition : button->Actions)
      for (const TAction& a : condition.Actions)
        if (a.Kind == TAction::GetURL && !a.URL.empty() &&
            !(movieLink && a.URL == movieLink->URL) &&
            std::find(exits.begin(), exits.end(), a.URL) == exits.end())
          exits.push_back(a.URL);
  }
  return exits;
}

// The click tags as ad servers look for them: plain declarations in the head.
std::string ClickTagScript(const TAction* movieLink, const std::vector<std::string>& exits) {
  std::string script =
      "<script>var clickTag = " + JsonQuoted(movieLink ? movieLink->URL : "") + ";";
  for (size_t i = 0; i < exits.size(); ++i)
    script += "\nvar clickTag" + std::to_string(i + 2) + " = " + JsonQuoted(exits[i]) + ";";
  return script + "</script>\n";
}

void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += char(code);
  } else if (code < 0x800) {
    out += char(0xC0 | code >> 6);
    out += char(0x80 | (code & 0x3F));
  } else {
    out += char(0xE0 | code >> 12);
    out += char(0x80 | ((code >> 6) & 0x3F));
    out += char(0x80 | (code & 0x3F));
  }
}

// The words the movie shows, from its texts' glyph codes, for people who
// hear the page instead of seeing it.
std::string MovieWords(const TMovie& movie) {
  std::string words;
  for (const auto& [id, c] : movie.Characters) {
    if (c->Kind != TCharacterKind::Text) continue;
    for (const TTextRecord& r : static_cast<const TTextCharacter&>(*c).Records) {
      const TCharacter* f = movie.Find(r.FontID);
      if (!f || f->Kind != TCharacterKind::Font) continue;
      const auto& font = static_cast<const TFontCharacter&>(*f);
      std::string line;
      for (const TGlyphEntry& g : r.Glyphs)
        if (g.Index < font.Codes.size() && font.Codes[g.Index] >= 0x20)
          AppendUtf8(line, font.Codes[g.Index]);
      if (line.empty() || words.find(line) != std::string::npos) continue;
      if (words.size() + line.size() > kMaxLabelLength) return words;
      words += (words.empty() ? "" : " ") + line;
    }
  }
  return words;
}

std::string Settings(const THtml5Options& options, const TAction* link,
                     const std::vector<std::string>& exits) {
  std::string out = "{\"click\":\"";
  out += options.Click == THtml5Options::ClickTag ? "clickTag\"" : "link\"";
  out += options.Sound ? ",\"sound\":true" : ",\"sound\":false";
  if (options.Loops) out += ",\"loops\":" + std::to_string(std::max(1, *options.Loops));
  if (link) out += ",\"link\":" + JsonQuoted(link->URL) + ",\"target\":" + JsonQuoted(link->Target);
  if (!exits.empty()) {
    out += ",\"exits\":[";
    for (size_t i = 0; i < exits.size(); ++i) out += (i ? "," : "") + JsonQuoted(exits[i]);
    out += "]";
  }
  return out + "}";
}

}  // namespace

THtml5Page Html5Page(const std::vector<uint8_t>& swf, const THtml5Options& options) {
  const TMovie movie = ReadMovie(swf);
  THtml5Page page;
  TPageDataOptions dataOptions;
  dataOptions.Sound = options.Sound;
  if (!options.InlinePictures)
    dataOptions.PictureFile = [&page](uint16_t id, const std::string& extension,
                                      const std::vector<uint8_t>& bytes) {
      const std::string name = "picture" + std::to_string(id) + "." + extension;
      page.Files.push_back({name, bytes});
      return name;
    };
  const std::string data = PageData(movie, dataOptions);
  const TAction* link = MovieLink(movie);
  const bool clickTags = options.Click == THtml5Options::ClickTag;
  const std::vector<std::string> exits =
      clickTags ? ButtonExits(movie, link) : std::vector<std::string>{};
  const std::string title = options.Title.empty() ? "Banner" : options.Title;
  const std::string words = MovieWords(movie);
  const std::string width = std::to_string(movie.StageWidthPixels());
  const std::string height = std::to_string(movie.StageHeightPixels());

  std::string& html = page.Html;
  html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
         HtmlEscaped(title) + "</title>\n";
  // Ad servers look for this declaration as it stands, not minified, in the head.
  if (clickTags) html += ClickTagScript(link, exits);
  html += "<style>\nhtml, body { margin: 0; }\n#stage { display: block; width: " + width +
          "px; height: " + height + "px; }\n#stage canvas { display: block; width: 100%; " +
          "height: 100%; }\n</style>\n</head>\n<body>\n";
  // The stage is a link when the movie has one, so a keyboard reaches it. With
  // click tags the address is the ad server's, read at click time: none here.
  if (link)
    html += "<a id=\"stage\" href=\"" + (clickTags ? "#" : HtmlEscaped(link->URL)) +
            "\" aria-label=\"" + HtmlEscaped(words.empty() ? title : words) + "\">";
  else
    html += "<div id=\"stage\" role=\"img\" aria-label=\"" +
            HtmlEscaped(words.empty() ? title : words) + "\">";
  html += "<canvas width=\"" + width + "\" height=\"" + height + "\"></canvas>";
  html += link ? "</a>\n" : "</div>\n";
  // The movie's data and the runtime are most of the page: each is copied
  // once, into a text already large enough.
  html.reserve(html.size() + data.size() + kPageRuntime.size() + 1024);
  html += "<script type=\"application/json\" id=\"settings\">";
  html += Settings(options, link, exits);
  html += "</script>\n<script type=\"application/json\" id=\"movie\">";
  html += data;
  html += "</script>\n<script>";
  html += kPageRuntime;
  html += "</script>\n</body>\n</html>\n";
  return page;
}

}  // namespace exporters
