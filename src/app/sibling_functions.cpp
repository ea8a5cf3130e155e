#include "app/sibling_functions.h"

#include <algorithm>

#include "app/source_loading.h"
#include "platform/collate.h"
#include "source/func_index.h"

namespace nokari {

SiblingFunctions::SiblingFunctions(const Files& files, const Text& folder, const Text& ownName,
                                   const CodePage& ansi, unsigned long long byteLimit) {
  if (folder.empty()) return;  // no file loaded
  std::vector<FileEntry> others = files.filesIn(folder);
  std::erase_if(others, [&](const FileEntry& e) {
    return extensionUpper(e.name) != u".LSP" || equalUpperAscii(e.name, ownName);
  });
  unsigned long long bytes = 0;
  for (const FileEntry& e : others) bytes += e.size;
  if (bytes > byteLimit) {
    program_.othersLeftOut = true;
    return;
  }
  std::sort(others.begin(), others.end(), [](const FileEntry& a, const FileEntry& b) {
    return compareTextIgnoreCase(a.name, b.name) < 0;
  });
  for (const FileEntry& e : others) {
    const LoadedSource loaded = loadSourceLines(joinPath(folder, e.name), files, ansi);
    if (!loaded.ok) continue;
    Lines code;
    FuncIndex index;
    makeCodeAndFuncIndex(loaded.lines, code, index, 0, nullptr, false);
    for (const FuncRecord& r : index) {
      const std::optional<std::u16string_view> name = r.defined();
      if (!name || name->empty() || program_.defined.count(*name)) continue;
      const Text& kept = names_.emplace_back(*name);
      program_.defined.insert(kept);
      program_.definingFile.emplace(kept, e.name);
    }
  }
}

}  // namespace nokari
