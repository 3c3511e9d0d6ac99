#pragma once
// The clipboard texts of a frame ("[Frame]") and an object ("[Object]"):
// one value per line, each line ended by CR LF. Strings are model strings
// (Windows-1252); the editor converts the whole text for the clipboard.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "project/model.h"

namespace editor {

// A command that cannot go on; the editor restores the document and beeps.
class TEditorError : public platform::TVellumetError {
 public:
  using TVellumetError::TVellumetError;
};

inline constexpr std::string_view FrameMarker = "[Frame]";
inline constexpr std::string_view ObjectMarker = "[Object]";

// The frame's fields and the records of slots 1..recordCount (empty slots
// included).
std::string FrameClipboardText(const project::TFrameRec& frame, int recordCount);
std::string ObjectClipboardText(const project::TShapeRec& shape);

// A frame text read back: the frame's fields (Slots unused) and the slots
// whose record marker was intact.
struct TPastedFrame {
  project::TFrameRec Fields;
  std::vector<std::pair<int, project::TShapeRec>> Slots;
};

// Both throw TEditorError when a number line is not an integer or the text
// ends early. 8-bit fields keep their low 8 bits; strings are cut to 255.
TPastedFrame ParseFrameText(std::string_view text);
project::TShapeRec ParseObjectText(std::string_view text);

}  // namespace editor
