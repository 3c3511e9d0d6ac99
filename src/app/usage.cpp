#include <cstdio>

#include "app/commands.h"
#include "app/export_command.h"

namespace app {

void PrintUsage(std::FILE* out) {
  std::fprintf(
      out,
      "Vellumet: SWF banners and slide shows\n"
      "usage:\n"
      "  vellumet [PROJECT.sw0]\n"
      "      opens the editor window (on the project)\n"
      "%s"
      "  vellumet render IN -o OUT.png [--frame N] [--scale S]\n"
      "      paints frame N (1-based, default 1) at scale S (default 1): of an SWF movie, or\n"
      "      of a project (.sw0) the single-frame build of frame N, as the editor shows it\n"
      "  vellumet render --audio OUT.wav IN [--seconds N]\n"
      "      writes what the movie (or the project's whole movie) plays: played once\n"
      "      through and on until its sounds end, or N seconds of it looping\n"
      "  vellumet check PACKAGE.zip|FOLDER [--profile NAME]\n"
      "      checks an HTML5 ad package against an ad platform's rules (profile: iab,\n"
      "      google-ads, ad-manager, campaign-manager or the user's own; default iab):\n"
      "      one line per rule, exit status 1 when a rule fails\n"
      "  vellumet dump FILE.swf\n"
      "      prints the header and one line per tag\n"
      "  vellumet --version\n"
      "      prints the program's version\n",
      kExportUsage);
}

void PrintVersion() {
  std::printf("vellumet %s\n", VELLUMET_VERSION);
}

}  // namespace app
