#include "gui/main_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace nokari::layout {
namespace {

std::string show(const Box& b) {
  return std::to_string(b.x) + "," + std::to_string(b.y) + " " + std::to_string(b.w) + "x" +
         std::to_string(b.h);
}

TEST(MainLayout, Boxes) {
  struct Case {
    const char* what;
    int clientW, clientH, dpi;
    Areas areas;
    int id;
    Box want;
  };
  const Areas design = designAreas(96);
  const Case cases[] = {
      // As designed.
      {"button", 259, 432, 96, design, ids::OpenButton, {9, 5, 43, 45}},
      {"file name", 259, 432, 96, design, ids::FileNameBox, {39, 81, 154, 24}},
      {"history", 259, 432, 96, design, ids::HistoryButton, {198, 79, 59, 24}},
      {"jump list", 259, 432, 96, design, ids::JumpList, {2, 102, 257, 89}},
      {"upper splitter", 259, 432, 96, design, ids::UpperSplitter, {0, 193, 259, 4}},
      {"tree", 259, 432, 96, design, ids::Tree, {0, 197, 259, 128}},
      {"lower splitter", 259, 432, 96, design, ids::LowerSplitter, {0, 325, 259, 4}},
      {"panel", 259, 432, 96, design, ids::Panel, {0, 329, 259, 96}},
      {"progress", 259, 432, 96, design, ids::ProgressBar, {0, 425, 259, 7}},
      // Wider: the file name and the jump list stretch, the history button follows the edge,
      // the rest stays put.
      {"wide file name", 359, 432, 96, design, ids::FileNameBox, {39, 81, 254, 24}},
      {"wide history", 359, 432, 96, design, ids::HistoryButton, {298, 79, 59, 24}},
      {"wide jump list", 359, 432, 96, design, ids::JumpList, {2, 102, 357, 89}},
      {"wide CAD", 359, 432, 96, design, ids::CadLoadButton, {198, 5, 30, 45}},
      // Narrower than designed.
      {"narrow file name", 200, 432, 96, design, ids::FileNameBox, {39, 81, 95, 24}},
      {"narrow history", 200, 432, 96, design, ids::HistoryButton, {139, 79, 59, 24}},
      {"too narrow file name", 50, 432, 96, design, ids::FileNameBox, {39, 81, 0, 24}},
      // Taller: the tree takes the height.
      {"tall tree", 259, 1000, 96, design, ids::Tree, {0, 197, 259, 696}},
      {"tall panel", 259, 1000, 96, design, ids::Panel, {0, 897, 259, 96}},
      // A dragged top panel: the jump list follows it.
      {"dragged jump list", 259, 432, 96, {250, 103}, ids::JumpList, {2, 102, 257, 146}},
      {"dragged tree", 259, 432, 96, {250, 103}, ids::Tree, {0, 254, 259, 71}},
      // 150 %.
      {"150% button", 389, 648, 144, designAreas(144), ids::OpenButton, {14, 8, 65, 68}},
      {"150% history", 389, 648, 144, designAreas(144), ids::HistoryButton, {297, 119, 89, 36}},
      {"150% tree", 389, 648, 144, designAreas(144), ids::Tree, {0, 296, 389, 191}},
      {"150% progress", 389, 648, 144, designAreas(144), ids::ProgressBar, {0, 637, 389, 11}},
  };
  for (const Case& c : cases) {
    const auto placed = mainLayout(c.clientW, c.clientH, c.areas, c.dpi);
    EXPECT_EQ(show(boxOf(placed, c.id)), show(c.want)) << c.what;
  }
}

TEST(MainLayout, EveryControlOnce) {
  const int all[] = {ids::OpenButton,
                     ids::EditorBox,
                     ids::JumpCheck,
                     ids::ReloadCheck,
                     ids::CadLoadButton,
                     ids::CadActivateButton,
                     ids::EditorActivateButton,
                     ids::CatalogueButton,
                     ids::ParenthesisCheckButton,
                     ids::VariableCheckButton,
                     ids::ExclusionListButton,
                     ids::FunctionCheckButton,
                     ids::DockLeftButton,
                     ids::DockRightButton,
                     ids::EncodingLabel,
                     ids::FileNameBox,
                     ids::HistoryButton,
                     ids::JumpList,
                     ids::UpperSplitter,
                     ids::Tree,
                     ids::LowerSplitter,
                     ids::Panel,
                     ids::ProgressBar};
  const auto placed = mainLayout(259, 432, designAreas(96), 96);
  EXPECT_EQ(placed.size(), std::size(all));
  for (int id : all) {
    int n = 0;
    for (const Placed& p : placed) n += p.id == id;
    EXPECT_EQ(n, 1) << id;
  }
}

TEST(MainLayout, Areas) {
  struct Case {
    const char* what;
    Areas in;
    int clientH, dpi;
    Areas want;
  };
  const Case cases[] = {
      {"room enough", {193, 103}, 432, 96, {193, 103}},
      {"bottom panel gives way first", {193, 103}, 250, 96, {182, 30}},
      {"then the top one", {193, 103}, 100, 96, {32, 30}},
      {"nothing below the minimum", {10, 10}, 432, 96, {30, 30}},
      {"minimum scales", {10, 10}, 648, 144, {45, 45}},
  };
  for (const Case& c : cases) {
    const Areas got = fitAreas(c.in, c.clientH, c.dpi);
    EXPECT_EQ(got.panel2H, c.want.panel2H) << c.what;
    EXPECT_EQ(got.panel1H, c.want.panel1H) << c.what;
  }
}

TEST(MainLayout, Splitters) {
  struct Case {
    const char* what;
    bool upper;
    int y;
    int want;
  };
  const Areas a = designAreas(96);
  const Case cases[] = {
      {"upper, free", true, 100, 100},
      {"upper, top panel at least 30", true, 5, 30},
      {"upper, tree at least 30", true, 1000, 432 - 8 - 103 - 30},
      {"lower, free", false, 300, 432 - 300 - 4},
      {"lower, panel at least 30", false, 420, 30},
      {"lower, tree at least 30", false, 0, 432 - 8 - 193 - 30},
  };
  for (const Case& c : cases) {
    const int got =
        c.upper ? dragUpperSplitter(c.y, a, 432, 96) : dragLowerSplitter(c.y, a, 432, 96);
    EXPECT_EQ(got, c.want) << c.what;
  }
}

TEST(MainLayout, Scaling) {
  struct Case {
    int v, dpi, want;
  };
  const Case cases[] = {{16, 96, 16},    {16, 120, 20}, {16, 144, 24}, {193, 144, 290},
                        {103, 144, 155}, {4, 120, 5},   {-3, 144, -5}, {0, 192, 0}};
  for (const Case& c : cases) EXPECT_EQ(scale(c.v, c.dpi), c.want) << c.v << " at " << c.dpi;
  const Areas moved = rescaleAreas({250, 80}, 96, 144);
  EXPECT_EQ(moved.panel2H, 375);
  EXPECT_EQ(moved.panel1H, 120);
  const Areas back = rescaleAreas(moved, 144, 96);
  EXPECT_EQ(back.panel2H, 250);
  EXPECT_EQ(back.panel1H, 80);
}

}  // namespace
}  // namespace nokari::layout
