// Fuzzes the version 1.2 project reader; the input follows the header line.
#include <cstdint>
#include <string>

#include "project/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(project::HeaderV12);
  text += "\r\n";
  text.append(reinterpret_cast<const char*>(data), size);
  try {
    project::ParseProjectV12(text);
  } catch (const project::TProjectError&) {
  }
  return 0;
}
