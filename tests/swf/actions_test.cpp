#include "swf/tags/actions.h"

#include <gtest/gtest.h>

#include "support/tag_bytes.h"
#include "swf/tags/action_tags.h"

namespace {

using vtest::Bytes;
using vtest::hex;
using vtest::SameBytes;
using vtest::WrittenBy;

Bytes Record(swf::TSWFAction& action) { return WrittenBy(action); }

TEST(Actions, Records) {
  swf::TSWFActionStop stop;
  swf::TSWFActionCall call;
  swf::TSWFActionPush emptyPush;
  swf::TSWFActionGotoFrame gotoFrame(0x0102);
  swf::TSWFActionGetUrl url("u", "t");
  swf::TSWFActionGetUrl accented("\xE9", "\xE9");  // e acute: UTF-8 in the URL only
  swf::TSWFActionPush pushInt;
  pushInt.AddValue(1);
  swf::TSWFActionPush pushNull;
  pushNull.AddValue("FlashVar_null");
  swf::TSWFActionPush pushMixed;
  pushMixed.AddValue("ab");
  pushMixed.AddValue(1.5f);
  pushMixed.AddValue(true);
  pushMixed.AddValue(0.5);
  pushMixed.AddValue("FlashVar_undefined");
  swf::TSWFActionPush pushRefs;
  pushRefs.AddValue(3).ValueType = swf::pvRegister;
  pushRefs.AddValue(0x0201).ValueType = swf::pvConstant16;
  swf::TSWFActionGotoFrame2 gotoFrame2;
  gotoFrame2.PlayFlag = true;
  gotoFrame2.SceneBiasFlag = true;
  gotoFrame2.SceneBias = 5;
  swf::TSWFActionGetURL2 getUrl2;
  getUrl2.SendVarsMethod = 2;
  getUrl2.LoadTargetFlag = true;
  swf::TSWFActionConstantPool pool;
  pool.ConstantPool = {"a", "bc"};
  swf::TSWFActionWaitForFrame wait;
  wait.Frame = 4;
  wait.SkipCount = 2;
  swf::TSWFActionDefineFunction function;
  function.FunctionName = "f";
  function.Params = {"x"};
  function.SetCodeSize(9);
  swf::TSWFActionWith withNoSize;  // neither a size nor a marker: no size field

  struct Row { swf::TSWFAction* action; const char* bytes; int version; };
  const Row rows[] = {
      {&stop, "07", 3},
      {&call, "9E 00 00", 4},
      {&emptyPush, "96 00 00", 4},
      {&gotoFrame, "81 02 00 02 01", 3},
      {&url, "83 04 00 75 00 74 00", 3},
      {&accented, "83 05 00 C3 A9 00 E9 00", 3},
      {&pushInt, "96 05 00 07 01 00 00 00", 5},
      {&pushNull, "96 01 00 02", 5},
      // string "ab", float 1.5, boolean, double 0.5 (high half first), undefined
      {&pushMixed, "96 15 00 00 61 62 00 01 00 00 C0 3F 05 01 06 00 00 E0 3F 00 00 00 00 03", 5},
      {&pushRefs, "96 05 00 04 03 09 01 02", 5},
      {&gotoFrame2, "9F 03 00 03 05 00", 4},
      {&getUrl2, "9A 01 00 82", 4},
      {&pool, "88 07 00 02 00 61 00 62 63 00", 5},
      {&wait, "8A 03 00 04 00 02", 3},
      {&function, "9B 08 00 66 00 01 00 78 00 09 00", 5},
      {&withNoSize, "94 00 00", 5},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.bytes);
    EXPECT_TRUE(SameBytes(hex(r.bytes), Record(*r.action)));
    EXPECT_EQ(r.action->MinVersion(), r.version);
  }
  EXPECT_EQ(url.BodyLength, 4);
}

TEST(Actions, PushWithOnlyStringsAndFloatsNeedsSwf4) {
  swf::TSWFActionPush push;
  push.AddValue("x");
  push.AddValue(2.0f);
  EXPECT_EQ(push.MinVersion(), 4);
  push.AddValue(2.0);
  EXPECT_EQ(push.MinVersion(), 5);
}

