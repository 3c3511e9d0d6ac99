// Analysing a 5-minute MP3 file and writing its DefineSound, against a plain
// read of the same file: the sound should cost little more than the copy.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "swf/core/bits_engine.h"
#include "swf/core/memory_stream.h"
#include "swf/objects/flash_sound.h"

namespace {

// 128 kbit/s MPEG 1 Layer III at 44100 Hz: 11484 frames of 417 bytes, 300 s.
const std::string& FiveMinuteMp3() {
  static const std::string path = [] {
    const std::string name =
        (std::filesystem::temp_directory_path() / "vellumet_bench_5min.mp3").string();
    std::vector<char> frame(417, 0x55);
    frame[0] = char(0xFF), frame[1] = char(0xFB), frame[2] = char(0x90), frame[3] = 0;
    std::ofstream out(name, std::ios::binary);
    for (int i = 0; i < 11484; ++i) out.write(frame.data(), std::streamsize(frame.size()));
    return name;
  }();
  return path;
}

void BM_PlainRead(benchmark::State& state) {
  const std::string& path = FiveMinuteMp3();
  const auto size = std::filesystem::file_size(path);
  for (auto _ : state) {
    std::vector<uint8_t> bytes(size);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    benchmark::DoNotOptimize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations() * size));
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);

void BM_AnalyseAndWriteDefineSound(benchmark::State& state) {
  const std::string& path = FiveMinuteMp3();
  const auto size = std::filesystem::file_size(path);
  for (auto _ : state) {
    swf::TFlashSound sound(nullptr, path);
    swf::TMemoryStream stream;
    swf::TBitsEngine be(stream);
    sound.WriteToStream(be);
    benchmark::DoNotOptimize(stream.Data());
  }
  state.SetBytesProcessed(int64_t(state.iterations() * size));
}
BENCHMARK(BM_AnalyseAndWriteDefineSound)->Unit(benchmark::kMillisecond);

}  // namespace
