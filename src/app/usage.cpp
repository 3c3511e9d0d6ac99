#include <cstdio>

#include "app/commands.h"

namespace app {

void PrintUsage() {
  std::fputs(
      "Vellumet: SWF banners and slide shows\n"
      "usage:\n"
      "  vellumet render IN -o OUT.png [--frame N] [--scale S]\n"
      "      paints frame N (1-based, default 1) of an SWF movie at scale S (default 1)\n"
      "  vellumet dump FILE.swf\n"
      "      prints the header and one line per tag\n",
      stdout);
}

}  // namespace app
