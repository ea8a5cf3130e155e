#include "checks/var_check.h"

#include <algorithm>
#include <memory>
#include <string>
#include <unordered_set>

#include "checks/symbols.h"
#include "platform/collate.h"
#include "source/decode.h"
#include "source/func_index.h"
#include "source/scanner.h"

namespace nokari {

namespace {

const char16_t kTitle[] = u"■変数チェック";
const char16_t kAllClear[] = u"未使用変数、未宣言変数はありません．";
const char16_t kDuplicate[] = u"     [重複]";
const char16_t kGlobal[] = u"     [グローバル]";
const char16_t kUnused[] = u"     [未使用]";
const char16_t kNestedGlobal[] = u"     [サブ関数内でグローバル]";
const char16_t kLeading[] = u"    1|[グローバル(全関数定義の前方)]";
const char16_t kTrailing[] = u"|[グローバル(全関数の後方)]";
const char16_t kIndent[] = u"     ";

// A name list sorted for lookups that ignore letter case.
class NameSet {
 public:
  NameSet() = default;
  explicit NameSet(TextList names) : names_(std::move(names)) { sort(); }
  void add(const TextList& more) {
    names_.insert(names_.end(), more.begin(), more.end());
    sort();
  }
  bool has(std::u16string_view name) const {
    auto it = std::lower_bound(
        names_.begin(), names_.end(), name,
        [](const Text& e, std::u16string_view n) { return compareTextIgnoreCase(e, n) < 0; });
    return it != names_.end() && compareTextIgnoreCase(*it, name) == 0;
  }

 private:
  // The used names come sorted already; a stable sort would leave them as they are.
  void sort() {
    if (!std::is_sorted(names_.begin(), names_.end(), [](const Text& a, const Text& b) {
          return compareTextIgnoreCase(a, b) < 0;
        }))
      sortTextIgnoreCase(names_);
  }

  TextList names_;
};

// The names of list found in none of the sets, in list order.
TextList without(const TextList& list, std::initializer_list<const NameSet*> sets) {
  TextList out;
  for (const Text& n : list) {
    bool found = false;
    for (const NameSet* s : sets) found = found || s->has(n);
    if (!found) out.push_back(n);
  }
  return out;
}

TextList candidatesOnly(TextList names, const ExclusionList& exclusions) {
  std::erase_if(names, [&](const Text& n) { return !isVariableCandidate(n, exclusions); });
  return names;
}

// What a defun declares and uses.
struct Declared {
  TextList args;    // A: in declaration order
  TextList locals;  // L: sorted, duplicates kept
  TextList used;    // U: sorted, each once
  NameSet argSet, localSet;
};

Declared declared(const Lines& code, int line, int col, TextList used) {
  Declared d;
  d.args = splitLines(getDefunParams(code, line, col));
  d.locals = getDefunLocals(code, line, col);
  d.used = std::move(used);
  d.argSet = NameSet(d.args);
  d.localSet = NameSet(d.locals);
  return d;
}

Text headerTail(std::u16string_view name, const Declared& d) {
  Text h(name);
  h += u" (";
  if (!d.args.empty()) {
    h += u' ';
    for (const Text& a : d.args) h += a + u" ";
  }
  if (!d.locals.empty()) {
    h += u" / ";
    for (const Text& l : d.locals) h += l + u" ";
  }
  h += u')';
  return h;
}

class VarCheck {
 public:
  VarCheck(const ExclusionList& exclusions, Findings* findings)
      : exclusions_(exclusions), findings_(findings) {}

  TextList run(const Lines& lspSL, Progress* bar) {
    makeCodeAndFuncIndex(lspSL, code_, index_, 100, bar, false);
    nested_.resize(index_.size());
    for (size_t i = 0; i < index_.size(); ++i) {
      if (index_[i].kind == FuncKind::TopLevel) {
        topLevel(i);
      } else if (index_[i].kind == FuncKind::Nested) {
        nestedFunction(i);
      }
    }
    trailingCode();
    if (bar) bar->setPosition(0);
    return std::move(panel_);
  }

