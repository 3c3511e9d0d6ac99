#pragma once
// The Ruffle web player's files, which a web page export copies beside the
// page so that it plays offline and from any web server.
#include <string>
#include <vector>

namespace exporters {

// Where the player's files are looked for, in order: the ruffle/ folder
// beside the program (where make install and the .deb put them), then the
// development cache that `make deps` fills from the pinned npm package.
std::vector<std::string> RuffleSearchFolders();

// The first of `folders` that holds ruffle.js. Throws TVellumetError saying
// how to get the player when none does.
std::string FindRuffle(const std::vector<std::string>& folders);

// Whether a file of the package is part of what a page needs: the scripts,
// the WebAssembly modules and the licences, not the source maps.
bool IsRuffleFile(const std::string& fileName);

// Copies the player's files from the folder `from` into the folder `to`
// (made when missing). A file already there with the same content is kept;
// each file is written under a temporary name and renamed into place, so
// exports writing into one folder at the same time never see half a file.
// Throws TVellumetError "Error writing the file ruffle/NAME" on failure.
void CopyRuffle(const std::string& from, const std::string& to);

}  // namespace exporters
