// Arbitrary bytes through the whole load: decoding, the scanner, the index, the tree, the
// heading of every node and the place keeping of a reload. Besides crashes it checks what
// every reader of these results relies on.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/func_tree.h"
#include "platform/files.h"
#include "source/decode.h"
#include "source/func_index.h"
#include "source/scanner.h"

namespace nokari {
namespace {

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "load_fuzz: %s\n", what);
  std::abort();
}

void require(bool ok, const char* what) {
  if (!ok) fail(what);
}

// A bar that refuses positions outside its range.
class StrictProgress : public Progress {
 public:
  int position() const override { return pos_; }
  void setPosition(int pos) override {
    require(pos >= 0 && pos <= 100, "progress position out of range");
    pos_ = pos;
  }

 private:
  int pos_ = 0;
};

// The name of the "(defun" whose "(" stands at (line, col), as the index takes it: the text
// up to the next "(" on that line. False when no such defun is there.
bool defunAt(const Lines& code, int line, int col, Text* name) {
  if (line < 0 || col < 0 || static_cast<size_t>(line) >= code.size()) return false;
  const std::u16string_view l = code[line];
  const size_t c = static_cast<size_t>(col);
  if (c + 7 > l.size() || upperAscii(l.substr(c, 7)) != u"(DEFUN ") return false;
  const size_t paren = l.find(u'(', c + 7);
  if (paren == Text::npos) return false;
  *name = l.substr(c + 7, paren - c - 7);
  return true;
}

// The last `count` comma fields of a record as numbers; *head is the text before them.
bool tailNumbers(const Text& record, size_t count, std::vector<int>* nums, Text* head) {
  nums->assign(count, 0);
  size_t end = record.size();
  for (size_t k = count; k-- > 0;) {
    if (end == 0) return false;
    const size_t comma = record.rfind(u',', end - 1);
    if (comma == Text::npos) return false;
    if (!parseInt(std::u16string_view(record).substr(comma + 1, end - comma - 1), &(*nums)[k]))
      return false;
    end = comma;
  }
  *head = record.substr(0, end);
  return true;
}

Text numbersText(const std::vector<int>& nums) {
  Text out;
  for (int v : nums) out += u',' + fromAscii(std::to_string(v));
  return out;
}

// Names may hold commas and spaces, so a record cannot be read back unambiguously in general.
// Every record must still be one of the two shapes, pointing at a real "(defun" of that name;
// a top-level one must also end at a ")" after its start.
void checkIndex(const Lines& code, const FuncIndex& index, const Text& indent) {
  for (const FuncRecord& rec : index) {
    // Whatever a record holds, reading its parameter list must be safe.
    getDefunParams(code, rec.startLine, rec.startCol);
    const Text& r = rec.text;

    std::vector<int> n;
    Text head, name;
    bool ok = false;
    if (tailNumbers(r, 4, &n, &head) && defunAt(code, n[0], n[1], &name) &&
        head == name + u"," + indent && r == head + numbersText(n)) {
      const int endLine = n[2], endCol = n[3];
      ok = endLine >= n[0] && static_cast<size_t>(endLine) < code.size() && endCol >= 0 &&
           static_cast<size_t>(endCol) < code[endLine].size() && code[endLine][endCol] == u')' &&
           (endLine > n[0] || endCol > n[1]);
    }
    if (!ok && tailNumbers(r, 2, &n, &head) && defunAt(code, n[0], n[1], &name)) {
      const Text tail = u"," + name;
      ok = head.size() >= tail.size() &&
           head.compare(head.size() - tail.size(), tail.size(), tail) == 0;
    }
    require(ok, "a record that is neither a top-level nor a nested defun of the code");
  }
}

// The child search as it reads: every record examined for every function.
std::vector<TreeNode> literalChildren(const FuncIndex& sorted, const FuncRecord& rec) {
  std::vector<TreeNode> out;
  const int start = rec.startLine, end = rec.endLine;
  if (start < 0 || start >= end) return out;
  for (const FuncRecord& o : sorted) {
    const int w = o.startLine;
    if (o.kind == FuncKind::Nested && start < w && w <= end && o.enclosing == rec.name)
      out.push_back(TreeNode{2, o.name, w + 1, 3, {}});
  }
  return out;
}