 private:
  // Findings of the block headed by header: a function's at its "(defun" (column col, 0-based),
  // those of top-level code without a column.
  void note(int line, const char* category, const TextList& names, const Text& header,
            int col = -1) {
    if (!findings_) return;
    for (const Text& n : names) findings_->push_back({line, category, n, col + 1, header});
  }

  // A marker and its names, ten to a line.
  void section(const char16_t* marker, const TextList& names) {
    panel_.push_back(marker);
    for (size_t i = 0; i < names.size(); i += 10) {
      Text line = kIndent;
      for (size_t j = i; j < names.size() && j < i + 10; ++j) line += names[j] + u" ";
      panel_.push_back(std::move(line));
    }
    ++blockFindings_;
  }

  // Names of top-level code, five to a line, the last group first.
  TextList groupsLastFirst(const TextList& names) {
    TextList groups;
    for (size_t i = 0; i < names.size(); i += 5) {
      Text line = kIndent;
      for (size_t j = i; j < names.size() && j < i + 5; ++j) line += names[j] + u" ";
      groups.push_back(std::move(line));
    }
    std::reverse(groups.begin(), groups.end());
    return groups;
  }

  // A', L' and U' of a nested record, worked out once however often they are needed.
  const Declared& nestedDeclared(size_t i) {
    if (!nested_[i]) {
      const FuncRecord& r = index_[i];
      const int line = r.startLine, col = r.startCol;
      nested_[i] = std::make_unique<Declared>(
          declared(code_, line, col, collectBodySymbols(code_, line, col, exclusions_)));
    }
    return *nested_[i];
  }

  // The names the code before the first function uses: a block above all the others.
  void leadingCode(int firstStart) {
    TextList names = collectRangeSymbols(code_, 0, firstStart - 1, exclusions_);
    if (names.empty()) return;
    TextList block = groupsLastFirst(names);
    block.insert(block.begin(), kLeading);
    panel_.insert(panel_.begin(), block.begin(), block.end());
    note(1, "toplevel-global", names, kLeading);
  }

  // Locals declared twice: L is sorted, so a name declared again sits right after it.
  void duplicateLocals(const Declared& d, int line) {
    TextList duplicates;
    for (size_t j = 0; j + 1 < d.locals.size(); ++j)
      if (compareTextIgnoreCase(d.locals[j], d.locals[j + 1]) == 0)
        duplicates.push_back(d.locals[j]);
    if (duplicates.empty()) return;
    panel_.push_back(kDuplicate);
    Text all = kIndent;
    for (const Text& n : duplicates) all += n + u" ";
    panel_.push_back(std::move(all));
    ++blockFindings_;
    note(line, "duplicate-local", duplicates, header_, col_);
  }

  void topLevel(size_t i) {
    const FuncRecord& r = index_[i];
    const std::u16string_view name = r.name();
    const int s = r.startLine, col = r.startCol;
    if (prevEnd_ == -1) leadingCode(s);
    prevEnd_ = r.endLine;

    std::unordered_set<std::u16string_view> nestedNames;
    std::vector<size_t> ownNested;
    for (size_t j = i + 1; j < index_.size() && index_[j].kind == FuncKind::Nested; ++j) {
      nestedNames.insert(index_[j].name());
      if (index_[j].enclosing() == name) ownNested.push_back(j);
    }

    top_ = declared(code_, s, col, collectOwnBodySymbols(code_, s, col, exclusions_));
    const Declared& d = top_;
    const int line = s + 1;
    header_ = lineNumberField(line) + u"| " + headerTail(name, d);
    col_ = col;
    panel_.push_back(header_);
    blockFindings_ = 0;

    duplicateLocals(d, line);

    TextList globals = candidatesOnly(without(d.used, {&d.argSet, &d.localSet}), exclusions_);
    std::erase_if(globals, [&](const Text& n) { return nestedNames.count(n) > 0; });
    if (!globals.empty()) {
      section(kGlobal, globals);
      note(line, "global", globals, header_, col_);
    }

    // Excluded names never count as used (U holds candidates only), and the unused names of a
    // top-level function are not filtered: an excluded argument or local, such as "*error*",
    // is always reported as unused.
    NameSet usedSet(d.used);
    TextList unusedArgs = without(d.args, {&usedSet});
    if (!unusedArgs.empty()) {
      section(kUnused, unusedArgs);
      note(line, "unused-argument", unusedArgs, header_, col_);
    }

    // A local that a nested function uses without declaring it counts as used.
    TextList nestedFree;
    for (size_t j : ownNested) {
      const Declared& n = nestedDeclared(j);
      TextList free = without(n.used, {&n.argSet, &n.localSet});
      nestedFree.insert(nestedFree.end(), free.begin(), free.end());
    }
    if (!nestedFree.empty()) usedSet.add(nestedFree);
    TextList unusedLocals = without(d.locals, {&usedSet});
    if (!unusedLocals.empty()) {
      section(kUnused, unusedLocals);
      note(line, "unused-local", unusedLocals, header_, col_);
    }

    if (blockFindings_ == 0) panel_.pop_back();
  }

