// Fakes of the system services: they record what the program asked for and never wait.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fakes/fake_automation.h"
#include "fakes/fake_files.h"
#include "platform/services.h"
#include "test_util.h"

namespace nokari::test {

// Calls in order as readable lines ("sleep 50", "notepad /prog/x.txt", ...).
using CallLog = std::vector<std::string>;

class FakeShell : public Shell {
 public:
  explicit FakeShell(CallLog& log) : log_(log) {}
  void openInNotepad(const Text& path) override { log_.push_back("notepad " + utf8(path)); }
  void openPage(const Text& url) override { log_.push_back("page " + utf8(url)); }

 private:
  CallLog& log_;
};

// Waits are recorded and move the clock on at once.
class FakeClock : public Clock {
 public:
  explicit FakeClock(CallLog& log) : log_(log) {}
  std::int64_t now = 0;
  void sleep(int ms) override {
    log_.push_back("sleep " + std::to_string(ms));
    if (ms > 0) now += ms;
  }
  std::int64_t nowMs() const override { return now; }
  Text localDateTimeText() const override { return u"2026/12/09 12:00:00"; }

 private:
  CallLog& log_;
};

class FakeClipboard : public Clipboard {
 public:
  std::optional<Text> text;
  bool setText(const Text& t) override {
    text = t;
    return true;
  }
};

// Dialogs answer from queues and note what they showed in the window's event list.
class FakeDialogs : public Dialogs {
 public:
  explicit FakeDialogs(std::vector<std::string>& events) : events_(events) {}
  std::deque<bool> yesNoAnswers;  // an empty queue answers No
  std::optional<Text> openAnswer;

  void showMessage(const Text& text) override { events_.push_back("message: " + utf8(text)); }
  bool askYesNo(const Text& text, bool centred) override {
    events_.push_back(std::string(centred ? "ask centred: " : "ask: ") + utf8(text));
    const bool yes = !yesNoAnswers.empty() && yesNoAnswers.front();
    if (!yesNoAnswers.empty()) yesNoAnswers.pop_front();
    return yes;
  }
  std::optional<Text> chooseOpenFile(const Text&) override { return openAnswer; }

 private:
  std::vector<std::string>& events_;
};

// A desktop of made-up windows. Handles start at 1; a closed window keeps its handle but is
// no longer a window. Everything that acts on a window is logged.
class FakeDesktop : public Desktop {
 public:
  struct Window {
    Text className, title;
    WindowHandle parent = 0;
    bool open = true, iconic = false, enabled = true;
    bool hung = false;  // sent messages time out
    ScreenRect rect;
  };
  std::map<WindowHandle, Window> windows;  // in the system's order, topmost first
  WindowHandle foreground = 0;
  bool refuseForeground = false;  // the system keeps the foreground where it is
  ScreenRect work{0, 0, 1920, 1040};
  ScreenRect screenRect{0, 0, 1920, 1080};
  CallLog calls;

  WindowHandle add(const Text& className, const Text& title) {
    Window w;
    w.className = className;
    w.title = title;
    return add(std::move(w));
  }
  WindowHandle add(Window w) {
    const WindowHandle h = windows.empty() ? 1 : windows.rbegin()->first + 1;
    windows[h] = std::move(w);
    return h;
  }

