#include "checks/code_facts.h"

#include <unordered_map>

#include "source/func_index.h"

namespace nokari {

namespace {

enum class Special { None, Quote, Function, Setq, Defun, Lambda, Loop, Cond };

Special specialForm(std::u16string_view head) {
  switch (head.size()) {
    case 4:
      if (equalUpperAscii(head, u"SETQ")) return Special::Setq;
      if (equalUpperAscii(head, u"COND")) return Special::Cond;
      break;
    case 5:
      if (equalUpperAscii(head, u"QUOTE")) return Special::Quote;
      if (equalUpperAscii(head, u"DEFUN")) return Special::Defun;
      break;
    case 6:
      if (equalUpperAscii(head, u"LAMBDA")) return Special::Lambda;
      break;
    case 7:
      if (equalUpperAscii(head, u"FOREACH")) return Special::Loop;
      break;
    case 8:
      if (equalUpperAscii(head, u"FUNCTION")) return Special::Function;
      if (equalUpperAscii(head, u"VLAX-FOR")) return Special::Loop;
      break;
    default:
      break;
  }
  return Special::None;
}

// Code nested deeper than this is passed over: no real program comes near it, and the walk
// must not run out of stack on a file that is one long run of "(".
constexpr int kMaxDepth = 1000;

class FactsReader {
 public:
  FactsReader(const Lines& code, FileFacts& out) : code_(code), out_(out) {}

  void form(const Form& f) {
    f_ = &f;
    const Node& n = f[0];
    // A bare word at the top of the file does nothing: a list of names is no code.
    if (n.kind == NodeKind::List) {
      eval(0, 0);
    } else if (n.kind == NodeKind::Quote) {
      quoted(0, 0);
    }
  }

 private:
  struct Binding {
    std::u16string_view name;
    int defun;  // the defun that declares it; -1 for a lambda's or a loop's own
  };

  const Node& node(std::uint32_t i) const { return (*f_)[i]; }
  std::u16string_view text(std::uint32_t i) const { return atomText(code_, node(i)); }
  NameSite site(std::uint32_t i) const { return {text(i), node(i).line, node(i).col}; }

  // The innermost binding of name, marked used; false when no scope declares it.
  bool use(std::u16string_view name) {
    for (size_t k = bindings_.size(); k-- > 0;) {
      if (!equalUpperAscii(bindings_[k].name, name)) continue;
      if (bindings_[k].defun >= 0) {
        DefunFacts& d = out_.defuns[static_cast<size_t>(bindings_[k].defun)];
        for (size_t j = 0; j < d.args.size(); ++j)
          if (equalUpperAscii(d.args[j], name)) d.argUsed[j] = 1;
        for (size_t j = 0; j < d.locals.size(); ++j)
          if (equalUpperAscii(d.locals[j], name)) d.localUsed[j] = 1;
      }
      return true;
    }
    return false;
  }

  void variable(std::uint32_t i, bool assigned) {
    const std::u16string_view name = text(i);
    if (assigned) out_.assigned.push_back(name);
    if (use(name)) return;
    if (!assigned) out_.references.push_back(site(i));
    if (defuns_.empty()) {
      out_.topLevel.push_back({site(i), assigned});
      return;
    }
    DefunFacts& d = out_.defuns[static_cast<size_t>(defuns_.back())];
    auto [at, added] = freeAt_.back().try_emplace(name, d.free.size());
    if (added) d.free.push_back({site(i), assigned});
    if (assigned) d.free[at->second].assigned = true;
  }

  using Names = std::vector<NameSite>;

  // The names of a parameter list: before "/" into args, after it into locals.
  void params(std::uint32_t p, Names& args, Names& locals) {
    if (p == 0 || node(p).kind != NodeKind::List) return;
    bool afterSlash = false;
    for (Children c(*f_, p); !c.done(); c.advance()) {
      if (c.node().kind != NodeKind::Symbol) continue;
      if (text(c.index()) == u"/") {
        afterSlash = true;
      } else {
        (afterSlash ? locals : args).push_back(site(c.index()));
      }
    }
  }

