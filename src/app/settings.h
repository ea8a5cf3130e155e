// The four settings kept in the INI file beside the program.
#pragma once

#include <optional>

#include "platform/files.h"
#include "source/decode.h"

namespace nokari {

// An INI file's lines, read and changed in place so that other sections and keys survive.
class IniFile {
 public:
  IniFile() = default;
  explicit IniFile(TextFile file) : file_(std::move(file)) {}

  // The value of key in section, both compared case-insensitively; surrounding blanks and a
  // pair of enclosing quotes are removed.
  std::optional<Text> value(std::u16string_view section, std::u16string_view key) const;
  // Replaces the key's value, adding the key (and the section) when missing.
  void setValue(std::u16string_view section, std::u16string_view key, const Text& value);

  const TextFile& file() const { return file_; }

 private:
  TextFile file_;
};

struct Settings {
  int targetEditor = 0;  // combo box item; -1 when no item was chosen
  bool jumpCheck = true;
  bool reloadCheck = false;
  Text lspFullName;
};

// Reads the settings; a missing file, key or a value that is not a number gives the default.
Settings readSettings(const Text& iniPath, const Files& files, const CodePage& ansi);
// Writes the four keys into the INI file, keeping everything else it holds. The file is
// replaced whole, so a failure never leaves it cut short.
bool writeSettings(const Text& iniPath, const Settings& settings, const Files& files,
                   const CodePage& ansi);

}  // namespace nokari
