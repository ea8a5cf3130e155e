#include "cad/cad_bridge.h"

#include <string>

#include "source/func_index.h"

namespace nokari {

namespace {

constexpr char16_t kEscape = u'\x1b', kEnter = u'\r';
// The title part that tells the IJCAD edition that takes WM_COPYDATA.
constexpr char16_t kCopyDataTitleMark[] = u"Intelli";
constexpr char16_t kCommandLineTitle[] = u"コマンド ライン";

bool startsWith(std::u16string_view s, std::u16string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

// The text's UTF-16 units and a terminating NUL, little-endian, the whole text whatever its
// length.
std::string copyDataBytes(const Text& text) {
  std::string bytes;
  bytes.reserve((text.size() + 1) * 2);
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  bytes.append(2, '\0');
  return bytes;
}

}  // namespace

Text cadLoadText(const Text& path) {
  Text doubled;
  for (char16_t c : path) {
    doubled.push_back(c);
    if (c == u'\\') doubled.push_back(c);
  }
  return Text(1, kEscape) + u"(load \"" + doubled + u"\")(princ)" + Text(1, kEnter);
}

std::optional<Text> cadCommandText(const Text& nodeText) {
  if (!isCommandName(nodeText)) return std::nullopt;
  return Text(1, kEscape) + trim(std::u16string_view(nodeText).substr(2)) + Text(1, kEnter);
}

CadBridge::CadBridge(Desktop& desktop, Automation& automation)
    : desktop_(desktop), automation_(automation) {}

template <typename Automated, typename Windowed>
void CadBridge::chain(Automated automated, Windowed windowed) {
  for (const CadProduct* p = cadProductsBegin(); p != cadProductsEnd(); ++p)
    if (p->automation && automated(*p->automation)) return;
  for (const CadProduct* p = cadProductsBegin(); p != cadProductsEnd(); ++p)
    if (p->hasWindowRoute() && windowed(*p)) return;
}

WindowHandle CadBridge::findWindow(const CadProduct& product) {
  WindowHandle found = 0;
  for (const CadWindowSearch& search : product.searches) {
    if (found) break;
    if (search.exactClass) {
      found = desktop_.findTopWindowByClass(search.exactClass);
    } else if (search.classMatches) {
      desktop_.forEachTopWindow([&](WindowHandle wnd) {
        const Text title = desktop_.windowText(wnd);
        if (title.empty() || !titleMatches(search, title)) return true;
        if (!search.classMatches(desktop_.className(wnd))) return true;
        found = wnd;
        return false;
      });
    }
  }
  return found;
}

void CadBridge::bringForward(WindowHandle wnd) {
  if (desktop_.isIconic(wnd)) desktop_.restore(wnd);
  desktop_.setForeground(wnd);
}

bool CadBridge::findAndRecord(const CadProduct& product, bool bringForwardToo) {
  lastCadWnd_ = findWindow(product);
  if (!lastCadWnd_) return false;
  if (bringForwardToo) bringForward(lastCadWnd_);
  return true;
}

bool CadBridge::attach(const CadAutomation& a, bool bringForwardToo) {
  std::unique_ptr<AutomationObject> app = automation_.attachRunning(a.progId, a.iid);
  if (!app) return false;
  if (bringForwardToo) {
    const std::optional<std::uintptr_t> wnd = app->readHandle(a.mainWindow);
    if (!wnd) return false;
    desktop_.setForeground(*wnd);
  }
  const std::optional<std::uintptr_t> wnd = app->readHandle(a.mainWindow);
  if (!wnd) return false;
  comCadWnd_ = *wnd;
  return true;
}

void CadBridge::findCad() {
  chain([this](const CadAutomation& a) { return attach(a, false); },
        [this](const CadProduct& p) { return findAndRecord(p, false); });
}

void CadBridge::activate() {
  chain([this](const CadAutomation& a) { return attach(a, true); },
        [this](const CadProduct& p) { return findAndRecord(p, true); });
  const WindowHandle wnd = cadWindow();
  if (wnd && desktop_.isIconic(wnd)) {
    desktop_.restore(wnd);
    desktop_.setForeground(wnd);
  }
}

WindowHandle CadBridge::cadWindow() {
  if (desktop_.isWindow(comCadWnd_)) return comCadWnd_;
  if (desktop_.isWindow(lastCadWnd_)) return lastCadWnd_;
  return 0;
}

bool CadBridge::sendByAutomation(const CadAutomation& a, const Text& text) {
  std::unique_ptr<AutomationObject> app = automation_.attachRunning(a.progId, a.iid);
  if (!app) return false;
  std::unique_ptr<AutomationObject> document;
  if (a.activeDocument >= 0) {
    document = app->readObject(a.activeDocument);
    if (!document) return false;
  }
  std::optional<std::uintptr_t> wnd = app->readHandle(a.mainWindow);
  if (!wnd) return false;
  desktop_.setForeground(*wnd);
  wnd = app->readHandle(a.mainWindow);
  if (!wnd) return false;
  comCadWnd_ = *wnd;
  return (document ? *document : *app).callWithText(a.command, text);
}

bool CadBridge::sendCopyData(WindowHandle wnd, const Text& text) {
  // A CAD showing a modal dialog has its main window disabled; it takes nothing then.
  if (!desktop_.isEnabled(wnd)) return false;
  desktop_.sendCopyData(wnd, 1, copyDataBytes(text));
  desktop_.postNull(wnd);
  return true;
}

WindowHandle CadBridge::findCommandLineField(WindowHandle main) {
  WindowHandle commandLine = 0;
  desktop_.forEachChildWindow(main, [&](WindowHandle wnd) {
    if (!startsWith(desktop_.windowText(wnd), kCommandLineTitle) ||
        !startsWith(desktop_.className(wnd), u"Afx:"))
      return true;
    commandLine = wnd;
    return false;
  });
  if (!commandLine) return 0;
  const WindowHandle first = desktop_.firstChild(commandLine);
  const WindowHandle next = first ? desktop_.nextSibling(first) : 0;
  const WindowHandle field = next ? desktop_.firstChild(next) : 0;
  return desktop_.isWindow(field) ? field : 0;
}

bool CadBridge::sendByWindow(const CadProduct& product, const Text& text) {
  const WindowHandle main = findWindow(product);
  if (!main) return false;
  WindowHandle field = 0;
  switch (product.typing) {
    case CadTyping::CopyData:
      break;
    case CadTyping::CommandLine: {
      const Text title = desktop_.windowText(main);
      if (title.empty()) return false;
      if (title.find(kCopyDataTitleMark) != Text::npos) break;
      field = findCommandLineField(main);
      if (!field) return false;
      break;
    }
    case CadTyping::InputField: {
      const WindowHandle first = desktop_.firstChild(main);
      const WindowHandle inner = first ? desktop_.firstChild(first) : 0;
      field = inner ? desktop_.nextSibling(inner) : 0;
      if (!desktop_.isWindow(field)) return false;
      break;
    }
  }
  lastCadWnd_ = main;
  bringForward(main);
  if (!field) {
    sendCopyData(main, text);
    return true;
  }
  // Typed one character at a time, each one answered before the next, so an Escape or Enter
  // given to the main window cannot overtake the characters before it. A CAD that stops
  // answering ends the typing at once instead of holding this program up for every character
  // left.
  for (char16_t c : text) {
    const bool asKey = product.typing == CadTyping::InputField && (c == kEscape || c == kEnter);
    const bool answered =
        asKey ? desktop_.sendKeyDown(main, c == kEscape ? keys::Escape : keys::Return)
              : desktop_.sendChar(field, c);
    if (!answered) break;
  }
  return true;
}

void CadBridge::sendToCad(const Text& text) {
  chain([&](const CadAutomation& a) { return sendByAutomation(a, text); },
        [&](const CadProduct& p) { return sendByWindow(p, text); });
}

void CadBridge::placeBeside(const ScreenRect& own) {
  const WindowHandle taskbar = desktop_.findTopWindowByClass(u"Shell_TrayWnd");
  const ScreenRect screen = desktop_.screen();
  int workHeight = 0;
  if (taskbar) {
    const std::optional<ScreenRect> bar = desktop_.windowRect(taskbar);
    workHeight = screen.bottom - (bar ? bar->bottom - bar->top : 0);
  }
  const int width = own.right - own.left, height = own.bottom - own.top;
  const bool fullHeight = taskbar && height == workHeight;
  const bool dockedLeft = fullHeight && own.left == 0;
  const bool dockedRight = fullHeight && own.left == screen.right - width;
  const WindowHandle wnd = cadWindow();
  if (!wnd || !taskbar) return;
  desktop_.restore(wnd);
  if (desktop_.isIconic(wnd)) desktop_.restore(wnd);
  const ScreenRect rest{0, 0, screen.right - width, workHeight};
  if (dockedRight) {
    desktop_.placeOnTop(wnd, rest);
  } else if (dockedLeft) {
    desktop_.placeOnTop(wnd, {width, 0, width + rest.right, workHeight});
  }
}

}  // namespace nokari
