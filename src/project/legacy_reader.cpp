// Reader of version 1.2 project files: one value per line, read by position;
// markers and the "0" lines are not compared with anything.
#include <type_traits>

#include "project/key_line.h"
#include "project/project_file.h"
#include "project/record_fields.h"
#include "project/text_lines.h"

namespace project {

namespace {

// Lines of a frame record without objects.
constexpr size_t kFrameLines = 18;

class TLegacyLines {
 public:
  explicit TLegacyLines(std::string_view data) : in_(data) {}

  TTextLines& Lines() { return in_; }

  void Skip(int count) {
    for (int i = 0; i < count; ++i) in_.Require("the end of the project");
  }

  int32_t Int() {
    int32_t value = 0;
    if (!ParseInt32(in_.Require("the end of the project"), value)) in_.Fail("a number expected");
    return value;
  }

  std::string Str() {
    return std::string(in_.Require("the end of the project").substr(0, MaxStringLength));
  }

  // One field read by position; 8-bit fields keep the low 8 bits.
  template <class T>
  void operator()(std::string_view, T& field) {
    if constexpr (std::is_same_v<T, std::string>)
      field = Str();
    else
      field = T(Int());
  }

 private:
  TTextLines in_;
};

void ReadSettings(TLegacyLines& in, TMovieSettings& s) {
  s.MResolution = in.Int();
  s.MWidth = in.Int();
  s.MHeight = in.Int();
  s.MSiteColor = in.Int();
  s.MBkgrColor = in.Int();
  s.MLoop = in.Int();
  s.MBkgrSound = in.Str();
  in.Skip(1);
  // Writers of this version put the movie's link on the next line. "0"
  // stands for none there, as it does for the background sound.
  s.MainURL = in.Str();
  if (s.MainURL == "0") s.MainURL.clear();
}

void ReadFrame(TLegacyLines& in, TFrameRec& frame) {
  in.Skip(1);
  VisitFrameFields(frame, in);
  in.Skip(2);
  int32_t count = in.Int();
  if (count < 0 || count > MaxShapeSlots)
    in.Lines().Fail("the object count " + std::to_string(count) + " is out of range");
  for (int slot = 1; slot <= count; ++slot) {
    in.Skip(1);
    TShapeRec rec;
    VisitShapeFields(rec, in);
    in.Skip(2);
    if (!rec.IsBlank()) frame.Slots.Edit(slot) = std::move(rec);
  }
}

}  // namespace

TProjectContent ParseProjectV12(std::string_view data) {
  TLegacyLines in(data);
  TProjectContent content;
  std::string_view header;
  if (!in.Lines().Next(header) || header != HeaderV12)
    in.Lines().Fail("not a version 1.2 project file");
  ReadSettings(in, content.Settings);
  int32_t count = in.Int();
  if (count < 1 || size_t(count) > in.Lines().Remaining() / kFrameLines)
    in.Lines().Fail("the frame count " + std::to_string(count) + " does not fit the file");
  content.FrameCount = count;
  content.Frames.resize(size_t(count) + 1);
  for (int32_t i = 1; i <= count; ++i) ReadFrame(in, content.Frames[size_t(i)]);
  return content;
}

}  // namespace project
