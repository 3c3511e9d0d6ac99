// Writes the seed scripts into a folder, one file each:
// make_command_seeds fuzz/corpus/editor_commands
#include <cstdio>
#include <fstream>
#include <string>

#include "editor_script/seed_scripts.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_command_seeds FOLDER\n");
    return 2;
  }
  for (const vscript::TNamedScript& s : vscript::SeedScripts()) {
    std::vector<uint8_t> bytes = vscript::EncodeScript(s.Script);
    std::ofstream(std::string(argv[1]) + "/" + s.Name + ".bin", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  return 0;
}