  void evalFrom(Children c, int depth) {
    for (; !c.done(); c.advance()) eval(c.index(), depth);
  }

  void eval(std::uint32_t i, int depth) {
    if (depth > kMaxDepth) return;
    const Node& n = node(i);
    switch (n.kind) {
      case NodeKind::Symbol:
        variable(i, false);
        return;
      case NodeKind::Quote:
        quoted(i, depth);
        return;
      case NodeKind::List:
        break;
      default:
        return;
    }
    Children c(*f_, i);
    if (c.done()) return;
    const std::uint32_t head = c.index();
    if (node(head).kind != NodeKind::Symbol) {
      evalFrom(c, depth + 1);
      return;
    }
    c.advance();
    switch (specialForm(text(head))) {
      case Special::Quote:
        if (!c.done()) quotedDatum(c.index(), depth + 1);
        return;
      case Special::Function:
        if (c.done()) return;
        if (node(c.index()).kind == NodeKind::Symbol) {
          out_.references.push_back(site(c.index()));
        } else {
          quotedDatum(c.index(), depth + 1);
        }
        return;
      case Special::Setq:
        for (bool target = true; !c.done(); c.advance(), target = !target) {
          if (target && node(c.index()).kind == NodeKind::Symbol) {
            variable(c.index(), true);
          } else {
            eval(c.index(), depth + 1);
          }
        }
        return;
      case Special::Defun: {
        DefunParts d;
        if (defunAt(code_, *f_, i, &d)) {
          defun(d, depth + 1);
          return;
        }
        break;
      }
      case Special::Lambda:
        lambda(i, depth + 1);
        return;
      case Special::Loop:
        loop(c, depth + 1);
        return;
      case Special::Cond:
        // Each clause is a test and the expressions it guards, not a call.
        for (; !c.done(); c.advance()) {
          if (node(c.index()).kind == NodeKind::List) {
            evalFrom(Children(*f_, c.index()), depth + 2);
          } else {
            eval(c.index(), depth + 1);
          }
        }
        return;
      case Special::None:
        break;
    }
    // A name bound in scope holds a function value: (defun g (fun) (fun 1)).
    if (!use(text(head))) {
      out_.calls.push_back(site(head));
      out_.references.push_back(site(head));
    }
    evalFrom(c, depth + 1);
  }

  // "'x": the datum after the quote.
  void quoted(std::uint32_t i, int depth) {
    if (i + 1 < node(i).next) quotedDatum(i + 1, depth + 1);
  }

  // A quoted datum: a lambda is code; any other names in it may name functions (reactor
  // lists, (mapcar 'f l)), but none is a variable or a call.
  void quotedDatum(std::uint32_t i, int depth) {
    if (depth > kMaxDepth) return;
    const Node& n = node(i);
    if (n.kind == NodeKind::Symbol) {
      out_.references.push_back(site(i));
    } else if (n.kind == NodeKind::Quote) {
      quoted(i, depth);
    } else if (n.kind == NodeKind::List) {
      if (headIs(code_, *f_, i, u"LAMBDA")) {
        lambda(i, depth + 1);
        return;
      }
      for (Children c(*f_, i); !c.done(); c.advance()) quotedDatum(c.index(), depth + 1);
    }
  }

