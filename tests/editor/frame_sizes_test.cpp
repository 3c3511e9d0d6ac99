// What each frame of a movie file costs: the bytes before each ShowFrame,
// counted in the compressed bytes for a CWS file, and the project frames'
// shares with their arrival over a connection.
#include "editor/frame_sizes.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>

#include "swf/core/frame_arrival.h"
#include "swf/core/swf_error.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Tag(Bytes& out, uint16_t code, size_t length, uint8_t fill) {
  if (length < 0x3F) {
    const uint16_t head = uint16_t(code << 6 | length);
    out.insert(out.end(), {uint8_t(head), uint8_t(head >> 8)});
  } else {
    const uint16_t head = uint16_t(code << 6 | 0x3F);
    out.insert(out.end(), {uint8_t(head), uint8_t(head >> 8), uint8_t(length), uint8_t(length >> 8),
                           uint8_t(length >> 16), uint8_t(length >> 24)});
  }
  // Bytes that do not compress to nothing, so the compressed offsets move.
  for (size_t i = 0; i < length; ++i) out.push_back(uint8_t(fill + i * 37 + (i >> 3) * 11));
}

struct TMovie {
  Bytes File;
  std::vector<uint64_t> FrameEnds;  // in the uncompressed file
};

// A plain movie at 100 frames per second whose frames hold tags of the given
// lengths (0: a frame with nothing but its ShowFrame).
TMovie Plain(const std::vector<size_t>& tagLengths) {
  TMovie movie;
  Bytes& f = movie.File;
  f = {'F', 'W', 'S', 6, 0, 0, 0, 0, 0x00, 0x00, 100, uint8_t(tagLengths.size()), 0};
  for (size_t i = 0; i < tagLengths.size(); ++i) {
    if (tagLengths[i] > 0) Tag(f, 9, tagLengths[i], uint8_t(i * 50));
    Tag(f, 1, 0, 0);
    movie.FrameEnds.push_back(f.size());
  }
  Tag(f, 0, 0, 0);
  const uint32_t size = uint32_t(f.size());
  for (int i = 0; i < 4; ++i) f[size_t(4 + i)] = uint8_t(size >> (8 * i));
  return movie;
}

Bytes Compressed(const Bytes& plain) {
  Bytes body(compressBound(uLong(plain.size())));
  uLongf length = uLongf(body.size());
  compress2(body.data(), &length, plain.data() + 8, uLong(plain.size() - 8), 9);
  Bytes file(plain.begin(), plain.begin() + 8);
  file[0] = 'C';
  file.insert(file.end(), body.begin(), body.begin() + long(length));
  return file;
}

// How much of the body comes out of the first `count` bytes of a CWS file.
uint64_t InflatedFrom(const Bytes& cws, size_t count) {
  z_stream z{};
  inflateInit(&z);
  Bytes out(1 << 20);
  z.next_in = const_cast<Bytef*>(cws.data() + 8);
  z.avail_in = uInt(count - 8);
  z.next_out = out.data();
  z.avail_out = uInt(out.size());
  inflate(&z, Z_NO_FLUSH);
  const uint64_t produced = z.total_out;
  inflateEnd(&z);
  return produced;
}

TEST(FrameArrivals, APlainMovieCountsTheBytesUpToEachShowFrame) {
  const TMovie movie = Plain({3, 300, 0, 10});
  const swf::TFrameArrivals arrivals = swf::ReadFrameArrivals(movie.File);
  EXPECT_EQ(arrivals.FrameRate, 100);
  std::vector<uint64_t> expected = movie.FrameEnds;
  expected.back() = movie.File.size();  // the End tag counts for the last frame
  EXPECT_EQ(arrivals.ReadyAt, expected);
  const std::vector<uint64_t> bytes = swf::FrameBytes(arrivals);
  uint64_t total = 0;
  for (uint64_t b : bytes) total += b;
  EXPECT_EQ(total, movie.File.size());
  EXPECT_EQ(bytes[2], 2u);  // an empty frame adds its ShowFrame only
}

// Each figure is the least of the compressed file that inflates past the
// frame's ShowFrame.
TEST(FrameArrivals, ACompressedMovieCountsTheCompressedBytesEachFrameNeeds) {
  const TMovie movie = Plain({3, 3000, 0, 5000, 10});
  const Bytes cws = Compressed(movie.File);
  const swf::TFrameArrivals arrivals = swf::ReadFrameArrivals(cws);
  ASSERT_EQ(arrivals.ReadyAt.size(), movie.FrameEnds.size());
  EXPECT_EQ(arrivals.ReadyAt.back(), cws.size());
  for (size_t i = 0; i + 1 < movie.FrameEnds.size(); ++i) {
    SCOPED_TRACE(i);
    const uint64_t needed = movie.FrameEnds[i] - 8;
    EXPECT_GE(InflatedFrom(cws, size_t(arrivals.ReadyAt[i])), needed);
    EXPECT_LT(InflatedFrom(cws, size_t(arrivals.ReadyAt[i] - 1)), needed);
  }
  EXPECT_LT(arrivals.ReadyAt[0], arrivals.ReadyAt[1]);
  EXPECT_LT(arrivals.ReadyAt[2], arrivals.ReadyAt[3]);
}

