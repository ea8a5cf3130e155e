#include "checks/var_check.h"

#include <algorithm>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "checks/check_source.h"
#include "checks/code_facts.h"
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

// The names of a list in the order sorted for the panel, each once (spelled as first met).
TextList sortedOnce(const std::vector<std::u16string_view>& names) {
  std::unordered_set<std::u16string_view, FoldedHash, FoldedEqual> seen;
  TextList out;
  for (std::u16string_view n : names)
    if (seen.insert(n).second) out.emplace_back(n);
  sortTextIgnoreCase(out);
  return out;
}

// A finding's category for an undeclared name of a top-level function: a name the function
// sets leaks out of it; one it only reads comes from elsewhere.
const char* globalCategory(const char* category, bool assigned) {
  return assigned || std::string_view(category) != "global" ? category : "global-read";
}

Text headerTail(std::u16string_view name, const TextList& args, const TextList& locals) {
  Text h(name);
  h += u" (";
  if (!args.empty()) {
    h += u' ';
    for (const Text& a : args) h += a + u" ";
  }
  if (!locals.empty()) {
    h += u" / ";
    for (const Text& l : locals) h += l + u" ";
  }
  h += u')';
  return h;
}

using NameSet = std::unordered_set<std::u16string_view, FoldedHash, FoldedEqual>;

class VarCheck {
 public:
  VarCheck(const CheckSource& src, const ExclusionList& exclusions, const VarCheckProgram* program,
           Findings* findings)
      : exclusions_(exclusions),
        program_(program),
        findings_(findings),
        code_(src.code),
        index_(src.records),
        facts_(src.facts) {}

  TextList run(Progress* bar) {
    for (size_t k = 0; k < facts_.defuns.size(); ++k) {
      const DefunFacts& d = facts_.defuns[k];
      functions_.insert(d.name);
      defunAt_.emplace(place(d.line, d.col), k);
    }
    for (size_t i = 0; i < index_.size(); ++i) {
      const FuncRecord& r = index_[i];
      const auto it = defunAt_.find(
          place(static_cast<std::uint32_t>(r.startLine), static_cast<std::uint32_t>(r.startCol)));
      if (r.kind == FuncKind::TopLevel) {
        if (prevEnd_ == -1) leadingCode(r.startLine, r.startCol);
        prevEnd_ = r.endLine;
        prevEndCol_ = r.endCol;
        if (it != defunAt_.end()) topLevel(r, facts_.defuns[it->second]);
      } else if (r.kind == FuncKind::Nested && it != defunAt_.end()) {
        nestedFunction(r, facts_.defuns[it->second]);
      }
    }
    trailingCode();
    if (bar) bar->setPosition(0);
    return std::move(panel_);
  }

 private:
  static std::uint64_t place(std::uint32_t line, std::uint32_t col) {
    return static_cast<std::uint64_t>(line) << 32 | col;
  }

  // A function's name read as a value is the function, not a variable.
  bool namesFunction(std::u16string_view name) const {
    return functions_.count(name) > 0 || (program_ && program_->functions.count(name) > 0);
  }

  bool reported(const FreeName& f) const {
    return isVariableCandidate(f.site.name, exclusions_) &&
           (f.assigned || !namesFunction(f.site.name));
  }

  // Where each name a finding is about stands, by name.
  using Sites = std::unordered_map<std::u16string_view, NameSite, FoldedHash, FoldedEqual>;

  // The undeclared names of a defun to report, sorted; whether each is set goes to assigned,
  // the first place each stands to sites.
  TextList undeclared(const DefunFacts& d, NameSet* assigned, Sites* sites) const {
    std::vector<std::u16string_view> names;
    for (const FreeName& f : d.free) {
      if (!reported(f)) continue;
      names.push_back(f.site.name);
      sites->emplace(f.site.name, f.site);
      if (f.assigned) assigned->insert(f.site.name);
    }
    return sortedOnce(names);
  }

  // The place of the nth declaration (1 or 2) of each name in a parameter list.
  static Sites declared(const std::vector<NameSite>& list, int nth) {
    Sites at;
    std::unordered_map<std::u16string_view, int, FoldedHash, FoldedEqual> seen;
    for (const NameSite& s : list)
      if (++seen[s.name] == nth) at.emplace(s.name, s);
    return at;
  }