  void nestedFunction(size_t i) {
    const FuncRecord& r = index_[i];
    const Declared& n = nestedDeclared(i);
    const int line = r.startLine + 1;
    header_ = lineNumberField(line) + u"|  + " + headerTail(r.name(), n);
    col_ = r.startCol;
    panel_.push_back(header_);
    blockFindings_ = 0;

    TextList globals = candidatesOnly(
        without(n.used, {&n.argSet, &n.localSet, &top_.localSet, &top_.argSet}), exclusions_);
    if (!globals.empty()) {
      section(kNestedGlobal, globals);
      note(line, "nested-global", globals, header_, col_);
    }
    // A nested function's unused arguments leave out the excluded names; its unused locals,
    // like those of a top-level function, do not.
    NameSet usedSet(n.used);
    TextList unusedArgs = candidatesOnly(without(n.args, {&usedSet}), exclusions_);
    if (!unusedArgs.empty()) {
      section(kUnused, unusedArgs);
      note(line, "unused-argument", unusedArgs, header_, col_);
    }
    TextList unusedLocals = without(n.locals, {&usedSet});
    if (!unusedLocals.empty()) {
      section(kUnused, unusedLocals);
      note(line, "unused-local", unusedLocals, header_, col_);
    }
    if (blockFindings_ == 0) panel_.pop_back();
  }

  void trailingCode() {
    const int last = static_cast<int>(code_.size()) - 1;
    if (prevEnd_ >= last) return;
    TextList names = collectRangeSymbols(code_, prevEnd_ + 1, last, exclusions_);
    if (names.empty()) return;
    const int line = static_cast<int>(code_.size());
    panel_.push_back(lineNumberField(line) + kTrailing);
    for (Text& g : groupsLastFirst(names)) panel_.push_back(std::move(g));
    note(line, "toplevel-global", names, lineNumberField(line) + kTrailing);
  }

  const ExclusionList& exclusions_;
  Findings* findings_;
  Lines code_;
  FuncIndex index_;
  // Only nested records get one: a pointer per record keeps a large index small.
  std::vector<std::unique_ptr<Declared>> nested_;
  Declared top_;  // the most recent top-level function: nested ones read its A and L
  int prevEnd_ = -1;
  int blockFindings_ = 0;
  Text header_;  // the panel line of the function being checked
  int col_ = 0;  // the 0-based column of its "(defun"
  TextList panel_;
};

}  // namespace

Text lineNumberField(int line) {
  std::string s = std::to_string(line);
  if (s.size() < 5) s.insert(0, 5 - s.size(), ' ');
  return fromAscii(s);
}

TextList variableCheck(const Lines& lspSL, const ExclusionList& exclusions, bool msgFlag,
                       Progress* bar, Findings* findings) {
  // Only a file without any line is skipped: a first line of length 0 is no reason to skip
  // the code after it.
  if (lspSL.empty()) return msgFlag ? TextList{kTitle, kAllClear} : TextList{};
  TextList panel = VarCheck(exclusions, findings).run(lspSL, bar);
  if (panel.empty() && msgFlag) panel = {kTitle, kAllClear};
  return panel;
}

}  // namespace nokari
