#include "gui/win32/dark_theme.h"

#include <dwmapi.h>
#include <uxtheme.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "gui/main_layout.h"
#include "gui/win32/window.h"

namespace nokari::win::dark {

Brushes::Brushes()
    : window(CreateSolidBrush(kWindow)),
      field(CreateSolidBrush(kField)),
      splitter(CreateSolidBrush(kSplitter)),
      menu(CreateSolidBrush(kMenu)) {}

const Brushes& brushes() {
  static const Brushes b;
  return b;
}

void useDarkTitleBar(HWND wnd) {
  // Attribute 20 since Windows 10 20H1, 19 on the builds before it.
  BOOL on = TRUE;
  if (FAILED(DwmSetWindowAttribute(wnd, 20, &on, sizeof on)))
    DwmSetWindowAttribute(wnd, 19, &on, sizeof on);
}

void useDarkControlStyle(HWND ctl, const wchar_t* subApp) {
  if (ctl) SetWindowTheme(ctl, subApp, nullptr);
}

void useClassicLook(HWND ctl) {
  if (ctl) SetWindowTheme(ctl, L"", L"");
}

namespace {

void fill(HDC dc, const RECT& r, COLORREF c) {
  SetBkColor(dc, c);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void frame(HDC dc, const RECT& r, COLORREF c) {
  RECT edge = r;
  edge.bottom = edge.top + 1;
  fill(dc, edge, c);
  edge = r;
  edge.top = edge.bottom - 1;
  fill(dc, edge, c);
  edge = r;
  edge.right = edge.left + 1;
  fill(dc, edge, c);
  edge = r;
  edge.left = edge.right - 1;
  fill(dc, edge, c);
}

// Symbols such as the check mark, which the UI fonts may lack.
bool isSymbol(wchar_t c) { return c >= 0x2600 && c <= 0x27BF; }

bool hasGlyph(HDC dc, HFONT font, wchar_t c) {
  Selected sel(dc, font);
  WORD index = 0xFFFF;
  return GetGlyphIndicesW(dc, &c, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == 1 && index != 0xFFFF;
}

// A font of the same height as `base` that has the symbol c, or nullptr: the first of a few
// faces that carry it on Windows and under Wine. Kept per height for the program's run.
HFONT symbolFont(HDC dc, HFONT base, wchar_t c) {
  LOGFONTW lf{};
  if (!GetObjectW(base, sizeof lf, &lf)) return nullptr;
  struct Cached {
    LONG height;
    wchar_t c;
    Font font;
  };
  static std::vector<Cached> cache;
  for (const Cached& k : cache)
    if (k.height == lf.lfHeight && k.c == c) return k.font.get();
  if (hasGlyph(dc, base, c)) return nullptr;
  static constexpr const wchar_t* kFaces[] = {L"Segoe UI Symbol", L"Segoe UI Emoji", L"MS Gothic",
                                              L"DejaVu Sans", L"Noto Sans CJK JP"};
  Font found;
  for (const wchar_t* face : kFaces) {
    LOGFONTW f = lf;
    lstrcpynW(f.lfFaceName, face, LF_FACESIZE);
    f.lfCharSet = DEFAULT_CHARSET;
    Font candidate(CreateFontIndirectW(&f));
    if (candidate && hasGlyph(dc, candidate.get(), c)) {
      found = std::move(candidate);
      break;
    }
  }
  cache.push_back({lf.lfHeight, c, std::move(found)});
  return cache.back().font.get();
}

// One line of text centred in r, its symbols drawn with a font that has them.
void centredLine(HDC dc, const std::wstring& text, HFONT base, const RECT& r) {
  struct Run {
    size_t from, len;
    HFONT font;
    SIZE size;
    int ascent;
  };
  auto fontFor = [&](wchar_t c) {
    HFONT f = isSymbol(c) ? symbolFont(dc, base, c) : nullptr;
    return f ? f : base;
  };
  std::vector<Run> runs;
  for (size_t i = 0; i < text.size();) {
    const HFONT f = fontFor(text[i]);
    size_t j = i + 1;
    while (j < text.size() && fontFor(text[j]) == f) ++j;
    runs.push_back({i, j - i, f, {0, 0}, 0});
    i = j;
  }
  int width = 0, ascent = 0, descent = 0;
  for (Run& run : runs) {
    Selected sel(dc, run.font);
    GetTextExtentPoint32W(dc, text.data() + run.from, static_cast<int>(run.len), &run.size);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    run.ascent = tm.tmAscent;
    width += run.size.cx;
    ascent = std::max(ascent, static_cast<int>(tm.tmAscent));
    descent = std::max(descent, static_cast<int>(tm.tmDescent));
  }
  int x = r.left + (r.right - r.left - width) / 2;
  const int baseline = r.top + (r.bottom - r.top - ascent - descent) / 2 + ascent;
  const UINT oldAlign = SetTextAlign(dc, TA_BASELINE | TA_LEFT);
  for (const Run& run : runs) {
    Selected sel(dc, run.font);
    ExtTextOutW(dc, x, baseline, ETO_CLIPPED, &r, text.data() + run.from,
                static_cast<UINT>(run.len), nullptr);
    x += run.size.cx;
  }
  SetTextAlign(dc, oldAlign);
}

// Draws text centred in r, over several lines when it holds line feeds.
void centredText(HDC dc, const std::wstring& text, HFONT font, RECT r) {
  if (text.find(L'\n') == std::wstring::npos) {
    centredLine(dc, text, font, r);
    return;
  }
  Selected sel(dc, font);
  RECT calc = r;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &calc,
            DT_CENTER | DT_NOPREFIX | DT_CALCRECT);
  const int h = calc.bottom - calc.top;
  r.top += (r.bottom - r.top - h) / 2;
  r.bottom = r.top + h;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_NOPREFIX);
}

}  // namespace

void drawButton(const DRAWITEMSTRUCT& d, bool flat) {
  const bool pressed = d.itemState & ODS_SELECTED;
  const bool disabled = d.itemState & ODS_DISABLED;
  const bool focused = d.itemState & ODS_FOCUS;
  HDC dc = d.hDC;
  RECT r = d.rcItem;
  fill(dc, r, pressed ? kButtonPressed : flat ? kWindow : kButton);
  if (!flat || pressed) frame(dc, r, focused ? kFocus : kBorder);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(d.hwndItem, WM_GETFONT, 0, 0));
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, disabled ? kDimText : kText);
  RECT inner = r;
  InflateRect(&inner, -2, -1);
  if (pressed) OffsetRect(&inner, 1, 1);
  centredText(dc, windowText(d.hwndItem), font, inner);
  if (focused && flat && !pressed) frame(dc, r, kFocus);
}

