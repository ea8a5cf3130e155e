// Load-to-tree on generated files: decoding, the scanner, the index and the tree, alone and
// together.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "app/func_tree.h"
#include "bench/bench_sizes.h"
#include "bench/heap_peak.h"
#include "bench/lsp_gen.h"
#include "platform/files.h"
#include "source/decode.h"
#include "source/func_index.h"
#include "source/scanner.h"

namespace nokari {
namespace {

// 5,000 defuns per 100,000 lines, a tenth of them holding nested defuns.
GenParams shape(int lines, GenEncoding encoding) {
  GenParams p;
  p.lines = lines;
  p.defuns = lines / 20;
  p.nested = 0.1;
  p.nonAscii = 0.1;
  p.crlf = true;
  p.encoding = encoding;
  p.seed = 20260101;
  return p;
}

const std::string& input(int lines, GenEncoding encoding = GenEncoding::Utf8) {
  static std::map<std::pair<int, GenEncoding>, std::string> cache;
  auto key = std::make_pair(lines, encoding);
  auto it = cache.find(key);
  if (it == cache.end()) it = cache.emplace(key, generateLsp(shape(lines, encoding))).first;
  return it->second;
}

const CodePage& ansi() {
  static std::unique_ptr<CodePage> cp = makeCodePage(932);
  return *cp;
}

void finish(benchmark::State& st, size_t bytes, const HeapRise& heap) {
  heap.report(st, bytes);
  st.SetComplexityN(st.range(0));
  st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) * static_cast<int64_t>(bytes));
}

void BM_Decode(benchmark::State& st) {
  const std::string& bytes = input(static_cast<int>(st.range(0)));
  HeapRise heap;
  for (auto _ : st) {
    heap.begin();
    DecodedSource d = decodeSource(bytes, ansi());
    benchmark::DoNotOptimize(d.lines);
    heap.end();
  }
  finish(st, bytes.size(), heap);
}

void BM_DecodeAnsi(benchmark::State& st) {
  const std::string& bytes = input(static_cast<int>(st.range(0)), GenEncoding::Sjis);
  HeapRise heap;
  for (auto _ : st) {
    heap.begin();
    DecodedSource d = decodeSource(bytes, ansi());
    benchmark::DoNotOptimize(d.lines);
    heap.end();
  }
  finish(st, bytes.size(), heap);
}

void BM_StripComments(benchmark::State& st) {
  const std::string& bytes = input(static_cast<int>(st.range(0)));
  const Lines lines = decodeSource(bytes, ansi()).lines;
  NullProgress bar;
  HeapRise heap;
  for (auto _ : st) {
    heap.begin();
    Lines code;
    stripComments(lines, code, &bar, 30);
    benchmark::DoNotOptimize(code);
    heap.end();
  }
  finish(st, bytes.size(), heap);
}

void BM_MakeFuncIndex(benchmark::State& st) {
  const std::string& bytes = input(static_cast<int>(st.range(0)));
  Lines code;
  stripComments(decodeSource(bytes, ansi()).lines, code, nullptr, 30);
  NullProgress bar;
  HeapRise heap;
  for (auto _ : st) {
    heap.begin();
    FuncIndex index;
    makeFuncIndex(code, index, 70, &bar, true);
    benchmark::DoNotOptimize(index.data());
    heap.end();
  }
  finish(st, bytes.size(), heap);
}

// stripComments + makeFuncIndex + sort + tree: the rebuild after the lines are in.
void BM_MakeFuncTree(benchmark::State& st) {
  const std::string& bytes = input(static_cast<int>(st.range(0)));
  const Lines lines = decodeSource(bytes, ansi()).lines;
  NullProgress bar;
  HeapRise heap;
  for (auto _ : st) {
    heap.begin();
    FuncTree tree = makeFuncTree(lines, &bar);
    benchmark::DoNotOptimize(tree.roots.data());
    heap.end();
  }
  finish(st, bytes.size(), heap);
}

// What a load costs from the file's bytes to the tree.
void BM_LoadToTree(benchmark::State& st) {
  const std::string& bytes = input(static_cast<int>(st.range(0)));
  NullProgress bar;
  size_t functions = 0;
  HeapRise heap;
  for (auto _ : st) {
    heap.begin();
    DecodedSource d = decodeSource(bytes, ansi());
    FuncTree tree = makeFuncTree(d.lines, &bar);
    functions = tree.empty() ? 0 : tree.roots[0].children.size() + tree.roots[1].children.size();
    benchmark::DoNotOptimize(tree.roots.data());
    heap.end();
  }
  st.counters["functions"] = static_cast<double>(functions);
  finish(st, bytes.size(), heap);
}

void BM_LoadToTreeAnsi(benchmark::State& st) {
  const std::string& bytes = input(static_cast<int>(st.range(0)), GenEncoding::Sjis);
  NullProgress bar;
  HeapRise heap;
  for (auto _ : st) {
    heap.begin();
    DecodedSource d = decodeSource(bytes, ansi());
    FuncTree tree = makeFuncTree(d.lines, &bar);
    benchmark::DoNotOptimize(tree.roots.data());
    heap.end();
  }
  finish(st, bytes.size(), heap);
}

NOKARI_SIZES(BM_Decode);
NOKARI_SIZES(BM_DecodeAnsi);
NOKARI_SIZES(BM_StripComments);
NOKARI_SIZES(BM_MakeFuncIndex);
NOKARI_SIZES(BM_MakeFuncTree);
NOKARI_SIZES(BM_LoadToTree);
NOKARI_SIZES(BM_LoadToTreeAnsi);

}  // namespace
}  // namespace nokari
