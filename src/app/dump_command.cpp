// vellumet dump FILE.swf
#include <cstdio>
#include <exception>

#include "app/commands.h"
#include "player/movie_dump.h"
#include "player/swf_reader.h"

namespace app {

int RunDump(int argc, char** argv) {
  if (argc != 1) {
    std::fputs("usage: vellumet dump FILE.swf\n", stderr);
    return 2;
  }
  try {
    player::TReadOptions options;
    options.KeepTags = true;
    const player::TMovie movie = player::ReadMovieFile(argv[0], options);
    std::fputs(player::DumpMovie(movie).c_str(), stdout);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vellumet dump: %s\n", e.what());
    return 1;
  }
}

}  // namespace app
