#pragma once
// The HTML5 page: a built SWF movie as one page that plays in any browser
// with our own small script (Canvas 2D), no player plug-in. The page and its
// options are described in docs/html5-page.md.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace exporters {

struct THtml5Options {
  // Times the movie plays before it holds its last frame; unset: as the
  // movie does (it loops unless it stops itself).
  std::optional<int> Loops;
  // Link: a click opens the link the movie holds. ClickTag: the page
  // declares `var clickTag` in its head (the movie's link as its value) and
  // a click opens whatever clickTag holds at that moment, as ad servers
  // expect.
  enum TClick { Link, ClickTag } Click = Link;
  bool Sound = true;           // false: the page plays no sound and carries none
  bool InlinePictures = true;  // false: pictures as files beside the page
  std::string Title;           // of the page; empty: "Banner"
};

struct THtml5File {
  std::string Name;  // relative to the page, no folder
  std::vector<uint8_t> Bytes;
};

struct THtml5Page {
  std::string Html;               // UTF-8
  std::vector<THtml5File> Files;  // pictures when not inline
};

// The page of the movie (the bytes of an SWF file as the movie build writes
// it). Throws platform::TVellumetError when the movie cannot be read or
// holds something the page could not show exactly.
THtml5Page Html5Page(const std::vector<uint8_t>& swf, const THtml5Options& options = {});

}  // namespace exporters
