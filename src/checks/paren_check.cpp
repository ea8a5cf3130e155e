#include "checks/paren_check.h"

#include <cstdint>
#include <string>
#include <vector>

#include "source/func_index.h"
#include "source/scanner.h"

namespace nokari {

namespace {

Text num(long long n) { return fromAscii(std::to_string(n)); }

void count(std::u16string_view line, long long& open, long long& close) {
  for (char16_t c : line) {
    if (c == u'(') ++open;
    if (c == u')') ++close;
  }
}

bool startsWithDefun(std::u16string_view line) {
  static constexpr char16_t kWord[] = u"(DEFUN ";
  if (line.size() < 7) return false;
  for (size_t i = 0; i < 7; ++i)
    if (upperAscii(line[i]) != kWord[i]) return false;
  return true;
}

Text beforeParen(std::u16string_view s) { return Text(s.substr(0, s.find(u'('))); }

Text countLine(long long open, long long close) {
  return u"　括弧数 = " + num(open) + (open > close ? u" > " : u" < ") + num(close);
}

// The defun name the whole-file message points at: the trimmed line without its first
// character, cut before its first "(".
bool defunLineName(std::u16string_view line, Text& name) {
  Text t = trim(line);
  if (upperAscii(t).find(u"DEFUN ") == Text::npos) return false;
  name = beforeParen(t.substr(1));
  return true;
}

}  // namespace

bool countParens(const Lines& lines, int first, int last, long long& open, long long& close) {
  open = close = 0;
  if (last > static_cast<int>(lines.size()) - 1) last = static_cast<int>(lines.size()) - 1;
  if (first < 0 || first > last) return false;
  for (int i = first; i <= last; ++i) count(lines[i], open, close);
  return true;
}

namespace {

struct PieceStart {
  Text name;
  int line;
};

// The lines where a piece begins: each whose code begins with "(defun " in its first column,
// unless it stands inside a form that closes later (a nested defun). A defun inside a form
// that never closes still begins a piece, so an unclosed function is told from the next one.
std::vector<PieceStart> pieceStarts(const Lines& code) {
  std::vector<PieceStart> starts;
  std::vector<std::uint32_t> open;    // the "(" not closed yet, by the line they stand on
  std::vector<size_t> outermost;      // per start: its place in opener, or npos at depth 0
  std::vector<std::uint32_t> opener;  // every outermost "(" met, in order
  std::vector<char> closed;           // per opener: closed later
  for (size_t i = 0; i < code.size(); ++i) {
    const std::u16string_view line = code[i];
    if (startsWithDefun(line)) {
      starts.push_back({beforeParen(trim(line.substr(6))), int(i)});
      outermost.push_back(open.empty() ? Text::npos : opener.size() - 1);
    }
    for (char16_t c : line) {
      if (c == u'(') {
        if (open.empty()) {
          opener.push_back(static_cast<std::uint32_t>(i));
          closed.push_back(0);
        }
        open.push_back(static_cast<std::uint32_t>(i));
      } else if (c == u')' && !open.empty()) {
        open.pop_back();
        if (open.empty()) closed.back() = 1;
      }
    }
  }
  std::vector<PieceStart> kept;
  for (size_t k = 0; k < starts.size(); ++k)
    if (outermost[k] == Text::npos || !closed[outermost[k]]) kept.push_back(std::move(starts[k]));
  return kept;
}

// A finding over a code line's text, blanks at either end left out; lastOnly: over its last
// character, where a piece of the same line does not stand.
Finding overLine(const Lines& code, int line, const char16_t* name, Text message,
                 bool lastOnly = false) {
  Finding f;
  f.line = line + 1;
  f.category = "unbalanced-parens";
  f.name = name;
  f.message = std::move(message);
  const std::u16string_view s = line < static_cast<int>(code.size()) ? code[line] : u"";
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == u' ' || s[b] == u'\t')) ++b;
  while (e > b && (s[e - 1] == u' ' || s[e - 1] == u'\t')) --e;
  if (lastOnly && e > b) b = e - 1;
  f.column = static_cast<int>(b) + 1;
  f.endColumn = static_cast<int>(e) + 1;
  return f;
}

// checkDefunParens on code lines already made.
TextList defunPieces(const Lines& code, Findings* findings) {
  TextList panel;
  const std::vector<PieceStart> starts = pieceStarts(code);
  if (starts.empty()) return panel;

  long long open, close;
  if (countParens(code, 0, starts[0].line - 1, open, close) && open != close) {
    panel.push_back(u"・行範囲 = 1～" + num(starts[0].line));
    panel.push_back(countLine(open, close));
    if (findings)
      findings->push_back(overLine(code, 0, u"(top level)", panel[0] + u"\n" + panel[1]));
  }
  for (size_t k = 0; k < starts.size(); ++k) {
    const int first = starts[k].line;
    const int last = k + 1 < starts.size() ? starts[k + 1].line - 1 : int(code.size()) - 1;
    if (countParens(code, first, last, open, close) && open != close) {
      panel.push_back(u"・行範囲 = " + num(first + 1) + u"～" + num(last + 1));
      panel.push_back(countLine(open, close));
      panel.push_back(u"　範囲内にある関数 = " + starts[k].name);
      // The piece starts with its defun, in the code line's first column.
      if (findings) {
        const size_t n = panel.size();
        Finding f;
        f.line = first + 1;
        f.category = "unbalanced-parens";
        f.name = trim(starts[k].name);
        f.column = 1;
        f.endColumn = 7;  // over "(defun"
        f.message = panel[n - 3] + u"\n" + panel[n - 2] + u"\n" + panel[n - 1];
        findings->push_back(std::move(f));
      }
    }
  }
  if (!panel.empty())
    panel.insert(panel.begin(), {u"■括弧数不一致", u"※(defun から次の (defun 直前まで"});
  return panel;
}

}  // namespace

