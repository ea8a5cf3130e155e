// Where the main window's controls go, from the client size, the DPI and the heights of the
// two panels. Plain arithmetic (no Win32), so the tests check it on any system.
#pragma once

#include <algorithm>
#include <vector>

#include "gui/control_ids.h"

namespace nokari::layout {

// Sizes as designed, at 96 DPI.
inline constexpr int kDesignDpi = 96;
inline constexpr int kClientW = 259;
inline constexpr int kClientH = 432;
inline constexpr int kPanel2H = 193;  // top panel
inline constexpr int kPanel1H = 103;  // results panel and progress bar
inline constexpr int kSplitterH = 4;
inline constexpr int kProgressH = 7;
// No area is dragged below this height.
inline constexpr int kMinArea = 30;
// The smallest client area the window can be sized to.
inline constexpr int kMinClientW = 160;
inline constexpr int kMinClientH = 2 * kMinArea + 2 * kSplitterH + kMinArea;

// A design length at the given DPI, rounded to the nearest pixel.
constexpr int scale(int v, int dpi) {
  return v >= 0 ? (v * dpi + kDesignDpi / 2) / kDesignDpi
                : -((-v * dpi + kDesignDpi / 2) / kDesignDpi);
}

struct Box {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const Box&) const = default;
};

// Heights of the top panel and the bottom panel in device pixels; the tree takes the rest.
struct Areas {
  int panel2H = 0;
  int panel1H = 0;
  bool operator==(const Areas&) const = default;
};

constexpr Areas designAreas(int dpi) { return {scale(kPanel2H, dpi), scale(kPanel1H, dpi)}; }

// Room left for the tree.
constexpr int treeHeight(Areas a, int clientH, int dpi) {
  return clientH - a.panel2H - a.panel1H - 2 * scale(kSplitterH, dpi);
}

// Shrinks the panels when the client is too low to hold them and the smallest tree: the
// bottom panel gives way first, then the top one, neither below the minimum height.
constexpr Areas fitAreas(Areas a, int clientH, int dpi) {
  const int minH = scale(kMinArea, dpi);
  a.panel2H = std::max(a.panel2H, minH);
  a.panel1H = std::max(a.panel1H, minH);
  int excess = minH - treeHeight(a, clientH, dpi);
  if (excess > 0) {
    int give = std::min(excess, a.panel1H - minH);
    a.panel1H -= give;
    excess -= give;
  }
  if (excess > 0) {
    int give = std::min(excess, a.panel2H - minH);
    a.panel2H -= give;
  }
  return a;
}

// The top panel's height when the upper splitter is dragged so that its top is at y.
constexpr int dragUpperSplitter(int y, Areas a, int clientH, int dpi) {
  const int minH = scale(kMinArea, dpi);
  const int hi = clientH - 2 * scale(kSplitterH, dpi) - a.panel1H - minH;
  return std::max(minH, std::min(y, hi));
}

// The bottom panel's height when the lower splitter is dragged so that its top is at y.
constexpr int dragLowerSplitter(int y, Areas a, int clientH, int dpi) {
  const int minH = scale(kMinArea, dpi);
  const int split = scale(kSplitterH, dpi);
  const int hi = clientH - 2 * split - a.panel2H - minH;
  return std::max(minH, std::min(clientH - y - split, hi));
}

// Areas kept across a DPI change.
constexpr Areas rescaleAreas(Areas a, int fromDpi, int toDpi) {
  if (fromDpi <= 0) return a;
  return {(a.panel2H * toDpi + fromDpi / 2) / fromDpi, (a.panel1H * toDpi + fromDpi / 2) / fromDpi};
}

struct Placed {
  int id;
  Box box;
};

// Every control of the window with its box (the combo box's box is its edit part).
inline std::vector<Placed> mainLayout(int clientW, int clientH, Areas a, int dpi) {
  auto s = [dpi](int v) { return scale(v, dpi); };
  // Extra width beyond the designed client width; negative when the window is narrower.
  const int extra = clientW - s(kClientW);
  const int split = s(kSplitterH);
  std::vector<Placed> out;
  struct Fixed {
    int id, x, y, w, h;
  };
  static constexpr Fixed kTop[] = {
      {ids::OpenButton, 9, 5, 43, 45},
      {ids::EditorBox, 58, 8, 79, 21},
      {ids::JumpCheck, 143, 10, 49, 17},
      {ids::ReloadCheck, 143, 30, 65, 17},
      {ids::CadLoadButton, 198, 5, 30, 45},
      {ids::CadActivateButton, 230, 5, 27, 21},
      {ids::EditorActivateButton, 230, 28, 27, 21},
      {ids::CatalogueButton, 55, 28, 82, 22},
      {ids::ParenthesisCheckButton, 6, 53, 43, 22},
      {ids::VariableCheckButton, 55, 53, 45, 22},
      {ids::ExclusionListButton, 101, 53, 42, 22},
      {ids::FunctionCheckButton, 144, 53, 43, 22},
      {ids::DockLeftButton, 192, 53, 31, 22},
      {ids::DockRightButton, 226, 53, 31, 22},
      // Up to the file name box: "UTF8" must not be cut where Tahoma runs wide.
      {ids::EncodingLabel, 9, 83, 29, 13},
  };
  for (const Fixed& f : kTop) out.push_back({f.id, {s(f.x), s(f.y), s(f.w), s(f.h)}});
  // The file name stretches; the history button keeps its distance to the right edge.
  out.push_back({ids::FileNameBox, {s(39), s(81), std::max(0, s(154) + extra), s(24)}});
  out.push_back({ids::HistoryButton, {clientW - s(kClientW - 198), s(79), s(59), s(24)}});
  // The jump list fills the rest of the top panel.
  out.push_back({ids::JumpList,
                 {s(2), s(102), std::max(0, clientW - s(2)), std::max(0, a.panel2H - s(104))}});

  const int treeTop = a.panel2H + split;
  const int panel1Top = clientH - a.panel1H;
  const int progressH = std::min(s(kProgressH), a.panel1H);
  out.push_back({ids::UpperSplitter, {0, a.panel2H, clientW, split}});
  out.push_back({ids::Tree, {0, treeTop, clientW, std::max(0, panel1Top - split - treeTop)}});
  out.push_back({ids::LowerSplitter, {0, panel1Top - split, clientW, split}});
  out.push_back({ids::Panel, {0, panel1Top, clientW, a.panel1H - progressH}});
  out.push_back({ids::ProgressBar, {0, clientH - progressH, clientW, progressH}});
  return out;
}

// The box of one control in a layout (an empty box when it is not there).
inline Box boxOf(const std::vector<Placed>& placed, int id) {
  for (const Placed& p : placed)
    if (p.id == id) return p.box;
  return {};
}

}  // namespace nokari::layout
