#pragma once
// Where `vellumet export` writes: the format chosen by the extension of the
// name after -o, or a folder that gets NAME.swf and its pages.
#include <string>

namespace app {

enum class TTargetKind { Swf, Gif, WebP, Video, Html };

// By the extension in any letter case: .gif, .webp, .mp4, .webm and .html
// (or .htm, the HTML5 page); any
// other name is an SWF movie (".swf" is appended unless it ends so).
TTargetKind TargetKindOf(const std::string& output);

// -o names a folder when it ends in a slash or is an existing folder.
bool NamesFolder(const std::string& output);

// The movie of `project` inside `folder`: the project's name with ".swf".
std::string SwfPathInFolder(const std::string& folder, const std::string& project);
// Its HTML5 page there: the project's name with ".html".
std::string HtmlPathInFolder(const std::string& folder, const std::string& project);

// The folder a file path lies in ("." for a bare name).
std::string FolderOf(const std::string& path);

// "" when files can be made in the folder, else why not: it is missing, is
// not a folder, or refuses a new file (tried, not guessed from its mode:
// read-only mounts and root's rights make the mode say little).
std::string FolderProblem(const std::string& folder);

}  // namespace app
