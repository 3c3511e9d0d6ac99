#pragma once
// Exports beside the SWF movie, for today's web: animated GIF and WebP, PNG
// frames, video (MP4 with H.264, WebM with VP9), the HTML5 page and a web
// page that plays the movie with the Ruffle web player. Each export starts
// from the whole-movie build (an SWF file) and the project it came from (frame delays, loop, the
// background sound); frames are painted by our own player, so they look as
// the preview does. Errors are thrown as platform::TVellumetError with the
// text the user sees.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "project/document.h"

namespace exporters {

// Called after each step; false cancels the export (the target file is then
// not written, or removed).
using TProgress = std::function<bool(int64_t done, int64_t total)>;

struct TAnimationOptions {
  double Scale = 1.0;        // of the stage size
  int64_t MaxSizeKB = 0;     // 0: no size budget
  std::optional<bool> Loop;  // default: the project's "Loop Playback"
};

struct TExportReport {
  std::string Path;
  uint64_t Bytes = 0;
  // What the export chose, for the user ("128 colours", "quality 70", ...);
  // empty when there was nothing to choose.
  std::string Choice;
};

// Animated GIF, animated WebP, and a folder of PNG files (one per project
// frame, frame-0001.png ...).
TExportReport ExportGif(const std::string& swfPath, const project::TProjectDocument& doc,
                        const std::string& outPath, const TAnimationOptions& options,
                        const TProgress& progress = {});
TExportReport ExportWebP(const std::string& swfPath, const project::TProjectDocument& doc,
                         const std::string& outPath, const TAnimationOptions& options,
                         const TProgress& progress = {});
TExportReport ExportPngFrames(const std::string& swfPath, const project::TProjectDocument& doc,
                              const std::string& outDir, const TAnimationOptions& options,
                              const TProgress& progress = {});

// MP4 (H.264) or WebM (VP9), chosen by the extension of outPath, with the
// background sound when the project has one.
TExportReport ExportVideo(const std::string& swfPath, const project::TProjectDocument& doc,
                          const std::string& outPath, const TAnimationOptions& options,
                          const TProgress& progress = {});

// The HTML5 page (html5_page.h): one file that plays the movie in any
// browser with its own small script. options.Loop false plays it once.
TExportReport ExportHtml5Page(const std::string& swfPath, const project::TProjectDocument& doc,
                              const std::string& outPath, const TAnimationOptions& options,
                              const TProgress& progress = {});

// NAME.web.html beside the SWF file `swfPath`, embedding it with the Ruffle
// web player copied into a ruffle/ folder beside the page.
TExportReport WriteWebPage(const project::TProjectDocument& doc, const std::string& swfPath);

}  // namespace exporters
