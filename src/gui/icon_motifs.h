#pragma once
// One drawing per motif on the 16-cell grid of TIconCanvas. A motif draws in
// its main tone; parts that keep their meaning in every icon (paper, a green
// plus, a red minus) bring their own. Mirror images (previous frame, redo)
// come from the icon table, not from second drawings.
#include "gui/icon_canvas.h"

namespace gui::motif {

using TDraw = void (*)(TIconCanvas&, const TTone&);

void Rectangle(TIconCanvas& c, const TTone& t);
void RoundRect(TIconCanvas& c, const TTone& t);
void Circle(TIconCanvas& c, const TTone& t);
void Ellipse(TIconCanvas& c, const TTone& t);
void Diamond(TIconCanvas& c, const TTone& t);
void Star(TIconCanvas& c, const TTone& t);
void Text(TIconCanvas& c, const TTone& t);
void Picture(TIconCanvas& c, const TTone& t);
void Button(TIconCanvas& c, const TTone& t);

void NewPage(TIconCanvas& c, const TTone& t);
void OpenFolder(TIconCanvas& c, const TTone& t);
void ClosedFolder(TIconCanvas& c, const TTone& t);
void Floppy(TIconCanvas& c, const TTone& t);
void FloppyAndPencil(TIconCanvas& c, const TTone& t);
void PlayScreen(TIconCanvas& c, const TTone& t);

void StepForward(TIconCanvas& c, const TTone& t);
void SkipToEnd(TIconCanvas& c, const TTone& t);
void FramePlus(TIconCanvas& c, const TTone& t);
void FrameMinus(TIconCanvas& c, const TTone& t);
void OppositeArrows(TIconCanvas& c, const TTone& t);

void MotionTrail(TIconCanvas& c, const TTone& t);
void Padlock(TIconCanvas& c, const TTone& t);
void FrameStack(TIconCanvas& c, const TTone& t);

void Cross(TIconCanvas& c, const TTone& t);
void TurnBack(TIconCanvas& c, const TTone& t);

}  // namespace gui::motif
