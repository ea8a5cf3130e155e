#include "source/reader.h"

namespace nokari {

bool isNumberAtom(std::u16string_view s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) ++i;
  size_t digits = 0;
  while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') ++i, ++digits;
  if (i < s.size() && s[i] == u'.') {
    ++i;
    while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
    ++i;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) ++i;
    size_t exp = 0;
    while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') ++i, ++exp;
    if (exp == 0) return false;
  }
  return i == s.size();
}

const CodeMark* FormReader::markAt(std::uint32_t line, std::uint32_t col) const {
  if (!marks_ || mark_ >= marks_->size()) return nullptr;
  const CodeMark& m = (*marks_)[mark_];
  return m.line == line && m.col == col ? &m : nullptr;
}

FormReader::Token FormReader::token(std::uint32_t* line, std::uint32_t* col, std::uint32_t* size) {
  for (;;) {
    if (line_ >= code_.size()) return Token::End;
    if (const CodeMark* m = markAt(line_, col_)) {
      ++mark_;
      if (!m->isString) continue;  // a comment block: only a break between words
      *line = line_;
      *col = col_;
      *size = static_cast<std::uint32_t>(mark_ - 1);
      return Token::String;
    }
    const std::u16string_view s = code_[line_];
    if (col_ >= s.size()) {
      // Marks past the line's end cannot be (a code line holds what comes before them).
      while (marks_ && mark_ < marks_->size() && (*marks_)[mark_].line <= line_) ++mark_;
      ++line_;
      col_ = 0;
      continue;
    }
    const char16_t c = s[col_];
    if (c <= 32) {
      ++col_;
      continue;
    }
    *line = line_;
    *col = col_;
    if (c == u'(' || c == u')' || c == u'\'') {
      ++col_;
      return c == u'(' ? Token::Open : c == u')' ? Token::Close : Token::Quote;
    }
    // A word ends at a blank, a parenthesis, a quote or a place a string or comment left.
    std::uint32_t end = col_ + 1;
    std::uint32_t limit = static_cast<std::uint32_t>(s.size());
    if (marks_ && mark_ < marks_->size() && (*marks_)[mark_].line == line_)
      limit = std::min(limit, (*marks_)[mark_].col);
    while (end < limit && s[end] > 32 && s[end] != u'(' && s[end] != u')' && s[end] != u'\'') ++end;
    *size = end - col_;
    col_ = end;
    return Token::Atom;
  }
}

bool FormReader::next(Form& form) {
  form.clear();
  open_.clear();
  std::uint32_t line = 0, col = 0, size = 0;
  // After a datum: the quotes it completes end with it; true when the form is complete.
  auto complete = [&] {
    while (!open_.empty() && form[open_.back()].kind == NodeKind::Quote) {
      form[open_.back()].next = static_cast<std::uint32_t>(form.size());
      open_.pop_back();
    }
    return open_.empty();
  };
  for (;;) {
    const Token t = token(&line, &col, &size);
    if (t == Token::End) {
      if (form.empty()) return false;
      // The file ends inside lists: each ends with the nodes read.
      for (std::uint32_t i : open_) form[i].next = static_cast<std::uint32_t>(form.size());
      open_.clear();
      return true;
    }
    Node n;
    n.line = line;
    n.col = col;
    if (t == Token::Close) {
      // A quote before ")" quotes nothing; a ")" outside every list closes nothing.
      complete();
      if (open_.empty()) {
        if (form.empty()) continue;
        return true;  // a lone quote at the top level
      }
      Node& list = form[open_.back()];
      list.endLine = line;
      list.endCol = col;
      list.next = static_cast<std::uint32_t>(form.size());
      open_.pop_back();
      if (complete()) return true;
      continue;
    }
    if (t == Token::Open || t == Token::Quote) {
      n.kind = t == Token::Open ? NodeKind::List : NodeKind::Quote;
      open_.push_back(static_cast<std::uint32_t>(form.size()));
      form.push_back(n);
      continue;
    }
    if (t == Token::String) {
      n.kind = NodeKind::String;
      n.mark = size;
    } else {
      n.size = size;
      const std::u16string_view text = code_[line].substr(col, size);
      n.kind = text == u"."         ? NodeKind::Dot
               : isNumberAtom(text) ? NodeKind::Number
                                    : NodeKind::Symbol;
    }
    n.next = static_cast<std::uint32_t>(form.size() + 1);
    form.push_back(n);
    if (complete()) return true;
  }
}

}  // namespace nokari
