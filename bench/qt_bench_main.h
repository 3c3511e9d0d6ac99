#pragma once
// The main of a benchmark program that needs a QApplication: offscreen unless
// the caller chose a platform; `beforeQtEnds` lets go of the widgets while Qt
// still runs.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <functional>

inline int RunQtBenchmarks(int argc, char** argv, const std::function<void()>& beforeQtEnds = {}) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication qt(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  if (beforeQtEnds) beforeQtEnds();
  benchmark::Shutdown();
  return 0;
}
