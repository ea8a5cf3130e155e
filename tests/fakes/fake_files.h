// An in-memory file system with files that can be locked or made unreadable.
#pragma once

#include <map>
#include <set>

#include "platform/code_page.h"
#include "platform/files.h"

namespace nokari::test {

class FakeFiles : public Files {
 public:
  std::map<Text, std::string> content;
  std::set<Text> locked;      // exists, but cannot be opened exclusively
  std::set<Text> unreadable;  // exists, but reading fails
  std::set<Text> readOnly;    // marked read-only: a replace is refused
  mutable int lockTests = 0;
  mutable int writes = 0;
  mutable std::set<Text> written;
  bool failWrites = false;

  void put(const Text& path, std::string bytes) { content[path] = std::move(bytes); }

  bool exists(const Text& path) const override { return content.count(path) > 0; }
  ReadResult readAll(const Text& path) const override {
    ReadResult r;
    auto it = content.find(path);
    if (it == content.end() || unreadable.count(path)) {
      r.error = u"アクセスが拒否されました。";
      return r;
    }
    r.ok = true;
    r.bytes = it->second;
    return r;
  }
  bool canOpenExclusive(const Text& path) const override {
    ++lockTests;
    return exists(path) && !locked.count(path);
  }
  // The files whose path is folder, a separator (unless folder ends in one) and a name.
  std::vector<FileEntry> filesIn(const Text& folder) const override {
    const bool ends = !folder.empty() && (folder.back() == u'\\' || folder.back() == u'/');
    const size_t at = folder.size() + (ends ? 0 : 1);
    std::vector<FileEntry> out;
    for (const auto& [path, bytes] : content) {
      if (path.size() <= at || path.compare(0, folder.size(), folder) != 0) continue;
      if (!ends && path[folder.size()] != u'\\' && path[folder.size()] != u'/') continue;
      const Text name = path.substr(at);
      if (name.find_first_of(u"\\/") == Text::npos) out.push_back({name, bytes.size()});
    }
    return out;
  }
  WriteResult writeReplace(const Text& path, const std::string& bytes) const override {
    WriteResult w;
    if (readOnly.count(path)) {
      w.readOnly = true;
      return w;
    }
    if (failWrites) {
      w.error = u"ディスクに空き領域が不足しています。";
      return w;
    }
    const_cast<FakeFiles*>(this)->content[path] = bytes;
    ++writes;
    written.insert(path);
    w.ok = true;
    return w;
  }
};

// Code page stand-in: bytes are Latin-1.
class Latin1CodePage : public CodePage {
 public:
  Text decode(std::string_view bytes) const override {
    Text t;
    for (unsigned char c : bytes) t.push_back(c);
    return t;
  }
  std::optional<std::string> encode(std::u16string_view text) const override {
    std::string s;
    for (char16_t c : text) {
      if (c > 0xFF) return std::nullopt;
      s.push_back(static_cast<char>(c));
    }
    return s;
  }
};

}  // namespace nokari::test
