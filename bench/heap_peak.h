// The heap's high-water mark while a benchmark iterates, for its peak-memory counter.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>

namespace nokari {

// While counting is on: the bytes the replaced global operator new has handed out less those
// operator delete has taken back (usable sizes), and the most there have been since
// resetHeapPeak. Off, new and delete cost no more than malloc and free.
void setHeapCounting(bool on);
long long heapInUse();
long long heapPeak();
// Starts a new high-water mark at the current level.
void resetHeapPeak();

// How far the heap rises above its level at the start of the first iteration during it: call
// begin() and end() around the work of every iteration; only the first one is counted, so
// that the timing of the others does not include the counting.
class HeapRise {
 public:
  void begin() {
    if (done_) return;
    setHeapCounting(true);
    base_ = heapInUse();
    resetHeapPeak();
  }
  void end() {
    if (done_) return;
    max_ = heapPeak() - base_;
    setHeapCounting(false);
    done_ = true;
  }
  // Sets the counter "peak_B/B": the largest rise per byte of input.
  void report(benchmark::State& st, size_t inputBytes) const {
    st.counters["peak_B/B"] =
        inputBytes ? static_cast<double>(max_) / static_cast<double>(inputBytes) : 0.0;
  }

 private:
  long long base_ = 0;
  long long max_ = 0;
  bool done_ = false;
};

}  // namespace nokari
