// The file sizes every benchmark runs at: 10k, 100k and 1M lines.
#pragma once

#include <benchmark/benchmark.h>

#define NOKARI_SIZES(b)               \
  BENCHMARK(b)                        \
      ->Arg(10000)                    \
      ->Arg(100000)                   \
      ->Arg(1000000)                  \
      ->MinWarmUpTime(1.0)            \
      ->Unit(benchmark::kMillisecond) \
      ->Complexity(benchmark::oN)