  void defun(const DefunParts& parts, int depth) {
    // A nested defun of a name the enclosing function declares sets that local.
    use(text(parts.name));
    const int index = static_cast<int>(out_.defuns.size());
    DefunFacts& d = out_.defuns.emplace_back();
    d.line = node(parts.list).line;
    d.col = node(parts.list).col;
    d.name = text(parts.name);
    d.nameSite = site(parts.name);
    d.parent = defuns_.empty() ? -1 : defuns_.back();
    Names args, locals;
    params(parts.params, args, locals);
    for (const NameSite& a : args) d.args.emplace_back(a.name);
    for (const NameSite& l : locals) d.locals.emplace_back(l.name);
    d.argSites = args;
    d.localSites = locals;
    d.argUsed.assign(d.args.size(), 0);
    d.localUsed.assign(d.locals.size(), 0);
    // The bindings name the code lines: the defuns' lists move as more are added.
    const size_t mark = bindings_.size();
    for (const NameSite& a : args) bindings_.push_back({a.name, index});
    for (const NameSite& l : locals) bindings_.push_back({l.name, index});
    defuns_.push_back(index);
    freeAt_.emplace_back();
    if (parts.params != 0) {
      Children body(*f_, parts.list);
      while (!body.done() && body.index() <= parts.params) body.advance();
      evalFrom(body, depth);
    }
    freeAt_.pop_back();
    defuns_.pop_back();
    bindings_.resize(mark);
  }

  // "(lambda (args / locals) body...)": its names are its own.
  void lambda(std::uint32_t i, int depth) {
    Children c(*f_, i);
    c.advance();
    if (c.done()) return;
    Names args, locals;
    params(c.index(), args, locals);
    c.advance();
    const size_t mark = bindings_.size();
    for (const NameSite& n : args) bindings_.push_back({n.name, -1});
    for (const NameSite& n : locals) bindings_.push_back({n.name, -1});
    evalFrom(c, depth);
    bindings_.resize(mark);
  }

  // "(foreach x list body...)", "(vlax-for x collection body...)": x is the loop's own, and
  // AutoLISP gives it back its value afterwards.
  void loop(Children c, int depth) {
    if (c.done()) return;
    const std::uint32_t var = c.index();
    c.advance();
    if (!c.done()) {
      eval(c.index(), depth);
      c.advance();
    }
    const size_t mark = bindings_.size();
    if (node(var).kind == NodeKind::Symbol) {
      use(text(var));
      bindings_.push_back({text(var), -1});
    }
    evalFrom(c, depth);
    bindings_.resize(mark);
  }

  const Lines& code_;
  FileFacts& out_;
  const Form* f_ = nullptr;
  std::vector<Binding> bindings_;
  std::vector<int> defuns_;  // the defuns being read, the innermost last
  // Per defun being read: where each of its undeclared names stands in its free list.
  std::vector<std::unordered_map<std::u16string_view, size_t, FoldedHash, FoldedEqual>> freeAt_;
};

bool wordUnit(char16_t c) {
  return c > 32 && c != u'(' && c != u')' && c != u'\'' && c != u'"' && c != u';' && c != u'\\';
}

// "(name" inside a string names a function: action_tile callbacks, (command "...") texts.
void stringReferences(const Lines& source, const CodeMark& m, FileFacts& out) {
  if (!m.isString || (m.endLine == m.srcLine && m.endCol == m.srcCol)) return;
  for (std::uint32_t line = m.srcLine; line <= m.endLine && line < source.size(); ++line) {
    const std::u16string_view s = source[line];
    const size_t from = line == m.srcLine ? m.srcCol + 1 : 0;
    const size_t to = line == m.endLine ? std::min<size_t>(m.endCol, s.size()) : s.size();
    for (size_t p = from; p < to; ++p) {
      if (s[p] != u'(') continue;
      size_t b = p + 1;
      while (b < to && (s[b] == u' ' || s[b] == u'\t')) ++b;
      size_t e = b;
      while (e < to && wordUnit(s[e])) ++e;
      if (e > b && !isNumberAtom(s.substr(b, e - b)))
        out.references.push_back({s.substr(b, e - b), line, static_cast<std::uint32_t>(b)});
    }
  }
}

}  // namespace

FileFacts readFileFacts(const Lines& source, const Lines& code, const CodeMarks& marks) {
  FileFacts facts;
  FactsReader reader(code, facts);
  FormReader forms(code, &marks);
  Form form;
  while (forms.next(form)) reader.form(form);
  for (const CodeMark& m : marks) stringReferences(source, m, facts);
  return facts;
}

}  // namespace nokari
