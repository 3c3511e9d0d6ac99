#include "app/project_movie.h"

#include <cstdio>
#include <filesystem>

#include "moviegen/build_host.h"
#include "moviegen/movie_build.h"
#include "platform/error.h"
#include "player/swf_reader.h"
#include "project/document.h"

namespace app {

bool IsSwf(const std::vector<uint8_t>& bytes) {
  return bytes.size() >= 3 && (bytes[0] == 'F' || bytes[0] == 'C' || bytes[0] == 'Z') &&
         bytes[1] == 'W' && bytes[2] == 'S';
}

namespace {

// Keeps the text of a failed open for the command's message.
class TOpenErrors : public project::IDocumentView {
 public:
  void ShowError(const std::string& message, const std::string& detail) override {
    Text = detail.empty() ? message : message + " (" + detail + ")";
  }
  std::string Text;
};

}  // namespace

// The movie's file is deleted at once.
std::vector<uint8_t> ProjectMovie(const std::string& path, bool whole, long frame) {
  TOpenErrors errors;
  project::TProjectDocument doc(errors);
  if (!doc.OpenMV(path)) throw platform::TVellumetError(errors.Text);
  if (frame > doc.FrameCount)
    throw platform::TVellumetError(path + " has " + std::to_string(doc.FrameCount) +
                                   " frames; there is no frame " + std::to_string(frame));
  moviegen::THeadlessBuildHost host;
  doc.CurrentFrame = int32_t(frame);
  const std::string movie = moviegen::CreateMovie(doc, host, whole, false, false);
  std::vector<uint8_t> bytes;
  try {
    bytes = player::ReadFileBytes(movie);
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(movie, ignored);
    throw;
  }
  std::filesystem::remove(movie);
  return bytes;
}

TInputMovie ReadInputMovie(const std::string& path, bool whole, long frame) {
  std::vector<uint8_t> bytes = player::ReadFileBytes(path);
  const bool project = !IsSwf(bytes);
  if (project) bytes = ProjectMovie(path, whole, frame);
  auto movie = std::make_shared<const player::TMovie>(player::ReadMovie(bytes));
  for (const std::string& w : movie->Warnings) std::fprintf(stderr, "warning: %s\n", w.c_str());
  return {std::move(movie), project};
}

}  // namespace app
