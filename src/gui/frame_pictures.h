#pragma once
// Pictures of single frames beside the canvas: the frame strip's thumbnails
// and the onion skin's neighbours. Each is our player's render of the frame's
// single-frame build, the build the canvas shows. Safe on a worker thread:
// the build reads only the copy it is given.
#include <QImage>
#include <QSize>
#include <memory>

#include "editor/frame_view.h"
#include "player/movie.h"
#include "player/renderer.h"

namespace gui {

struct TFrameMovie {
  std::shared_ptr<const player::TMovie> Movie;
  editor::TFrameDepths Depths;
};

// Builds and reads the frame; throws what the build or the reader throws.
TFrameMovie BuildFrameMovie(const editor::TDocumentPlace& place,
                            const editor::TFramePicture& picture);

// The frame fitted into `box`, keeping the stage's proportions; `renderer`
// may keep the pictures it decoded for the next frames.
QImage RenderThumbnail(const TFrameMovie& frame, QSize box, player::TRenderer& renderer);

// The frame's objects alone (no background, no border) at one pixel per
// stage pixel on transparency, tinted with `tint` (0xRRGGBB).
QImage RenderTintedObjects(const TFrameMovie& frame, uint32_t tint);

}  // namespace gui
