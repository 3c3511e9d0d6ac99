#pragma once
// The number dialog (TfrmNumber) and the frame range dialog (TfrmLimits) as
// values. The window binds its fields to them, runs the key filter on every
// key and the exit rule when a field loses the focus; the caller reads the
// entered numbers after OK.
#include <cstdint>
#include <optional>
#include <string>

namespace editor {

// Keys the three number fields accept: the digits, backspace and tab. The
// result is the key, or 0 when it is dropped.
char NumberFieldKey(char key);

// The decimal integer a field holds (blanks around it allowed); nothing
// when the text is not a number that fits 32 bits.
std::optional<int32_t> ReadInteger(const std::string& text);

// An arrow's step from `value`, held in [min, max]; a field may hold any
// 32-bit number, so the sum is taken wider.
int32_t StepWithin(int32_t value, int delta, int32_t min, int32_t max);

class TNumberDialog {
 public:
  std::string Caption = "Number of frames";
  std::string Info;             // L_Info
  std::string Number = "20";    // E_Number
  int32_t Min = 1, Max = 1000;  // UD1

  // The caller's start value: the up-down position and the field's text.
  void SetPosition(int32_t value);
  // The arrows step within the limits.
  void Step(int delta);
  // E_NumberExit: above the maximum becomes "1000", 0 or less becomes "1";
  // an empty field stays empty.
  void NumberExit();
  // The text typed above the maximum, before NumberExit replaced it; ""
  // when it was not.
  const std::string& CappedText() const { return capped_; }

 private:
  int32_t position_ = 20;
  std::string capped_;
};

class TLimitsDialog {
 public:
  std::string Caption;
  std::string Info;                  // L_Info
  std::string From = "0", To = "0";  // E_From, E_To
  int32_t Min = 1, Max = 1;          // both up-downs

  // The caller's setup: caption, text, limits 1..frameCount, start values.
  void Setup(const std::string& caption, const std::string& info, int32_t frameCount, int32_t from,
             int32_t to);
  void StepFrom(int delta);
  void StepTo(int delta);
  // E_FromExit, E_ToExit: 0 or less becomes "1", above the frame count
  // becomes the frame count; an empty field stays empty. The two values
  // are not compared with each other.
  void FromExit();
  void ToExit();

 private:
  int32_t fromPosition_ = 0, toPosition_ = 0;
};

}  // namespace editor
