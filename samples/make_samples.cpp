// Writes the sample projects with the project writer, embedding the media
// in samples/media. Animated values are spread over the frames the way the
// editor's animation mode spreads them: numbers on a straight line rounded
// to the nearest integer (ties to even), colours through CalcGradient.
//
//   cmake --build BUILD --target make_samples && BUILD/samples/make_samples samples
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <string>

#include "project/document.h"

using namespace project;

namespace {

std::string gMedia;  // the media folder, with a trailing '/'

// The value at frame i of a line from v0 at frame f0 to v1 at frame f1.
int32_t Lerp(int32_t v0, int32_t v1, int32_t i, int32_t f0, int32_t f1) {
  if (f1 == f0) return v0;
  const double up = double(v1 - v0) / double(f1 - f0);
  return int32_t(std::nearbyint(double(i - f0) * up + v0));
}

TColor LerpColor(TColor c0, TColor c1, int32_t i, int32_t f0, int32_t f1) {
  return f1 == f0 ? c0 : CalcGradient(c0, c1, i - f0, f1 - f0);
}

// A new project of `frames` frames on a stage of width x height.
void NewProject(TProjectDocument& doc, int32_t width, int32_t height, int32_t frames) {
  doc.CreateEmptyMV();
  doc.Settings.MWidth = width;
  doc.Settings.MHeight = height;
  doc.Settings.MResolution = 96;
  doc.SetFrameCount(frames);
}

// Creates an object of `kind` in slot s of every frame and lets `edit` set
// its fields frame by frame.
void AddObject(TProjectDocument& doc, int s, TShapeKind kind,
               const std::function<void(TShapeRec&, int32_t)>& edit) {
  doc.CreateEmptyShape(s, kind, 1, doc.FrameCount, TEditMode::emAllFrames);
  for (int32_t i = 1; i <= doc.FrameCount; ++i) edit(doc.Frames[size_t(i)].Slots.Edit(s), i);
}

void Text(TShapeRec& r, const std::string& text, const std::string& font, int size, bool bold,
          bool italic, TColor color) {
  r.Text = text;
  r.Font = font;
  r.FontSize = size;
  r.FBold = bold;
  r.FItalic = italic;
  r.FontColor = color;
  r.Spacing = 0;
}

void Save(TProjectDocument& doc, const std::string& folder, const std::string& name) {
  doc.SaveMV_NEW(folder + name);
  std::printf("%s%s: %d frames\n", folder.c_str(), name.c_str(), doc.FrameCount);
}

// A banner that animates over 24 frames: a star rolls across the stage and
// changes colour, the title fades in, a line of text in a second face
// slides up; gradient background, border, background tune and a link.
void Banner(const std::string& folder) {
  TProjectDocument doc;
  const int32_t n = 24;
  NewProject(doc, 468, 60, n);
  doc.Settings.MBkgrSound = gMedia + "tune.mp3";
  doc.Settings.MainURL = "https://example.com/vellumet";
  for (int32_t i = 1; i <= n; ++i) {
    TFrameRec& f = doc.Frames[size_t(i)];
    f.Delay = 80;
    f.AddGrad = 1;
    f.GradStyle = bgHorizontal;
    f.GradCol1 = RGB(20, 40, 110);
    f.GradCol2 = RGB(80, 160, 230);
    f.AddBorder = 1;
    f.BorderInnerStyle = fbInset;
    f.BorderOuterStyle = fbRaised;
  }
  doc.Frames[size_t(n)].Delay = 1500;
  AddObject(doc, 1, skStar, [&](TShapeRec& r, int32_t i) {
    r.X = Lerp(30, 430, i, 1, n);
    r.Y = 30;
    r.W = 22;
    r.H = 10;
    r.Radius = 5;
    r.Angle = Lerp(0, 360, i, 1, n);
    r.Color = LerpColor(RGB(255, 220, 0), RGB(255, 80, 40), i, 1, n);
    r.BorderColor = RGB(120, 60, 0);
    r.Border = 1;
  });
  AddObject(doc, 2, skText, [&](TShapeRec& r, int32_t i) {
    Text(r, "Vellumet", "Arial", 28, true, false, RGB(255, 255, 255));
    r.X = 150;
    r.Y = 2;
    r.Spacing = 2;
    r.Alpha = uint8_t(i <= 12 ? Lerp(255, 0, i, 1, 12) : 0);
  });
  AddObject(doc, 3, skText, [&](TShapeRec& r, int32_t i) {
    Text(r, "banners made simple", "Times New Roman", 14, false, true, RGB(255, 240, 180));
    r.X = 170;
    r.Y = i <= 16 ? Lerp(60, 36, i, 1, 16) : 36;
  });
  AddObject(doc, 4, skCircle, [&](TShapeRec& r, int32_t i) {
    r.X = 440;
    r.Y = 30;
    r.Radius = Lerp(4, 20, i, 1, n);
    r.Fill = fkRadial;
    r.GrColor1 = RGB(255, 255, 255);
    r.GrColor2 = RGB(80, 160, 230);
    r.GrX = 35;
    r.GrY = 35;
    r.Border = 0;
    r.Alpha = uint8_t(Lerp(200, 60, i, 1, n));
  });
  Save(doc, folder, "banner.sw0");
}

// Every shape kind with every fill: one frame per fill kind, the same six
// slots in each, with transparency, outlines and rotation.
void Shapes(const std::string& folder) {
  TProjectDocument doc;
  NewProject(doc, 468, 120, 5);
  const uint8_t fills[] = {fkSolid, fkLinear, fkRadial, fkBitmap, fkNone};
  const TShapeKind kinds[] = {skRectangle, skRoundRect, skCircle, skEllipse, skDiamond, skStar};
  for (int32_t i = 1; i <= 5; ++i) {
    doc.Frames[size_t(i)].Delay = 1000;
    // Frames 2 and 4 show a background colour other than the movie's.
    if (i % 2 == 0) doc.Frames[size_t(i)].BkgrColor = RGB(240, 236, 220);
  }
  for (int k = 0; k < 6; ++k) {
    AddObject(doc, k + 1, kinds[k], [&](TShapeRec& r, int32_t i) {
      const int32_t left = 10 + 76 * k;
      r.Fill = fills[i - 1];
      r.X = left;
      r.Y = 30;
      r.W = 64;
      r.H = 60;
      if (kinds[k] == skRoundRect) r.Radius = 12;
      if (kinds[k] == skCircle) {
        r.X = left + 32;
        r.Y = 60;
        r.Radius = 30;
      }
      if (kinds[k] == skStar) {
        r.X = left + 32;
        r.Y = 60;
        r.W = 32;
        r.H = 14;
        r.Radius = 6;
      }
      r.Color = RGB(68, 171, 255);
      r.GrColor1 = RGB(255, 0, 0);
      r.GrColor2 = RGB(255, 255, 0);
      r.GrX = k == 2 ? 30 : 50;
      r.GrY = k == 2 ? 30 : 50;
      r.Border = 1 + k % 3;
      r.BorderColor = RGB(0, 68, 136);
      // The bitmap fills alternate between a JPEG tile and a BMP logo.
      if (r.Fill == fkBitmap) r.Text = gMedia + (k % 2 == 0 ? "tile.jpg" : "logo.bmp");
      r.Alpha = uint8_t(k == 3 ? 100 : 0);
      r.Angle = k == 1 ? 10 : 0;
    });
  }
  AddObject(doc, 7, skText, [&](TShapeRec& r, int32_t i) {
    static const char* const names[] = {"Solid colour", "Linear gradient", "Radial gradient",
                                        "Bitmap", "No fill"};
    Text(r, names[i - 1], "Arial", 14, false, false, RGB(40, 40, 40));
    r.X = 8;
    r.Y = 4;
  });
  Save(doc, folder, "shapes.sw0");
}

// The nine gradient layouts with the nine combinations of bevels, one per
// frame; the movie stops on its last frame.
void Backgrounds(const std::string& folder) {
  static const char* const layouts[] = {
      "Horizontal",          "Vertical",        "Bottom-Left Corner",
      "Bottom-Right Corner", "Top-Left Corner", "Top-Right Corner",
      "Diagonal Falling",    "Diagonal Rising", "Pyramid"};
  static const char* const bevels[] = {"None", "Inset", "Raised"};
  TProjectDocument doc;
  NewProject(doc, 468, 60, 9);
  doc.Settings.MLoop = 0;
  for (int32_t i = 1; i <= 9; ++i) {
    TFrameRec& f = doc.Frames[size_t(i)];
    f.Delay = 1200;
    f.AddGrad = 1;
    f.GradStyle = uint8_t(i - 1);
    f.AddBorder = 1;
    f.BorderOuterStyle = uint8_t((i - 1) / 3);
    f.BorderInnerStyle = uint8_t((i - 1) % 3);
    f.BevelW = 2;
    f.BorderW = 3;
  }
  AddObject(doc, 1, skText, [&](TShapeRec& r, int32_t i) {
    const std::string label = std::string(layouts[i - 1]) + " - outer " + bevels[(i - 1) / 3] +
                              ", inner " + bevels[(i - 1) % 3];
    Text(r, label, "Arial", 12, i % 2 == 1, i % 3 == 0, RGB(20, 20, 60));
    r.X = 14;
    r.Y = 20;
  });
  Save(doc, folder, "backgrounds.sw0");
}

// Pictures and sounds: a JPEG, a BMP, a translucent JPEG turning, a button
// with a link and a roll-over sound, and a background tune; white stage on
// a grey page.
void Media(const std::string& folder) {
  TProjectDocument doc;
  NewProject(doc, 468, 120, 3);
  doc.Settings.MSiteColor = RGB(96, 96, 96);
  doc.Settings.MBkgrSound = gMedia + "tune.mp3";
  for (int32_t i = 1; i <= 3; ++i) doc.Frames[size_t(i)].Delay = 700;
  AddObject(doc, 1, skPicture, [&](TShapeRec& r, int32_t) {
    r.Text = gMedia + "photo.jpg";
    r.X = 10;
    r.Y = 10;
  });
  AddObject(doc, 2, skPicture, [&](TShapeRec& r, int32_t) {
    r.Text = gMedia + "logo.bmp";
    r.X = 140;
    r.Y = 20;
  });
  AddObject(doc, 3, skPicture, [&](TShapeRec& r, int32_t i) {
    r.Text = gMedia + "photo.jpg";
    r.X = 220;
    r.Y = Lerp(10, 50, i, 1, 3);
    r.Alpha = 120;
    r.Angle = Lerp(0, 20, i, 1, 3);
  });
  AddObject(doc, 4, skButton, [&](TShapeRec& r, int32_t) {
    r.Text = gMedia + "button.bmp";
    r.X = 400;
    r.Y = 40;
    r.URL = "https://example.com/go";
    r.SoundEv = gMedia + "click.wav";
  });
  AddObject(doc, 5, skText, [&](TShapeRec& r, int32_t i) {
    Text(r, "Pictures & a button", "Times New Roman", 16, i == 2, i == 3, RGB(0, 0, 0));
    r.X = 10;
    r.Y = 84;
  });
  Save(doc, folder, "media.sw0");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_samples SAMPLES-FOLDER\n");
    return 2;
  }
  // Stored media paths are absolute so that the writer finds them to embed.
  std::string folder = std::filesystem::absolute(argv[1]).lexically_normal().string();
  if (folder.back() != '/') folder += '/';
  gMedia = folder + "media/";
  try {
    Banner(folder);
    Shapes(folder);
    Backgrounds(folder);
    Media(folder);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_samples: %s\n", e.what());
    return 1;
  }
  return 0;
}
