// The display list and the timeline: placements over frames, going to any
// frame, frame actions, and buttons following the pointer.
#include "player/timeline.h"

#include <gtest/gtest.h>

#include "player/button_movie.h"
#include "player/swf_reader.h"
#include "support/bytes.h"
#include "swf/tags/action_tags.h"

namespace {

using namespace player;
using vtest::SwfBytes;
using vtest::TShapeBody;
using vtest::TSwfBuilder;

std::shared_ptr<const TMovie> Load(const SwfBytes& bytes) {
  vtest::KeepSwfForParserCheck("player-timeline.swf", bytes);
  return std::make_shared<const TMovie>(ReadMovie(bytes));
}

void AddSquare(TSwfBuilder& b, uint16_t id) {
  TShapeBody s(id, 2, {0, 100, 0, 100});
  s.Style(0, s.Solid({uint8_t(id * 40), 0, 0}), 0, 0, 0);
  s.Rect(0, 0, 100, 100);
  b.Tag(swf::tagDefineShape2, s.Finish());
}

// Frame 1: A at 1, B at 2. Frame 2: A moves. Frame 3: C replaces B at 2.
// Frame 4: A removed. Frames 5-6: nothing.
SwfBytes PlacementMovie() {
  TSwfBuilder b(10, 10);
  for (uint16_t id : {1, 2, 3}) AddSquare(b, id);
  b.Place(1, 1);
  b.Place(2, 2);
  b.ShowFrame();
  b.Move(1, vtest::Translate(40, 60));
  b.ShowFrame();
  b.Place(3, 2, nullptr, nullptr, true);
  b.ShowFrame();
  b.Remove(1);
  b.ShowFrame(3);
  return b.Build();
}

std::string Describe(const TDisplayList& list) {
  std::string s;
  for (const auto& [depth, o] : list.Objects())
    s += std::to_string(depth) + ":" + std::to_string(o.CharacterID) + "@" +
         std::to_string(int(o.Matrix.TX)) + " ";
  return s;
}

TEST(Timeline, GivesTheStateOfAnyFrameForwardsAndBackwards) {
  const auto movie = Load(PlacementMovie());
  const std::string expected[6] = {"1:1@0 2:2@0 ", "1:1@40 2:2@0 ", "1:1@40 2:3@0 ",
                                   "2:3@0 ",       "2:3@0 ",        "2:3@0 "};
  TTimeline stepping(movie);
  for (uint32_t f = 0; f < 6; ++f) {
    SCOPED_TRACE(f);
    stepping.GotoFrame(f);
    EXPECT_EQ(Describe(stepping.DisplayList()), expected[f]);
    TTimeline jumping(movie);
    jumping.GotoFrame(5);
    jumping.GotoFrame(f);  // backwards from the last frame
    EXPECT_EQ(Describe(jumping.DisplayList()), expected[f]);
  }
  stepping.GotoFrame(1000);
  EXPECT_EQ(stepping.CurrentFrame(), 5u);
  // Frames without tags leave the picture alone: a viewer has nothing to repaint.
  TTimeline idle(movie);
  idle.GotoFrame(3);
  const uint64_t version = idle.DisplayList().Version();
  idle.Advance();
  idle.Advance();
  EXPECT_EQ(idle.CurrentFrame(), 5u);
  EXPECT_EQ(idle.DisplayList().Version(), version);
}

TEST(Timeline, PlaysLoopsAndRunsFrameActions) {
  TSwfBuilder b(10, 10);
  b.ShowFrame();           // frame 0
  b.ShowFrame();           // frame 1
  swf::TSWFDoAction jump;  // frame 2: GetURL, then go to frame 4
  jump.Actions().Add<swf::TSWFActionGetUrl>("http://a/", "");
  jump.Actions().Add<swf::TSWFActionGotoFrame>(4);
  b.Tag(jump);
  b.ShowFrame();
  b.ShowFrame();           // frame 3: skipped by the jump
  swf::TSWFDoAction stop;  // frame 4
  stop.Actions().Add<swf::TSWFActionStop>();
  b.Tag(stop);
  b.ShowFrame();
  const auto movie = Load(b.Build());
  TTimeline t(movie);
  std::vector<std::string> urls;
  t.OnGetURL = [&](const std::string& url, const std::string&) { urls.push_back(url); };
  std::vector<uint32_t> shown;
  for (int i = 0; i < 6; ++i) {
    t.Advance();
    shown.push_back(t.CurrentFrame());
  }
  EXPECT_EQ(shown,
            (std::vector<uint32_t>{1, 4, 4, 4, 4, 4}));  // the jump enters 4, whose Stop halts
  EXPECT_FALSE(t.Playing());
  EXPECT_EQ(urls, std::vector<std::string>{"http://a/"});
  t.Play();
  t.Advance();
  EXPECT_EQ(t.CurrentFrame(), 0u);  // loops
  t.Looping = false;
  t.GotoFrame(4);
  t.Advance();
  EXPECT_FALSE(t.Playing());
  EXPECT_EQ(t.CurrentFrame(), 4u);
}

TEST(Timeline, FrameZeroActionsRunWhenStarted) {
  TSwfBuilder b(10, 10);
  swf::TSWFDoAction stop;
  stop.Actions().Add<swf::TSWFActionStop>();
  b.Tag(stop);
  b.ShowFrame(2);
  TTimeline t(Load(b.Build()));
  EXPECT_TRUE(t.Playing());
  t.Start();
  EXPECT_FALSE(t.Playing());
}

// What the sound engine hears: frames shown by playing on (continuous) or
// by a start, a jump or the host; each entered frame's StartSounds; and the
// changes of playing. The host's GotoFrame starts no sounds.
TEST(Timeline, TellsItsSoundsWhatHappens) {
  struct TLog : ITimelineSounds {
    void FrameShown(uint32_t frame, bool continuous) override {
      Events.push_back((continuous ? "show " : "jump ") + std::to_string(frame));
    }
    void StartSound(const TSoundStart& start) override {
      Events.push_back("sound " + std::to_string(start.SoundID));
    }
    void PlayingChanged(bool playing) override { Events.push_back(playing ? "play" : "stop"); }
    std::vector<std::string> Events;
  } log;
  TSwfBuilder b(10, 10);
  b.Tag(swf::tagStartSound, vtest::hex("05 00 00"));
  b.ShowFrame();           // frame 0: sound 5
  b.Tag(swf::tagStartSound, vtest::hex("06 00 00"));
  swf::TSWFDoAction jump;  // frame 1: sound 6, then back to frame 0
  jump.Actions().Add<swf::TSWFActionGotoFrame>(0);
  b.Tag(jump);
  b.ShowFrame();
  const auto movie = Load(b.Build());
  TTimeline t(movie);
  t.Sounds = &log;
  t.Start();
  t.Advance();
  t.Stop();
  t.GotoFrame(1);
  EXPECT_EQ(log.Events, (std::vector<std::string>{"jump 0", "sound 5", "show 1", "sound 6",
                                                  "jump 0", "sound 5", "stop", "jump 1"}));
}

TEST(Timeline, ButtonsFollowThePointerAndRunTheirActionsOnRelease) {
  const auto movie = Load(vtest::ButtonMovie());
  TTimeline t(movie);
  std::vector<std::string> urls;
  t.OnGetURL = [&](const std::string& url, const std::string& target) {
    urls.push_back(url + " " + target);
  };
  auto mouse = [&] { return t.DisplayList().Objects().at(1).Mouse; };
  const TPointD inside{1000, 1000}, outside{200, 200};
  t.PointerMove(outside);
  EXPECT_FALSE(t.OverButton());
  t.PointerMove(inside);
  EXPECT_TRUE(t.OverButton());
  EXPECT_EQ(mouse(), TButtonMouse::OverUp);
  t.PointerDown(inside);
  EXPECT_EQ(mouse(), TButtonMouse::OverDown);
  EXPECT_EQ(t.DisplayList().Objects().at(1).ShownButtonState(), bsDown);
  t.PointerUp(inside);
  EXPECT_EQ(mouse(), TButtonMouse::OverUp);
  EXPECT_EQ(urls, std::vector<std::string>{"http://example.com/ _blank"});

  t.PointerDown(inside);  // press, leave, release outside: no action
  t.PointerMove(outside);
  EXPECT_EQ(mouse(), TButtonMouse::OutDown);
  t.PointerUp(outside);
  EXPECT_EQ(mouse(), TButtonMouse::Idle);
  EXPECT_EQ(urls.size(), 1u);
  EXPECT_FALSE(t.OverButton());
}

// Frames that remove and place the button again keep it over or pressed
// under a still pointer, through playing on and looping back to frame 1.
TEST(Timeline, ButtonsPlacedAgainKeepThePointersState) {
  const auto movie = Load(vtest::ButtonMovie(2));
  TTimeline t(movie);
  std::vector<std::string> urls;
  t.OnGetURL = [&](const std::string& url, const std::string&) { urls.push_back(url); };
  auto mouse = [&] { return t.DisplayList().Objects().at(1).Mouse; };
  const TPointD inside{1000, 1000};
  t.PointerMove(inside);
  t.Advance();
  ASSERT_EQ(t.CurrentFrame(), 1u);
  EXPECT_EQ(mouse(), TButtonMouse::OverUp);
  EXPECT_TRUE(t.OverButton());
  t.PointerDown(inside);
  t.Advance();  // back to frame 1
  ASSERT_EQ(t.CurrentFrame(), 0u);
  EXPECT_EQ(mouse(), TButtonMouse::OverDown);
  t.PointerUp(inside);
  EXPECT_EQ(urls, std::vector<std::string>{"http://example.com/"});
}

}  // namespace
