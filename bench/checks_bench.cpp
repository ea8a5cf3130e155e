// The checks on generated files (5,000 defuns per 100,000 lines), each from the decoded source
// lines, as the window runs them after a load or a button.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "app/func_tree.h"
#include "bench/bench_sizes.h"
#include "bench/heap_peak.h"
#include "bench/lsp_gen.h"
#include "checks/catalogue.h"
#include "checks/exclusion_list.h"
#include "checks/func_check.h"
#include "checks/paren_check.h"
#include "checks/var_check.h"
#include "platform/files.h"
#include "source/decode.h"

namespace nokari {
namespace {

// The decoded lines of a generated file and the file's size in bytes.
struct Source {
  Lines lines;
  size_t bytes = 0;
};

const Source& source(int lines) {
  static std::map<int, Source> cache;
  auto it = cache.find(lines);
  if (it == cache.end()) {
    GenParams p;
    p.lines = lines;
    p.defuns = lines / 20;
    p.nested = 0.1;
    p.nonAscii = 0.1;
    p.seed = 20260101;
    auto cp = makeCodePage(932);
    const std::string bytes = generateLsp(p);
    it = cache.emplace(lines, Source{decodeSource(bytes, *cp).lines, bytes.size()}).first;
  }
  return it->second;
}

// The shipped built-in list, read from the source tree.
const BuiltinList& builtins() {
  static const BuiltinList list = [] {
    std::string path = __FILE__;
    path = path.substr(0, path.find_last_of("/\\") + 1) + "../data/AutoLispFuncList.txt";
    std::string bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
      char buf[4096];
      for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
      std::fclose(f);
    }
    return BuiltinList::fromFileLines(decodeTextFile(bytes, *makeCodePage(932)).lines);
  }();
  return list;
}

template <class F>
void run(benchmark::State& st, F check) {
  const Source& src = source(static_cast<int>(st.range(0)));
  NullProgress bar;
  HeapRise heap;
  for (auto _ : st) {
    heap.begin();
    auto result = check(src.lines, &bar);
    benchmark::DoNotOptimize(result);
    heap.end();
  }
  heap.report(st, src.bytes);
  st.SetComplexityN(st.range(0));
  st.SetItemsProcessed(static_cast<int64_t>(st.iterations()) * st.range(0));
}

void BM_VariableCheck(benchmark::State& st) {
  const ExclusionList exclusions = ExclusionList::defaults();
  run(st, [&](const Lines& l, Progress* bar) {
    return variableCheck(l, exclusions, WhenClear::AllClearLines, bar);
  });
}

void BM_ParenCheck(benchmark::State& st) {
  run(st, [](const Lines& l, Progress* bar) { return parenBalanceCheck(l, false, bar).panel; });
}

void BM_FunctionCheck(benchmark::State& st) {
  run(st, [](const Lines& l, Progress* bar) { return funcCheck(l, builtins(), bar); });
}

void BM_Catalogue(benchmark::State& st) {
  run(st, [](const Lines& l, Progress* bar) {
    return makeCatalogue(l, u"bench.lsp", u"2026/12/09 12:34:56", bar);
  });
}

// One defun whose parameter list holds range(0) names on one line: the catalogue's head line
// must grow linearly with the list.
void BM_CatalogueManyParameters(benchmark::State& st) {
  const int names = static_cast<int>(st.range(0));
  Text head = u"(defun many (";
  for (int i = 0; i < names; ++i) head += u"a" + fromAscii(std::to_string(i)) + u" ";
  const Lines lines = {head + u")", u"  1)"};
  for (auto _ : st) {
    TextList panel = makeCatalogue(lines, u"bench.lsp", u"2026/12/09 12:34:56", nullptr);
    benchmark::DoNotOptimize(panel.data());
  }
  st.SetComplexityN(st.range(0));
}

// range(0) defuns of one name, each with a nested defun: the tree looks each one's children up
// by its line range.
void BM_TreeOfOneNameDefinedOften(benchmark::State& st) {
  Lines lines;
  for (int64_t i = 0; i < st.range(0); ++i) {
    lines.push_back(u"(defun same (a)");
    lines.push_back(u"  (defun inner () a))");
  }
  for (auto _ : st) {
    FuncTree tree = makeFuncTree(lines, nullptr);
    benchmark::DoNotOptimize(tree.roots.data());
  }
  st.SetComplexityN(st.range(0));
}

NOKARI_SIZES(BM_VariableCheck);
NOKARI_SIZES(BM_ParenCheck);
NOKARI_SIZES(BM_FunctionCheck);
NOKARI_SIZES(BM_Catalogue);
BENCHMARK(BM_CatalogueManyParameters)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_TreeOfOneNameDefinedOften)
    ->Arg(10000)
    ->Arg(40000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace nokari
