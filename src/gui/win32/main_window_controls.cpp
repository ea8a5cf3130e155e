// The main window's controls: creation, fonts, hints, popup menus and layout.
// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <imm.h>
// clang-format on

#include <string>
#include <vector>

#include "editor/editor_window.h"
#include "gui/control_ids.h"
#include "gui/win32/dark_theme.h"
#include "gui/win32/dpi.h"
#include "gui/win32/main_window.h"
#include "gui/win32/message_loop.h"
#include "platform/win32/wide.h"

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

// The push buttons between the check boxes and the file name, with their hints.
struct ButtonLine {
  int id;
  const wchar_t* caption;
  const wchar_t* hint;
};

constexpr ButtonLine kButtons[] = {
    {ids::CadLoadButton, L"CAD", L"CADへロード"},
    {ids::CadActivateButton, L"C", L"CAD をアクティブに"},
    {ids::EditorActivateButton, L"E", L"Editor をアクティブに"},
    {ids::CatalogueButton, L"関数カタログ", L"関数カタログを表示"},
    {ids::ParenthesisCheckButton, L"((\u2714))", L"括弧数チェック"},
    {ids::VariableCheckButton, L"変数\u2714", L"変数チェック"},
    {ids::ExclusionListButton, L"除外", L"変数チェックで除外される文字列を表示"},
    {ids::FunctionCheckButton, L"関数\u2714", L"関数チェック、出現数集計"},
    {ids::DockLeftButton, L"<", L"スクリーン左端に配置"},
    {ids::DockRightButton, L">", L"スクリーンの右端に配置"},
};

constexpr DWORD kPushButton = WS_TABSTOP | BS_OWNERDRAW;

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

// What a face offers: ASCII at one width, and Japanese glyphs of its own.
struct FaceTraits {
  bool fixedPitch = false;
  bool japanese = false;
};

FaceTraits traitsOf(HFONT font) {
  FaceTraits t;
  WindowDc screen(nullptr);
  HDC dc = screen.get();
  if (!dc || !font) return t;
  Selected sel(dc, font);
  INT narrow = 0, wide = 0, digit = 0;
  t.fixedPitch = GetCharWidth32W(dc, 'i', 'i', &narrow) && GetCharWidth32W(dc, 'W', 'W', &wide) &&
                 GetCharWidth32W(dc, '0', '0', &digit) && narrow == wide && wide == digit;
  const wchar_t kana = 0x3042;
  WORD index = 0xFFFF;
  t.japanese =
      GetGlyphIndicesW(dc, &kana, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == 1 && index != 0xFFFF;
  return t;
}

// The face asked for when the system has it, else another fixed-pitch face: the panels line
// their columns up by character, the results panel also in Japanese text. Whether a face
// draws at one width and has Japanese glyphs is a property of the face, not of its size or
// weight, so each face is looked at once per run: under Wine, where the faces asked for are
// missing, each one looked at costs some 5 ms (realising it), at start and after every DPI
// change.
Font makeFixedFont(int points, int dpi, int weight, const wchar_t* face, bool needJapanese) {
  static constexpr const wchar_t* kFallbacks[] = {L"ＭＳ ゴシック",         L"MS Gothic",
                                                  L"Noto Sans Mono CJK JP", L"Consolas",
                                                  L"DejaVu Sans Mono",      L"Courier New"};
  static std::vector<std::pair<std::wstring, FaceTraits>> seen;
  auto traits = [&](const wchar_t* name) {
    for (const auto& [known, t] : seen)
      if (known == name) return t;
    const FaceTraits t = traitsOf(makeFont(points, dpi, weight, name).get());
    seen.emplace_back(name, t);
    return t;
  };
  auto suits = [&](const FaceTraits& t, bool japanese) {
    return t.fixedPitch && (t.japanese || !japanese);
  };
  if (suits(traits(face), needJapanese)) return makeFont(points, dpi, weight, face);
  const wchar_t* monoOnly = nullptr;
  for (const wchar_t* other : kFallbacks) {
    const FaceTraits t = traits(other);
    if (suits(t, needJapanese)) return makeFont(points, dpi, weight, other);
    if (!monoOnly && suits(t, false)) monoOnly = other;
  }
  return makeFont(points, dpi, weight, monoOnly ? monoOnly : face);
}

}  // namespace

HWND Win32MainView::addControl(int id, const wchar_t* cls, const wchar_t* text, DWORD style,
                               DWORD exStyle) {
  return createChild(hwnd(), id, cls, text, style, exStyle);
}

