#pragma once
// The export of a built movie with its HTML test page, and the texts the
// editor shows about the movie: the frame counter and the movie's time.
#include <cstdint>
#include <string>

#include "project/document.h"

namespace moviegen {

// The movie's name: ".swf" is appended unless the name ends in ".swf" in
// any letter case.
std::string ExportFileName(const std::string& chosen);

// The test page beside the movie: its extension replaced by ".html".
std::string TestPageFileName(const std::string& swfPath);

// The HTML test page for a movie named swfName (no folder; Windows-1252),
// which embeds the movie twice, plain and transparent, and shows both
// pieces of code. Lines end in CR LF.
std::string TestPage(const project::TMovieSettings& settings, const std::string& swfName);

struct TExportResult {
  std::string SwfPath;
  std::string PagePath;
  uint64_t SwfSize = 0;
  // "File NAME has been successfully created!"
  std::string Message;
};

// Copies the built movie to the chosen name (after the extension rule) and
// writes the test page beside it. A failed copy throws TMovieGenError
// "Error writing the file " + the file name, leaving any file of that name
// as it was and writing no page; a failed page write throws as well.
TExportResult SaveSWF(const project::TMovieSettings& settings, const std::string& movieFileName,
                      const std::string& chosen);

// " Time: 1.2 s" for the sum of the frames' delays from one second on,
// " Time: 950 ms" below.
std::string GetMovieTime(const project::TProjectDocument& doc, char decimalSeparator = '.');

// The frame counter of the status bar: "Frame 3 of 20" + GetMovieTime.
std::string FrameCounterText(const project::TProjectDocument& doc, int32_t frame,
                             char decimalSeparator = '.');

// The 0-based frame the editor's player goes to for frame n: the sum of
// Delay div 100 over the frames before it. The single-frame movie shows the
// same picture on all its frames, so this stays within its length.
int32_t PlayerFrameFor(const project::TProjectDocument& doc, int32_t frame);

}  // namespace moviegen
