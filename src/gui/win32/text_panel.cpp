#include "gui/win32/text_panel.h"

#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "gui/win32/win_handles.h"
#include "platform/win32/system_services.h"

namespace nokari::win {

namespace {

constexpr wchar_t kClassName[] = L"NokariTextPanel";
constexpr int kMargin = 2;  // blank pixels left of the text, as an edit box leaves them

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Text goes to the system as it is");
const wchar_t* wide(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }

// The x of every boundary of a line, [0] = 0 to [size] = its width, tabs reaching the next
// stop of eight average characters as in an edit box.
std::vector<int> boundaries(HDC dc, std::u16string_view s, int charWidth) {
  std::vector<int> x(s.size() + 1, 0);
  const int tab = std::max(1, 8 * charWidth);
  std::vector<int> fit;
  size_t i = 0;
  while (i < s.size()) {
    if (s[i] == u'\t') {
      x[i + 1] = (x[i] / tab + 1) * tab;
      ++i;
      continue;
    }
    size_t end = s.find(u'\t', i);
    if (end == std::u16string_view::npos) end = s.size();
    const int n = static_cast<int>(end - i);
    fit.resize(static_cast<size_t>(n));
    SIZE size{};
    int fitted = 0;
    if (!GetTextExtentExPointW(dc, wide(s.data() + i), n, 0, &fitted, fit.data(), &size))
      for (int k = 0; k < n; ++k) fit[static_cast<size_t>(k)] = (k + 1) * charWidth;
    for (int k = 0; k < n; ++k)
      x[i + static_cast<size_t>(k) + 1] = x[i] + fit[static_cast<size_t>(k)];
    i = end;
  }
  return x;
}

// The window's device context with its font chosen, for one scope.
class FontDc {
 public:
  FontDc(HWND wnd, HFONT font) : window_(wnd), font_(window_.get(), font) {}
  HDC get() const { return window_.get(); }

 private:
  WindowDc window_;
  Selected font_;
};

}  // namespace

bool TextPanel::create(HWND parent, int id) {
  auto* inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  if (!registerClass(inst, kClassName, CS_DBLCLKS, nullptr, nullptr)) return false;
  return Window::create(inst, WS_EX_CLIENTEDGE, kClassName, L"",
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL, 0, 0, 0, 0,
                        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id))) != nullptr;
}

void TextPanel::setLines(const TextList& lines) {
  text_.assign(lines);
  reset();
}

void TextPanel::reset() {
  anchor_ = caret_ = 0;
  topLine_ = 0;
  left_ = 0;
  measureWidth();
  updateScrollBars();
  placeCaret();
  if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
}

void TextPanel::measureFont() {
  FontDc dc(hwnd(), font_);
  TEXTMETRICW tm{};
  if (dc.get() && GetTextMetricsW(dc.get(), &tm)) {
    lineHeight_ = std::max<int>(1, tm.tmHeight);
    charWidth_ = std::max<int>(1, tm.tmAveCharWidth);
  }
}

void TextPanel::measureWidth() {
  const std::u16string_view widest = text_.line(text_.widestLine());
  FontDc dc(hwnd(), font_);
  textWidth_ = dc.get() ? boundaries(dc.get(), widest, charWidth_).back()
                        : static_cast<int>(widest.size()) * charWidth_;
}

int TextPanel::visibleLines() const {
  RECT r{};
  GetClientRect(hwnd(), &r);
  return std::max(1, static_cast<int>(r.bottom) / lineHeight_);
}

int TextPanel::clientWidth() const {
  RECT r{};
  GetClientRect(hwnd(), &r);
  return static_cast<int>(r.right);
}

void TextPanel::updateScrollBars() {
  if (!hwnd()) return;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
  si.nMax = static_cast<int>(text_.lineCount()) - 1;
  si.nPage = static_cast<UINT>(visibleLines());
  si.nPos = static_cast<int>(topLine_);
  SetScrollInfo(hwnd(), SB_VERT, &si, TRUE);
  si.nMax = textWidth_ + 2 * kMargin - 1;
  si.nPage = static_cast<UINT>(std::max(0, clientWidth()));
  si.nPos = left_;
  SetScrollInfo(hwnd(), SB_HORZ, &si, TRUE);
}

