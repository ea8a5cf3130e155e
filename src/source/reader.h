// The reader: the code lines read back as AutoLISP reads them, one top-level form at a time,
// each a tree of lists, atoms and quotes.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/lines.h"
#include "source/scanner.h"

namespace nokari {

enum class NodeKind : std::uint8_t {
  List,    // "(" ... ")"
  Symbol,  // a word that is no number
  Number,
  String,  // a string literal (the code lines hold none of its text: see its mark)
  Quote,   // "'" and the datum after it
  Dot,     // the "." of a dotted pair
};

// One node of a form, in preorder: a list's or a quote's children follow it up to `next`.
struct Node {
  static constexpr std::uint32_t kNoEnd = UINT32_MAX;

  NodeKind kind = NodeKind::Symbol;
  std::uint32_t line = 0;          // 0-based code line of its first character
  std::uint32_t col = 0;           // 0-based column there ("(" of a list, "'" of a quote)
  std::uint32_t size = 0;          // an atom's length in the code line
  std::uint32_t next = 0;          // the node after this one and everything inside it
  std::uint32_t endLine = kNoEnd;  // a list's ")"; kNoEnd while the file ends inside it
  std::uint32_t endCol = 0;
  std::uint32_t mark = 0;  // a string's place in the marks

  bool closed() const { return endLine != kNoEnd; }
};

// The nodes of one top-level form; the first is the form itself.
using Form = std::vector<Node>;

// The children of the list or quote at nodes[i], one by one.
class Children {
 public:
  Children(const Form& form, std::uint32_t i) : form_(form), at_(i + 1), end_(form[i].next) {}
  bool done() const { return at_ >= end_; }
  std::uint32_t index() const { return at_; }
  const Node& node() const { return form_[at_]; }
  void advance() { at_ = form_[at_].next; }

 private:
  const Form& form_;
  std::uint32_t at_, end_;
};

// Reads the top-level forms of code lines in order. A ")" that closes nothing is passed over;
// a form the file ends inside comes with its open lists unclosed.
class FormReader {
 public:
  // marks as CommentStripper gives them for the same lines; both must outlive the reader.
  FormReader(const Lines& code, const CodeMarks* marks) : code_(code), marks_(marks) {}
  // The next top-level form into form (cleared first); false when none is left.
  bool next(Form& form);

 private:
  enum class Token { End, Open, Close, Quote, Atom, String };
  Token token(std::uint32_t* line, std::uint32_t* col, std::uint32_t* size);
  const CodeMark* markAt(std::uint32_t line, std::uint32_t col) const;

  const Lines& code_;
  const CodeMarks* marks_;
  std::uint32_t line_ = 0, col_ = 0;
  size_t mark_ = 0;  // the first mark not yet passed
  std::vector<std::uint32_t> open_;
};

// The text of an atom: a view into the code lines.
inline std::u16string_view atomText(const Lines& code, const Node& n) {
  return code[n.line].substr(n.col, n.size);
}

// True when the atom text reads as a number: a sign, digits with one optional point (at least
// one digit), an optional exponent.
bool isNumberAtom(std::u16string_view s);

}  // namespace nokari
