#pragma once
// The project file formats: version 1.6 (read and written) and version 1.2
// (read only). The parsers work on the whole file in memory and build a new
// project; nothing touches a document or the disk until the file was read
// to its end.
#include <string>
#include <string_view>
#include <vector>

#include "project/document.h"
#include "project/model.h"

namespace project {

inline constexpr std::string_view HeaderV16 = "[Quillmark Project File v.1.6]";
inline constexpr std::string_view HeaderV12 = "[Quillmark Project File v.1.2]";

// One media block of a version 1.6 file: the name as stored and its Base64
// lines (a view into the file's bytes).
struct TMediaBlock {
  std::string Name;
  std::string_view Base64;
};

struct TProjectContent {
  TMovieSettings Settings;
  std::vector<TFrameRec> Frames;  // FrameCount + 1 records
  int32_t FrameCount = 0;
  std::vector<TMediaBlock> Media;
  // Version 1.2 files do not store MainURL; see the legacy reader.
};

// Both throw TProjectError whose Detail() names the line that is wrong.
TProjectContent ParseProjectV16(std::string_view data);
TProjectContent ParseProjectV12(std::string_view data);

// The whole file; only regular files are read.
std::string ReadProjectBytes(const std::string& path);

// The name a media block is unpacked under: the file-name part of the stored
// name (both separators), as a native file name. "" when the block must be
// skipped (empty, ".", "..", or a NUL byte in it).
std::string SafeMediaName(std::string_view stored);

// Decodes every block into tempDir + its safe name, replacing older files;
// returns the paths written, once each.
std::vector<std::string> ExtractMedia(const std::vector<TMediaBlock>& media,
                                      const std::string& tempDir);

// What a project file is written from, copied out of the document on the
// window's thread so that a worker can write it while the user edits on.
// Media are read from their files when the snapshot is written.
struct TProjectSnapshot {
  TMovieSettings Settings;
  std::vector<TFrameRec> Frames;  // FrameCount + 1 records
  int32_t FrameCount = 0;
  std::string TempDir, ProgramDir;
};
TProjectSnapshot TakeSnapshot(const TProjectDocument& doc);

// Writes the version 1.6 file of `doc`; see TProjectDocument::SaveMV_NEW.
void WriteProjectFile(const TProjectDocument& doc, const std::string& path);
void WriteProjectFile(const TProjectSnapshot& snapshot, const std::string& path);
// The bytes WriteProjectFile writes, in memory (media are read from their files).
std::string ProjectFileBytes(const TProjectDocument& doc);

// The file a media reference of the model (Windows-1252) names, as a native
// path: the stored path when it is absolute, then tempDir + reference, then
// programDir + reference, each also with '\' read as '/'. "" when none is a
// regular file.
std::string ResolveMediaPath(std::string_view stored, const std::string& tempDir,
                             const std::string& programDir);

}  // namespace project
