// Writes the seeds of clipboard_text_fuzz with the editor's own copy
// functions, as UTF-8 text the way the clipboard holds them:
//   build/fuzz/fuzz/make_clipboard_seeds fuzz/corpus/clipboard_text
#include <cstdio>
#include <fstream>
#include <string>

#include "editor/clipboard_text.h"
#include "platform/codepage.h"
#include "project/document.h"
#include "project/record_fields.h"

namespace {

using project::TFrameRec;
using project::TShapeRec;

// An object with the editor's defaults for `kind`.
TShapeRec Fresh(project::TShapeKind kind) {
  project::TProjectDocument doc;
  doc.CreateEmptyShape(1, kind, 1, 1, project::TEditMode::emLocked);
  return doc.Frames[1].Slots[1];
}

TShapeRec LongText() {
  TShapeRec r = Fresh(project::skText);
  r.Text.clear();
  while (r.Text.size() < project::MaxStringLength) r.Text += "Caf\xE9 \x80 5 \x93quoted\x94 ";
  r.Text.resize(project::MaxStringLength);
  r.Font = "Times New Roman";
  r.FontSize = 36;
  r.Spacing = -3;
  r.URL = "http://example.com/" + std::string(200, 'a');
  return r;
}

TShapeRec NegativeStar() {
  TShapeRec r = Fresh(project::skStar);
  r.X = -100;
  r.Y = -2147483647 - 1;
  r.Angle = -90;
  r.GrX = -5;
  r.GrY = 2147483647;
  r.Border = -1;
  r.Color = -1;
  return r;
}

TShapeRec Button() {
  TShapeRec r = Fresh(project::skButton);
  r.Text = "Buttons\\arrow.bmp";
  r.SoundEv = "C:\\Sounds\\click.wav";
  r.URL = "javascript:void(0)";
  return r;
}

TFrameRec FrameWithObjects() {
  TFrameRec f;
  f.AddGrad = 1;
  f.GradStyle = project::bgPyramid;
  f.AddBorder = 1;
  f.BevelW = 7;
  f.Delay = 60000;
  f.Slots.Edit(1) = Fresh(project::skRectangle);  // slot 2 stays empty
  f.Slots.Edit(3) = LongText();
  f.Slots.Edit(4) = NegativeStar();
  f.Slots.Edit(5) = Button();
  f.Slots.Edit(6) = Fresh(project::skPicture);
  return f;
}

// The same lines ended by CR LF, LF and CR in turn; a CR is never followed
// by a line ended by LF alone, which would read as one CR LF.
std::string MixedLineEnds(const std::string& text) {
  static const char* const kEnds[] = {"\r\n", "\n", "\r"};
  std::string out;
  size_t start = 0;
  for (int n = 0; start < text.size(); ++n) {
    size_t end = text.find("\r\n", start);
    out += text.substr(start, end - start) + kEnds[n % 3];
    start = end + 2;
  }
  return out;
}

std::string OnlyEnds(const std::string& text, const char* end) {
  std::string out;
  for (size_t start = 0; start < text.size();) {
    size_t stop = text.find("\r\n", start);
    out += text.substr(start, stop - start) + end;
    start = stop + 2;
  }
  return out;
}

// The frame text with another number of records on line 17.
std::string WithRecordCount(const std::string& text, const std::string& count) {
  size_t start = 0;
  for (int line = 0; line < 17; ++line) start = text.find("\r\n", start) + 2;
  return text.substr(0, start) + count + text.substr(text.find("\r\n", start));
}

std::string AlterSecondMarker(std::string text) {
  size_t second = text.find("[Object]", text.find("[Object]") + 1);
  return text.replace(second, 8, "[Objekt]");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_clipboard_seeds FOLDER\n");
    return 2;
  }
  std::string folder = std::string(argv[1]) + "/";
  auto write = [&](const char* name, const std::string& text) {
    std::ofstream(folder + name, std::ios::binary) << platform::Cp1252ToUtf8(text);
  };
  std::string frame = editor::FrameClipboardText(FrameWithObjects(), 6);
  std::string text = editor::ObjectClipboardText(LongText());
  write("frame-new.txt", editor::FrameClipboardText(TFrameRec{}, 0));
  write("frame-six-slots.txt", frame);
  write("frame-six-slots-mixed-line-ends.txt", MixedLineEnds(frame));
  write("frame-second-marker-altered.txt", AlterSecondMarker(frame));
  write("frame-count-beyond-records.txt", WithRecordCount(frame, "9"));
  write("object-rectangle.txt", editor::ObjectClipboardText(Fresh(project::skRectangle)));
  write("object-text-long.txt", text);
  write("object-text-long-lf.txt", OnlyEnds(text, "\n"));
  write("object-star-negative.txt", editor::ObjectClipboardText(NegativeStar()));
  write("object-star-negative-cr.txt", OnlyEnds(editor::ObjectClipboardText(NegativeStar()), "\r"));
  write("object-button-mixed-line-ends.txt", MixedLineEnds(editor::ObjectClipboardText(Button())));
  write("object-circle.txt", editor::ObjectClipboardText(Fresh(project::skCircle)));
  return 0;
}
