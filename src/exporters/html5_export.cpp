// The HTML5 page written beside the other exports: the page of html5_page.h
// from the built movie, with the picture files it names.
#include <filesystem>

#include "exporters/export_progress.h"
#include "exporters/exporters.h"
#include "exporters/html5_page.h"
#include "media/file_bytes.h"
#include "player/swf_reader.h"

namespace exporters {

TExportReport ExportHtml5Page(const std::string& swfPath, const project::TProjectDocument& doc,
                              const std::string& outPath, const TAnimationOptions& options,
                              const TProgress& progress) {
  THtml5Options page;
  if (options.Loop == false) page.Loops = 1;
  page.Title = std::filesystem::path(doc.ProjectFileName.empty() ? outPath : doc.ProjectFileName)
                   .stem()
                   .string();
  TProgressMeter meter(progress, 2);
  const THtml5Page built = Html5Page(player::ReadFileBytes(swfPath), page);
  meter.Step();
  const std::filesystem::path folder = std::filesystem::path(outPath).parent_path();
  for (const THtml5File& file : built.Files)
    media::WriteFileBytes((folder / file.Name).string(), file.Bytes);
  media::WriteFileBytes(outPath, built.Html);
  meter.Step();
  return {outPath, built.Html.size(), ""};
}

}  // namespace exporters