TextList checkDefunParens(const Lines& sourceLines, Progress* bar, Findings* findings) {
  if (sourceLines.empty()) return {};
  Lines code;
  stripComments(sourceLines, code, bar, 80);
  return defunPieces(code, findings);
}

ParenResult parenBalanceCheck(const Lines& sourceLines, const std::function<bool()>& lookUpEditor,
                              Progress* bar, Findings* findings) {
  if (sourceLines.empty()) return {};
  // Both halves read the same code lines; they are made once.
  Lines code;
  stripComments(sourceLines, code, bar, 80);
  FuncIndex index;
  makeFuncIndex(code, index, 20, bar, false);
  return parenBalanceCheck(sourceLines, code, index.size(), lookUpEditor, findings);
}

ParenResult parenBalanceCheck(const Lines& sourceLines, const Lines& code, size_t functions,
                              const std::function<bool()>& lookUpEditor, Findings* findings) {
  ParenResult r;
  if (sourceLines.empty()) return r;
  r.panel = defunPieces(code, findings);
  const long long funcCount = static_cast<long long>(functions);
  const int n = static_cast<int>(code.size());

  long long open = 0, close = 0;
  int topLast = 0;
  for (int i = 0; i < n; ++i) {
    if (code[i].empty()) continue;
    count(code[i], open, close);
    if (open == close) topLast = i;
  }
  if (open == close) {
    r.panel.push_back(u"■全体の括弧数チェック");
    r.panel.push_back(u"括弧数= " + num(open) + u" : " + num(close) + u"\r\n行数= " +
                      num(static_cast<long long>(sourceLines.size())) + u", 関数= " +
                      num(funcCount) + u"\r\n全体での括弧数は一致しています．");
    return r;
  }
  r.balanced = false;

  open = close = 0;
  int bottomLast = 0;
  for (int i = n - 1; i >= 0; --i) {
    if (code[i].empty()) continue;
    count(code[i], open, close);
    if (open == close) bottomLast = i;
  }

  const bool editorFound = lookUpEditor && lookUpEditor();
  Text name;
  int target = 0;
  bool named = false;
  ParenMessage m;
  // The question that closes the message: to the named function, else to the last line
  // where the counts agreed.
  auto jumpQuestion = [&](const Text& where, int lastBalanced) {
    return named ? where + u"\n(" + name + u") へジャンプしますか？"
                 : num(lastBalanced + 1) + u" 行へジャンプしますか？";
  };
  if (open > close) {
    for (int i = topLast + 1; i < n && !named; ++i)
      if (defunLineName(code[i], name)) target = i, named = true;
    named = named && !name.empty();
    if (!named) target = topLast;
    m.text = u"括弧数 = " + num(open) + u" > " + num(close) + u", 上からの最終一致行 = " +
             num(topLast + 1) + u"\nこれより下の行で括弧数が一致していません，";
    const Text where = u"(" + name + u") 内か、それより上の " + num(topLast + 2) +
                       u" 行までで一致していない可能性があります．";
    if (editorFound) {
      m.text += u"\n" + jumpQuestion(where, topLast);
    } else if (named) {
      m.text += u"\n" + where;
    }
  } else {
    for (int i = bottomLast - 1; i >= 0 && !named; --i)
      if (defunLineName(code[i], name)) target = i, named = true;
    named = named && !name.empty();
    if (!named) target = bottomLast;
    m.text = u"括弧数 = " + num(open) + u" < " + num(close) + u", 下からの最終一致行 = " +
             num(bottomLast + 1);
    const Text where = u"(" + name + u") 内か、それより下の " + num(bottomLast) +
                       u" 行までで一致していない可能性があります．";
    if (editorFound) {
      m.text += u"\nこれより上の行で括弧数が一致していません，\n" + jumpQuestion(where, bottomLast);
    } else {
      m.text += u"\nこれより上の行で括弧数が一致していません．";
      if (named) m.text += u"\n" + where;
    }
  }
  if (editorFound) {
    m.question = true;
    m.jumpLine = target + 1;
  }
  if (findings) findings->push_back(overLine(code, target, u"(whole file)", m.text, true));
  r.message = std::move(m);
  return r;
}

}  // namespace nokari
