#pragma once
// The web page that plays the movie in today's browsers with the Ruffle web
// player (WriteWebPage in exporters.h), in pieces the tests reach.
#include <string>

#include "exporters/exporters.h"
#include "project/model.h"

namespace exporters {

// The text with &, <, > and " as entities, for HTML text and attributes.
std::string HtmlEscaped(const std::string& text);

// NAME.web.html for the movie NAME.swf (any extension is replaced).
std::string WebPageFileName(const std::string& swfPath);

// The page (HTML5, UTF-8) for the movie file swfName (no folder, UTF-8): on
// the site colour, the player sized to the stage, loading ruffle/ruffle.js
// and the movie from the page's own folder.
std::string WebPage(const project::TMovieSettings& settings, const std::string& swfName);

// WriteWebPage with the Ruffle files taken from the folder ruffleFolder.
TExportReport WriteWebPageWith(const project::TMovieSettings& settings, const std::string& swfPath,
                               const std::string& ruffleFolder);

}  // namespace exporters
