// Scripts of editor commands on a real editor with every invariant checked
// after each step (fuzz/editor_script/session.h): what users do (the fuzz
// target's seeds) and the sequences that once broke an invariant or sit at
// a boundary.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "editor_script/seed_scripts.h"
#include "editor_script/session.h"

namespace vscript {
void PrintTo(const TStep& step, std::ostream* out) {
  *out << DescribeScript({step});
}
}  // namespace vscript

namespace {

using namespace vscript;
using editor::TCtl;

TStep Type(TCtl field, std::string text, bool leave = false) {
  return {TOp::Type, Field(field), leave ? 1 : 0, 0, 0, std::move(text)};
}

TStep Do(TOp op, int32_t a = 0, int32_t b = 0, int32_t c = 0, int32_t d = 0) {
  return {op, a, b, c, d, ""};
}

// Puts `text` on the clipboard: the one line of the empty clipboard replaced.
TStep Clipboard(std::string text) {
  return {TOp::AlterClipboard, 0, 0, 0, 0, std::move(text)};
}

TScript Repeat(const TStep& step, int times) {
  return TScript(size_t(times), step);
}

TScript Join(std::initializer_list<TScript> parts) {
  TScript all;
  for (const TScript& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

class CommandScriptTest : public testing::Test {
 protected:
  void ExpectHolds(const char* name, const TScript& script) {
    SCOPED_TRACE(name);
    TSession session(folder_.string(), VELLUMET_SCRIPT_FIXTURES);
    std::optional<TFinding> finding = session.Run(script);
    EXPECT_FALSE(finding) << "step " << finding->Step << ": " << finding->What << "\n"
                          << DescribeScript(script);
  }
  // The script survives its byte form, as the fuzz target reads it.
  static void ExpectEncodes(const TScript& script) {
    std::vector<uint8_t> bytes = EncodeScript(script);
    EXPECT_EQ(DecodeScript(bytes.data(), bytes.size()), script);
  }

  void SetUp() override {
    folder_ =
        std::filesystem::temp_directory_path() / ("command-script-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::filesystem::path folder_;
};

TEST_F(CommandScriptTest, WhatUsersDoKeepsEveryInvariant) {
  for (const TNamedScript& s : SeedScripts()) {
    ExpectEncodes(s.Script);
    ExpectHolds(s.Name, s.Script);
  }
}

TEST_F(CommandScriptTest, SequencesThatOnceFailedOrSitAtABoundary) {
  // A circle of radius INT32_MIN: its doubled border limit overflowed.
  const std::string pastedCircle =
      "[Object]\r\n3\r\n-100\r\n-21474\r\n3\r\n-100\r\n-2147483648\r\n30\r\n15\r\n8\r\n0\r\n-1\r\n"
      "255\r\n65535\r\n-5\r\n2147483647\r\n0\r\n-1\r89\n30383648\r\n30\r\n15\r\n8\r\n0\r\n-1\r\n"
      "255\r\n65535\r\n-5\r\n2147483647\r\n0\r\n-1\r89\n303\r\n5\x0b\n\r\n\r\x08";
  const TScript fullFrame =
      Join({{{TOp::FrameCount, 1, 0, 0, 0, "2"}},
            Repeat(Do(TOp::AddShape, 0, 1, 2, 1), 255),
            {Do(TOp::AddShape, 2, 1, 2, 1), Do(TOp::CopyObject), Do(TOp::PasteObject),
             Do(TOp::CopyFrame), Do(TOp::Navigate, 2), Do(TOp::PasteFrame), Do(TOp::Build)}});
  TScript pastHistory;
  for (int i = 0; i < 60; ++i) {
    pastHistory.push_back(Type(editor::CDelay, std::to_string(100 + i), true));
    pastHistory.push_back(Type(editor::SE20, std::to_string(1 + i % 3), true));
  }
  pastHistory = Join({pastHistory, Repeat(Do(TOp::Undo), 130), Repeat(Do(TOp::Redo), 130)});
  const struct {
    const char* Name;
    TScript Script;
  } rows[] = {
      {"a pasted circle of radius INT32_MIN",
       {Clipboard(pastedCircle), Do(TOp::PasteObject), Do(TOp::PasteFrame), Do(TOp::Build)}},
      {"255 objects, one more, and pastes into the full frame", fullFrame},
      {"one frame",
       {{TOp::FrameCount, 1, 0, 0, 0, "1"},
        Do(TOp::RemoveFrame),
        Do(TOp::RemoveFrames, 1, 1, 1),
        Do(TOp::Reverse),
        Do(TOp::InsertFrame),
        Do(TOp::Undo),
        Do(TOp::Navigate, 2),
        Do(TOp::Build)}},
      {"undo past the history's depth", pastHistory},
  };
  for (const auto& row : rows) ExpectHolds(row.Name, row.Script);
}

}  // namespace
