#include "support/large_project.h"

#include <algorithm>

namespace vtest {

namespace {

using TPlacer = void (*)(project::TShapeRec& r, int s, int32_t l);

// 50 objects in every one of 200 frames; placer sets each frame's position,
// angle and text.
void MakeProject(project::TProjectDocument& doc, const std::string& samplesDir, TPlacer placer) {
  doc.CreateEmptyMV();
  doc.SetFrameCount(200);
  for (int s = 1; s <= 50; ++s) {
    const auto kind = s % 10 == 0   ? project::skText
                      : s % 10 == 5 ? project::skPicture
                                    : project::TShapeKind(s % 6 + 1);
    doc.CreateEmptyShape(s, kind, 1, 200, project::TEditMode::emAllFrames);
    for (int32_t l = 1; l <= 200; ++l) {
      project::TShapeRec& r = doc.Frames[size_t(l)].Slots.Edit(s);
      r.Fill = uint8_t(s % 3);
      r.Radius = kind == project::skStar ? 5 : 10;
      r.Alpha = uint8_t(s % 4 == 0 ? 80 : 0);
      if (kind == project::skPicture) r.Text = samplesDir + "media/logo.bmp";
      if (kind == project::skText) r.FontSize = 12;
      placer(r, s, l);
    }
  }
}

}  // namespace

void MakeLargeProject(project::TProjectDocument& doc, const std::string& samplesDir) {
  MakeProject(doc, samplesDir, [](project::TShapeRec& r, int s, int32_t l) {
    r.X = (s * 37 + l * 2) % 468;
    r.Y = (s * 13) % 60;
    r.Angle = (l * 3 + s) % 360;
    if (r.Object == project::skText) r.Text = "Frame " + std::to_string(l);
  });
}

void MakeBannerProject(project::TProjectDocument& doc, const std::string& samplesDir) {
  MakeProject(doc, samplesDir, [](project::TShapeRec& r, int s, int32_t l) {
    const int32_t step = std::clamp(l - (s - 1) * 3 - 1, 0, 30);
    r.X = (s * 37) % 440 - (30 - step) * 16;
    r.Y = (s * 13) % 60;
    r.Angle = s % 5 == 0 && step < 30 ? step * 12 : 0;
    if (r.Object == project::skText) r.Text = "Offer " + std::to_string(s);
  });
}

void MakeSlideShow(project::TProjectDocument& doc, int frames, int objects,
                   const std::string& media) {
  using namespace project;
  doc.SetFrameCount(frames);
  for (int i = 1; i <= frames; ++i) {
    doc.Frames[size_t(i)].Delay = 40 + i % 100;
    for (int n = 1; n <= objects; ++n) {
      auto kind = TShapeKind(1 + (n - 1) % 9);
      doc.CreateEmptyShape(n, kind, i, i, TEditMode::emAnimation);
      TShapeRec& r = doc.Frames[size_t(i)].Slots.Edit(n);
      r.X = i % 468;
      r.Y = n * 5;
      r.Angle = i % 360;
      if (kind == skText) r.Text = "Slide " + std::to_string(i) + ", caption";
      if (kind == skPicture || kind == skButton) r.Text = media;
      if (kind == skButton) r.URL = "http://example.com/item/" + std::to_string(i);
    }
  }
}

}  // namespace vtest
