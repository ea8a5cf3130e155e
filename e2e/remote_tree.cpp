#include "remote_tree.h"

#include <cstring>

#include "deadline.h"

namespace e2e {

Remote::Remote(HWND w, size_t size) : size_(size) {
  process_ = OpenProcess(
      PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION, FALSE,
      processOf(w));
  if (process_)
    base_ = static_cast<char*>(
        VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

Remote::~Remote() {
  if (base_) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
  if (process_) CloseHandle(process_);
}

bool Remote::write(const void* at, const void* data, size_t n) {
  SIZE_T done = 0;
  return WriteProcessMemory(process_, const_cast<void*>(at), data, n, &done) && done == n;
}

bool Remote::read(const void* at, void* data, size_t n) {
  SIZE_T done = 0;
  return ReadProcessMemory(process_, at, data, n, &done) && done == n;
}

namespace {

bool readText(HWND tree, Remote& mem, HTREEITEM h, std::wstring& text) {
  const size_t textOffset = 256;
  TVITEMW item{};
  item.mask = TVIF_HANDLE | TVIF_TEXT;
  item.hItem = h;
  item.pszText = reinterpret_cast<LPWSTR>(mem.at(textOffset));
  item.cchTextMax = static_cast<int>((mem.size() - textOffset) / sizeof(wchar_t));
  const wchar_t zero = 0;
  LRESULT ok = 0;
  if (!mem.write(mem.at(0), &item, sizeof item) || !mem.write(item.pszText, &zero, sizeof zero) ||
      !send(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(mem.at(0)), &ok) || !ok ||
      !mem.read(mem.at(0), &item, sizeof item))
    return false;
  // The control may answer with a pointer to its own copy of the text.
  std::wstring buf(static_cast<size_t>(item.cchTextMax), L'\0');
  if (!mem.read(item.pszText, buf.data(), buf.size() * sizeof(wchar_t))) return false;
  buf.resize(wcsnlen(buf.c_str(), buf.size()));
  text = buf;
  return true;
}

bool readLevel(HWND tree, Remote& mem, HTREEITEM first, int level, const std::wstring& parentPath,
               std::vector<TreeItem>& out) {
  for (HTREEITEM h = first; h; h = nextItem(tree, h, TVGN_NEXT)) {
    TreeItem item{h, level, {}, {}};
    if (!readText(tree, mem, h, item.text)) return false;
    item.path = parentPath.empty() ? item.text : parentPath + L"/" + item.text;
    out.push_back(item);
    if (!readLevel(tree, mem, nextItem(tree, h, TVGN_CHILD), level + 1, item.path, out))
      return false;
  }
  return true;
}

}  // namespace

HTREEITEM nextItem(HWND tree, HTREEITEM h, WPARAM how) {
  LRESULT r = 0;
  send(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(h), &r);
  return reinterpret_cast<HTREEITEM>(r);
}

bool readTree(HWND tree, std::vector<TreeItem>& items) {
  Remote mem(tree, 8192);
  if (!mem.ok()) return false;
  items.clear();
  return readLevel(tree, mem, nextItem(tree, nullptr, TVGN_ROOT), 0, L"", items);
}

std::optional<std::wstring> selectedPath(HWND tree) {
  Remote mem(tree, 8192);
  if (!mem.ok()) return std::nullopt;
  std::wstring path;
  for (HTREEITEM h = nextItem(tree, nullptr, TVGN_CARET); h; h = nextItem(tree, h, TVGN_PARENT)) {
    std::wstring text;
    if (!readText(tree, mem, h, text)) return std::nullopt;
    path = path.empty() ? text : text + L"/" + path;
  }
  return path;
}

std::optional<RECT> itemRect(HWND tree, HTREEITEM item) {
  Remote mem(tree, sizeof(RECT));
  RECT r{};
  std::memcpy(&r, &item, sizeof item);  // the message takes the item in the rectangle
  LRESULT ok = 0;
  if (!mem.ok() || !mem.write(mem.at(0), &r, sizeof r) ||
      !send(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(mem.at(0)), &ok) || !ok ||
      !mem.read(mem.at(0), &r, sizeof r))
    return std::nullopt;
  return r;
}

}  // namespace e2e