  // A finding of each name at its place; the panel text is header.
  void note(const char* category, const TextList& names, const Text& header, const Sites& sites) {
    if (!findings_) return;
    for (const Text& n : names) {
      const auto at = sites.find(n);
      Finding f;
      f.category = category;
      f.name = n;
      f.message = header;
      f.scope = scope_;
      if (at != sites.end()) {
        f.line = static_cast<int>(at->second.line) + 1;
        f.column = static_cast<int>(at->second.col) + 1;
        f.endColumn = f.column + static_cast<int>(at->second.name.size());
      }
      findings_->push_back(std::move(f));
    }
  }

  // An undeclared name only read is taken back by a function of that name in another file.
  void noteGlobals(const char* category, const TextList& names, const NameSet& assigned,
                   const Text& header, const Sites& sites) {
    if (!findings_) return;
    const size_t first = findings_->size();
    note(category, names, header, sites);
    for (size_t k = first; k < findings_->size(); ++k) {
      Finding& f = (*findings_)[k];
      const bool set = assigned.count(f.name) > 0;
      f.category = globalCategory(category, set);
      if (!set) f.unless = Finding::Unless::DefinedFunction;
    }
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

  // The reported names of code outside every function that stands where keep says; those set
  // at one of their places go to assigned, the first place of each to sites.
  template <class Keep>
  TextList topLevelNames(Keep keep, NameSet* assigned, Sites* sites) const {
    std::vector<std::u16string_view> names;
    for (const FreeName& f : facts_.topLevel) {
      if (!keep(f.site) || !reported(f)) continue;
      names.push_back(f.site.name);
      sites->emplace(f.site.name, f.site);
      if (f.assigned) assigned->insert(f.site.name);
    }
    return sortedOnce(names);
  }

  // The names the code before the first function uses: a block above all the others.
  void leadingCode(int firstLine, int firstCol) {
    NameSet assigned;
    Sites sites;
    const TextList names = topLevelNames(
        [&](const NameSite& s) {
          return place(s.line, s.col) <
                 place(static_cast<std::uint32_t>(firstLine), static_cast<std::uint32_t>(firstCol));
        },
        &assigned, &sites);
    if (names.empty()) return;
    TextList block = groupsLastFirst(names);
    block.insert(block.begin(), kLeading);
    panel_.insert(panel_.begin(), block.begin(), block.end());
    scope_.clear();
    noteGlobals("toplevel-global", names, assigned, kLeading, sites);
  }

  // The unused names of a list, each once, in the list's order.
  static TextList unused(const TextList& names, const std::vector<char>& used) {
    std::vector<std::u16string_view> out;
    NameSet seen;
    for (size_t j = 0; j < names.size(); ++j)
      if (!used[j] && seen.insert(names[j]).second) out.push_back(names[j]);
    return TextList(out.begin(), out.end());
  }

  // The header of a function's block; its locals, sorted, go to locals.
  void beginBlock(const FuncRecord& r, const DefunFacts& d, const char16_t* mark,
                  TextList* locals) {
    *locals = d.locals;
    sortTextIgnoreCase(*locals);
    const int line = r.startLine + 1;
    header_ = lineNumberField(line) + mark + headerTail(r.name(), d.args, *locals);
    scope_ = r.name();
    panel_.push_back(header_);
    blockFindings_ = 0;
  }

  // The locals no code of the function uses, each once, sorted; then the block ends, its header
  // dropped when nothing was found.
  void endBlock(const DefunFacts& d) {
    TextList unusedLocals = unused(d.locals, d.localUsed);
    sortTextIgnoreCase(unusedLocals);
    if (!unusedLocals.empty()) {
      section(kUnused, unusedLocals);
      note("unused-local", unusedLocals, header_, declared(d.localSites, 1));
    }
    if (blockFindings_ == 0) panel_.pop_back();
  }

  void topLevel(const FuncRecord& r, const DefunFacts& d) {
    TextList locals;
    beginBlock(r, d, u"| ", &locals);

    // Locals declared twice: sorted, a name declared again sits right after it.
    TextList duplicates;
    for (size_t j = 0; j + 1 < locals.size(); ++j)
      if (equalUpperAscii(locals[j], locals[j + 1])) duplicates.push_back(locals[j]);
    if (!duplicates.empty()) {
      panel_.push_back(kDuplicate);
      Text all = kIndent;
      for (const Text& n : duplicates) all += n + u" ";
      panel_.push_back(std::move(all));
      ++blockFindings_;
      note("duplicate-local", duplicates, header_, declared(d.localSites, 2));
    }

    NameSet assigned;
    Sites sites;
    const TextList globals = undeclared(d, &assigned, &sites);
    if (!globals.empty()) {
      section(kGlobal, globals);
      noteGlobals("global", globals, assigned, header_, sites);
    }
    const TextList unusedArgs = unused(d.args, d.argUsed);
    if (!unusedArgs.empty()) {
      section(kUnused, unusedArgs);
      note("unused-argument", unusedArgs, header_, declared(d.argSites, 1));
    }
    endBlock(d);
  }

  void nestedFunction(const FuncRecord& r, const DefunFacts& d) {
    TextList locals;
    beginBlock(r, d, u"|  + ", &locals);

    NameSet assigned;
    Sites sites;
    const TextList globals = undeclared(d, &assigned, &sites);
    if (!globals.empty()) {
      section(kNestedGlobal, globals);
      noteGlobals("nested-global", globals, assigned, header_, sites);
    }
    // A nested function's unused arguments leave out the excluded names; its unused locals,
    // like those of a top-level function, do not.
    TextList unusedArgs = unused(d.args, d.argUsed);
    std::erase_if(unusedArgs, [&](const Text& n) { return !isVariableCandidate(n, exclusions_); });
    if (!unusedArgs.empty()) {
      section(kUnused, unusedArgs);
      note("unused-argument", unusedArgs, header_, declared(d.argSites, 1));
    }
    endBlock(d);
  }

  void trailingCode() {
    NameSet assigned;
    Sites sites;
    const TextList names = topLevelNames(
        [&](const NameSite& s) {
          return prevEnd_ == -1 ||
                 place(s.line, s.col) > place(static_cast<std::uint32_t>(prevEnd_),
                                              static_cast<std::uint32_t>(prevEndCol_));
        },
        &assigned, &sites);
    if (names.empty()) return;
    const int line = static_cast<int>(code_.size());
    panel_.push_back(lineNumberField(line) + kTrailing);
    for (Text& g : groupsLastFirst(names)) panel_.push_back(std::move(g));
    scope_.clear();
    noteGlobals("toplevel-global", names, assigned, lineNumberField(line) + kTrailing, sites);
  }

  const ExclusionList& exclusions_;
  const VarCheckProgram* program_;
  Findings* findings_;
  const Lines& code_;
  const FuncIndex& index_;
  const FileFacts& facts_;
  NameSet functions_;                                  // the names the file defines as functions
  std::unordered_map<std::uint64_t, size_t> defunAt_;  // a defun's facts by its place
  int prevEnd_ = -1, prevEndCol_ = 0;
  int blockFindings_ = 0;
  Text header_;  // the panel line of the function being checked
  Text scope_;   // its name
  TextList panel_;
};

}  // namespace

Text lineNumberField(int line) {
  std::string s = std::to_string(line);
  if (s.size() < 5) s.insert(0, 5 - s.size(), ' ');
  return fromAscii(s);
}

TextList variableCheck(const Lines& sourceLines, const ExclusionList& exclusions,
                       WhenClear whenClear, Progress* bar, Findings* findings,
                       const VarCheckProgram* program) {
  // Only a file without any line is skipped: a first line of length 0 is no reason to skip
  // the code after it.
  if (sourceLines.empty())
    return whenClear == WhenClear::AllClearLines ? TextList{kTitle, kAllClear} : TextList{};
  const CheckSource src = readCheckSource(sourceLines, 100, bar, false);
  return checkVariables(src, exclusions, whenClear, bar, findings, program);
}

TextList checkVariables(const CheckSource& src, const ExclusionList& exclusions,
                        WhenClear whenClear, Progress* bar, Findings* findings,
                        const VarCheckProgram* program) {
  TextList panel = VarCheck(src, exclusions, program, findings).run(bar);
  if (panel.empty() && whenClear == WhenClear::AllClearLines) panel = {kTitle, kAllClear};
  return panel;
}

}  // namespace nokari