TEST(FrameArrivals, BadFilesAreRefusedOrEndWhereTheyAreCut) {
  const Bytes plain = Plain({3, 300, 10}).File;
  Bytes lzma = plain;
  lzma[0] = 'Z';
  Bytes damaged = Compressed(plain);
  for (size_t i = 8; i < damaged.size(); ++i) damaged[i] ^= 0x5A;
  Bytes headerOnly(plain.begin(), plain.begin() + 9);
  const Bytes refused[] = {{},   {'F', 'W', 'S'}, {'X', 'W', 'S', 6, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                           lzma, damaged,         headerOnly};
  for (const Bytes& file : refused) {
    SCOPED_TRACE(file.size());
    EXPECT_THROW(swf::ReadFrameArrivals(file), swf::ESWFError);
  }
  // Cut inside the second frame's long tag: the first frame and the rest of
  // the file, which is all the second can have.
  const Bytes cut(plain.begin(), plain.begin() + 40);
  const swf::TFrameArrivals arrivals = swf::ReadFrameArrivals(cut);
  EXPECT_EQ(arrivals.ReadyAt, (std::vector<uint64_t>{cut.size()}));
}

// The first frames of a movie, plain or compressed, are the movie that
// holds only them: a cut after a ShowFrame with the header set to match.
TEST(FrameArrivals, TheFirstFramesOfAMovieAreAMovieOfTheirOwn) {
  const std::vector<size_t> lengths = {3, 3000, 0, 10};
  const Bytes plain = Plain(lengths).File;
  for (const Bytes& file : {plain, Compressed(plain)}) {
    const Bytes unpacked = swf::PlainMovie(file);
    EXPECT_EQ(unpacked, plain);
    for (size_t frames : {0, 1, 2, 3, 4, 9}) {
      SCOPED_TRACE(frames);
      const size_t kept = frames == 0 ? lengths.size() : std::min(frames, lengths.size());
      EXPECT_EQ(swf::FirstFrames(unpacked, frames),
                Plain({lengths.begin(), lengths.begin() + long(kept)}).File);
    }
  }
  EXPECT_THROW(swf::PlainMovie({'Z', 'W', 'S', 6, 0, 0, 0, 0, 0}), swf::ESWFError);
  EXPECT_THROW(swf::FirstFrames({'F', 'W', 'S', 6, 9, 0, 0, 0}, 1), swf::ESWFError);
}

// A package's page starts once all of it is in: each frame is ready at the
// package's size and plays when the movie's frame does.
TEST(FrameSizes, PackageFramesAreAllReadyWithThePackage) {
  const std::vector<editor::TFrameSize> swf = {{50, 50, 0.0}, {10, 60, 0.5}};
  EXPECT_EQ(editor::PackageFrames({900, 30}, swf),
            (std::vector<editor::TFrameSize>{{900, 930, 0.0}, {30, 930, 0.5}}));
}

TEST(FrameSizes, ProjectFramesTakeTheirSwfFramesShares) {
  // Project frames of 2, 1 and 3 SWF frames over six SWF frames.
  const TMovie movie = Plain({100, 0, 20, 400, 0, 0});
  const std::vector<editor::TFrameSize> frames = editor::MeasureFrames(movie.File, {2, 1, 3});
  ASSERT_EQ(frames.size(), 3u);
  const std::vector<uint64_t>& ends = movie.FrameEnds;
  const uint64_t size = movie.File.size();
  EXPECT_EQ(frames[0], (editor::TFrameSize{ends[1], ends[0], 0.0}));
  EXPECT_EQ(frames[1], (editor::TFrameSize{ends[2] - ends[1], ends[2], 0.02}));
  EXPECT_EQ(frames[2], (editor::TFrameSize{size - ends[2], ends[3], 0.03}));

  // A file with fewer SWF frames than the project: the missing ones add nothing.
  const std::vector<editor::TFrameSize> shortFile = editor::MeasureFrames(movie.File, {5, 4});
  EXPECT_EQ(shortFile[0].Bytes + shortFile[1].Bytes, size);
  EXPECT_EQ(shortFile[1].ReadyAt, size);
}

TEST(FrameSizes, SaysWhichFrameArrivesAfterItIsDue) {
  // 1000 bytes a second: frame 2 is due at 1.00 + 0.50 s but is in after 3 s.
  const int64_t speed = 8000;
  const std::vector<editor::TFrameSize> frames = {
      {1000, 1000, 0.0}, {2000, 3000, 0.5}, {10, 3010, 4.0}};
  EXPECT_FALSE(editor::ArrivesLate(frames, 0, speed));
  EXPECT_TRUE(editor::ArrivesLate(frames, 1, speed));
  EXPECT_FALSE(editor::ArrivesLate(frames, 2, speed));
  EXPECT_EQ(editor::ArrivalSummary(frames, speed),
            "All 3 frames are in after 3.01 s. Frame 2 arrives 1.50 s after it is due.");
  EXPECT_EQ(editor::ArrivalSummary(frames, speed * 10), "All 3 frames are in after 0.30 s.");
  EXPECT_EQ(editor::FrameTip(frames, 1, speed),
            "Frame 2: 2000 bytes, in after 3.00 s, due at 1.50 s");
}

}  // namespace
