// Reading a tree view of another process: its messages carry pointers, so the item structures
// live in memory allocated inside that process.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <optional>
#include <string>
#include <vector>

namespace e2e {

// A block of memory in the process that owns a window.
class Remote {
 public:
  Remote(HWND w, size_t size);
  ~Remote();
  Remote(const Remote&) = delete;
  Remote& operator=(const Remote&) = delete;

  bool ok() const { return base_ != nullptr; }
  char* at(size_t offset) const { return base_ + offset; }
  size_t size() const { return size_; }
  bool write(const void* at, const void* data, size_t n);
  bool read(const void* at, void* data, size_t n);

 private:
  HANDLE process_ = nullptr;
  char* base_ = nullptr;
  size_t size_;
};

struct TreeItem {
  HTREEITEM handle;
  int level;  // 0 for a root
  std::wstring text;
  std::wstring path;  // texts from the root down, joined by "/"
};

HTREEITEM nextItem(HWND tree, HTREEITEM h, WPARAM how);
// Every item in tree order; false when the tree could not be read.
bool readTree(HWND tree, std::vector<TreeItem>& items);
// The selected item as "Root/Child"; empty when nothing is selected.
std::optional<std::wstring> selectedPath(HWND tree);
// The item's text rectangle in the tree's client coordinates.
std::optional<RECT> itemRect(HWND tree, HTREEITEM item);

}  // namespace e2e
