#pragma once
// Short scripts of what users do, the fuzz target's seeds
// (fuzz/corpus/editor_commands/, written by make_command_seeds) and replayed
// by the regression test.
#include <vector>

#include "editor_script/script.h"

namespace vscript {

struct TNamedScript {
  const char* Name;
  TScript Script;
};

const std::vector<TNamedScript>& SeedScripts();

}  // namespace vscript