TEST(ActionMarkers, BackwardJumpToMarkerJustBeforeIt) {
  swf::TSWFActionList list;
  auto& marker = list.Add<swf::TSWFOffsetMarker>();
  auto& jump = list.Add<swf::TSWFActionJump>();
  jump.Marker = &marker;
  swf::TSWFDoAction tag(list);
  EXPECT_TRUE(SameBytes(hex("06 03 | 99 02 00 FB FF | 00"), WrittenBy(tag)));
}

TEST(ActionMarkers, ForwardMarkersPatchTheirFields) {
  swf::TSWFActionList list;
  auto& jumpIf = list.Add<swf::TSWFActionIf>();
  list.Add<swf::TSWFActionPlay>();
  list.Add<swf::TSWFActionStop>();
  auto& marker = list.Add<swf::TSWFOffsetMarker>();
  marker.JumpToBack = false;
  jumpIf.Marker = &marker;
  list.Add<swf::TSWFActionNextFrame>();

  auto& function = list.Add<swf::TSWFActionDefineFunction2>();
  function.FunctionName = "g";
  auto& end = list.Add<swf::TSWFOffsetMarker>();
  end.JumpToBack = false;
  function.Marker = &end;
  list.Add<swf::TSWFActionReturn>();  // not inside: the marker stands before it

  swf::TSWFDoAction tag(list);
  // If skips Play and Stop (2 bytes); the function's code size is 0.
  EXPECT_TRUE(SameBytes(hex("16 03 | 9D 02 00 02 00 | 06 07 | 04 | "
                            "8E 09 00 67 00 00 00 00 00 00 00 00 | 3E | 00"),
                        WrittenBy(tag)));
  EXPECT_TRUE(marker.IsWritten);
  EXPECT_EQ(tag.MinVersion(), 7);
}

TEST(ActionMarkers, CopiedListKeepsItsJumpsOnItsOwnMarkers) {
  swf::TSWFActionList source;
  auto& marker = source.Add<swf::TSWFOffsetMarker>();
  source.Add<swf::TSWFActionPlay>();
  source.Add<swf::TSWFActionJump>().Marker = &marker;
  swf::TSWFActionGetUrl& url = source.Add<swf::TSWFActionGetUrl>("a", "b");

  swf::TSWFActionList copy;
  copy.AppendCopyOf(source);
  ASSERT_EQ(copy.Count(), 4u);
  auto& copiedJump = dynamic_cast<swf::TSWFActionJump&>(copy[2]);
  EXPECT_EQ(copiedJump.Marker, &copy[0]);
  EXPECT_EQ(dynamic_cast<swf::TSWFActionGetUrl&>(copy[3]).URL, url.URL);

  swf::TSWFDoAction original(source), copied(copy);
  EXPECT_TRUE(SameBytes(WrittenBy(original), WrittenBy(copied)));
}

TEST(ActionFactory, MakesTheClassOfEachCode) {
  for (int code : {0x04, 0x07, 0x0A, 0x2A, 0x3A, 0x54, 0x69, 0x81, 0x83, 0x8E, 0x8F, 0x96, 0x99,
                   0x9D, 0x9E, 0x9F, 0xFE, 0xFF}) {
    SCOPED_TRACE(code);
    auto action = swf::ActionFactory(uint8_t(code));
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->ActionCode, code);
  }
  EXPECT_EQ(swf::ActionFactory(0x01), nullptr);
  EXPECT_NE(dynamic_cast<swf::TSWFActionIf*>(swf::ActionFactory(0x9D).get()), nullptr);
}

TEST(DoAction, BodiesAndVersions) {
  swf::TSWFDoAction stop;
  stop.Actions().Add<swf::TSWFActionStop>();
  EXPECT_TRUE(SameBytes(hex("02 03 07 00"), WrittenBy(stop)));
  EXPECT_EQ(stop.MinVersion(), 3);

  swf::TSWFDoAction url;
  url.Actions().Add<swf::TSWFActionGetUrl>("u", "t");
  EXPECT_TRUE(SameBytes(hex("08 03 83 04 00 75 00 74 00 00"), WrittenBy(url)));

  swf::TSWFDoInitAction init;
  init.SpriteID = 5;
  init.Actions().Add<swf::TSWFActionPlay>();
  EXPECT_TRUE(SameBytes(hex("C4 0E 05 00 06 00"), WrittenBy(init)));
  EXPECT_EQ(init.MinVersion(), 6);
}

}  // namespace
