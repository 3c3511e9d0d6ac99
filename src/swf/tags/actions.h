#pragma once
// Action records: the byte-code of frame scripts, button and clip actions.
// Each class writes one record; jumps and block sizes are given as numbers or
// resolved while writing through offset markers placed in the same list.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "swf/core/bits_engine.h"

namespace swf {

class TSWFOffsetMarker;
using TMarkerMap = std::map<const TSWFOffsetMarker*, TSWFOffsetMarker*>;

class TSWFAction {
 public:
  virtual ~TSWFAction() = default;
  // Copies the fields of an action of the same class.
  virtual void Assign(const TSWFAction& source) = 0;
  virtual int MinVersion() const { return 3; }
  virtual void ReadActionBody(TBitsEngine&) {}
  virtual void WriteActionBody(TBitsEngine&) {}
  virtual void WriteToStream(TBitsEngine& be);
  // Points references to markers of a copied list at the copies.
  virtual void RemapMarkers(const TMarkerMap&) {}

  uint8_t ActionCode = 0;
  uint16_t BodyLength = 0;

 protected:
  // Target-stream position of the record's first byte during WriteToStream.
  size_t recordStart_ = 0;
};

class TSWFAction4 : public TSWFAction {
 public:
  int MinVersion() const override { return 4; }
};
class TSWFAction5 : public TSWFAction {
 public:
  int MinVersion() const override { return 5; }
};
class TSWFAction6 : public TSWFAction {
 public:
  int MinVersion() const override { return 6; }
};
class TSWFAction7 : public TSWFAction {
 public:
  int MinVersion() const override { return 7; }
};

// Gives Derived its Assign: a field-by-field copy from the same class.
template <class Derived, class Base>
class TSWFActionOf : public Base {
 public:
  void Assign(const TSWFAction& source) override {
    if (auto* same = dynamic_cast<const Derived*>(&source)) static_cast<Derived&>(*this) = *same;
  }
};

// An action without data: the code alone, or the code with length 0 from 80 hex on.
template <uint8_t Code, class Base>
class TSWFActionPlain : public TSWFActionOf<TSWFActionPlain<Code, Base>, Base> {
 public:
  TSWFActionPlain() { this->ActionCode = Code; }
};

using TSWFActionNextFrame = TSWFActionPlain<0x04, TSWFAction>;
using TSWFActionPreviousFrame = TSWFActionPlain<0x05, TSWFAction>;
using TSWFActionPlay = TSWFActionPlain<0x06, TSWFAction>;
using TSWFActionStop = TSWFActionPlain<0x07, TSWFAction>;
using TSWFActionToggleQuality = TSWFActionPlain<0x08, TSWFAction>;
using TSWFActionStopSounds = TSWFActionPlain<0x09, TSWFAction>;
using TSWFActionAdd = TSWFActionPlain<0x0A, TSWFAction4>;
using TSWFActionSubtract = TSWFActionPlain<0x0B, TSWFAction4>;
using TSWFActionMultiply = TSWFActionPlain<0x0C, TSWFAction4>;
using TSWFActionDivide = TSWFActionPlain<0x0D, TSWFAction4>;
using TSWFActionEquals = TSWFActionPlain<0x0E, TSWFAction4>;
using TSWFActionLess = TSWFActionPlain<0x0F, TSWFAction4>;
using TSWFActionAnd = TSWFActionPlain<0x10, TSWFAction4>;
using TSWFActionOr = TSWFActionPlain<0x11, TSWFAction4>;
using TSWFActionNot = TSWFActionPlain<0x12, TSWFAction4>;
using TSWFActionStringEquals = TSWFActionPlain<0x13, TSWFAction4>;
using TSWFActionStringLength = TSWFActionPlain<0x14, TSWFAction4>;
using TSWFActionStringExtract = TSWFActionPlain<0x15, TSWFAction4>;
using TSWFActionPop = TSWFActionPlain<0x17, TSWFAction4>;
using TSWFActionToInteger = TSWFActionPlain<0x18, TSWFAction4>;
using TSWFActionGetVariable = TSWFActionPlain<0x1C, TSWFAction4>;
using TSWFActionSetVariable = TSWFActionPlain<0x1D, TSWFAction4>;
using TSWFActionSetTarget2 = TSWFActionPlain<0x20, TSWFAction4>;
using TSWFActionStringAdd = TSWFActionPlain<0x21, TSWFAction4>;
using TSWFActionGetProperty = TSWFActionPlain<0x22, TSWFAction4>;
using TSWFActionSetProperty = TSWFActionPlain<0x23, TSWFAction4>;
using TSWFActionCloneSprite = TSWFActionPlain<0x24, TSWFAction4>;
using TSWFActionRemoveSprite = TSWFActionPlain<0x25, TSWFAction4>;
using TSWFActionTrace = TSWFActionPlain<0x26, TSWFAction4>;
using TSWFActionStartDrag = TSWFActionPlain<0x27, TSWFAction4>;
using TSWFActionEndDrag = TSWFActionPlain<0x28, TSWFAction4>;
using TSWFActionStringLess = TSWFActionPlain<0x29, TSWFAction4>;
using TSWFActionRandomNumber = TSWFActionPlain<0x30, TSWFAction4>;
using TSWFActionMBStringLength = TSWFActionPlain<0x31, TSWFAction4>;
using TSWFActionCharToAscii = TSWFActionPlain<0x32, TSWFAction4>;
using TSWFActionAsciiToChar = TSWFActionPlain<0x33, TSWFAction4>;
using TSWFActionGetTime = TSWFActionPlain<0x34, TSWFAction4>;
using TSWFActionMBStringExtract = TSWFActionPlain<0x35, TSWFAction4>;
using TSWFActionMBCharToAscii = TSWFActionPlain<0x36, TSWFAction4>;
using TSWFActionMBAsciiToChar = TSWFActionPlain<0x37, TSWFAction4>;
using TSWFActionWaitForFrame2 = TSWFActionPlain<0x8D, TSWFAction4>;
using TSWFActionCall = TSWFActionPlain<0x9E, TSWFAction4>;
using TSWFActionDelete = TSWFActionPlain<0x3A, TSWFAction5>;
using TSWFActionDelete2 = TSWFActionPlain<0x3B, TSWFAction5>;
using TSWFActionDefineLocal = TSWFActionPlain<0x3C, TSWFAction5>;
using TSWFActionCallFunction = TSWFActionPlain<0x3D, TSWFAction5>;
using TSWFActionReturn = TSWFActionPlain<0x3E, TSWFAction5>;
using TSWFActionModulo = TSWFActionPlain<0x3F, TSWFAction5>;
using TSWFActionNewObject = TSWFActionPlain<0x40, TSWFAction5>;
using TSWFActionDefineLocal2 = TSWFActionPlain<0x41, TSWFAction5>;
using TSWFActionInitArray = TSWFActionPlain<0x42, TSWFAction5>;
using TSWFActionInitObject = TSWFActionPlain<0x43, TSWFAction5>;
using TSWFActionTypeOf = TSWFActionPlain<0x44, TSWFAction5>;
using TSWFActionTargetPath = TSWFActionPlain<0x45, TSWFAction5>;
using TSWFActionEnumerate = TSWFActionPlain<0x46, TSWFAction5>;
using TSWFActionAdd2 = TSWFActionPlain<0x47, TSWFAction5>;
using TSWFActionLess2 = TSWFActionPlain<0x48, TSWFAction5>;
using TSWFActionEquals2 = TSWFActionPlain<0x49, TSWFAction5>;
using TSWFActionToNumber = TSWFActionPlain<0x4A, TSWFAction5>;
using TSWFActionToString = TSWFActionPlain<0x4B, TSWFAction5>;
using TSWFActionPushDuplicate = TSWFActionPlain<0x4C, TSWFAction5>;
using TSWFActionStackSwap = TSWFActionPlain<0x4D, TSWFAction5>;
using TSWFActionGetMember = TSWFActionPlain<0x4E, TSWFAction5>;
using TSWFActionSetMember = TSWFActionPlain<0x4F, TSWFAction5>;
using TSWFActionIncrement = TSWFActionPlain<0x50, TSWFAction5>;
using TSWFActionDecrement = TSWFActionPlain<0x51, TSWFAction5>;
using TSWFActionCallMethod = TSWFActionPlain<0x52, TSWFAction5>;
using TSWFActionNewMethod = TSWFActionPlain<0x53, TSWFAction5>;
using TSWFActionBitAnd = TSWFActionPlain<0x60, TSWFAction5>;
using TSWFActionBitOr = TSWFActionPlain<0x61, TSWFAction5>;
using TSWFActionBitXor = TSWFActionPlain<0x62, TSWFAction5>;
using TSWFActionBitLShift = TSWFActionPlain<0x63, TSWFAction5>;
using TSWFActionBitRShift = TSWFActionPlain<0x64, TSWFAction5>;
using TSWFActionBitURShift = TSWFActionPlain<0x65, TSWFAction5>;
using TSWFActionInstanceOf = TSWFActionPlain<0x54, TSWFAction6>;
using TSWFActionEnumerate2 = TSWFActionPlain<0x55, TSWFAction6>;
using TSWFActionStrictEquals = TSWFActionPlain<0x66, TSWFAction6>;
using TSWFActionGreater = TSWFActionPlain<0x67, TSWFAction6>;
using TSWFActionStringGreater = TSWFActionPlain<0x68, TSWFAction6>;
using TSWFActionThrow = TSWFActionPlain<0x2A, TSWFAction7>;
using TSWFActionCastOp = TSWFActionPlain<0x2B, TSWFAction7>;
using TSWFActionImplementsOp = TSWFActionPlain<0x2C, TSWFAction7>;
using TSWFActionExtends = TSWFActionPlain<0x69, TSWFAction7>;

// An owning, ordered list of actions.
class TSWFActionList {
 public:
  TSWFActionList() = default;
  virtual ~TSWFActionList() = default;
  TSWFActionList(const TSWFActionList&) = delete;
  TSWFActionList& operator=(const TSWFActionList&) = delete;