void checkTree(const FuncTree& tree, const FuncIndex& sorted) {
  if (sorted.empty()) {
    require(tree.empty(), "groups without records");
    return;
  }
  require(tree.roots.size() == 2, "not two groups");
  size_t next[2] = {0, 0};
  for (const FuncRecord& rec : sorted) {
    if (rec.kind != FuncKind::TopLevel) continue;
    const Text& name = rec.name;
    const int g = name.size() >= 2 && upperAscii(name[0]) == u'C' && name[1] == u':' ? 0 : 1;
    require(next[g] < tree.roots[g].children.size(), "a function missing from the tree");
    const TreeNode& node = tree.roots[g].children[next[g]++];
    require(node.level == 1 && node.image == 1 && node.line == rec.startLine + 1,
            "function node fields");
    require(node.text.compare(0, name.size(), name) == 0, "function node text");
    const std::vector<TreeNode> want = literalChildren(sorted, rec);
    require(want.size() == node.children.size(), "children differ from the literal search");
    for (size_t i = 0; i < want.size(); ++i) {
      const TreeNode& c = node.children[i];
      require(c.level == 2 && c.image == 3 && c.text == want[i].text && c.line == want[i].line &&
                  c.children.empty(),
              "child differs from the literal search");
    }
  }
  require(next[0] == tree.roots[0].children.size() && next[1] == tree.roots[1].children.size(),
          "a node without its record");
}

void checkPlaces(const FuncTree& before, const FuncTree& after) {
  std::vector<NodeRef> refs = treeOrder(before);
  if (refs.size() > 48) {
    refs.erase(refs.begin() + 24, refs.end() - 24);
  }
  refs.push_back(NodeRef{});
  refs.push_back(NodeRef{7, 3, 1});
  refs.push_back(NodeRef{0, 100000, -1});
  refs.push_back(NodeRef{1, 0, 100000});
  for (size_t i = 0; i < refs.size(); ++i) {
    const NodeRef& sel = refs[i];
    const NodeRef& top = refs[(i * 7 + 3) % refs.size()];
    const TreePlace place = rememberPlace(before, sel, top);
    for (const FuncTree* tree : {&before, &after}) {
      const RestoredPlace got = restorePlace(place, *tree);
      require(!got.top.valid() || nodeAt(*tree, got.top), "restored top item is no node");
      require(!got.selected.valid() || nodeAt(*tree, got.selected),
              "restored selection is no node");
    }
  }
}

}  // namespace
}  // namespace nokari

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nokari;
  static const std::unique_ptr<CodePage> ansi = makeCodePage(932);
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const DecodedSource decoded = decodeSource(bytes, *ansi);
  const Lines& sourceLines = decoded.lines;
  StrictProgress bar;

  Lines codeLines;
  stripComments(sourceLines, codeLines, &bar, 30);
  require(codeLines.size() == sourceLines.size(), "code lines and source lines differ in number");
  require(bar.position() == 0, "stripComments left the bar moved");

  FuncIndex indexed;
  for (bool withIndent : {false, true}) {
    FuncIndex index;
    makeFuncIndex(codeLines, index, withIndent ? 70 : 20, &bar, withIndent);
    require(bar.position() == 0, "makeFuncIndex left the bar moved");
    checkIndex(codeLines, index, withIndent ? Text(kIndentText) : Text());
    if (withIndent) indexed = std::move(index);
  }
  // Parameter lists asked for at odd places.
  const int n = static_cast<int>(codeLines.size());
  for (int line : {-1, 0, n / 2, n - 1, n, INT_MAX, INT_MIN})
    for (int col : {-1, 0, 1, 7, INT_MAX, INT_MIN}) getDefunParams(codeLines, line, col);

  FuncIndex sorted = indexed;
  sortFuncIndex(sorted);
  const FuncTree tree = makeFuncTree(sourceLines, &bar);
  require(bar.position() == 0, "makeFuncTree left the bar moved");
  checkTree(tree, sorted);

  for (const NodeRef& ref : treeOrder(tree)) {
    const TreeNode* node = nodeAt(tree, ref);
    require(node != nullptr, "tree order names no node");
    if (ref.level() > 0) headingLines(sourceLines, node->line);
  }
  for (int line : {INT_MIN, -1, 0, 1, n, n + 1, INT_MAX}) headingLines(sourceLines, line);

  // A reload of the same file without its first line: the place is looked up in a new tree.
  Lines shorter;
  for (size_t i = 1; i < sourceLines.size(); ++i) shorter.push_back(sourceLines[i]);
  checkPlaces(tree, makeFuncTree(shorter, nullptr));
  return 0;
}
