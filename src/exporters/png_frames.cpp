// A folder of PNG files, one per project frame: frame-0001.png, ...
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "exporters/export_progress.h"
#include "exporters/exporters.h"
#include "exporters/frame_source.h"
#include "platform/error.h"

namespace exporters {
namespace {

namespace fs = std::filesystem;

std::string PngFrameName(int i) {
  char name[32];
  std::snprintf(name, sizeof name, "frame-%04d.png", i + 1);
  return name;
}

// The frames are written into a private folder inside the target and moved
// into place only when all of them are there, so a cancelled or failed export
// leaves the target folder as it was.
class TStagedFolder {
 public:
  explicit TStagedFolder(const fs::path& target) : target_(target) {
    std::error_code ec;
    if (!fs::exists(target_, ec)) {
      if (!fs::create_directory(target_, ec))
        throw platform::TVellumetError("Cannot make the folder " + target_.string());
      made_ = true;
    } else if (!fs::is_directory(target_, ec)) {
      throw platform::TVellumetError(target_.string() + " is not a folder");
    }
    std::string pattern = (target_ / ".vellumet-frames-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
      Abandon();
      throw platform::TVellumetError("Cannot write into the folder " + target_.string());
    }
    staging_ = pattern;
  }
  ~TStagedFolder() { Abandon(); }
  TStagedFolder(const TStagedFolder&) = delete;
  TStagedFolder& operator=(const TStagedFolder&) = delete;

  uint64_t Save(const std::string& name, const QImage& frame) {
    const fs::path path = staging_ / name;
    if (!frame.convertToFormat(QImage::Format_RGB32)
             .save(QString::fromStdString(path.string()), "PNG"))
      throw platform::TVellumetError("Cannot write the file " + (target_ / name).string());
    names_.push_back(name);
    return fs::file_size(path);
  }

  void Commit() {
    for (const std::string& name : names_) {
      std::error_code ec;
      fs::rename(staging_ / name, target_ / name, ec);
      if (ec) throw platform::TVellumetError("Cannot write the file " + (target_ / name).string());
    }
    made_ = false;
    Abandon();
  }

 private:
  void Abandon() {
    std::error_code ec;
    if (!staging_.empty()) fs::remove_all(staging_, ec);
    staging_.clear();
    if (made_) fs::remove(target_, ec);
    made_ = false;
  }

  fs::path target_, staging_;
  std::vector<std::string> names_;
  bool made_ = false;  // the target folder was made here and goes again on failure
};

}  // namespace

TExportReport ExportPngFrames(const std::string& swfPath, const project::TProjectDocument& doc,
                              const std::string& outDir, const TAnimationOptions& options,
                              const TProgress& progress) {
  TFrameSource frames(swfPath, doc, options.Scale, 0);  // each frame is painted once
  TProgressMeter meter(progress, frames.Count());
  TStagedFolder folder(outDir);
  uint64_t bytes = 0;
  for (int i = 0; i < frames.Count(); ++i) {
    bytes += folder.Save(PngFrameName(i), frames.Frame(i));
    meter.Step();
  }
  folder.Commit();
  return {outDir, bytes, ""};
}

}  // namespace exporters
