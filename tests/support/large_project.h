#pragma once
// The large projects of the tests and benchmarks: 200 frames of 50 objects,
// shapes of every kind with solid and gradient fills, five texts and five
// pictures (samples/media/logo.bmp).
#include <string>

#include "project/document.h"

namespace vtest {

// samplesDir: the samples folder, with a trailing slash.
// Every object moves and turns in every frame, and every text changes.
void MakeLargeProject(project::TProjectDocument& doc, const std::string& samplesDir);

// Animated the way a banner is: each object slides in from the left over 30
// frames, starting three frames after the one before, and rests from then
// on; every fifth object turns once round while it slides; the texts stay.
void MakeBannerProject(project::TProjectDocument& doc, const std::string& samplesDir);

// A long slide show: `frames` frames of `objects` objects each (all kinds in
// turn), every frame with its own positions, captions and links; pictures
// and buttons show `media`.
void MakeSlideShow(project::TProjectDocument& doc, int frames, int objects,
                   const std::string& media);

}  // namespace vtest
