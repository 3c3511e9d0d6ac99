#include "project/model.h"

#include <algorithm>
#include <cmath>

namespace project {

namespace {

int GradientChannel(int a, int b, int step, int steps) {
  float slope = float(b - a) / float(steps);
  return int(std::nearbyint(double(a) + double(step) * double(slope)));
}

}  // namespace

TColor CalcGradient(TColor a, TColor b, int step, int steps) {
  if (steps < 1) steps = 1;
  return RGB(GradientChannel(Red(a), Red(b), step, steps),
             GradientChannel(Green(a), Green(b), step, steps),
             GradientChannel(Blue(a), Blue(b), step, steps));
}

std::string_view KindSuffix(int kind) {
  static constexpr std::string_view kSuffixes[] = {
      "",           " - Rectangle", " - Rnd. Rectangle", " - Circle",  " - Ellipse",
      " - Diamond", " - Star",      " - Text",           " - Picture", " - Button"};
  return kind >= 0 && kind <= skButton ? kSuffixes[kind] : std::string_view();
}

bool TShapeRec::IsBlank() const {
  static const TShapeRec kBlank;
  return *this == kBlank;
}

bool TShapeRec::TextIsFile() const {
  if (Object == skPicture || Object == skButton) return true;
  return Object >= skRectangle && Object <= skStar && Fill == fkBitmap;
}

TSlotArray::TSlotArray(const TSlotArray& other) {
  *this = other;
}

TSlotArray& TSlotArray::operator=(const TSlotArray& other) {
  if (this == &other) return *this;
  std::vector<TEntry> copy;
  copy.reserve(other.used_.size());
  for (const TEntry& e : other.used_) copy.push_back({e.Slot, std::make_unique<TShapeRec>(*e.Rec)});
  used_ = std::move(copy);
  return *this;
}

const TShapeRec& TSlotArray::operator[](int n) const {
  static const TShapeRec kBlank;
  auto it = std::lower_bound(used_.begin(), used_.end(), n,
                             [](const TEntry& e, int slot) { return e.Slot < slot; });
  return it != used_.end() && it->Slot == n ? *it->Rec : kBlank;
}

TShapeRec& TSlotArray::Edit(int n) {
  static TShapeRec outOfRange;  // writes to a slot that does not exist go nowhere
  if (n < 1 || n > MaxShapeSlots) return outOfRange = TShapeRec();
  auto it = std::lower_bound(used_.begin(), used_.end(), n,
                             [](const TEntry& e, int slot) { return e.Slot < slot; });
  if (it == used_.end() || it->Slot != n)
    it = used_.insert(it, {uint8_t(n), std::make_unique<TShapeRec>()});
  return *it->Rec;
}

void TSlotArray::EmptyAll() {
  for (TEntry& e : used_) e.Rec->Object = skNone;
}

int TSlotArray::LastUsed() const {
  for (auto it = used_.rbegin(); it != used_.rend(); ++it)
    if (it->Rec->Object != skNone) return it->Slot;
  return 0;
}

// Both lists are sorted by slot: one walk, where a record the other list
// lacks must be blank.
bool TSlotArray::operator==(const TSlotArray& other) const {
  auto a = used_.begin(), b = other.used_.begin();
  while (a != used_.end() || b != other.used_.end()) {
    if (b == other.used_.end() || (a != used_.end() && a->Slot < b->Slot)) {
      if (!(a++)->Rec->IsBlank()) return false;
    } else if (a == used_.end() || b->Slot < a->Slot) {
      if (!(b++)->Rec->IsBlank()) return false;
    } else if (!(*(a++)->Rec == *(b++)->Rec)) {
      return false;
    }
  }
  return true;
}

}  // namespace project