void measureMenuItem(HWND owner, MEASUREITEMSTRUCT& m, HFONT font, int dpi) {
  const auto* item = reinterpret_cast<const MenuItemText*>(m.itemData);
  if (!item || !item->text) {
    m.itemWidth = 0;
    m.itemHeight = static_cast<UINT>(layout::scale(7, dpi));
    return;
  }
  WindowDc dc(owner);
  SIZE size{0, 0};
  if (dc.get()) {
    Selected sel(dc.get(), font);
    GetTextExtentPoint32W(dc.get(), item->text, static_cast<int>(wcslen(item->text)), &size);
  }
  m.itemWidth = static_cast<UINT>(size.cx + layout::scale(24, dpi));
  m.itemHeight = static_cast<UINT>(size.cy + layout::scale(8, dpi));
}

void drawMenuItem(const DRAWITEMSTRUCT& d, HFONT font) {
  const auto* item = reinterpret_cast<const MenuItemText*>(d.itemData);
  HDC dc = d.hDC;
  RECT r = d.rcItem;
  if (!item || !item->text) {
    fill(dc, r, kMenu);
    RECT line = r;
    line.top = (r.top + r.bottom) / 2;
    line.bottom = line.top + 1;
    InflateRect(&line, -4, 0);
    fill(dc, line, kBorder);
    return;
  }
  const bool hot = d.itemState & ODS_SELECTED;
  fill(dc, r, hot ? kMenuHot : kMenu);
  Selected sel(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, (d.itemState & (ODS_GRAYED | ODS_DISABLED)) ? kDimText : kText);
  RECT text = r;
  text.left += (r.bottom - r.top) / 2 + 6;
  DrawTextW(dc, item->text, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

ImageList makeTreeImages(int dpi) {
  const int n = layout::scale(16, dpi);
  constexpr int kCount = 4;
  ImageList list(ImageList_Create(n, n, ILC_COLOR32, kCount, 0));
  if (!list) return list;

  // Four images side by side, 32-bit with alpha, drawn on a 16-unit grid.
  std::vector<DWORD> px(static_cast<size_t>(n) * n * kCount, 0);
  auto box = [&](int image, int x0, int y0, int x1, int y1, COLORREF c) {
    const DWORD argb = 0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    const int px0 = layout::scale(x0, dpi), py0 = layout::scale(y0, dpi);
    const int px1 = std::max(px0 + 1, layout::scale(x1, dpi));
    const int py1 = std::max(py0 + 1, layout::scale(y1, dpi));
    for (int y = py0; y < py1 && y < n; ++y)
      for (int x = px0; x < px1 && x < n; ++x)
        px[static_cast<size_t>(y) * n * kCount + static_cast<size_t>(image) * n + x] = argb;
  };
  auto large = [&](int image, COLORREF c) { box(image, 2, 2, 14, 14, c); };
  auto hooked = [&](int image, COLORREF c) {
    box(image, 3, 2, 4, 10, kText);  // the hook: down ...
    box(image, 3, 9, 8, 10, kText);  // ... and across to the square
    box(image, 8, 6, 14, 12, c);
  };
  large(0, kOrangeRed);
  large(1, kTeal);
  hooked(2, kTeal);
  hooked(3, kOrangeRed);

  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = n * kCount;
  bi.bmiHeader.biHeight = -n;  // top-down rows
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  Bitmap bmp(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bmp || !bits) return list;
  memcpy(bits, px.data(), px.size() * sizeof(DWORD));
  ImageList_Add(list.get(), bmp.get(), nullptr);
  return list;
}

}  // namespace nokari::win::dark
