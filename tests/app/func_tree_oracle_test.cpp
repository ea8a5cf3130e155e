// The tree's child search, written the slow way it reads: for every function, every record text
// of the index is split and examined. Both fast builds (from the sorted index, and in file
// order when every name is plain) must give the same tree on any file.
#include <gtest/gtest.h>

#include "app/func_tree.h"
#include "bench/lsp_gen.h"
#include "platform/collate.h"
#include "platform/files.h"
#include "source/decode.h"
#include "source/scanner.h"
#include "test_util.h"

namespace nokari {
namespace {

FuncTree literalTree(const Lines& codeLines, const TextList& sorted) {
  FuncTree tree;
  if (sorted.empty()) return tree;
  tree.roots = {TreeNode{0, u"Command", 0, 0, {}}, TreeNode{0, u"Function", 0, 0, {}}};
  for (const Text& record : sorted) {
    TextList items = splitCommaText(record);
    Text params = getDefunParams(codeLines, parseIntOr(items.size() > 2 ? items[2] : Text(), -1),
                                 parseIntOr(items.size() > 3 ? items[3] : Text(), 0));
    for (size_t p; (p = params.find(u"\r\n")) != Text::npos;) params.replace(p, 2, u" ");
    if (items.size() != 6) continue;
    TreeNode node{1, items[0], parseIntOr(items[2], -1) + 1, 1, {}};
    bool command = items[0].size() >= 2 && upperAscii(items[0].substr(0, 2)) == u"C:";
    if (!command) node.text += u" (" + trim(params) + u")";
    int start = parseIntOr(items[2], -1), end = parseIntOr(items[4], -1);
    const std::pair<int, int> from{start, parseIntOr(items[3], 0)},
        to{end, parseIntOr(items[5], 0)};
    if (start >= 0 && start <= end) {
      for (const Text& other : sorted) {
        TextList o = splitCommaText(other);
        if (o.size() != 4) continue;
        const std::pair<int, int> w{parseIntOr(o[2], -1), parseIntOr(o[3], 0)};
        if (from < w && w <= to && o[0] == items[0])
          node.children.push_back({2, o[1], w.first + 1, 3, {}});
      }
    }
    tree.roots[command ? 0 : 1].children.push_back(std::move(node));
  }
  return tree;
}

void expectSameTree(const TreeNode& a, const TreeNode& b) {
  EXPECT_EQ(a.level, b.level);
  EXPECT_EQ(test::utf8(a.text), test::utf8(b.text));
  EXPECT_EQ(a.line, b.line);
  EXPECT_EQ(a.image, b.image);
  ASSERT_EQ(a.children.size(), b.children.size()) << test::utf8(a.text);
  for (size_t i = 0; i < a.children.size(); ++i) expectSameTree(a.children[i], b.children[i]);
}

TEST(FuncTreeOracle, FastChildSearchMatchesTheLiteralOne) {
  auto cp932 = makeCodePage(932);
  size_t nestedSeen = 0;
  for (uint64_t seed = 1; seed <= 60; ++seed) {
    GenParams p;
    p.seed = seed;
    p.lines = 200 + static_cast<int>(seed * 37 % 900);
    p.defuns = 5 + static_cast<int>(seed * 13 % 60);
    p.nested = (seed % 4) * 0.25;
    std::string bytes = generateLsp(p);
    // Every few files, break a parenthesis or duplicate a name so the odd paths run too.
    if (seed % 3 == 0 && bytes.size() > 100) bytes.erase(bytes.size() / 2, 1);
    if (seed % 5 == 0)
      bytes += "\n(defun dup (a) (defun kid () 1)\n 1)\n(defun dup (b)\n (defun kid () 2) 2)\n";
    // Names that read back otherwise than written, near plain ones of the same name.
    if (seed % 7 == 0)
      bytes +=
          "\n(defun \"dup\" (a)\n (defun kid () 1) 1)\n(defun dup x (b)\n (defun dup () 2) 2)\n";
    Lines lines = decodeSource(bytes, *cp932).lines;
    Lines code;
    FuncIndex index;
    stripComments(lines, code, nullptr, 30);
    makeFuncIndex(code, index, 70, nullptr, true);
    TextList texts = recordTexts(index);
    sortTextIgnoreCase(texts);
    sortFuncIndex(index);
    const FuncTree slow = literalTree(code, texts);
    for (const FuncTree& fast :
         {makeFuncTreeFromIndex(code, index), makeFuncTree(lines, nullptr)}) {
      ASSERT_EQ(fast.roots.size(), slow.roots.size()) << seed;
      for (size_t i = 0; i < fast.roots.size(); ++i) expectSameTree(fast.roots[i], slow.roots[i]);
    }
    for (const NodeRef& r : treeOrder(slow)) nestedSeen += r.level() == 2;
  }
  EXPECT_GT(nestedSeen, 100u);
}

}  // namespace
}  // namespace nokari
