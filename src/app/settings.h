// The four settings kept in the INI file beside the program.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "app/stored_file.h"
#include "platform/files.h"
#include "source/stored_text.h"

namespace nokari {

// An INI file's lines, read and changed in place so that other sections and keys survive.
class IniFile {
 public:
  IniFile() = default;
  explicit IniFile(StoredText file) : file_(std::move(file)) {}

  // The value of key in section, both compared case-insensitively; surrounding blanks and a
  // pair of enclosing quotes are removed.
  std::optional<Text> value(std::u16string_view section, std::u16string_view key) const;
  // Every key and value of section, in file order.
  std::vector<std::pair<Text, Text>> entries(std::u16string_view section) const;
  // Replaces the key's value, adding the key (and the section) when missing.
  void setValue(std::u16string_view section, std::u16string_view key, const Text& value);

  const StoredText& file() const { return file_; }
  StoredText& file() { return file_; }

 private:
  StoredText file_;
};

struct Settings {
  int targetEditor = 0;  // combo box item; -1 when no item was chosen
  bool jumpCheck = true;
  bool reloadCheck = false;
  Text lspFullName;
  // Section "Editors": the editors' window classes and texts where they differ from the
  // built-in ones (read only; never written).
  std::vector<std::pair<Text, Text>> editorOverrides;
};

// The settings as read at start, and how the file was found.
struct SettingsRead {
  Settings values;
  StoredRead read;
};

// Reads the settings; a missing or unreadable file, a missing key or a value that is not a
// number gives the default.
SettingsRead readSettings(const Text& iniPath, const Files& files, const CodePage& ansi);
// Writes the four keys into the INI file, keeping everything else it holds as it is. Nothing
// is written when the file was not read exactly at start (atStart) or now; the result is then
// the reason, as it is when the write fails.
std::optional<Text> writeSettings(const Text& iniPath, const Settings& settings,
                                  const StoredRead& atStart, const Files& files,
                                  const CodePage& ansi);

}  // namespace nokari