int TextPanel::xOf(size_t offset) const {
  const size_t line = text_.lineOf(offset);
  const std::u16string_view s = text_.line(line);
  const size_t col = std::min(offset - text_.lineStart(line), s.size());
  FontDc dc(hwnd(), font_);
  if (!dc.get()) return static_cast<int>(col) * charWidth_;
  return boundaries(dc.get(), s.substr(0, col), charWidth_).back();
}

size_t TextPanel::offsetAt(POINT p, bool under) const {
  const long long row = p.y >= 0 ? p.y / lineHeight_ : -1 - (-1 - p.y) / lineHeight_;
  const long long last = static_cast<long long>(text_.lineCount()) - 1;
  const size_t line =
      static_cast<size_t>(std::clamp(static_cast<long long>(topLine_) + row, 0LL, last));
  const std::u16string_view s = text_.line(line);
  const size_t start = text_.lineStart(line);
  if (s.empty()) return start;
  FontDc dc(hwnd(), font_);
  const std::vector<int> xs = dc.get() ? boundaries(dc.get(), s, charWidth_) : std::vector<int>{};
  const int x = p.x - kMargin + left_;
  size_t k = 0;
  if (!xs.empty()) {
    // The last boundary at or left of x: the character under the point starts there.
    k = static_cast<size_t>(std::upper_bound(xs.begin(), xs.end(), x) - xs.begin());
    k = k == 0 ? 0 : k - 1;
  }
  if (under) return text_.clamp(start + std::min(k, s.size() - 1));
  if (k < s.size() && x - xs[k] > xs[k + 1] - x) ++k;
  return text_.clamp(start + k);
}

void TextPanel::scrollTo(long long line, long long x) {
  const long long lastTop =
      std::max(0LL, static_cast<long long>(text_.lineCount()) - visibleLines());
  const long long lastLeft = std::max(0, textWidth_ + 2 * kMargin - clientWidth());
  const size_t top = static_cast<size_t>(std::clamp(line, 0LL, lastTop));
  const int left = static_cast<int>(std::clamp(x, 0LL, lastLeft));
  if (top == topLine_ && left == left_) return;
  topLine_ = top;
  left_ = left;
  InvalidateRect(hwnd(), nullptr, TRUE);
  updateScrollBars();
  placeCaret();
}

void TextPanel::showCaretOffset() {
  const size_t line = text_.lineOf(caret_);
  long long top = static_cast<long long>(topLine_);
  const int rows = visibleLines();
  if (line < topLine_) top = static_cast<long long>(line);
  if (line >= topLine_ + static_cast<size_t>(rows)) top = static_cast<long long>(line) - rows + 1;
  const int x = xOf(caret_);
  const int room = std::max(1, clientWidth() - 2 * kMargin);
  long long left = left_;
  if (x < left_ || x > left_ + room) left = x - room / 2;
  scrollTo(top, left);
}

void TextPanel::placeCaret() {
  if (!focused_ || !hwnd()) return;
  const size_t line = text_.lineOf(caret_);
  const int rows = visibleLines();
  if (line < topLine_ || line > topLine_ + static_cast<size_t>(rows)) {
    SetCaretPos(-10000, -10000);
    return;
  }
  SetCaretPos(kMargin - left_ + xOf(caret_), static_cast<int>(line - topLine_) * lineHeight_);
}

void TextPanel::select(size_t anchor, size_t caret, bool scroll) {
  anchor = text_.clamp(anchor);
  caret = text_.clamp(caret);
  if (anchor != anchor_ || caret != caret_) {
    anchor_ = anchor;
    caret_ = caret;
    InvalidateRect(hwnd(), nullptr, TRUE);
  }
  if (scroll) showCaretOffset();
  placeCaret();
}

void TextPanel::copySelection() const {
  if (selStart() == selEnd()) return;
  makeSystemClipboard()->setText(text_.whole().substr(selStart(), selEnd() - selStart()));
}

