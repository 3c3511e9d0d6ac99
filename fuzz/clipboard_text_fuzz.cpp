// Fuzzes the "[Frame]" and "[Object]" clipboard texts, which any program can
// put on the system clipboard: the two readers on the raw text, and the
// editor's two paste commands on a small project. A text the readers refuse
// must leave the project as it was (with a beep); a text they accept must read
// back the same from the editor's own copy of what was read.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "editor/clipboard_text.h"
#include "editor/editor.h"
#include "editor/screen_text_measurer.h"
#include "editor_script/doubles.h"
#include "platform/codepage.h"

namespace {

using editor::TEditorError;
using project::TFrameRec;
using project::TShapeRec;

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "clipboard_text_fuzz: %s\n", what);
  std::abort();
}

// The window, the dialogs and the desktop of the command scripts: no display,
// no files, every dialog cancelled.
using TWindow = vscript::TScriptWindow;
using TPrompts = vscript::TScriptPrompts;
using TClipboard = vscript::TScriptClipboard;
using TSettings = vscript::TScriptSettings;
using TPlayer = vscript::TScriptPlayer;
using TPreview = vscript::TScriptPreview;
// The movie build reads picture files and fills the cache folder, so here it
// builds nothing: what the build makes of pasted values is not covered.
using TBuilder = vscript::TNoBuilder;

// The screen's own measurement, with the pasted size, spacing and text. The
// face is fixed: every new face name would stay open in the font cache.
class TMeasurer : public editor::ITextMeasurer {
 public:
  editor::TTextSize MeasureText(const std::string&, int32_t points, int32_t ppi,
                                const std::string& text) override {
    return screen_.MeasureText("DejaVu Sans", points, ppi, text);
  }

 private:
  editor::TScreenTextMeasurer screen_;
};

// An editor on three frames: a rectangle in every frame and a text in frame 2,
// which is current.
struct TSession {
  TWindow Window;
  TPrompts Prompts;
  TClipboard Clipboard;
  TSettings Settings;
  TPlayer Player;
  TPreview Preview;
  TBuilder Builder;
  TMeasurer Measurer;
  editor::TEditor Editor{
      {Window, Prompts, Clipboard, Settings, Player, Preview, Builder, Measurer}};

  explicit TSession(std::string_view clipboard) {
    Editor.FormCreate({});
    project::TProjectDocument& doc = Editor.Doc();
    doc.SetFrameCount(3);
    doc.CreateEmptyShape(1, project::skRectangle, 1, 3, project::TEditMode::emAnimation);
    doc.CreateEmptyShape(2, project::skText, 2, 2, project::TEditMode::emAnimation);
    doc.CurrentFrame = 2;
    Editor.DAT(false);
    Clipboard.Content = clipboard;
  }
  project::TProjectDocument& Doc() { return Editor.Doc(); }
};

bool SameProject(const project::TProjectDocument& a, const project::TProjectDocument& b) {
  return a.Frames == b.Frames && a.FrameCount == b.FrameCount && a.CurrentFrame == b.CurrentFrame &&
         a.Settings == b.Settings && a.Modified == b.Modified;
}

// The editor measures text objects when it shows them, so their extent is
// not what was pasted.
bool SameRecord(const TShapeRec& pasted, const TShapeRec& shown) {
  if (pasted.Object != project::skText) return pasted == shown;
  TShapeRec measured = pasted;
  measured.W = shown.W;
  measured.H = shown.H;
  return measured == shown;
}

template <class Parse>
auto TryParse(Parse parse, std::string_view text) -> std::optional<decltype(parse(text))> {
  try {
    return parse(text);
  } catch (const TEditorError&) {
    return std::nullopt;
  }
}

bool StartsWith(std::string_view text, std::string_view marker) {
  return text.substr(0, marker.size()) == marker;
}

// ---- The readers -------------------------------------------------------------

void CheckObjectReader(std::string_view text) {
  std::optional<TShapeRec> shape = TryParse(editor::ParseObjectText, text);
  if (!shape) return;
  Require(editor::ParseObjectText(editor::ObjectClipboardText(*shape)) == *shape,
          "an object read back differs");
}

