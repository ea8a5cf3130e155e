#include "editor/docking.h"

namespace nokari {

namespace {

constexpr char16_t kHelpTitle[] =
    u"AutoCAD 2023 Developer and ObjectARX ヘルプ | 関数リファレンス(AutoLISP) |";

}  // namespace

WindowHandle findHelpWindow(Desktop& desktop, WindowHandle previous) {
  WindowHandle found = previous;
  const std::u16string_view prefix(kHelpTitle);
  desktop.forEachTopWindow([&](WindowHandle wnd) {
    const Text title = desktop.windowText(wnd);
    if (title.empty() || std::u16string_view(title).substr(0, prefix.size()) != prefix) return true;
    found = wnd;
    return false;
  });
  return found;
}

std::optional<DockLayout> dockLayout(Desktop& desktop, const ScreenRect& ownOuter, bool right) {
  const WindowHandle taskbar = desktop.findTopWindowByClass(u"Shell_TrayWnd");
  if (!taskbar) return std::nullopt;
  const std::optional<ScreenRect> bar = desktop.windowRect(taskbar);
  const ScreenRect screen = desktop.screen();
  const int height = screen.bottom - (bar ? bar->bottom - bar->top : 0);
  const int width = ownOuter.right - ownOuter.left;
  const int left = right ? screen.right - width : 0;
  const int othersLeft = right ? 0 : width;
  return DockLayout{{left, 0, left + width, height},
                    {othersLeft, 0, othersLeft + screen.right - width, height}};
}

void restoreAndPlace(Desktop& desktop, WindowHandle wnd, const ScreenRect& to) {
  desktop.restore(wnd);
  if (desktop.isIconic(wnd)) desktop.restore(wnd);
  desktop.placeOnTop(wnd, to);
}

}  // namespace nokari
