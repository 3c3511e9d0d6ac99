#pragma once
// The fields of each record in the model's order, with their file keys. The
// writers and readers of both file versions walk these lists, so a field
// is named in one place only.
#include "project/model.h"

namespace project {

template <class Settings, class F>
void VisitSettingsFields(Settings& s, F&& f) {
  f("MResolution", s.MResolution);
  f("MWidth", s.MWidth);
  f("MHeight", s.MHeight);
  f("MSiteColor", s.MSiteColor);
  f("MBkgrColor", s.MBkgrColor);
  f("MLoop", s.MLoop);
  f("MBkgrSound", s.MBkgrSound);
  f("MainURL", s.MainURL);
}

template <class Frame, class F>
void VisitFrameFields(Frame& r, F&& f) {
  f("BkgrColor", r.BkgrColor);
  f("Delay", r.Delay);
  f("AddGrad", r.AddGrad);
  f("GradStyle", r.GradStyle);
  f("GradCol1", r.GradCol1);
  f("GradCol2", r.GradCol2);
  f("AddBorder", r.AddBorder);
  f("BorderInnerStyle", r.BorderInnerStyle);
  f("BorderOuterStyle", r.BorderOuterStyle);
  f("BevelW", r.BevelW);
  f("BorderW", r.BorderW);
  f("BorderCol", r.BorderCol);
  f("BorderHighLightCol", r.BorderHighLightCol);
  f("BorderShadowCol", r.BorderShadowCol);
}

// Model order; the version 1.6 line moves `Text` to the end.
template <class Shape, class F>
void VisitShapeFields(Shape& r, F&& f) {
  f("Object", r.Object);
  f("X", r.X);
  f("Y", r.Y);
  f("W", r.W);
  f("H", r.H);
  f("Radius", r.Radius);
  f("Fill", r.Fill);
  f("Color", r.Color);
  f("GrColor1", r.GrColor1);
  f("GrColor2", r.GrColor2);
  f("GrX", r.GrX);
  f("GrY", r.GrY);
  f("Alpha", r.Alpha);
  f("Border", r.Border);
  f("BorderColor", r.BorderColor);
  f("Angle", r.Angle);
  f("Text", r.Text);
  f("Font", r.Font);
  f("FontColor", r.FontColor);
  f("FontSize", r.FontSize);
  f("Spacing", r.Spacing);
  f("FBold", r.FBold);
  f("FItalic", r.FItalic);
  f("URL", r.URL);
  f("SoundEv", r.SoundEv);
}

// Strings in the model hold at most 255 characters.
constexpr size_t MaxStringLength = 255;

}  // namespace project