bool TextPanel::keyDown(WPARAM key) {
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const size_t line = text_.lineOf(caret_);
  const int rows = visibleLines();
  // Up and down keep the caret's x as near as the other line allows.
  auto onLine = [&](long long to) {
    const long long last = static_cast<long long>(text_.lineCount()) - 1;
    const long long target = std::clamp(to, 0LL, last);
    const POINT p{kMargin - left_ + xOf(caret_),
                  static_cast<LONG>((target - static_cast<long long>(topLine_)) * lineHeight_)};
    return offsetAt(p, false);
  };
  size_t to = caret_;
  switch (key) {
    case VK_LEFT:
      to = ctrl ? text_.previousWord(caret_) : text_.previous(caret_);
      break;
    case VK_RIGHT:
      to = ctrl ? text_.nextWord(caret_) : text_.next(caret_);
      break;
    case VK_UP:
      to = onLine(static_cast<long long>(line) - 1);
      break;
    case VK_DOWN:
      to = onLine(static_cast<long long>(line) + 1);
      break;
    case VK_PRIOR:
      scrollTo(static_cast<long long>(topLine_) - rows, left_);
      to = onLine(static_cast<long long>(line) - rows);
      break;
    case VK_NEXT:
      scrollTo(static_cast<long long>(topLine_) + rows, left_);
      to = onLine(static_cast<long long>(line) + rows);
      break;
    case VK_HOME:
      to = ctrl ? 0 : text_.lineStart(line);
      break;
    case VK_END:
      to = ctrl ? text_.size() : text_.lineEnd(line);
      break;
    case 'A':
      if (!ctrl) return false;
      select(0, text_.size(), true);
      return true;
    case 'C':
    case VK_INSERT:
      if (!ctrl) return false;
      copySelection();
      return true;
    default:
      return false;
  }
  select(shift ? anchor_ : to, to, true);
  return true;
}

void TextPanel::scrollMessage(int bar, WPARAM wp) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(hwnd(), bar, &si);
  const bool vertical = bar == SB_VERT;
  const long long step = vertical ? 1 : charWidth_;
  const long long page = vertical ? visibleLines() : std::max(1, clientWidth() - charWidth_);
  long long at = vertical ? static_cast<long long>(topLine_) : left_;
  switch (LOWORD(wp)) {
    case SB_LINEUP:
      at -= step;
      break;
    case SB_LINEDOWN:
      at += step;
      break;
    case SB_PAGEUP:
      at -= page;
      break;
    case SB_PAGEDOWN:
      at += page;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      at = si.nTrackPos;
      break;
    case SB_TOP:
      at = 0;
      break;
    case SB_BOTTOM:
      at = si.nMax;
      break;
    default:
      return;
  }
  if (vertical)
    scrollTo(at, left_);
  else
    scrollTo(static_cast<long long>(topLine_), at);
}

void TextPanel::paintLine(HDC dc, size_t line, int y, COLORREF text, COLORREF back) const {
  const std::u16string_view s = text_.line(line);
  if (s.empty()) return;
  const int width = clientWidth();
  const size_t start = text_.lineStart(line);
  const std::vector<int> xs = boundaries(dc, s, charWidth_);
  const int x0 = kMargin - left_;
  const size_t selFrom = std::clamp(selStart(), start, start + s.size()) - start;
  const size_t selTo = std::clamp(selEnd(), start, start + s.size()) - start;
  // Pieces between tabs, each in its colours; a tab is only room.
  auto draw = [&](size_t from, size_t to, bool selected) {
    if (from >= to) return;
    if (selected) {
      const RECT r{x0 + xs[from], y, x0 + xs[to], y + lineHeight_};
      SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
      ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
      SetTextColor(dc, text);
    }
    size_t i = from;
    while (i < to) {
      if (s[i] == u'\t') {
        ++i;
        continue;
      }
      const size_t end = std::min(s.find(u'\t', i), to);
      // Only the characters in view are drawn, however long the line.
      const auto first = std::upper_bound(xs.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                          xs.begin() + static_cast<std::ptrdiff_t>(end) + 1, -x0);
      const auto past =
          std::lower_bound(first, xs.begin() + static_cast<std::ptrdiff_t>(end) + 1, width - x0);
      const size_t from = static_cast<size_t>(first - xs.begin()) - 1;
      const size_t upto = std::min(end, static_cast<size_t>(past - xs.begin()));
      if (from < upto)
        ExtTextOutW(dc, x0 + xs[from], y, 0, nullptr, wide(s.data() + from),
                    static_cast<UINT>(upto - from), nullptr);
      i = end;
    }
    SetBkColor(dc, back);
  };
  draw(0, selFrom, false);
  draw(selFrom, selTo, true);
  draw(selTo, s.size(), false);
}

