// The editing cycle without the movie build: one edit of an object's X in
// animation mode (spread over all 200 frames of its life) with the panel
// refresh that follows, on a project of 200 frames with 100 objects each.
// Also the same edit merged into a typing run, and undo plus redo of it.
// Goal: under 1 ms per edit.
#include <benchmark/benchmark.h>

#include <string>

#include "editor/editor.h"

namespace {

using namespace editor;

struct TNullWindow : IMainWindow {
  TRect WorkArea() override { return {0, 0, 1920, 1080}; }
  TBounds Bounds() override { return {0, 0, 1200, 900}; }
  void SetBounds(const TBounds&) override {}
  int32_t CanvasWidth() override { return 1176; }
  int32_t CanvasHeight() override { return 529; }
  int32_t PaletteWidth() override { return 36; }
  int32_t ScreenPixelsPerInch() override { return 96; }
  void Beep() override {}
  void ProcessEvents() override {}
  void OpenDocument(const std::string&) override {}
  void ShowAbout() override {}
  void RequestClose() override {}
};

struct TNullPrompts : IPrompts {
  TMsgResult MessageBox(const std::string&, const std::string&, TMsgIcon, TMsgButtons) override {
    return TMsgResult::Ok;
  }
  bool NumberDialog(TNumberDialog&) override { return false; }
  bool LimitsDialog(TLimitsDialog&) override { return false; }
  std::optional<std::string> OpenFileDialog(const TFileDialogRequest&) override { return {}; }
  std::optional<std::string> SaveFileDialog(const TFileDialogRequest&) override { return {}; }
  bool FontDialog(TFontChoice&) override { return false; }
  bool ColorDialog(TColorDialog&) override { return false; }
};

struct TNullClipboard : IClipboard {
  std::string Text() override { return ""; }
  void SetText(const std::string&) override {}
};

struct TNullSettings : ISettingsStore {
  bool OpenKey(bool) override { return false; }
  std::optional<std::string> Read(const std::string&) override { return {}; }
  void Write(const std::string&, const std::string&) override {}
};

struct TNullPlayer : IPlayer {
  void LoadMovie(const std::string&) override {}
  void SetBackgroundColor(uint32_t) override {}
  void GotoFrame(int32_t) override {}
  void SetStageSize(int32_t, int32_t) override {}
  void Refresh() override {}
};

struct TNullPreview : IPreviewWindow {
  bool IsOpen() override { return false; }
  void Show(const TPreviewRequest&) override {}
  void Close() override {}
  void Play() override {}
  void Stop() override {}
  void ShowMessage(const std::string&) override {}
  bool HasSaveButton() override { return true; }
};

// No movie build: the benchmark measures the editor alone.
struct TNoBuild : IMovieBuilder {
  TBuiltMovie BuildCurrentFrame(project::TProjectDocument&) override { return {}; }
  TBuiltMovie BuildWholeMovie(project::TProjectDocument&) override { return {}; }
  void WriteTestPage(const project::TProjectDocument&, const std::string&,
                     const std::string&) override {}
};

struct TFixedMeasurer : ITextMeasurer {
  TTextSize MeasureText(const std::string&, int32_t points, int32_t,
                        const std::string& text) override {
    return {int32_t(text.size()) * points / 2, points + 5};
  }
};

struct TBenchEditor {
  TNullWindow window;
  TNullPrompts prompts;
  TNullClipboard clipboard;
  TNullSettings settings;
  TNullPlayer player;
  TNullPreview preview;
  TNoBuild builder;
  TFixedMeasurer measurer;
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
