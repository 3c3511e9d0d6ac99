#pragma once

namespace app {

// Writes a small demo movie to the temporary folder and says where.
int RunDemoMovie();

}  // namespace app
