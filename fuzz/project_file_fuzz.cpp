// Fuzzes the version 1.6 project reader: the input follows the header line,
// so every run reaches the media blocks, the frame count and the key lines.
#include <cstdint>
#include <string>

#include "project/base64.h"
#include "project/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(project::HeaderV16);
  text += "\r\n";
  text.append(reinterpret_cast<const char*>(data), size);
  try {
    project::TProjectContent content = project::ParseProjectV16(text);
    for (const project::TMediaBlock& block : content.Media) {
      project::SafeMediaName(block.Name);
      project::DecodeBase64(block.Base64);
    }
  } catch (const project::TProjectError&) {
  }
  return 0;
}
