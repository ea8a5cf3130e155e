// What a click on a function node shows: its heading comments and its defun header.
#include "app/func_tree.h"

namespace nokari {

namespace {

bool isSeparator(const Text& trimmedLine) {
  Text s;
  for (char16_t c : trimmedLine)
    if (c != u';' && c != u' ') s += c;
  s = trim(s);
  if (s.empty()) return true;
  const char16_t first = s[0];
  for (char16_t c : s)
    if (c != first) return false;
  return true;
}

Text tabsToSpaces(Text s) {
  for (auto& c : s)
    if (c == u'\t') c = u' ';
  return s;
}

std::u16string_view codePart(std::u16string_view line) { return line.substr(0, line.find(u';')); }

}  // namespace

TextList headingLines(const Lines& sourceLines, int line) {
  TextList out;
  const long long L = static_cast<long long>(line) - 1;
  if (L < 0 || L >= static_cast<long long>(sourceLines.size())) return out;

  long long top = L;
  while (top - 1 >= 0) {
    Text t = trim(sourceLines[top - 1]);
    if (t.empty() || t[0] != u';') break;
    --top;
  }
  for (long long i = top; i < L; ++i) {
    Text t = trim(sourceLines[i]);
    if (!isSeparator(t)) out.push_back(tabsToSpaces(t));
  }

  TextList header;
  for (size_t i = static_cast<size_t>(L); i < sourceLines.size(); ++i) {
    const std::u16string_view line = sourceLines[i];
    std::u16string_view code = codePart(line);
    const bool slash = code.find(u'/') != std::u16string_view::npos;
    if (!slash && code.find(u')') == std::u16string_view::npos) {
      header.emplace_back(line);
      continue;
    }
    if (slash) {
      header.push_back(Text(line.substr(0, line.find(u'/') + 1)) + u" ...)");
    } else {
      header.emplace_back(line.substr(0, line.find(u')') + 1));
    }
    break;
  }
  for (const Text& h : header) {
    Text t = trim(h);
    if (t.empty()) continue;
    if (t[0] == u'(') {
      size_t next = t.find(u'(', 1);
      if (next != Text::npos && next >= 2 && t[next - 1] != u' ') t.insert(next, 1, u' ');
    }
    if (t[0] == u';' || t[0] == u'(') {
      out.push_back(t);
    } else {
      out.push_back(u"  " + t);
    }
  }
  return out;
}

}  // namespace nokari
