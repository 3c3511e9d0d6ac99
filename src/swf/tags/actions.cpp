#include "swf/tags/actions.h"

#include <array>
#include <cstdlib>
#include <cstring>

namespace swf {

void TSWFAction::WriteToStream(TBitsEngine& be) {
  TMemoryStream& target = be.Stream();
  recordStart_ = target.Position();
  be.WriteByte(ActionCode);
  if (ActionCode < 0x80) return;
  TMemoryStream body;
  TBitsEngine bodyEngine(body);
  WriteActionBody(bodyEngine);
  bodyEngine.FlushLastByte(true);
  BodyLength = uint16_t(body.Size());
  be.WriteWord(BodyLength);
  target.Write(body.Data(), body.Size());
}

TSWFAction& TSWFActionList::Add(std::unique_ptr<TSWFAction> action) {
  items_.push_back(std::move(action));
  return *items_.back();
}

void TSWFActionList::AppendCopyOf(const TSWFActionList& source) {
  TMarkerMap markers;
  const size_t first = items_.size();
  for (const auto& action : source.items_) {
    std::unique_ptr<TSWFAction> copy = ActionFactory(action->ActionCode);
    if (!copy) continue;
    copy->Assign(*action);
    if (auto* marker = dynamic_cast<TSWFOffsetMarker*>(copy.get()))
      markers[static_cast<const TSWFOffsetMarker*>(action.get())] = marker;
    items_.push_back(std::move(copy));
  }
  for (size_t i = first; i < items_.size(); ++i) items_[i]->RemapMarkers(markers);
}

int TSWFActionList::MaxMinVersion(int minimum) const {
  int v = minimum;
  for (const auto& action : items_) v = std::max(v, action->MinVersion());
  return v;
}

void TSWFActionList::WriteActions(TBitsEngine& be) const {
  for (const auto& action : items_) action->WriteToStream(be);
}

bool TSWFActionList::EndsList() const {
  if (items_.empty()) return false;
  const TSWFAction& last = *items_.back();
  if (last.ActionCode == 0 || last.ActionCode == 0xFF) return true;
  auto* block = dynamic_cast<const TSWFActionByteCode*>(&last);
  return block && !block->ByteCode.empty() && block->ByteCode.back() == 0;
}

// --- markers and offset fields ---

static void WriteLittleEndian(TMemoryStream& stream, int64_t value, int size) {
  for (int i = 0; i < size; ++i) stream.WriteByte(uint8_t(uint64_t(value) >> (8 * i)));
}

void TSWFOffsetMarker::WriteOffset(TBitsEngine& bodyEngine, size_t fieldPos) {
  OffsetFieldPos = fieldPos;
  bodyEngine.FlushLastByte(true);
  if (JumpToBack) {
    WriteLittleEndian(bodyEngine.Stream(), -int64_t(fieldPos + size_t(OffsetSize) - LabelPos), OffsetSize);
  } else {
    LabelPos = fieldPos;
    WriteLittleEndian(bodyEngine.Stream(), 0, OffsetSize);
  }
}

void TSWFOffsetMarker::WriteToStream(TBitsEngine& be) {
  IsWritten = true;
  if (!Enabled) return;
  be.FlushLastByte(true);
  TMemoryStream& target = be.Stream();
  if (JumpToBack) {
    LabelPos = target.Position();
    return;
  }
  const size_t here = target.Position();
  target.Seek(LabelPos);
  WriteLittleEndian(target, int64_t(here) - int64_t(LabelPos) - OffsetSize, OffsetSize);
  target.Seek(here);
}

bool WriteOffsetField(TBitsEngine& be, size_t recordStart, bool staticOffset, int value,
                      TSWFOffsetMarker* marker) {
  if (staticOffset) {
    be.WriteWord(uint16_t(value));
    return true;
  }
  if (!marker) return false;
  be.FlushLastByte(true);
  marker->WriteOffset(be, recordStart + 3 + be.Stream().Position());
  return true;
}

static TSWFOffsetMarker* Remapped(TSWFOffsetMarker* marker, const TMarkerMap& map) {
  auto it = map.find(marker);
  return it == map.end() ? nullptr : it->second;
}

void TSWFActionByteCode::WriteToStream(TBitsEngine& be) {
  be.WriteBytes(ByteCode.data(), long(ByteCode.size()));
  BodyLength = uint16_t(ByteCode.size());
}

// --- actions with data ---

void TSWFActionGetUrl::WriteActionBody(TBitsEngine& be) {
  be.WriteString(URL, true, true);
  be.WriteString(Target);
}

void TSWFActionConstantPool::WriteActionBody(TBitsEngine& be) {
  be.WriteWord(uint16_t(ConstantPool.size()));
  for (const std::string& s : ConstantPool) be.WriteString(s);
}

void TSWFActionWaitForFrame::WriteActionBody(TBitsEngine& be) {
  be.WriteWord(Frame);
  be.WriteByte(SkipCount);
}

void TSWFActionJump::WriteActionBody(TBitsEngine& be) {
  // A jump without offset or marker still needs its field: it jumps by 0.
  if (!WriteOffsetField(be, recordStart_, StaticOffset, BranchOffset, Marker)) be.WriteWord(0);
}

void TSWFActionJump::RemapMarkers(const TMarkerMap& map) { Marker = Remapped(Marker, map); }

void TSWFActionWith::WriteActionBody(TBitsEngine& be) {
  WriteOffsetField(be, recordStart_, StaticOffset, WithSize, Marker);
}

void TSWFActionWith::RemapMarkers(const TMarkerMap& map) { Marker = Remapped(Marker, map); }

void TSWFActionGetURL2::WriteActionBody(TBitsEngine& be) {
  be.WriteBits(SendVarsMethod, 2);
  be.WriteBits(0, 4);
  be.WriteBit(LoadTargetFlag);
  be.WriteBit(LoadVariablesFlag);
}

void TSWFActionDefineFunction::WriteActionBody(TBitsEngine& be) {
  be.WriteString(FunctionName);
  be.WriteWord(uint16_t(Params.size()));
  for (const std::string& p : Params) be.WriteString(p);
  WriteOffsetField(be, recordStart_, StaticOffset, CodeSize, Marker);
}

void TSWFActionDefineFunction::RemapMarkers(const TMarkerMap& map) { Marker = Remapped(Marker, map); }

void TSWFActionDefineFunction2::WriteActionBody(TBitsEngine& be) {
  be.WriteString(FunctionName);
  be.WriteWord(uint16_t(Params.size()));
  be.WriteByte(RegisterCount);
  for (bool flag : {PreloadParentFlag, PreloadRootFlag, SuppressSuperFlag, PreloadSuperFlag,
                    SuppressArgumentsFlag, PreloadArgumentsFlag, SuppressThisFlag, PreloadThisFlag})
    be.WriteBit(flag);
  be.WriteBits(0, 7);
  be.WriteBit(PreloadGlobalFlag);
  for (const TSWFFunctionParam& p : Params) {
    be.WriteByte(p.Register);
    be.WriteString(p.Name);
  }
  WriteOffsetField(be, recordStart_, StaticOffset, CodeSize, Marker);
}

void TSWFActionDefineFunction2::RemapMarkers(const TMarkerMap& map) { Marker = Remapped(Marker, map); }

void TSWFActionTry::SetSizes(uint16_t trySize, uint16_t catchSize, uint16_t finallySize) {
  TrySize = trySize;
  CatchSize = catchSize;
  FinallySize = finallySize;
  StaticOffset = true;
}

void TSWFActionTry::WriteActionBody(TBitsEngine& be) {
  be.WriteBits(0, 5);
  be.WriteBit(CatchInRegisterFlag);
  be.WriteBit(FinallyBlockFlag);
  be.WriteBit(CatchBlockFlag);
  if (!WriteOffsetField(be, recordStart_, StaticOffset, TrySize, TryMarker)) be.WriteWord(0);
  auto blockSize = [&](bool present, uint16_t size, TSWFOffsetMarker* marker) {
    if (!present || !WriteOffsetField(be, recordStart_, StaticOffset, size, marker)) be.WriteWord(0);
  };
  blockSize(CatchBlockFlag, CatchSize, CatchMarker);
  blockSize(FinallyBlockFlag, FinallySize, FinallyMarker);
  if (CatchInRegisterFlag) be.WriteByte(CatchRegister);
  else be.WriteString(CatchName);
}

void TSWFActionTry::RemapMarkers(const TMarkerMap& map) {
  TryMarker = Remapped(TryMarker, map);
  CatchMarker = Remapped(CatchMarker, map);
  FinallyMarker = Remapped(FinallyMarker, map);
}

void TSWFActionGotoFrame2::WriteActionBody(TBitsEngine& be) {
  be.WriteBits(0, 6);
  be.WriteBit(SceneBiasFlag);
  be.WriteBit(PlayFlag);
  if (SceneBiasFlag) be.WriteWord(SceneBias);
}

// --- push ---

TPushValueInfo& TSWFActionPush::AddValue(TPushUndefined v) {
  return Values.emplace_back(TPushValueInfo{v, pvUndefined, true});
}
TPushValueInfo& TSWFActionPush::AddValue(TPushNull v) {
  return Values.emplace_back(TPushValueInfo{v, pvNull, true});
}
TPushValueInfo& TSWFActionPush::AddValue(int32_t v) {
  return Values.emplace_back(TPushValueInfo{v, pvInteger, true});
}
TPushValueInfo& TSWFActionPush::AddValue(float v) {
  return Values.emplace_back(TPushValueInfo{v, pvFloat, true});
}
TPushValueInfo& TSWFActionPush::AddValue(double v) {
  return Values.emplace_back(TPushValueInfo{v, pvDouble, true});
}
TPushValueInfo& TSWFActionPush::AddValue(bool v) {
  return Values.emplace_back(TPushValueInfo{v, pvBoolean, true});
}
TPushValueInfo& TSWFActionPush::AddValue(const std::string& v) {
  // These two names stand for the special values in scripts that only pass strings.
  if (v == "FlashVar_undefined") return AddValue(TPushUndefined{});
  if (v == "FlashVar_null") return AddValue(TPushNull{});
  return Values.emplace_back(TPushValueInfo{v, pvString, true});
}

int TSWFActionPush::MinVersion() const {
  for (const TPushValueInfo& v : Values)
    if (v.IsValid && v.ValueType != pvString && v.ValueType != pvFloat) return 5;
  return 4;
}

// The value as an integer, whatever kind it was added as (for register and
// constant references set after adding).
static int64_t PushInteger(const TPushValueInfo& v) {
  return std::visit(
      [](const auto& x) -> int64_t {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, int32_t> || std::is_same_v<T, bool>) return x;
        else if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>) return int64_t(x);
        else if constexpr (std::is_same_v<T, std::string>) return std::atoll(x.c_str());
        else return 0;
      },
      v.Value);
}

