// The heap's high-water mark while a benchmark iterates, for its peak-memory counter.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>

namespace nokari {

// Bytes the replaced global operator new has handed out and not yet taken back (their usable
// sizes), and the most there have been since resetHeapPeak.
size_t heapInUse();
size_t heapPeak();
// Starts a new high-water mark at the current level.
void resetHeapPeak();

// The largest rise of the heap above its level at the start of an iteration, over all the
// iterations: call begin() and end() around the work of each.
class HeapRise {
 public:
  void begin() {
    base_ = heapInUse();
    resetHeapPeak();
  }
  void end() {
    const size_t rise = heapPeak() - base_;
    if (rise > max_) max_ = rise;
  }
  // Sets the counter "peak_B/B": the largest rise per byte of input.
  void report(benchmark::State& st, size_t inputBytes) const {
    st.counters["peak_B/B"] =
        inputBytes ? static_cast<double>(max_) / static_cast<double>(inputBytes) : 0.0;
  }

 private:
  size_t base_ = 0;
  size_t max_ = 0;
};

}  // namespace nokari
