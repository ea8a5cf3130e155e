// Replaces the global operator new and delete of the benchmark program to count the heap in
// use. Every container of the code under test allocates through them; the array, nothrow and
// sized forms of the standard library call these two.
#include "bench/heap_peak.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> counting{false};
std::atomic<long long> inUse{0};
std::atomic<long long> peak{0};

void added(long long n) {
  const long long now = inUse.fetch_add(n, std::memory_order_relaxed) + n;
  long long seen = peak.load(std::memory_order_relaxed);
  while (now > seen && !peak.compare_exchange_weak(seen, now, std::memory_order_relaxed)) {
  }
}

}  // namespace

namespace nokari {

void setHeapCounting(bool on) { counting.store(on, std::memory_order_relaxed); }
long long heapInUse() { return inUse.load(std::memory_order_relaxed); }
long long heapPeak() { return peak.load(std::memory_order_relaxed); }
void resetHeapPeak() { peak.store(heapInUse(), std::memory_order_relaxed); }

}  // namespace nokari

void* operator new(size_t n) {
  void* p = std::malloc(n ? n : 1);
  if (!p) throw std::bad_alloc();
  // The usable size: what free gives back, whichever delete form frees it.
  if (counting.load(std::memory_order_relaxed))
    added(static_cast<long long>(malloc_usable_size(p)));
  return p;
}

void operator delete(void* p) noexcept {
  if (!p) return;
  // A block made before the counting began may go back during it: the level may drop below
  // where it started, never the peak.
  if (counting.load(std::memory_order_relaxed))
    inUse.fetch_sub(static_cast<long long>(malloc_usable_size(p)), std::memory_order_relaxed);
  std::free(p);
}

void operator delete(void* p, size_t) noexcept { operator delete(p); }