static double PushDouble(const TPushValueInfo& v) {
  if (auto* d = std::get_if<double>(&v.Value)) return *d;
  if (auto* f = std::get_if<float>(&v.Value)) return *f;
  return double(PushInteger(v));
}

void TSWFActionPush::WriteActionBody(TBitsEngine& be) {
  for (const TPushValueInfo& v : Values) {
    if (!v.IsValid) continue;
    be.WriteByte(v.ValueType);
    switch (v.ValueType) {
      case pvString: {
        auto* s = std::get_if<std::string>(&v.Value);
        be.WriteString(s ? *s : std::string());
        break;
      }
      case pvFloat: {
        const float f = float(PushDouble(v));
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        be.WriteDWord(bits);
        break;
      }
      case pvDouble: {
        const double d = PushDouble(v);
        uint64_t bits;
        std::memcpy(&bits, &d, 8);
        be.WriteDWord(uint32_t(bits >> 32));  // the format stores the high half first
        be.WriteDWord(uint32_t(bits));
        break;
      }
      case pvRegister: case pvBoolean: case pvConstant8:
        be.WriteByte(uint8_t(PushInteger(v)));
        break;
      case pvInteger:
        be.WriteDWord(uint32_t(PushInteger(v)));
        break;
      case pvConstant16:
        be.WriteWord(uint16_t(PushInteger(v)));
        break;
      default:  // null, undefined: the type alone
        break;
    }
  }
}