  template <class T, class... Args>
  T& Add(Args&&... args) {
    auto action = std::make_unique<T>(std::forward<Args>(args)...);
    T& ref = *action;
    items_.push_back(std::move(action));
    return ref;
  }
  TSWFAction& Add(std::unique_ptr<TSWFAction> action);
  size_t Count() const { return items_.size(); }
  bool Empty() const { return items_.empty(); }
  TSWFAction& operator[](size_t i) const { return *items_[i]; }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }
  void Clear() { items_.clear(); }

  // Appends a copy of each action of source, made by action code; markers
  // referred to inside source are referred to as their copies.
  void AppendCopyOf(const TSWFActionList& source);
  // The highest MinVersion of the actions, at least minimum.
  int MaxMinVersion(int minimum) const;
  void WriteActions(TBitsEngine& be) const;
  // True when the last action already ends an action list: code 0, a byte-code
  // block ending with 0, or an offset marker.
  bool EndsList() const;

 private:
  std::vector<std::unique_ptr<TSWFAction>> items_;
};

// A label in an action list. A backward marker records where it stands; a
// forward marker patches the offset field that referred to it.
class TSWFOffsetMarker : public TSWFActionOf<TSWFOffsetMarker, TSWFAction> {
 public:
  TSWFOffsetMarker() { ActionCode = 0xFF; }
  void WriteToStream(TBitsEngine& be) override;
  // Called by an action writing its offset field at the absolute position fieldPos.
  void WriteOffset(TBitsEngine& bodyEngine, size_t fieldPos);

