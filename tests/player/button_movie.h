#pragma once
// A 100 x 100 movie with one DefineButton2 at depth 1: up state red, over
// green, down blue (each a 40 x 40 square at (30, 30)); its hit area the
// same square. Releasing it over the button runs GetURL("http://example.com/", "_blank").
// Each further frame removes the button and places it again, as movies
// that rebuild every frame do.
#include "player/swf_builder.h"
#include "swf/tags/button_tags.h"

namespace vtest {

inline SwfBytes ButtonMovie(int frames = 1) {
  TSwfBuilder b(100, 100, 12, 6);
  b.Background(255, 255, 255);
  const TRgba colours[3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  for (uint16_t id = 1; id <= 3; ++id) {
    TShapeBody s(id, 2, {600, 1400, 600, 1400});
    s.Style(0, s.Solid(colours[id - 1]), 0, 600, 600);
    s.Rect(600, 600, 800, 800);
    b.Tag(swf::tagDefineShape2, s.Finish());
  }
  swf::TSWFDefineButton2 button;
  button.ButtonID = 4;
  const uint8_t states[3] = {swf::bsUp | swf::bsHitTest, swf::bsOver, swf::bsDown};
  for (uint16_t id = 1; id <= 3; ++id) {
    swf::TSWFButtonRecord& r = button.AddRecord(id);
    r.ButtonStates = states[id - 1];
    r.Depth = 1;
    r.ColorTransform();
  }
  button.AddCondAction(1u << 3).Add<swf::TSWFActionGetUrl>("http://example.com/", "_blank");
  b.Tag(button);
  b.Place(4, 1);
  b.ShowFrame();
  for (int f = 1; f < frames; ++f) {
    b.Remove(1);
    b.Place(4, 1);
    b.ShowFrame();
  }
  return b.Build(true);
}

}  // namespace vtest
