#include "player/movie_dump.h"

#include <cstdio>

#include "player/swf_reader.h"

namespace player {
namespace {

std::string Format(const char* format, auto... args) {
  char buf[256];
  std::snprintf(buf, sizeof buf, format, args...);
  return buf;
}

}  // namespace

std::string DumpMovie(const TMovie& movie) {
  std::string out;
  out += Format("%s version %u, %u bytes uncompressed\n",
                movie.Lzma         ? "ZWS"
                : movie.Compressed ? "CWS"
                                   : "FWS",
                movie.Version, movie.FileLength);
  out += Format(
      "stage %d x %d pixels (%g,%g)-(%g,%g) twips, %g frames per second, %u frames (header: %u)\n",
      movie.StageWidthPixels(), movie.StageHeightPixels(), movie.Stage.Xmin, movie.Stage.Ymin,
      movie.Stage.Xmax, movie.Stage.Ymax, movie.FrameRate, movie.FrameCount,
      movie.HeaderFrameCount);
  const auto& tags = movie.Tags;
  for (size_t i = 0; i < tags.size(); ++i) {
    const TTagInfo& t = tags[i];
    if (t.Code == 1) {  // ShowFrame: one line for the run
      size_t j = i;
      while (j + 1 < tags.size() && tags[j + 1].Code == 1 && tags[j + 1].Length == 0) ++j;
      if (j > i) {
        out += Format("%8zu  frame %-5u ShowFrame x %zu (frames %u-%u)\n", t.Offset, t.Frame + 1,
                      j - i + 1, t.Frame + 1, tags[j].Frame + 1);
        i = j;
        continue;
      }
    }
    out += Format("%8zu  frame %-5u %s (%u) length %u", t.Offset, t.Frame + 1,
                  TagName(t.Code).c_str(), t.Code, t.Length);
    out += t.Text.empty() ? "\n" : ": " + t.Text + "\n";
  }
  for (const std::string& w : movie.Warnings) out += "warning: " + w + "\n";
  return out;
}

}  // namespace player
