// The frame commands: moving through the frames, inserting, removing,
// reversing and counting frames, and the frame clipboard.
#include <algorithm>
#include <numeric>

#include "editor/clipboard_text.h"
#include "editor/editor.h"
#include "moviegen/export.h"
#include "platform/codepage.h"

namespace editor {

using project::TEditMode;
using project::TFrameRec;

namespace {

// 1..n in order.
std::vector<int32_t> Frames(int32_t first, int32_t last) {
  std::vector<int32_t> list;
  for (int32_t i = first; i <= last; ++i) list.push_back(i);
  return list;
}

void Append(std::vector<int32_t>& list, const std::vector<int32_t>& more) {
  list.insert(list.end(), more.begin(), more.end());
}

}  // namespace

TFrameRec TEditor::EmptyFrame() const {
  TFrameRec f;
  f.BkgrColor = doc_.Settings.MBkgrColor;
  return f;
}

// The new frame list: the document's frames `sources` in that order, with
// a new empty frame wherever a source is 0.
void TEditor::ChangeFrames(const std::vector<int32_t>& sources, int32_t freshCount) {
  std::vector<TFrameRec> fresh;
  for (int32_t i = 0; i < freshCount; ++i) fresh.push_back(EmptyFrame());
  history_.RearrangeFrames(sources, std::move(fresh));
}

void TEditor::ClearObjectMenu() {
  panel_.Menu(miCopyObject).Enabled = false;
  panel_.Menu(miDeleteObject).Enabled = false;
}

bool TEditor::AskNumber(const std::string& info, int32_t start) {
  numberDialog_.Info = info;
  numberDialog_.SetPosition(start);
  if (!ports_.Prompts.NumberDialog(numberDialog_)) return false;
  numberDialog_.NumberExit();  // OK leaves the field
  if (const std::string& typed = numberDialog_.CappedText(); !typed.empty()) {
    const std::string max = std::to_string(numberDialog_.Max);
    Warn("The largest number allowed here is " + max + "; " + typed + " was taken as " + max + ".");
  }
  return true;
}

void TEditor::RzFirstClick(TNavigate where) {
  int32_t k = doc_.CurrentFrame, n = doc_.FrameCount;
  switch (where) {
    case TNavigate::First:
      k = 1;
      break;
    case TNavigate::Last:
      k = n;
      break;
    case TNavigate::Next:
      k = k >= n ? 1 : k + 1;
      break;
    case TNavigate::Previous:
      k = k <= 1 ? n : k - 1;
      break;
  }
  GoToFrame(k);
}

void TEditor::GoToFrame(int32_t frame) {
  if (frame < 1 || frame > doc_.FrameCount) return;
  Command([&] {
    doc_.CurrentFrame = frame;
    ClearObjectMenu();
    doc_.SelectedSlots.reset();
    DAT(false);
    RebuildPreview();
  });
}

void TEditor::MoveFrame(int32_t from, int32_t to) {
  int32_t n = doc_.FrameCount;
  if (from < 1 || from > n || to < 1 || to > n || from == to) return;
  Command([&] {
    std::vector<int32_t> sources = Frames(1, n);
    sources.erase(sources.begin() + (from - 1));
    sources.insert(sources.begin() + (to - 1), from);
    ChangeFrames(sources, 0);
    doc_.CurrentFrame = to;
    ClearObjectMenu();
    doc_.SelectedSlots.reset();
    DAT(false);
    RebuildPreview();
    doc_.Modify(true);
  });
}

bool TEditor::FrameOrModeKey(int key, TShiftState shift) {
  struct TFrameKey {
    int Key;
    TNavigate Where;
  };
  static constexpr TFrameKey kFrameKeys[] = {{VK_HOME, TNavigate::First},
                                             {VK_PRIOR, TNavigate::Previous},
                                             {VK_NEXT, TNavigate::Next},
                                             {VK_END, TNavigate::Last}};
  static constexpr TEditMode kModes[] = {TEditMode::emAnimation, TEditMode::emLocked,
                                         TEditMode::emAllFrames};
  if (shift.Shift || shift.Alt) return false;
  if (shift.Ctrl) {
    if (key < '1' || key > '3') return false;
    ChooseEditMode(kModes[key - '1']);
    return true;
  }
  for (const TFrameKey& k : kFrameKeys) {
    if (key != k.Key) continue;
    RzFirstClick(k.Where);
    return true;
  }
  return false;
}

void TEditor::RzInsertClick() {
  Command([&] {
    int32_t k = doc_.CurrentFrame;
    std::vector<int32_t> sources = Frames(1, k);
    sources.push_back(0);
    Append(sources, Frames(k + 1, doc_.FrameCount));
    history_.RearrangeFrames(sources, {doc_.Frames[size_t(k)]});
    doc_.CurrentFrame = k + 1;
    DAT(false);
    RebuildPreview();
    doc_.Modify(true);
  });
}

void TEditor::RzDeleteClick() {
  Command([&] {
    int32_t k = doc_.CurrentFrame, n = doc_.FrameCount;
    if (n == 1) {
      Warn("Could not remove this frame. The minimal number of frames is 1.");
      return;
    }
    std::vector<int32_t> sources = Frames(1, k - 1);
    Append(sources, Frames(k + 1, n));
    ChangeFrames(sources, 0);
    if (k == n) doc_.CurrentFrame = k - 1;
    DAT(false);
    RebuildPreview();
    doc_.Modify(true);
  });
}

void TEditor::RzReverseClick() {
  Command([&] {
    int32_t n = doc_.FrameCount;
    if (n == 1) return;
    std::vector<int32_t> sources = Frames(1, n);
    std::reverse(sources.begin(), sources.end());
    ChangeFrames(sources, 0);
    doc_.CurrentFrame = 1;
    DAT(false);
    RebuildPreview();
    doc_.Modify(true);
  });
}

void TEditor::CFramesChange() {
  Command([&] {
    if (!AskNumber("Change the number of frames:", doc_.FrameCount)) return;
    std::optional<int32_t> read = ReadInteger(numberDialog_.Number);
    if (!read) throw TEditorError("The number of frames is no number");
    int32_t n = std::max(*read, 1), old = doc_.FrameCount;
    if (n == old) return;
    std::vector<int32_t> sources = Frames(1, std::min(n, old));
    sources.resize(size_t(n), 0);
    ChangeFrames(sources, std::max(n - old, 0));
    if (n < doc_.CurrentFrame) {
      doc_.CurrentFrame = n;
      DAT(false);
      RebuildPreview();
    }
    doc_.Modify(true);
    panel_.StatusPanes[1] = moviegen::FrameCounterText(doc_, doc_.CurrentFrame);
    panel_[CFrames].Text = std::to_string(n);
  });
}

void TEditor::TBItem23Click(TInsertWhere where) {
  Command([&] {
    if (!AskNumber("Enter the number of frames to insert:", 20)) return;
    int32_t a = ReadInteger(numberDialog_.Number).value_or(0);
    if (a <= 0) return;
    int32_t k = doc_.CurrentFrame, n = doc_.FrameCount;
    std::vector<int32_t> sources;
    switch (where) {
      case TInsertWhere::BeforeFirst:
        sources.assign(size_t(a), 0);
        Append(sources, Frames(1, n));
        break;
      case TInsertWhere::AfterLast:
        sources = Frames(1, n);
        sources.resize(size_t(n) + size_t(a), 0);
        break;
      case TInsertWhere::AfterCurrent:
        sources = Frames(1, k);
        sources.resize(size_t(k) + size_t(a), 0);
        Append(sources, Frames(k + 1, n));
        break;
    }
    ChangeFrames(sources, a);
    if (where == TInsertWhere::BeforeFirst) {
      doc_.CurrentFrame = k + a;
      ClearObjectMenu();
      doc_.SelectedSlots.reset();
      DAT(false);
      RebuildPreview();
    }
    doc_.Modify(true);
    panel_.StatusPanes[1] = moviegen::FrameCounterText(doc_, doc_.CurrentFrame);
    panel_[CFrames].Text = std::to_string(doc_.FrameCount);
  });
}

bool TEditor::AskFrameRange(const std::string& caption, const std::string& info, int32_t from,
                            int32_t to, int32_t& first, int32_t& last) {
  limitsDialog_.Setup(caption, info, doc_.FrameCount, from, to);
  if (!ports_.Prompts.LimitsDialog(limitsDialog_)) return false;
  limitsDialog_.FromExit();  // OK leaves the fields
  limitsDialog_.ToExit();
  std::optional<int32_t> a = ReadInteger(limitsDialog_.From), b = ReadInteger(limitsDialog_.To);
  if (!a || !b) throw TEditorError("A frame number is missing");
  first = *a;
  last = *b;
  return true;
}

void TEditor::TBItem24Click() {
  Command([&] {
    int32_t a = 0, b = 0;
    if (!AskFrameRange("Specifying the Frames to be Deleted",
                       "Select the frame interval to delete:", 1, 1, a, b))
      return;
    if (a > b) std::swap(a, b);  // the dialog does not order the two
    int32_t n = doc_.FrameCount, k = doc_.CurrentFrame;
    if (a == 1 && b == n) {
      Warn("Could not remove all of the frames. At least 1 frame should remain.");
      return;
    }
    std::vector<int32_t> sources = Frames(1, a - 1);
    Append(sources, Frames(b + 1, n));
    ChangeFrames(sources, 0);
    if (k >= a && k <= b)
      doc_.CurrentFrame = a == 1 ? 1 : a - 1;
    else if (k > b)
      doc_.CurrentFrame = k - (b - a + 1);
    DAT(false);
    RebuildPreview();
    doc_.Modify(true);
  });
}

void TEditor::TBItem25Click() {
  std::string text = FrameClipboardText(Current(), doc_.GetLastUsedShapeNr());
  ports_.Clipboard.SetText(platform::Cp1252ToUtf8(text));
}

// A text that does not read to its end changes nothing (and beeps).
void TEditor::TBItem26Click() {
  Command([&] {
    std::string text = platform::Utf8ToCp1252(ports_.Clipboard.Text());
    if (text.compare(0, FrameMarker.size(), FrameMarker) != 0) return;
    TPastedFrame pasted = ParseFrameText(text);
    int32_t k = doc_.CurrentFrame;
    TFrameRec& f = EditFrame(k);
    project::TSlotArray slots = std::move(f.Slots);
    f = std::move(pasted.Fields);
    f.Slots = std::move(slots);
    for (auto& [slot, shape] : pasted.Slots) EditSlot(k, slot) = std::move(shape);
    panel_.ActivePage = TPage::CurrentFrame;
    DAT(false);
    if (!CWidthChange(CWidth)) RebuildPreview();
    doc_.Modify(true);
  });
}

void TEditor::EditMenuPopup() {
  std::string text = ports_.Clipboard.Text();
  panel_.Menu(miPasteFrame).Enabled = text.compare(0, FrameMarker.size(), FrameMarker) == 0;
  panel_.Menu(miPasteObject).Enabled = text.compare(0, ObjectMarker.size(), ObjectMarker) == 0;
  panel_.Menu(miCopyFrame).Enabled = true;
}

}  // namespace editor
