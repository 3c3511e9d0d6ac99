#include "exporters/backup_picture.h"

#include <QBuffer>
#include <QImage>

#include "exporters/frame_source.h"
#include "exporters/size_budget.h"
#include "platform/error.h"

namespace exporters {

namespace {

std::vector<uint8_t> Encoded(const QImage& picture, const char* format, int quality) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!picture.save(&buffer, format, quality))
    throw platform::TVellumetError(std::string("The backup picture could not be made as ") +
                                   format);
  return {bytes.begin(), bytes.end()};
}

}  // namespace

TBackupPicture MakeBackupPicture(const std::string& swfPath, const project::TProjectDocument& doc,
                                 int frame, int64_t maxKB) {
  TFrameSource frames(swfPath, doc, 1.0, 0);
  if (frame < 0 || frame > frames.Count())
    throw platform::TVellumetError("There is no frame " + std::to_string(frame) +
                                   " for the backup picture: the movie has " +
                                   std::to_string(frames.Count()) + " frames");
  // Opaque RGB: JPEG has no alpha, and the stage is opaque anyway.
  const QImage picture = frames.Frame(frame == 0 ? frames.Count() - 1 : frame - 1)
                             .convertToFormat(QImage::Format_RGB888);
  std::vector<TEncodingStep> steps{{"PNG", [&] { return Encoded(picture, "PNG", 0); }}};
  for (int quality = 90; quality >= 30; quality -= 10)
    steps.push_back({"JPEG quality " + std::to_string(quality),
                     [&picture, quality] { return Encoded(picture, "JPEG", quality); }});
  TBudgetResult result = EncodeWithinBudget(steps, maxKB, "backup picture");
  const bool png = result.Choice.empty() || result.Choice == "PNG";
  return {png ? "backup.png" : "backup.jpg", std::move(result.Bytes),
          result.Choice.empty() ? "PNG" : result.Choice};
}

}  // namespace exporters
