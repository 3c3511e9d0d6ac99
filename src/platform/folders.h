#pragma once
// The program's folders on Linux and the path helpers that go with stored
// paths. Paths here are native (UTF-8) and folders end in '/'.
#include <string>
#include <string_view>

namespace platform {

// Folder of the running executable; program data (samples, buttons, help)
// is looked up here.
const std::string& ProgramDir();

// A folder private to this process, made under $TMPDIR (or /tmp) on first
// use and removed with its content when the process exits; a forked child
// gets a folder of its own. Media unpacked from projects land here by bare
// file name, so a private folder keeps them from ever replacing another
// program's (or another instance's) files.
// Throws TVellumetError when the folder cannot be made.
const std::string& TempDir();

// $XDG_CACHE_HOME/vellumet/ (default ~/.cache/vellumet/), created when
// missing: the program folder is not writable once installed.
std::string CacheDir();

// $XDG_STATE_HOME/vellumet/ (default ~/.local/state/vellumet/), not created:
// state that outlives a run (recovery copies) but is no cache to clear.
std::string StateDir();

// $XDG_CONFIG_HOME/vellumet/ (default ~/.config/vellumet/): the user's own
// settings files. Not created: the program only reads there.
std::string ConfigDir();

// "cache" -> CacheDir(), "temp" -> TempDir(), "program" -> ProgramDir();
// any other kind (the Windows folders) has no counterpart and gives "".
std::string GetDir(std::string_view kind);

// The file-name part of a stored path. Stored paths may come from Windows,
// so both '\' and '/' separate folders.
std::string_view FileNamePart(std::string_view path);

// Everything up to and including the last '\' or '/'; "" without a folder.
std::string_view FolderPart(std::string_view path);

}  // namespace platform