  bool IsWritten = false;
  bool JumpToBack = true;
  bool Enabled = true;
  std::string LabelName;
  size_t OffsetFieldPos = 0;
  int OffsetSize = 2;
  size_t LabelPos = 0;
};

// Raw action bytes written unchanged.
class TSWFActionByteCode : public TSWFActionOf<TSWFActionByteCode, TSWFAction4> {
 public:
  TSWFActionByteCode() { ActionCode = 0xFE; }
  void WriteToStream(TBitsEngine& be) override;
  std::vector<uint8_t> ByteCode;
};

class TSWFActionGotoFrame : public TSWFActionOf<TSWFActionGotoFrame, TSWFAction> {
 public:
  explicit TSWFActionGotoFrame(uint16_t frame = 0) : Frame(frame) { ActionCode = 0x81; }
  void WriteActionBody(TBitsEngine& be) override { be.WriteWord(Frame); }
  uint16_t Frame;
};

// The URL goes out in UTF-8, the target as it is.
class TSWFActionGetUrl : public TSWFActionOf<TSWFActionGetUrl, TSWFAction> {
 public:
  TSWFActionGetUrl(std::string url = {}, std::string target = {})
      : URL(std::move(url)), Target(std::move(target)) {
    ActionCode = 0x83;
  }
  void WriteActionBody(TBitsEngine& be) override;
  std::string URL, Target;
};