void TextPanel::paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd(), &ps);
  if (!dc) return;
  // The parent decides the colours, as it does for an edit box.
  auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(hwnd()), WM_CTLCOLOREDIT,
                                                     reinterpret_cast<WPARAM>(dc),
                                                     reinterpret_cast<LPARAM>(hwnd())));
  if (!brush) {
    brush = GetSysColorBrush(COLOR_WINDOW);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  }
  const COLORREF text = GetTextColor(dc), back = GetBkColor(dc);
  FillRect(dc, &ps.rcPaint, brush);
  HGDIOBJ old = font_ ? SelectObject(dc, font_) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  const size_t first = topLine_ + static_cast<size_t>(std::max(0L, ps.rcPaint.top) / lineHeight_);
  const size_t last = topLine_ + static_cast<size_t>(std::max(0L, ps.rcPaint.bottom) / lineHeight_);
  for (size_t line = first; line <= last && line < text_.lineCount(); ++line)
    paintLine(dc, line, static_cast<int>(line - topLine_) * lineHeight_, text, back);
  if (old) SelectObject(dc, old);
  EndPaint(hwnd(), &ps);
}

LRESULT TextPanel::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      measureFont();
      reset();
      return 0;
    case WM_PAINT:
      paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      scrollTo(static_cast<long long>(topLine_), left_);
      updateScrollBars();
      placeCaret();
      return 0;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wp);
      measureFont();
      measureWidth();
      if (focused_) {
        CreateCaret(hwnd(), nullptr, 1, lineHeight_);
        ShowCaret(hwnd());
      }
      scrollTo(static_cast<long long>(topLine_), left_);
      updateScrollBars();
      placeCaret();
      if (LOWORD(lp)) InvalidateRect(hwnd(), nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_SETTEXT:
      text_.assign(lp ? std::u16string_view(reinterpret_cast<const char16_t*>(lp))
                      : std::u16string_view());
      reset();
      return TRUE;
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(text_.size());
    case WM_GETTEXT: {
      if (wp == 0 || !lp) return 0;
      const size_t n = std::min<size_t>(wp - 1, text_.size());
      auto* out = reinterpret_cast<wchar_t*>(lp);
      std::copy_n(wide(text_.whole().data()), n, out);
      out[n] = L'\0';
      return static_cast<LRESULT>(n);
    }
    case WM_SETFOCUS:
      focused_ = true;
      CreateCaret(hwnd(), nullptr, 1, lineHeight_);
      placeCaret();
      ShowCaret(hwnd());
      return 0;
    case WM_KILLFOCUS:
      focused_ = false;
      DestroyCaret();
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN: {
      SetFocus(hwnd());
      SetCapture(hwnd());
      dragging_ = true;
      const size_t at = offsetAt({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, false);
      select((wp & MK_SHIFT) ? anchor_ : at, at, true);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (dragging_) {
        // Past an edge the text scrolls along with the selection.
        select(anchor_, offsetAt({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, false), true);
      }
      return 0;
    case WM_LBUTTONUP:
      if (dragging_) {
        dragging_ = false;
        ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED:
      dragging_ = false;
      return 0;
    case WM_LBUTTONDBLCLK: {
      SetFocus(hwnd());
      const auto word = text_.wordAt(offsetAt({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, true));
      select(word.first, word.second, true);
      return 0;
    }
    case WM_MOUSEWHEEL: {
      UINT perNotch = 3;
      SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
      wheelRest_ += GET_WHEEL_DELTA_WPARAM(wp);
      const int notches = wheelRest_ / WHEEL_DELTA;
      wheelRest_ -= notches * WHEEL_DELTA;
      if (perNotch == WHEEL_PAGESCROLL) perNotch = static_cast<UINT>(visibleLines());
      scrollTo(static_cast<long long>(topLine_) - static_cast<long long>(notches) * perNotch,
               left_);
      return 0;
    }
    case WM_VSCROLL:
      scrollMessage(SB_VERT, wp);
      return 0;
    case WM_HSCROLL:
      scrollMessage(SB_HORZ, wp);
      return 0;
    case WM_KEYDOWN:
      if (keyDown(wp)) return 0;
      break;
    case WM_CHAR:
      return 0;  // read-only, and no beep
    case WM_COPY:
      copySelection();
      return 0;
    case EM_GETSEL:
      if (wp) *reinterpret_cast<DWORD*>(wp) = static_cast<DWORD>(selStart());
      if (lp) *reinterpret_cast<DWORD*>(lp) = static_cast<DWORD>(selEnd());
      return MAKELRESULT(std::min<size_t>(selStart(), 0xFFFF), std::min<size_t>(selEnd(), 0xFFFF));
    case EM_SETSEL: {
      const auto from = static_cast<long long>(static_cast<int>(wp));
      const auto to = static_cast<long long>(static_cast<int>(lp));
      if (from < 0) {
        select(caret_, caret_, false);
        return 0;
      }
      select(static_cast<size_t>(from), to < 0 ? text_.size() : static_cast<size_t>(to), false);
      return 0;
    }
    case EM_SCROLLCARET:
      showCaretOffset();
      return TRUE;
    case EM_GETLINECOUNT:
      return static_cast<LRESULT>(text_.lineCount());
    case EM_GETFIRSTVISIBLELINE:
      return static_cast<LRESULT>(topLine_);
    case EM_LINEFROMCHAR:
      return static_cast<LRESULT>(
          text_.lineOf(static_cast<int>(wp) < 0 ? selStart() : text_.clamp(wp)));
    case EM_LINEINDEX: {
      const size_t line = static_cast<int>(wp) < 0 ? text_.lineOf(caret_) : wp;
      return line < text_.lineCount() ? static_cast<LRESULT>(text_.lineStart(line)) : -1;
    }
    case EM_LINELENGTH:
      return static_cast<LRESULT>(
          text_.line(text_.lineOf(static_cast<int>(wp) < 0 ? caret_ : text_.clamp(wp))).size());
    case EM_LINESCROLL:
      scrollTo(static_cast<long long>(topLine_) + static_cast<int>(lp),
               left_ + static_cast<long long>(static_cast<int>(wp)) * charWidth_);
      return TRUE;
    case EM_POSFROMCHAR: {
      if (wp > text_.size()) return -1;
      const size_t line = text_.lineOf(wp);
      const long long y =
          (static_cast<long long>(line) - static_cast<long long>(topLine_)) * lineHeight_;
      const int x = kMargin - left_ + xOf(text_.clamp(wp));
      return MAKELRESULT(static_cast<short>(x),
                         static_cast<short>(std::clamp(y, -0x7FFFLL, 0x7FFFLL)));
    }
    case EM_CHARFROMPOS: {
      const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      const size_t at = offsetAt(p, false);
      return MAKELRESULT(std::min<size_t>(at, 0xFFFF), std::min<size_t>(text_.lineOf(at), 0xFFFF));
    }
    case EM_SETREADONLY:
    case EM_SETLIMITTEXT:
    case EM_EMPTYUNDOBUFFER:
    case EM_SETMODIFY:
      return TRUE;
    case EM_GETMODIFY:
    case EM_CANUNDO:
      return FALSE;
  }
  return defaultProc(msg, wp, lp);
}

}  // namespace nokari::win