// --- factory ---

template <class T>
static std::unique_ptr<TSWFAction> Make() {
  return std::make_unique<T>();
}

std::unique_ptr<TSWFAction> ActionFactory(uint8_t code) {
  using Maker = std::unique_ptr<TSWFAction> (*)();
  static const auto table = [] {
    std::array<Maker, 256> t{};
    auto reg = [&t]<class... T>() { ((t[T().ActionCode] = &Make<T>), ...); };
    reg.template operator()<
        TSWFActionNextFrame, TSWFActionPreviousFrame, TSWFActionPlay, TSWFActionStop,
        TSWFActionToggleQuality, TSWFActionStopSounds, TSWFActionAdd, TSWFActionSubtract,
        TSWFActionMultiply, TSWFActionDivide, TSWFActionEquals, TSWFActionLess, TSWFActionAnd,
        TSWFActionOr, TSWFActionNot, TSWFActionStringEquals, TSWFActionStringLength,
        TSWFActionStringExtract, TSWFActionPop, TSWFActionToInteger, TSWFActionGetVariable,
        TSWFActionSetVariable, TSWFActionSetTarget2, TSWFActionStringAdd, TSWFActionGetProperty,
        TSWFActionSetProperty, TSWFActionCloneSprite, TSWFActionRemoveSprite, TSWFActionTrace,
        TSWFActionStartDrag, TSWFActionEndDrag, TSWFActionStringLess, TSWFActionRandomNumber,
        TSWFActionMBStringLength, TSWFActionCharToAscii, TSWFActionAsciiToChar,
        TSWFActionGetTime, TSWFActionMBStringExtract, TSWFActionMBCharToAscii,
        TSWFActionMBAsciiToChar, TSWFActionWaitForFrame2, TSWFActionCall>();
    reg.template operator()<
        TSWFActionDelete, TSWFActionDelete2, TSWFActionDefineLocal, TSWFActionCallFunction,
        TSWFActionReturn, TSWFActionModulo, TSWFActionNewObject, TSWFActionDefineLocal2,
        TSWFActionInitArray, TSWFActionInitObject, TSWFActionTypeOf, TSWFActionTargetPath,
        TSWFActionEnumerate, TSWFActionAdd2, TSWFActionLess2, TSWFActionEquals2,
        TSWFActionToNumber, TSWFActionToString, TSWFActionPushDuplicate, TSWFActionStackSwap,
        TSWFActionGetMember, TSWFActionSetMember, TSWFActionIncrement, TSWFActionDecrement,
        TSWFActionCallMethod, TSWFActionNewMethod, TSWFActionBitAnd, TSWFActionBitOr,
        TSWFActionBitXor, TSWFActionBitLShift, TSWFActionBitRShift, TSWFActionBitURShift,
        TSWFActionInstanceOf, TSWFActionEnumerate2, TSWFActionStrictEquals, TSWFActionGreater,
        TSWFActionStringGreater, TSWFActionThrow, TSWFActionCastOp, TSWFActionImplementsOp,
        TSWFActionExtends>();
    reg.template operator()<
        TSWFActionGotoFrame, TSWFActionGetUrl, TSWFActionStoreRegister, TSWFActionConstantPool,
        TSWFActionWaitForFrame, TSWFActionSetTarget, TSWFActionGoToLabel,
        TSWFActionDefineFunction2, TSWFActionTry, TSWFActionWith, TSWFActionPush, TSWFActionJump,
        TSWFActionGetURL2, TSWFActionDefineFunction, TSWFActionIf, TSWFActionGotoFrame2,
        TSWFActionByteCode, TSWFOffsetMarker>();
    return t;
  }();
  return table[code] ? table[code]() : nullptr;
}

}  // namespace swf