class TSWFActionStoreRegister : public TSWFActionOf<TSWFActionStoreRegister, TSWFAction5> {
 public:
  TSWFActionStoreRegister() { ActionCode = 0x87; }
  void WriteActionBody(TBitsEngine& be) override { be.WriteByte(RegisterNumber); }
  uint8_t RegisterNumber = 0;
};

class TSWFActionConstantPool : public TSWFActionOf<TSWFActionConstantPool, TSWFAction5> {
 public:
  TSWFActionConstantPool() { ActionCode = 0x88; }
  void WriteActionBody(TBitsEngine& be) override;
  std::vector<std::string> ConstantPool;
};

class TSWFActionWaitForFrame : public TSWFActionOf<TSWFActionWaitForFrame, TSWFAction> {
 public:
  TSWFActionWaitForFrame() { ActionCode = 0x8A; }
  void WriteActionBody(TBitsEngine& be) override;
  uint16_t Frame = 0;
  uint8_t SkipCount = 0;
};

class TSWFActionSetTarget : public TSWFActionOf<TSWFActionSetTarget, TSWFAction> {
 public:
  TSWFActionSetTarget() { ActionCode = 0x8B; }
  void WriteActionBody(TBitsEngine& be) override { be.WriteString(TargetName); }
  std::string TargetName;
};

class TSWFActionGoToLabel : public TSWFActionOf<TSWFActionGoToLabel, TSWFAction> {
 public:
  TSWFActionGoToLabel() { ActionCode = 0x8C; }
  void WriteActionBody(TBitsEngine& be) override { be.WriteString(Label); }
  std::string Label;
};

// Writes an offset or size field: the static value, or through a marker.
// Returns false when there is neither (the field is then left out).
bool WriteOffsetField(TBitsEngine& be, size_t recordStart, bool staticOffset, int value,
                      TSWFOffsetMarker* marker);

class TSWFActionJump : public TSWFActionOf<TSWFActionJump, TSWFAction4> {
 public:
  TSWFActionJump() { ActionCode = 0x99; }
  void WriteActionBody(TBitsEngine& be) override;
  void RemapMarkers(const TMarkerMap& map) override;
  void SetBranchOffset(int16_t offset) { BranchOffset = offset; StaticOffset = true; }

  int16_t BranchOffset = 0;
  bool StaticOffset = false;
  TSWFOffsetMarker* Marker = nullptr;  // placed in the same list; not owned
};

class TSWFActionIf : public TSWFActionJump {
 public:
  TSWFActionIf() { ActionCode = 0x9D; }
  void Assign(const TSWFAction& source) override {
    if (auto* same = dynamic_cast<const TSWFActionIf*>(&source)) *this = *same;
  }
};

class TSWFActionWith : public TSWFActionOf<TSWFActionWith, TSWFAction5> {
 public:
  TSWFActionWith() { ActionCode = 0x94; }
  void WriteActionBody(TBitsEngine& be) override;
  void RemapMarkers(const TMarkerMap& map) override;
  void SetWithSize(uint16_t size) { WithSize = size; StaticOffset = true; }

  uint16_t WithSize = 0;
  bool StaticOffset = false;
  TSWFOffsetMarker* Marker = nullptr;
};

class TSWFActionGetURL2 : public TSWFActionOf<TSWFActionGetURL2, TSWFAction4> {
 public:
  TSWFActionGetURL2() { ActionCode = 0x9A; }
  void WriteActionBody(TBitsEngine& be) override;
  uint8_t SendVarsMethod = 0;
  bool LoadTargetFlag = false, LoadVariablesFlag = false;
};

class TSWFActionDefineFunction : public TSWFActionOf<TSWFActionDefineFunction, TSWFAction5> {
 public:
  TSWFActionDefineFunction() { ActionCode = 0x9B; }
  void WriteActionBody(TBitsEngine& be) override;
  void RemapMarkers(const TMarkerMap& map) override;
  void SetCodeSize(uint16_t size) { CodeSize = size; StaticOffset = true; }