void CheckFrameReader(std::string_view text) {
  std::optional<editor::TPastedFrame> pasted = TryParse(editor::ParseFrameText, text);
  if (!pasted) return;
  TFrameRec frame = pasted->Fields;
  int last = 0;
  for (const auto& [slot, shape] : pasted->Slots) {
    Require(slot > last && slot <= project::MaxShapeSlots, "slots out of order");
    frame.Slots.Edit(slot) = shape;
    last = slot;
  }
  editor::TPastedFrame again = editor::ParseFrameText(editor::FrameClipboardText(frame, last));
  Require(again.Fields == pasted->Fields, "frame fields read back differ");
  Require(again.Slots.size() == size_t(last), "a copied frame lost a record");
  for (const auto& [slot, shape] : again.Slots)
    Require(shape == frame.Slots[slot], "a frame's object read back differs");
}

// ---- The paste commands --------------------------------------------------------

void CheckFramePaste(std::string_view clipboard) {
  TSession session(clipboard);
  project::TProjectDocument before = session.Doc();
  session.Editor.TBItem26Click();
  const project::TProjectDocument& after = session.Doc();

  bool marked = StartsWith(clipboard, editor::FrameMarker);
  std::string text = platform::Utf8ToCp1252(clipboard);
  std::optional<editor::TPastedFrame> pasted = TryParse(editor::ParseFrameText, text);
  if (!marked || !pasted) {
    Require(SameProject(before, after), "a refused frame text changed the project");
    Require(session.Window.Beeps == (marked ? 1 : 0), "a refused frame text beeped wrongly");
    return;
  }
  Require(session.Window.Beeps == 0, "a frame paste that read failed");
  Require(after.Modified && after.FrameCount == before.FrameCount, "a frame paste went wrong");
  int32_t k = after.CurrentFrame;
  for (int32_t i = 1; i <= after.FrameCount; ++i)
    if (i != k)
      Require(after.Frames[size_t(i)] == before.Frames[size_t(i)], "another frame changed");
  TFrameRec expected = before.Frames[size_t(k)];
  for (const auto& [slot, shape] : pasted->Slots) expected.Slots.Edit(slot) = shape;
  // The panel is applied to the current object afterwards.
  int current = session.Editor.CurrentObject();
  for (int n = 1; n <= project::MaxShapeSlots; ++n)
    if (n != current)
      Require(SameRecord(expected.Slots[n], after.Frames[size_t(k)].Slots[n]),
              "a pasted slot differs from the text");
}

void CheckObjectPaste(std::string_view clipboard) {
  TSession session(clipboard);
  project::TProjectDocument before = session.Doc();
  int free = before.GetMinFreeShapeNr();
  session.Editor.TBItem19Click();
  const project::TProjectDocument& after = session.Doc();

  bool marked = StartsWith(clipboard, editor::ObjectMarker);
  std::string text = platform::Utf8ToCp1252(clipboard);
  std::optional<TShapeRec> shape = TryParse(editor::ParseObjectText, text);
  bool kind = shape && shape->Object >= project::skRectangle && shape->Object <= project::skButton;
  if (!marked || !kind) {
    Require(SameProject(before, after), "a refused object text changed the project");
    Require(session.Window.Beeps == (marked ? 1 : 0), "a refused object text beeped wrongly");
    return;
  }
  Require(session.Window.Beeps == 0, "an object paste that read failed");
  Require(after.Modified && session.Editor.CurrentObject() == free,
          "the pasted object is not current");
  shape->X = shape->Y = shape->Object == project::skCircle ? 28
                        : shape->Object == project::skStar ? 30
                                                           : 1;
  for (int32_t i = 1; i <= after.FrameCount; ++i)
    for (int n = 1; n <= project::MaxShapeSlots; ++n) {
      const TShapeRec& now = after.Frames[size_t(i)].Slots[n];
      if (n != free)
        Require(now == before.Frames[size_t(i)].Slots[n], "a paste changed another object");
      else if (i != after.CurrentFrame)  // the panel is applied to the current frame's copy
        Require(SameRecord(*shape, now), "a pasted object differs from the text");
    }
}

}  // namespace

// Undefined behaviour stops the run like a crash, so that it is kept as one.
extern "C" const char* __ubsan_default_options() {
  return "halt_on_error=1:print_stacktrace=1";
}

// fontconfig keeps its configuration until FcFini, which nothing calls.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckObjectReader(text);
  CheckFrameReader(text);
  CheckFramePaste(text);
  CheckObjectPaste(text);
  return 0;
}
