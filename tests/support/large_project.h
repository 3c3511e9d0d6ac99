#pragma once
// The large project of the tests and benchmarks: 200 frames of 50 moving
// objects, shapes of every kind with solid and gradient fills, five texts
// and five pictures (samples/media/logo.bmp).
#include <string>

#include "project/document.h"

namespace vtest {

// samplesDir: the samples folder, with a trailing slash.
void MakeLargeProject(project::TProjectDocument& doc, const std::string& samplesDir);

}  // namespace vtest
