#include "cli/lint_output.h"

#include <algorithm>

#include "cli/json_writer.h"
#include "cli/lint_categories.h"
#include "platform/cli_args.h"

namespace nokari {

namespace {

bool isUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

// Percent-encodes every byte but the unreserved ones and "/".
std::string percentEncoded(std::string_view bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (isUnreserved(c) || c == '/') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
  return out;
}

bool isDriveLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

bool sameFolderText(std::u16string_view a, std::u16string_view b, bool ignoreCase) {
  return ignoreCase ? upperAscii(a) == upperAscii(b) : a == b;
}

}  // namespace

std::string artifactUri(const Text& path, const UriBase& base, bool* relative) {
  auto slashed = [&](Text t) {
    if (base.backslashSeparates) std::replace(t.begin(), t.end(), u'\\', u'/');
    return t;
  };
  Text p = slashed(path);
  Text cwd = slashed(base.currentFolder);
  while (cwd.size() > 1 && cwd.back() == u'/') cwd.pop_back();
  const bool windows = base.backslashSeparates;
  // "\lisp\a.lsp" on Windows starts at the root of the current folder's drive.
  if (windows && !p.empty() && p[0] == u'/' && (p.size() < 2 || p[1] != u'/') && cwd.size() >= 2 &&
      cwd[1] == u':')
    p = cwd.substr(0, 2) + p;
  const bool drive =
      windows && p.size() >= 3 && isDriveLetter(p[0]) && p[1] == u':' && p[2] == u'/';
  const bool absolute = drive || (!p.empty() && p[0] == u'/');
  if (absolute) {
    const Text prefix = cwd.empty() || cwd.back() == u'/' ? cwd : cwd + u"/";
    if (!cwd.empty() && p.size() > prefix.size() &&
        sameFolderText(std::u16string_view(p).substr(0, prefix.size()), prefix, windows)) {
      p = p.substr(prefix.size());
    } else {
      *relative = false;
      if (drive)
        return "file:///" + toUtf8(p.substr(0, 2)) + percentEncoded(toUtf8Escaped(p.substr(2)));
      if (windows && p.size() > 2 && p[1] == u'/')  // \\server\share\...
        return "file:" + percentEncoded(toUtf8Escaped(p));
      return "file://" + percentEncoded(toUtf8Escaped(p));
    }
  }
  // "./a.lsp" and "a.lsp" are the same file.
  while (p.size() > 2 && p[0] == u'.' && p[1] == u'/') {
    size_t skip = 2;
    while (skip < p.size() && p[skip] == u'/') ++skip;
    p = p.substr(skip);
  }
  *relative = true;
  return percentEncoded(toUtf8Escaped(p));
}

namespace {

constexpr char kSrcRoot[] = "%SRCROOT%";

void writeLocation(JsonWriter& w, const Text& path, const UriBase& base, int line, int column) {
  bool relative = true;
  const std::string uri = artifactUri(path, base, &relative);
  w.beginObject().key("physicalLocation").beginObject();
  w.key("artifactLocation").beginObject().member("uri", uri);
  if (relative) w.member("uriBaseId", kSrcRoot);
  w.endObject();
  if (line > 0) {
    w.key("region").beginObject().member("startLine", line);
    if (column > 0) w.member("startColumn", column);
    w.endObject();
  }
  w.endObject().endObject();
}

const char* levelOf(const LintCategory& c) { return c.level; }

void renderText(const LintFile& file, std::string& out) {
  const std::string path = argumentBytes(file.path);
  for (const Finding& f : file.findings)
    out += path + ":" + std::to_string(f.line) + ": " + f.category + ": " + toUtf8(f.name) + "\n";
}

void renderJson(const LintFile& file, std::string& out) {
  JsonWriter w(out, 2);
  w.beginObject().member("path", file.path);
  if (file.error) {
    w.member("error", *file.error).endObject();
    return;
  }
  w.member("encoding", encodingLabel(file.encoding));
  w.key("findings").beginArray();
  for (const Finding& f : file.findings) {
    w.beginObject().member("category", f.category).member("name", f.name).member("line", f.line);
    if (f.column > 0) w.member("column", f.column);
    if (!f.message.empty()) w.member("message", f.message);
    w.endObject();
  }
  w.endArray().endObject();
}

void renderSarif(const LintFile& file, const UriBase& base, std::string& out) {
  const auto categories = lintCategories();
  JsonWriter w(out, 4);
  for (const Finding& f : file.findings) {
    const std::optional<size_t> index = lintCategoryIndex(f.category);
    w.beginObject().member("ruleId", f.category);
    if (index) w.member("ruleIndex", static_cast<long long>(*index));
    w.member("level", index ? levelOf(categories[*index]) : "warning");
    const std::string name = toUtf8(f.name);
    w.key("message")
        .beginObject()
        .member("text", index ? lintMessage(*index, name) : name)
        .endObject();
    w.key("locations").beginArray();
    writeLocation(w, file.path, base, f.line, f.column);
    w.endArray();
    w.key("properties").beginObject().member("name", f.name);
    if (!f.message.empty()) w.member("panel", f.message);
    w.endObject();
    w.endObject();
  }
}

void writeJson(const LintReport& report, std::string& out) {
  JsonWriter w(out);
  w.beginObject();
  w.key("tool").beginObject();
  w.member("name", kToolName).member("version", kToolVersion);
  w.endObject();
  w.key("files").beginArray();
  for (const LintFile& file : report.files) w.items(file.rendered);
  w.endArray().endObject();
  out += '\n';
}

void writeSarif(const LintReport& report, std::string& out) {
  JsonWriter w(out);
  w.beginObject();
  w.member("$schema", "https://json.schemastore.org/sarif-2.1.0.json");
  w.member("version", "2.1.0");
  w.key("runs").beginArray().beginObject();

  w.key("tool").beginObject().key("driver").beginObject();
  w.member("name", kToolName).member("version", kToolVersion);
  w.member("informationUri", kReadmeUri);
  w.key("rules").beginArray();
  for (const LintCategory& c : lintCategories()) {
    w.beginObject().member("id", c.name);
    w.key("shortDescription").beginObject().member("text", c.description).endObject();
    w.key("defaultConfiguration").beginObject().member("level", levelOf(c)).endObject();
    w.key("properties").beginObject().member("heading", c.heading).endObject();
    w.endObject();
  }
  w.endArray().endObject().endObject();

  bool failed = false;
  for (const LintFile& file : report.files) failed = failed || file.error.has_value();
  w.key("invocations").beginArray().beginObject();
  w.member("executionSuccessful", !failed);
  if (failed || !report.warnings.empty()) {
    w.key("toolExecutionNotifications").beginArray();
    for (const std::string& warning : report.warnings) {
      w.beginObject().member("level", "warning");
      w.key("message").beginObject().member("text", warning).endObject();
      w.endObject();
    }
    for (const LintFile& file : report.files) {
      if (!file.error) continue;
      w.beginObject().member("level", "error");
      w.key("message")
          .beginObject()
          .member("text",
                  std::string(file.failure) + " " + toUtf8(file.path) + ": " + toUtf8(*file.error))
          .endObject();
      w.key("locations").beginArray();
      writeLocation(w, file.path, report.base, 0, 0);
      w.endArray().endObject();
    }
    w.endArray();
  }
  w.endObject().endArray();

  w.member("columnKind", "utf16CodeUnits");
  w.key("results").beginArray();
  for (const LintFile& file : report.files) w.items(file.rendered);
  w.endArray();
  w.endObject().endArray().endObject();
  out += '\n';
}

}  // namespace

void renderLintFile(LintFile& file, LintFormat format, const UriBase& base) {
  file.rendered.clear();
  switch (format) {
    case LintFormat::Text:
      if (!file.error) renderText(file, file.rendered);
      break;
    case LintFormat::Json:
      renderJson(file, file.rendered);
      break;
    case LintFormat::Sarif:
      if (!file.error) renderSarif(file, base, file.rendered);
      break;
  }
  file.findings = Findings();
}

void writeLint(const LintReport& report, LintFormat format, std::string& out) {
  switch (format) {
    case LintFormat::Text:
      for (const LintFile& file : report.files) out += file.rendered;
      break;
    case LintFormat::Json:
      writeJson(report, out);
      break;
    case LintFormat::Sarif:
      writeSarif(report, out);
      break;
  }
}

}  // namespace nokari
