#include "support/large_project.h"

namespace vtest {

void MakeLargeProject(project::TProjectDocument& doc, const std::string& samplesDir) {
  doc.CreateEmptyMV();
  doc.SetFrameCount(200);
  for (int s = 1; s <= 50; ++s) {
    const auto kind = s % 10 == 0   ? project::skText
                      : s % 10 == 5 ? project::skPicture
                                    : project::TShapeKind(s % 6 + 1);
    doc.CreateEmptyShape(s, kind, 1, 200, project::TEditMode::emAllFrames);
    for (int32_t l = 1; l <= 200; ++l) {
      project::TShapeRec& r = doc.Frames[size_t(l)].Slots.Edit(s);
      r.X = (s * 37 + l * 2) % 468;
      r.Y = (s * 13) % 60;
      r.Angle = (l * 3 + s) % 360;
      r.Fill = uint8_t(s % 3);
      r.Radius = kind == project::skStar ? 5 : 10;
      r.Alpha = uint8_t(s % 4 == 0 ? 80 : 0);
      if (kind == project::skPicture) r.Text = samplesDir + "media/logo.bmp";
      if (kind == project::skText) {
        r.Text = "Frame " + std::to_string(l);
        r.FontSize = 12;
      }
    }
  }
}

}  // namespace vtest
