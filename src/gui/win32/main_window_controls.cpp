// The main window's controls: creation, fonts, hints, popup menus and layout.
// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <imm.h>
#include <uxtheme.h>
// clang-format on

#include "gui/win32/control_ids.h"
#include "gui/win32/dark_theme.h"
#include "gui/win32/dpi.h"
#include "gui/win32/main_window.h"

namespace nokari::win {

namespace {

struct MenuLine {
  int id;  // 0: separator
  dark::MenuItemText item;
};

constexpr MenuLine kTreeMenu[] = {
    {ids::AddToJumpListItem, {L"ジャンプリストに追加"}},
    {ids::InsertAtJumpListTopItem, {L"ジャンプリストの先頭に挿入"}},
    {0, {nullptr}},
    {ids::ClearJumpListItem, {L"ジャンプリストをクリア"}},
    {0, {nullptr}},
    {ids::CopyFunctionNameItem, {L"関数名だけをクリップボードにコピー"}},
    {ids::CopyFunctionTextItem, {L"関数の範囲すべてをクリップボードにコピー"}},
    {0, {nullptr}},
    {ids::SendTreeCommandToCadItem, {L"コマンドを CAD へ送信"}},
};

constexpr MenuLine kJumpListMenu[] = {
    {ids::MoveUpItem, {L"撰択行を１つ上に"}},
    {ids::MoveDownItem, {L"選択行を１つ下に"}},
    {0, {nullptr}},
    {ids::DeleteItem, {L"選択行を削除"}},
    {0, {nullptr}},
    {ids::DeleteAllItem, {L"すべてを削除"}},
    {0, {nullptr}},
    {ids::SendJumpListCommandToCadItem, {L"コマンドを CAD へ送信"}},
};

constexpr MenuLine kPanelMenu[] = {
    {ids::JumpToSelectedLineItem, {L"選択した関数行へジャンプ"}},
};

constexpr const wchar_t* kEditors[] = {L"VS Code", L"メモ帳", L"Notepad ++", L"Mery", L"TeraPad"};

// The combo box's list drops this far below its edit part.
constexpr int kComboListH = 160;

template <size_t N>
Menu makeMenu(const MenuLine (&lines)[N], HBRUSH background) {
  Menu menu(CreatePopupMenu());
  if (!menu) return menu;
  UINT pos = 0;
  for (const MenuLine& line : lines) {
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA;
    mi.fType = MFT_OWNERDRAW | (line.id == 0 ? MFT_SEPARATOR : 0);
    mi.wID = static_cast<UINT>(line.id);
    mi.dwItemData = reinterpret_cast<ULONG_PTR>(&line.item);
    InsertMenuItemW(menu.get(), pos++, TRUE, &mi);
  }
  MENUINFO info{};
  info.cbSize = sizeof info;
  info.fMask = MIM_BACKGROUND;
  info.hbrBack = background;
  SetMenuInfo(menu.get(), &info);
  return menu;
}

Font makeFont(int points, int dpi, int weight, const wchar_t* face) {
  return Font(CreateFontW(fontHeight(points, dpi), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                          CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face));
}

// Whether the font draws ASCII at one width and, when asked, has Japanese glyphs of its own.
bool suits(HFONT font, bool needJapanese) {
  WindowDc screen(nullptr);
  HDC dc = screen.get();
  if (!dc) return false;
  Selected sel(dc, font);
  INT narrow = 0, wide = 0, digit = 0;
  if (!GetCharWidth32W(dc, 'i', 'i', &narrow) || !GetCharWidth32W(dc, 'W', 'W', &wide) ||
      !GetCharWidth32W(dc, '0', '0', &digit) || narrow != wide || wide != digit)
    return false;
  if (!needJapanese) return true;
  const wchar_t kana = 0x3042;
  WORD index = 0xFFFF;
  return GetGlyphIndicesW(dc, &kana, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == 1 &&
         index != 0xFFFF;
}

// The face asked for when the system has it, else another fixed-pitch face: the panels line
// their columns up by character, the results panel also in Japanese text.
Font makeFixedFont(int points, int dpi, int weight, const wchar_t* face, bool needJapanese) {
  static constexpr const wchar_t* kFallbacks[] = {L"ＭＳ ゴシック",         L"MS Gothic",
                                                  L"Noto Sans Mono CJK JP", L"Consolas",
                                                  L"DejaVu Sans Mono",      L"Courier New"};
  Font wanted = makeFont(points, dpi, weight, face);
  if (wanted && suits(wanted.get(), needJapanese)) return wanted;
  Font monoOnly;
  for (const wchar_t* other : kFallbacks) {
    Font f = makeFont(points, dpi, weight, other);
    if (!f) continue;
    if (suits(f.get(), needJapanese)) return f;
    if (!monoOnly && suits(f.get(), false)) monoOnly = std::move(f);
  }
  return monoOnly ? std::move(monoOnly) : std::move(wanted);
}

}  // namespace

HWND Win32MainView::addControl(int id, const wchar_t* cls, const wchar_t* text, DWORD style,
                               DWORD exStyle) {
  return CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd(),
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst_, nullptr);
}

void Win32MainView::addHint(HWND ctl, const wchar_t* hint) {
  if (!tooltipWnd_ || !ctl) return;
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = hwnd();
  ti.uId = reinterpret_cast<UINT_PTR>(ctl);
  ti.lpszText = const_cast<wchar_t*>(hint);
  SendMessageW(tooltipWnd_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void Win32MainView::createControls() {
  const DWORD tab = WS_TABSTOP;
  const DWORD button = tab | BS_OWNERDRAW;
  tooltipWnd_ = CreateWindowExW(
      WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr, inst_, nullptr);
  if (tooltipWnd_) {
    dark::useClassicLook(tooltipWnd_);
    SendMessageW(tooltipWnd_, TTM_SETTIPBKCOLOR, dark::kMenu, 0);
    SendMessageW(tooltipWnd_, TTM_SETTIPTEXTCOLOR, dark::kText, 0);
    SendMessageW(tooltipWnd_, TTM_SETMAXTIPWIDTH, 0, 600);
  }

  // In the order of the keyboard's Tab.
  addHint(addControl(ids::OpenButton, L"BUTTON", L"Open\n...", button), L"LISP ファイルを読み込み");
  editorBoxWnd_ = addControl(ids::EditorBox, L"COMBOBOX", L"", tab | CBS_DROPDOWN | WS_VSCROLL);
  for (const wchar_t* e : kEditors)
    SendMessageW(editorBoxWnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e));
  SendMessageW(editorBoxWnd_, CB_SETCURSEL, 0, 0);
  HWND jump = addControl(ids::JumpCheck, L"BUTTON", L"Jump", tab | BS_AUTOCHECKBOX);
  SendMessageW(jump, BM_SETCHECK, BST_CHECKED, 0);
  HWND reload = addControl(ids::ReloadCheck, L"BUTTON", L"Reload", tab | BS_AUTOCHECKBOX);
  // Themed check boxes ignore the text colour; the classic ones take ours.
  dark::useClassicLook(jump);
  dark::useClassicLook(reload);
  addHint(addControl(ids::CadLoadButton, L"BUTTON", L"CAD", button), L"CADへロード");
  addHint(addControl(ids::CadActivateButton, L"BUTTON", L"C", button), L"CAD をアクティブに");
  addHint(addControl(ids::EditorActivateButton, L"BUTTON", L"E", button), L"Editor をアクティブに");
  addHint(addControl(ids::CatalogueButton, L"BUTTON", L"関数カタログ", button),
          L"関数カタログを表示");
  addHint(addControl(ids::ParenthesisCheckButton, L"BUTTON", L"((\u2714))", button),
          L"括弧数チェック");
  addHint(addControl(ids::VariableCheckButton, L"BUTTON", L"変数\u2714", button), L"変数チェック");
  addHint(addControl(ids::ExclusionListButton, L"BUTTON", L"除外", button),
          L"変数チェックで除外される文字列を表示");
  addHint(addControl(ids::FunctionCheckButton, L"BUTTON", L"関数\u2714", button),
          L"関数チェック、出現数集計");
  addHint(addControl(ids::DockLeftButton, L"BUTTON", L"<", button), L"スクリーン左端に配置");
  addHint(addControl(ids::DockRightButton, L"BUTTON", L">", button), L"スクリーンの右端に配置");
  addControl(ids::EncodingLabel, L"STATIC", L"ANSI", SS_LEFT | SS_NOPREFIX);
  fileNameWnd_ = addControl(ids::FileNameBox, L"EDIT", L"", tab | ES_READONLY | ES_AUTOHSCROLL,
                            WS_EX_CLIENTEDGE);
  // The file name box takes no input method.
  ImmAssociateContextEx(fileNameWnd_, nullptr, 0);
  addHint(fileNameWnd_, L"クリックでフルネーム表示");
  addControl(ids::HistoryButton, L"BUTTON", L"履歴", button);
  jumpListWnd_ = addControl(ids::JumpList, L"LISTBOX", L"",
                            tab | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE);
  addHint(jumpListWnd_, L"ドラッグで行移動、[Enter] またはダブルクリックでジャンプ");

  upper_.create(inst_, hwnd(), ids::UpperSplitter);
  treeWnd_ = addControl(ids::Tree, WC_TREEVIEWW, L"",
                        tab | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_FULLROWSELECT |
                            TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP,
                        WS_EX_CLIENTEDGE);
  addHint(treeWnd_, L"[Enter] またはダブルクリックでジャンプ、右クリックでコピー");
  TreeView_SetBkColor(treeWnd_, dark::kField);
  TreeView_SetTextColor(treeWnd_, dark::kText);
  TreeView_SetLineColor(treeWnd_, dark::kBorder);
  lower_.create(inst_, hwnd(), ids::LowerSplitter);
  panelWnd_ = addControl(ids::Panel, L"EDIT", L"",
                         tab | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_READONLY |
                             ES_NOHIDESEL | WS_VSCROLL | WS_HSCROLL,
                         WS_EX_CLIENTEDGE);
  SendMessageW(panelWnd_, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
  addHint(panelWnd_, L"");
  progress_.wnd = addControl(ids::ProgressBar, PROGRESS_CLASSW, L"", PBS_SMOOTH);
  SendMessageW(progress_.wnd, PBM_SETRANGE32, 0, 100);
  dark::useClassicLook(progress_.wnd);
  SendMessageW(progress_.wnd, PBM_SETBARCOLOR, 0, dark::kProgressBar);
  SendMessageW(progress_.wnd, PBM_SETBKCOLOR, 0, dark::kField);

  for (HWND c : {treeWnd_, jumpListWnd_, panelWnd_}) dark::useDarkControlStyle(c);
  dark::useDarkControlStyle(editorBoxWnd_, L"DarkMode_CFD");
  subclassControl(treeWnd_);
  subclassControl(panelWnd_);
  subclassControl(fileNameWnd_);
  makePopupMenus();
}

void Win32MainView::makePopupMenus() {
  HBRUSH bg = dark::brushes().menu.get();
  treeMenu_ = makeMenu(kTreeMenu, bg);
  jumpListMenu_ = makeMenu(kJumpListMenu, bg);
  panelMenu_ = makeMenu(kPanelMenu, bg);
}

void Win32MainView::applyDpi(int dpi) {
  dpi_ = dpi;
  fonts_.ui = makeFont(8, dpi, FW_NORMAL, L"Tahoma");
  fonts_.fileName = makeFont(10, dpi, FW_BOLD, L"Tahoma");
  fonts_.jumpList = makeFixedFont(11, dpi, FW_BOLD, L"Consolas", false);
  fonts_.tree = makeFixedFont(11, dpi, FW_NORMAL, L"Consolas", false);
  fonts_.panel = makeFixedFont(10, dpi, FW_NORMAL, L"ＭＳ ゴシック", true);
  auto setFont = [](HWND w, const Font& f) {
    if (w) SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(f.get()), TRUE);
  };
  for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    setFont(child, fonts_.ui);
  setFont(fileNameWnd_, fonts_.fileName);
  setFont(jumpListWnd_, fonts_.jumpList);
  setFont(treeWnd_, fonts_.tree);
  setFont(panelWnd_, fonts_.panel);
  setFont(tooltipWnd_, fonts_.ui);
  // The font resets the item height; the jump list's rows stay 18 high as designed.
  if (jumpListWnd_) SendMessageW(jumpListWnd_, LB_SETITEMHEIGHT, 0, layout::scale(18, dpi));
  if (treeWnd_) {
    TreeView_SetIndent(treeWnd_, layout::scale(19, dpi));
    treeImages_ = dark::makeTreeImages(dpi);
    TreeView_SetImageList(treeWnd_, treeImages_.get(), TVSIL_NORMAL);
  }
}

int Win32MainView::clientHeight() const {
  RECT rc{};
  if (hwnd()) GetClientRect(hwnd(), &rc);
  return rc.bottom;
}

void Win32MainView::layoutControls() {
  if (!hwnd()) return;
  RECT rc{};
  GetClientRect(hwnd(), &rc);
  if (rc.right <= 0 || rc.bottom <= 0) return;
  areas_ = layout::fitAreas(areas_, rc.bottom, dpi_);
  const auto placed = layout::mainLayout(rc.right, rc.bottom, areas_, dpi_);
  HDWP defer = BeginDeferWindowPos(static_cast<int>(placed.size()));
  for (const layout::Placed& p : placed) {
    HWND ctl = control(p.id);
    if (!ctl) continue;
    int h = p.box.h;
    if (p.id == ids::EditorBox) h += layout::scale(kComboListH, dpi_);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (defer)
      defer = DeferWindowPos(defer, ctl, nullptr, p.box.x, p.box.y, p.box.w, h, flags);
    else
      SetWindowPos(ctl, nullptr, p.box.x, p.box.y, p.box.w, h, flags);
  }
  if (defer) EndDeferWindowPos(defer);
}

void Win32MainView::moveUpperSplitter(int y) {
  const int h = clientHeight();
  const int want = layout::dragUpperSplitter(y, areas_, h, dpi_);
  if (want == areas_.panel2H) return;
  areas_.panel2H = want;
  layoutControls();
}

void Win32MainView::moveLowerSplitter(int y) {
  const int h = clientHeight();
  const int want = layout::dragLowerSplitter(y, areas_, h, dpi_);
  if (want == areas_.panel1H) return;
  areas_.panel1H = want;
  layoutControls();
}

}  // namespace nokari::win
