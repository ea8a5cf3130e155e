// The main window: its controls, their layout and look, and the bridge from window messages
// to the controller. It is also the controller's view of the window.
#pragma once

#include <windows.h>

#include <optional>

#include "gui/main_controller.h"
#include "gui/main_layout.h"
#include "gui/main_view.h"
#include "gui/win32/controls.h"
#include "gui/win32/dark_window.h"
#include "gui/win32/history_dialog.h"
#include "gui/win32/key_watch.h"
#include "gui/win32/splitter.h"
#include "gui/win32/tree_control.h"
#include "gui/win32/win_handles.h"

namespace nokari::win {

class Win32MainView final : public DarkWindow, public MainView {
 public:
  explicit Win32MainView(HINSTANCE inst);
  ~Win32MainView() override;

  // Creates the window with every control, hidden and centred on the screen.
  bool create();
  // Events go to the controller from now on.
  void bindController(MainController* controller) { controller_ = controller; }
  // The dialog the history button shows.
  void bindHistoryDialog(HistoryDialog* dialog) { history_ = dialog; }
  // Runs the controller's start sequence and shows the window: as soon as the start's tree is
  // filled (the rest of the start goes on in the shown window), else when the start is over.
  // Then marks the window started for programs that wait on it.
  void start(int cmdShow);
  // Destroys the window if it still exists (running the exit sequence).
  void close();

  // MainView
  void setEncodingLabel(const Text& label) override;
  void setFileNameText(const Text& name) override;
  void showTree(const FuncTree& tree, const RestoredPlace* place) override;
  NodeRef treeSelection() const override;
  NodeRef treeTopItem() const override;
  void setPanelLines(const TextList& lines) override;
  void setPanelHint(const Text& hint) override;
  void scrollPanelTop() override;
  PanelSelection panelSelection() const override;
  void selectInPanel(size_t start, size_t length) override;
  void showJumpList(const std::vector<JumpEntry>& entries, int selected) override;
  int jumpListSelection() const override;
  WindowHandle ownWindow() const override;
  ScreenRect outerRect() const override;
  void moveTo(const ScreenRect& outer) override;
  void setKeyWatch(bool on) override;
  void setTimerRunning(bool on) override;
  Progress& progress() override { return progress_; }
  void processMessages() override;
  std::optional<size_t> chooseFromHistory(const TextList& history) override;
  int editorIndex() const override;
  void setEditorIndex(int index) override;
  bool jumpChecked() const override;
  void setJumpChecked(bool on) override;
  bool reloadChecked() const override;
  void setReloadChecked(bool on) override;

 protected:
  LRESULT ownMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool controlMessage(HWND ctl, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  void dpiChanged(int oldDpi) override;
  void layoutControls() override;
  COLORREF labelColour(HWND ctl) const override;
  bool isFlatButton(int id) const override;

 private:
  // Shows the window if the start has not shown it yet.
  void showPending();

  struct Fonts {
    Font ui, fileName, jumpList, tree, panel;
  };

  // Creation (main_window_controls.cpp).
  void onCreate();
  void createControls();
  HWND addControl(int id, const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle = 0);
  void applyFonts();
  void makePopupMenus();

  // Layout.
  void moveUpperSplitter(int y);
  void moveLowerSplitter(int y);
  int clientHeight() const;

  // Events.
  void onCommand(int id, int code, HWND ctl);
  LRESULT onNotify(NMHDR* hdr);
  void onDropFiles(HDROP drop);
  void onContextMenu(HWND ctl, LPARAM at);
  LRESULT onDrawItem(const DRAWITEMSTRUCT& d);
  LRESULT onMeasureItem(MEASUREITEMSTRUCT& m);
  void onMinMaxInfo(MINMAXINFO& mm) const;
  void onClose();
  void onDestroy();
  void forgetControls();
  bool treeMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
  bool panelMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
  bool jumpListMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
  // The jump list's entry under a client point, -1 when none (below the last one, outside).
  int jumpListItemAt(POINT at) const;
  // Runs a controller event unless one is already running (a load pumping messages, a
  // modal box): events do not nest. A close asked for meanwhile happens afterwards.
  template <typename F>
  void forward(F&& event);
  template <typename F>
  bool forwardKey(F&& event);
  void afterEvent();
  void destroyOnce();

  HWND control(int id) const { return hwnd() ? GetDlgItem(hwnd(), id) : nullptr; }

  HINSTANCE inst_;
  MainController* controller_ = nullptr;
  HistoryDialog* history_ = nullptr;
  layout::Areas areas_ = layout::designAreas(layout::kDesignDpi);
  // What the controls were last placed for.
  struct LaidOut {
    LONG width, height;
    layout::Areas areas;
    int dpi;
    bool operator==(const LaidOut&) const = default;
  };
  std::optional<LaidOut> laidOut_;

  TreeControl tree_;
  PanelControl panel_;
  ProgressBar progress_;
  ChoiceBox editorBox_;
  HintTip hints_;
  HWND fileNameWnd_ = nullptr, jumpListWnd_ = nullptr, encodingWnd_ = nullptr;
  HWND jumpCheckWnd_ = nullptr, reloadCheckWnd_ = nullptr;
  Splitter upper_, lower_;
  Fonts fonts_;
  Menu treeMenu_, jumpListMenu_, panelMenu_;

  // Dragging in the jump list: where the button went down, and whether the mouse has since
  // moved far enough to make it a drag.
  POINT startingPoint_{};
  bool jumpListPressed_ = false, jumpListDragging_ = false;

  static constexpr UINT_PTR kReloadTimer = 1;
  KeyWatch keyWatch_;
  bool timerRunning_ = false;

  int eventDepth_ = 0;
  bool closePending_ = false;
  bool destroyed_ = false;
  int pendingShow_ = -1;  // how to show the window once its tree is filled; -1 once shown
};

}  // namespace nokari::win