  std::string FunctionName;
  std::vector<std::string> Params;
  uint16_t CodeSize = 0;
  bool StaticOffset = false;
  TSWFOffsetMarker* Marker = nullptr;
};

struct TSWFFunctionParam {
  uint8_t Register = 0;
  std::string Name;
};

class TSWFActionDefineFunction2 : public TSWFActionOf<TSWFActionDefineFunction2, TSWFAction7> {
 public:
  TSWFActionDefineFunction2() { ActionCode = 0x8E; }
  void WriteActionBody(TBitsEngine& be) override;
  void RemapMarkers(const TMarkerMap& map) override;
  void SetCodeSize(uint16_t size) { CodeSize = size; StaticOffset = true; }

  std::string FunctionName;
  std::vector<TSWFFunctionParam> Params;
  uint8_t RegisterCount = 0;
  bool PreloadParentFlag = false, PreloadRootFlag = false, SuppressSuperFlag = false,
       PreloadSuperFlag = false, SuppressArgumentsFlag = false, PreloadArgumentsFlag = false,
       SuppressThisFlag = false, PreloadThisFlag = false, PreloadGlobalFlag = false;
  uint16_t CodeSize = 0;
  bool StaticOffset = false;
  TSWFOffsetMarker* Marker = nullptr;
};

// Try has a marker per block: the try block's always, the catch and finally
// blocks' when their flags are set.
class TSWFActionTry : public TSWFActionOf<TSWFActionTry, TSWFAction7> {
 public:
  TSWFActionTry() { ActionCode = 0x8F; }
  void WriteActionBody(TBitsEngine& be) override;
  void RemapMarkers(const TMarkerMap& map) override;
  void SetSizes(uint16_t trySize, uint16_t catchSize, uint16_t finallySize);

  bool CatchInRegisterFlag = false, FinallyBlockFlag = false, CatchBlockFlag = false;
  uint16_t TrySize = 0, CatchSize = 0, FinallySize = 0;
  bool StaticOffset = false;
  TSWFOffsetMarker* TryMarker = nullptr;
  TSWFOffsetMarker* CatchMarker = nullptr;
  TSWFOffsetMarker* FinallyMarker = nullptr;
  uint8_t CatchRegister = 0;
  std::string CatchName;
};

class TSWFActionGotoFrame2 : public TSWFActionOf<TSWFActionGotoFrame2, TSWFAction4> {
 public:
  TSWFActionGotoFrame2() { ActionCode = 0x9F; }
  void WriteActionBody(TBitsEngine& be) override;
  bool SceneBiasFlag = false, PlayFlag = false;
  uint16_t SceneBias = 0;
};

// Push value types of the format.
enum TPushValueType : uint8_t {
  pvString = 0, pvFloat = 1, pvNull = 2, pvUndefined = 3, pvRegister = 4, pvBoolean = 5,
  pvDouble = 6, pvInteger = 7, pvConstant8 = 8, pvConstant16 = 9,
};

struct TPushUndefined {};
struct TPushNull {};

struct TPushValueInfo {
  std::variant<TPushUndefined, TPushNull, std::string, float, double, int32_t, bool> Value;
  uint8_t ValueType = pvUndefined;
  bool IsValid = true;
};

class TSWFActionPush : public TSWFActionOf<TSWFActionPush, TSWFAction4> {
 public:
  TSWFActionPush() { ActionCode = 0x96; }
  int MinVersion() const override;
  void WriteActionBody(TBitsEngine& be) override;

  // Each classifies its value; the type may be changed afterwards to a
  // register or constant-pool reference.
  TPushValueInfo& AddValue(TPushUndefined v = {});
  TPushValueInfo& AddValue(TPushNull v);
  TPushValueInfo& AddValue(int32_t v);
  TPushValueInfo& AddValue(float v);
  TPushValueInfo& AddValue(double v);
  TPushValueInfo& AddValue(bool v);
  TPushValueInfo& AddValue(const std::string& v);
  TPushValueInfo& AddValue(const char* v) { return AddValue(std::string(v)); }

  std::vector<TPushValueInfo> Values;
};

// A new action of the class registered for the code, or nullptr for an unknown code.
std::unique_ptr<TSWFAction> ActionFactory(uint8_t code);

}  // namespace swf