void Win32MainView::onCreate() {
  areas_ = layout::designAreas(dpi());
  createControls();
  applyFonts();
  const SIZE outer = outerSize(layout::kClientW, layout::kClientH);
  const POINT at = centredOnScreen(hwnd(), outer.cx, outer.cy);
  SetWindowPos(hwnd(), nullptr, at.x, at.y, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  DragAcceptFiles(hwnd(), TRUE);
  allowKeyNotices(hwnd());
  addKeyboardNavigation(hwnd());
}

void Win32MainView::createControls() {
  const DWORD tab = WS_TABSTOP;
  hints_.create(hwnd());
  // In the order of the keyboard's Tab.
  hints_.add(addControl(ids::OpenButton, L"BUTTON", L"Open\n...", kPushButton),
             L"LISP ファイルを読み込み");
  // The editor box lists the editors as their table names them.
  std::vector<std::wstring> editors;
  for (const EditorRow& row : editorRows()) editors.push_back(toWide(row.boxText));
  std::vector<const wchar_t*> items;
  for (const std::wstring& e : editors) items.push_back(e.c_str());
  editorBox_.create(hwnd(), ids::EditorBox, items.data(), items.size());
  jumpCheckWnd_ = addControl(ids::JumpCheck, L"BUTTON", L"Jump", tab | BS_AUTOCHECKBOX);
  setChecked(jumpCheckWnd_, true);
  reloadCheckWnd_ = addControl(ids::ReloadCheck, L"BUTTON", L"Reload", tab | BS_AUTOCHECKBOX);
  // Themed check boxes ignore the text colour; the classic ones take ours.
  dark::useClassicLook(jumpCheckWnd_);
  dark::useClassicLook(reloadCheckWnd_);
  for (const ButtonLine& b : kButtons)
    hints_.add(addControl(b.id, L"BUTTON", b.caption, kPushButton), b.hint);
  encodingWnd_ = addControl(ids::EncodingLabel, L"STATIC", L"ANSI", SS_LEFT | SS_NOPREFIX);
  fileNameWnd_ = addControl(ids::FileNameBox, L"EDIT", L"", tab | ES_READONLY | ES_AUTOHSCROLL,
                            WS_EX_CLIENTEDGE);
  // The file name box takes no input method.
  ImmAssociateContextEx(fileNameWnd_, nullptr, 0);
  hints_.add(fileNameWnd_, L"クリックでフルネーム表示");
  addControl(ids::HistoryButton, L"BUTTON", L"履歴", kPushButton);
  jumpListWnd_ = addControl(ids::JumpList, L"LISTBOX", L"",
                            tab | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE);
  hints_.add(jumpListWnd_, L"ドラッグで行移動、[Enter] またはダブルクリックでジャンプ");
  dark::useDarkControlStyle(jumpListWnd_);
  upper_.create(inst_, hwnd(), ids::UpperSplitter);
  tree_.create(hwnd(), ids::Tree);
  hints_.add(tree_.wnd(), L"[Enter] またはダブルクリックでジャンプ、右クリックでコピー");
  lower_.create(inst_, hwnd(), ids::LowerSplitter);
  panel_.create(hwnd(), ids::Panel, hints_);
  progress_.create(hwnd(), ids::ProgressBar);
  subclassControl(tree_.wnd());
  subclassControl(panel_.wnd());
  subclassControl(jumpListWnd_);
  subclassControl(fileNameWnd_);
  makePopupMenus();
}

void Win32MainView::makePopupMenus() {
  HBRUSH bg = dark::brushes().menu.get();
  treeMenu_ = makeMenu(kTreeMenu, bg);
  jumpListMenu_ = makeMenu(kJumpListMenu, bg);
  panelMenu_ = makeMenu(kPanelMenu, bg);
}

void Win32MainView::dpiChanged(int oldDpi) {
  areas_ = layout::rescaleAreas(areas_, oldDpi, dpi());
  applyFonts();
}

void Win32MainView::applyFonts() {
  fonts_.ui = makeFont(8, FW_NORMAL, L"Tahoma");
  fonts_.fileName = makeFont(10, FW_BOLD, L"Tahoma");
  fonts_.jumpList = makeFixedFont(11, dpi(), FW_BOLD, L"Consolas", false);
  fonts_.tree = makeFixedFont(11, dpi(), FW_NORMAL, L"Consolas", false);
  fonts_.panel = makeFixedFont(10, dpi(), FW_NORMAL, L"ＭＳ ゴシック", true);
  for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    setFont(child, fonts_.ui.get());
  setFont(fileNameWnd_, fonts_.fileName.get());
  setFont(jumpListWnd_, fonts_.jumpList.get());
  setFont(tree_.wnd(), fonts_.tree.get());
  setFont(panel_.wnd(), fonts_.panel.get());
  setFont(hints_.wnd(), fonts_.ui.get());
  // The font resets the item height; the jump list's rows stay 18 high as designed.
  if (jumpListWnd_) SendMessageW(jumpListWnd_, LB_SETITEMHEIGHT, 0, scaled(18));
  tree_.applyDpi(dpi());
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
  areas_ = layout::fitAreas(areas_, rc.bottom, dpi());
  // The same client, areas and DPI as last time (the first WM_SIZE when the window shows):
  // every control is where it belongs already.
  const LaidOut now{rc.right, rc.bottom, areas_, dpi()};
  if (laidOut_ && *laidOut_ == now) return;
  laidOut_ = now;
  const auto placed = layout::mainLayout(rc.right, rc.bottom, areas_, dpi());
  HDWP defer = BeginDeferWindowPos(static_cast<int>(placed.size()));
  for (const layout::Placed& p : placed) {
    HWND ctl = control(p.id);
    if (!ctl) continue;
    int h = p.box.h;
    if (p.id == ids::EditorBox) h += scaled(kComboListH);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (defer)
      defer = DeferWindowPos(defer, ctl, nullptr, p.box.x, p.box.y, p.box.w, h, flags);
    else
      SetWindowPos(ctl, nullptr, p.box.x, p.box.y, p.box.w, h, flags);
  }
  if (defer) EndDeferWindowPos(defer);
}

void Win32MainView::moveUpperSplitter(int y) {
  const int want = layout::dragUpperSplitter(y, areas_, clientHeight(), dpi());
  if (want == areas_.panel2H) return;
  areas_.panel2H = want;
  layoutControls();
}

void Win32MainView::moveLowerSplitter(int y) {
  const int want = layout::dragLowerSplitter(y, areas_, clientHeight(), dpi());
  if (want == areas_.panel1H) return;
  areas_.panel1H = want;
  layoutControls();
}

}  // namespace nokari::win
