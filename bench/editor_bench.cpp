// The editing cycle without the movie build: one edit of an object's X in
// animation mode (spread over all 200 frames of its life) with the panel
// refresh that follows, on a project of 200 frames with 100 objects each.
// Also the same edit merged into a typing run, and undo plus redo of it.
// Goal: under 1 ms per edit.
#include <benchmark/benchmark.h>

#include <string>

#include "editor/editor.h"
#include "editor_script/doubles.h"

namespace {

using namespace editor;

struct TBenchEditor {
  vscript::TScriptWindow window;
  vscript::TScriptPrompts prompts;
  vscript::TScriptClipboard clipboard;
  vscript::TScriptSettings settings;
  vscript::TScriptPlayer player;
  vscript::TScriptPreview preview;
  vscript::TNoBuilder builder;
  vscript::TScriptMeasurer measurer;
  TEditor ed{{window, prompts, clipboard, settings, player, preview, builder, measurer}};

  // 200 frames, 100 objects in each (90 shapes of every kind and 10 texts),
  // frame 100 current, its first object selected.
  TBenchEditor() {
    ed.FormCreate({});
    project::TProjectDocument& doc = ed.Doc();
    doc.SetFrameCount(200);
    for (int slot = 1; slot <= 100; ++slot) {
      auto kind = slot > 90 ? project::skText : project::TShapeKind(1 + slot % 6);
      doc.CreateEmptyShape(slot, kind, 1, 200, project::TEditMode::emAnimation);
      for (int32_t i = 1; i <= 200; ++i) doc.Frames[size_t(i)].Slots.Edit(slot).X = i;
    }
    doc.CurrentFrame = 100;
    ed.DAT(false);
  }
};

void BM_EditXInAnimationMode(benchmark::State& state) {
  TBenchEditor b;
  int value = 0;
  for (auto _ : state) {
    b.ed.SetText(SE11, std::to_string(value++ % 500));
    b.ed.FieldExit(SE11);  // every edit its own undo step
  }
  state.counters["undo bytes per step"] =
      double(b.ed.History().MemoryUse()) / double(std::max<size_t>(b.ed.History().StepCount(), 1));
}
BENCHMARK(BM_EditXInAnimationMode)->Unit(benchmark::kMicrosecond);

void BM_TypingRunInAnimationMode(benchmark::State& state) {
  TBenchEditor b;
  int value = 0;
  for (auto _ : state) b.ed.SetText(SE11, std::to_string(value++ % 500));
}
BENCHMARK(BM_TypingRunInAnimationMode)->Unit(benchmark::kMicrosecond);

void BM_UndoRedoOfAnEdit(benchmark::State& state) {
  TBenchEditor b;
  b.ed.SetText(SE11, "250");
  for (auto _ : state) {
    b.ed.Undo();
    b.ed.Redo();
  }
}
BENCHMARK(BM_UndoRedoOfAnEdit)->Unit(benchmark::kMicrosecond);

}  // namespace
