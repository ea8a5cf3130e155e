#include "app/settings.h"

#include "platform/collate.h"

namespace nokari {

namespace {

constexpr char16_t kSection[] = u"Nokari";

// "[name]" -> name, or nullopt when the line is not a section header.
std::optional<Text> sectionName(const Text& line) {
  Text t = trim(line);
  if (t.size() < 2 || t.front() != u'[') return std::nullopt;
  size_t close = t.find(u']');
  if (close == Text::npos) return std::nullopt;
  return trim(std::u16string_view(t).substr(1, close - 1));
}

// Splits "key=value"; nullopt for lines without "=" and comments.
std::optional<std::pair<Text, Text>> keyValue(const Text& line) {
  Text t = trim(line);
  if (t.empty() || t[0] == u';') return std::nullopt;
  size_t eq = t.find(u'=');
  if (eq == Text::npos) return std::nullopt;
  return std::make_pair(trim(std::u16string_view(t).substr(0, eq)),
                        trim(std::u16string_view(t).substr(eq + 1)));
}

std::optional<bool> readBool(const IniFile& ini, std::u16string_view key) {
  auto v = ini.value(kSection, key);
  int n;
  if (!v || !parseInt(*v, &n)) return std::nullopt;
  return n != 0;
}

}  // namespace

std::optional<Text> IniFile::value(std::u16string_view section, std::u16string_view key) const {
  bool inSection = false;
  for (const Text& line : file_.lines()) {
    if (auto name = sectionName(line)) {
      inSection = sameTextIgnoreCase(*name, section);
      continue;
    }
    if (!inSection) continue;
    auto kv = keyValue(line);
    if (!kv || !sameTextIgnoreCase(kv->first, key)) continue;
    Text v = kv->second;
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
      v = v.substr(1, v.size() - 2);
    return v;
  }
  return std::nullopt;
}

std::vector<std::pair<Text, Text>> IniFile::entries(std::u16string_view section) const {
  std::vector<std::pair<Text, Text>> out;
  bool inSection = false;
  for (const Text& line : file_.lines()) {
    if (auto name = sectionName(line)) {
      inSection = sameTextIgnoreCase(*name, section);
    } else if (inSection) {
      if (auto kv = keyValue(line)) out.push_back(std::move(*kv));
    }
  }
  return out;
}

void IniFile::setValue(std::u16string_view section, std::u16string_view key, const Text& value) {
  const TextList& lines = file_.lines();
  const Text entry = Text(key) + u"=" + value;
  bool inSection = false;
  size_t sectionEnd = Text::npos;  // index after the section's last key line
  for (size_t i = 0; i < lines.size(); ++i) {
    if (auto name = sectionName(lines[i])) {
      if (inSection) break;
      inSection = sameTextIgnoreCase(*name, section);
      if (inSection) sectionEnd = i + 1;
      continue;
    }
    if (!inSection) continue;
    if (auto kv = keyValue(lines[i])) {
      if (sameTextIgnoreCase(kv->first, key)) {
        file_.setLine(i, entry);
        return;
      }
      sectionEnd = i + 1;
    }
  }
  if (sectionEnd == Text::npos) {
    file_.insertLine(lines.size(), u"[" + Text(section) + u"]");
    file_.insertLine(lines.size(), entry);
  } else {
    file_.insertLine(sectionEnd, entry);
  }
}

SettingsRead readSettings(const Text& iniPath, const Files& files, const CodePage& ansi) {
  SettingsRead out;
  LoadedStoredFile f = loadStoredFile(iniPath, files, ansi);
  out.read = f.read;
  const IniFile ini(std::move(f.text));
  Settings& s = out.values;
  int n;
  if (auto v = ini.value(kSection, u"TargetEditor"); v && parseInt(*v, &n)) s.targetEditor = n;
  // "JumpCheak" and "ReloadCheak" are spelt as the INI files users already have spell them.
  if (auto b = readBool(ini, u"JumpCheak")) s.jumpCheck = *b;
  if (auto b = readBool(ini, u"ReloadCheak")) s.reloadCheck = *b;
  if (auto v = ini.value(kSection, u"LspFullName")) s.lspFullName = *v;
  s.editorOverrides = ini.entries(u"Editors");
  return out;
}

std::optional<Text> writeSettings(const Text& iniPath, const Settings& s, const StoredRead& atStart,
                                  const Files& files, const CodePage& ansi) {
  auto change = [&s](StoredText& text) {
    IniFile ini(std::move(text));
    ini.setValue(kSection, u"TargetEditor", fromAscii(std::to_string(s.targetEditor)));
    ini.setValue(kSection, u"JumpCheak", s.jumpCheck ? u"1" : u"0");
    ini.setValue(kSection, u"ReloadCheak", s.reloadCheck ? u"1" : u"0");
    ini.setValue(kSection, u"LspFullName", s.lspFullName);
    text = std::move(ini.file());
  };
  return saveStoredFile(iniPath, atStart, change, files, ansi);
}

}  // namespace nokari
