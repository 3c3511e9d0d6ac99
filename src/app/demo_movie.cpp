#include "app/demo_movie.h"

#include <cstdio>
#include <filesystem>

#include "swf/objects/action_script.h"
#include "swf/objects/flash_button.h"
#include "swf/objects/flash_movie.h"
#include "swf/objects/flash_place_object.h"

namespace app {

// A banner-sized movie with a link over the whole stage, three one-second
// frames of changing background and a stop on the last frame.
int RunDemoMovie() {
  swf::TFlashMovie movie(0, 0, 468, 60, 100);
  movie.SetCompressed(true);
  movie.BackgroundColor().SetRGB({0x1E, 0x5A, 0x96});
  movie.Protect("");
  swf::TFlashButton& link = movie.AddButton(false, true);
  link.ReleaseActions().GetURL("https://example.com/", "_blank");
  movie.PlaceObject(&link, 1);
  for (int frame = 0; frame < 3; ++frame) {
    if (frame == 2) movie.FrameActions().Stop();
    movie.ShowFrame(100);
  }
  movie.MakeData();
  const std::string path = (std::filesystem::temp_directory_path() / "vellumet-demo.swf").string();
  movie.SaveToFile(path);
  std::printf("Wrote %s: SWF %d, %d frames, %u bytes uncompressed\n", path.c_str(), movie.Version(),
              movie.FramesCount(), movie.FileLength());
  return 0;
}

}  // namespace app