  WindowHandle findTopWindowByClass(const Text& cls) override {
    return findTop([&](const Window& w) { return w.className == cls; });
  }
  WindowHandle findTopWindowByTitle(const Text& title) override {
    return findTop([&](const Window& w) { return w.title == title; });
  }
  void forEachTopWindow(const Visit& visit) override {
    for (auto& [h, w] : windows)
      if (w.open && w.parent == 0 && !visit(h)) return;
  }
  WindowHandle findChild(WindowHandle parent, const Text& cls,
                         const std::optional<Text>& text) override {
    for (auto& [h, w] : windows)
      if (w.open && w.parent == parent && parent != 0 && (cls.empty() || w.className == cls) &&
          (!text || w.title == *text))
        return h;
    return 0;
  }
  void forEachChildWindow(WindowHandle parent, const Visit& visit) override {
    for (auto& [h, w] : windows)
      if (w.open && isBelow(h, parent) && !visit(h)) return;
  }
  WindowHandle firstChild(WindowHandle h) override {
    for (auto& [c, w] : windows)
      if (w.open && w.parent == h && h != 0) return c;
    return 0;
  }
  WindowHandle nextSibling(WindowHandle h) override {
    if (!isWindow(h)) return 0;
    for (auto it = windows.upper_bound(h); it != windows.end(); ++it)
      if (it->second.open && it->second.parent == windows[h].parent) return it->first;
    return 0;
  }
  Text windowText(WindowHandle h) override {
    return isWindow(h) ? windows[h].title.substr(0, 254) : Text();
  }
  Text className(WindowHandle h) override { return isWindow(h) ? windows[h].className : Text(); }
  bool isWindow(WindowHandle h) override { return windows.count(h) && windows[h].open; }
  bool isIconic(WindowHandle h) override { return isWindow(h) && windows[h].iconic; }
  bool isEnabled(WindowHandle h) override { return isWindow(h) && windows[h].enabled; }
  WindowHandle foregroundWindow() override { return foreground; }
  void restore(WindowHandle h) override {
    calls.push_back("restore " + std::to_string(h));
    if (isWindow(h)) windows[h].iconic = false;
  }
  bool setForeground(WindowHandle h) override {
    calls.push_back("foreground " + std::to_string(h));
    if (!isWindow(h) || refuseForeground) return false;
    foreground = h;
    return true;
  }
  std::optional<ScreenRect> windowRect(WindowHandle h) override {
    if (!isWindow(h)) return std::nullopt;
    return windows[h].rect;
  }
  void moveWindow(WindowHandle h, const ScreenRect& to) override {
    calls.push_back("move " + std::to_string(h));
    if (isWindow(h)) windows[h].rect = to;
  }
  void placeOnTop(WindowHandle h, const ScreenRect& to) override {
    calls.push_back("place " + std::to_string(h) + " " + std::to_string(to.left) + "," +
                    std::to_string(to.top) + " " + std::to_string(to.right - to.left) + "x" +
                    std::to_string(to.bottom - to.top));
    if (isWindow(h)) windows[h].rect = to;
  }
  ScreenRect workArea() override { return work; }
  ScreenRect screen() override { return screenRect; }
  void keyEvent(unsigned vk, bool up) override {
    calls.push_back(std::string(up ? "key up " : "key down ") + std::to_string(vk));
  }
  bool sendSetText(WindowHandle h, const Text& text) override {
    calls.push_back("set text " + std::to_string(h) + " " + utf8(text));
    if (!isWindow(h)) return false;
    windows[h].title = text;
    return true;
  }
  void postClick(WindowHandle h) override { calls.push_back("click " + std::to_string(h)); }
  bool sendKeyDown(WindowHandle h, unsigned vk) override {
    calls.push_back("key " + std::to_string(h) + " " + std::to_string(vk));
    return isWindow(h) && !windows[h].hung;
  }
  void postNull(WindowHandle h) override { calls.push_back("null " + std::to_string(h)); }
  bool sendChar(WindowHandle h, char16_t ch) override {
    calls.push_back("send char " + std::to_string(h) + " " + utf8(Text(1, ch)));
    return isWindow(h) && !windows[h].hung;
  }
  bool sendCopyData(WindowHandle h, std::uintptr_t kind, const std::string& bytes) override {
    // The bytes as UTF-16 text; the terminating NUL shows as " NUL".
    Text text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
      text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                           static_cast<unsigned char>(bytes[i + 1]) << 8));
    const bool terminated = !text.empty() && text.back() == 0;
    if (terminated) text.pop_back();
    calls.push_back("copy data " + std::to_string(h) + " " + std::to_string(kind) + " " +
                    utf8(text) + (terminated ? " NUL" : ""));
    return isWindow(h) && !windows[h].hung;
  }
  std::optional<bool> imeOpen(WindowHandle h) override {
    if (!isWindow(h)) return std::nullopt;
    return imeIsOpen;
  }
  bool setImeOpen(WindowHandle h, bool open) override {
    calls.push_back(std::string(open ? "ime open " : "ime close ") + std::to_string(h));
    imeIsOpen = open;
    return isWindow(h);
  }
  bool imeIsOpen = false;

 private:
  template <typename Test>
  WindowHandle findTop(Test test) {
    for (auto& [h, w] : windows)
      if (w.open && w.parent == 0 && test(w)) return h;
    return 0;
  }
  bool isBelow(WindowHandle h, WindowHandle ancestor) {
    for (WindowHandle p = windows[h].parent; p != 0; p = windows[p].parent)
      if (p == ancestor) return true;
    return false;
  }
};

// Every service at once, for a controller under test.
struct FakeServices {
  explicit FakeServices(std::vector<std::string>& windowEvents) : dialogs(windowEvents) {}
  FakeFiles files;
  Latin1CodePage codePage;
  CallLog calls;  // the shell's and the clock's, in order
  FakeShell shell{calls};
  FakeClock clock{calls};
  FakeDesktop desktop;
  FakeClipboard clipboard;
  FakeDialogs dialogs;
  FakeAutomation automation;

  Services services() {
    return Services{files, codePage, shell, clock, desktop, clipboard, dialogs, automation};
  }
};

}  // namespace nokari::test
