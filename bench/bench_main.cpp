// The benchmarks' entry point: Google Benchmark's, after the allocator is set up.
#include <benchmark/benchmark.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

int main(int argc, char** argv) {
#if defined(__GLIBC__)
  // Large blocks come from the heap and stay in it between iterations, as a long-running
  // program's allocator keeps them. Otherwise every block above 32 MiB (the text and the code
  // lines of 1M lines) is mapped afresh each iteration, and the page faults on it, some 10 us
  // per 4 KiB page in a virtual machine, take more time than the work being measured.
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
