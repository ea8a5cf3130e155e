#include "cli/lint_output.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <unordered_map>

#include "cli/json_writer.h"
#include "cli/lint_categories.h"
#include "platform/cli_args.h"
#include "platform/code_page.h"

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

namespace {

// The parts of a path joined by "/" without "." and empty parts, each ".." taking away the part
// before it; the ".." that go above the start stay in front unless rooted (a root has no parent).
Text normalisedParts(std::u16string_view path, bool rooted) {
  std::vector<std::u16string_view> parts;
  for (size_t b = 0; b <= path.size();) {
    size_t e = path.find(u'/', b);
    if (e == std::u16string_view::npos) e = path.size();
    const std::u16string_view part = path.substr(b, e - b);
    if (part == u"..") {
      if (!parts.empty() && parts.back() != u"..") {
        parts.pop_back();
      } else if (!rooted) {
        parts.push_back(part);
      }
    } else if (!part.empty() && part != u".") {
      parts.push_back(part);
    }
    b = e + 1;
  }
  Text out;
  for (std::u16string_view part : parts) {
    if (!out.empty()) out += u'/';
    out += part;
  }
  return out;
}

}  // namespace

std::vector<std::string> findingFingerprints(const Findings& findings, std::string_view uri) {
  std::unordered_map<std::string, int> seen;
  std::vector<std::string> out;
  out.reserve(findings.size());
  for (const Finding& f : findings) {
    std::string key = std::string(f.category) + '\0' + toUtf8(f.scope) + '\0' + toUtf8(f.name);
    const int occurrence = ++seen[key];
    key = std::string(uri) + '\0' + key + '\0' + std::to_string(occurrence);
    std::uint64_t h = 1469598103934665603ULL;  // FNV-1a, 64 bits
    for (unsigned char c : key) h = (h ^ c) * 1099511628211ULL;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
    out.emplace_back(hex);
  }
  return out;
}

std::string artifactUri(const Text& path, const UriBase& base, bool* relative) {
  auto slashed = [&](Text t) {
    if (base.backslashSeparates) std::replace(t.begin(), t.end(), u'\\', u'/');
    return t;
  };
  // A file reached through a link is named where it lies.
  Text p = path;
  if (base.resolve) {
    Text real = base.resolve(path);
    if (!real.empty()) p = std::move(real);
  }
  p = slashed(std::move(p));
  Text cwd = slashed(base.currentFolder);
  while (cwd.size() > 1 && cwd.back() == u'/') cwd.pop_back();
  const bool windows = base.backslashSeparates;
  // "\lisp\a.lsp" on Windows starts at the root of the current folder's drive.
  if (windows && !p.empty() && p[0] == u'/' && (p.size() < 2 || p[1] != u'/') && cwd.size() >= 2 &&
      cwd[1] == u':')
    p = cwd.substr(0, 2) + p;
  auto isDrive = [&](const Text& t) {
    return windows && t.size() >= 3 && isDriveLetter(t[0]) && t[1] == u':' && t[2] == u'/';
  };
  bool absolute = isDrive(p) || (!p.empty() && p[0] == u'/');
  if (!absolute) {
    p = normalisedParts(p, false);
    // A file above the current folder has no URI under it.
    if ((p == u".." || p.starts_with(u"../")) && !cwd.empty()) {
      p = cwd + u"/" + p;
      absolute = true;
    } else {
      *relative = true;
      return percentEncoded(toUtf8Escaped(p));
    }
  }
  // The root ("C:", "//server/share" or "") and the parts below it, normalised.
  Text root;
  std::u16string_view rest = p;
  if (isDrive(p)) {
    root = p.substr(0, 2);
    rest.remove_prefix(2);
  } else if (windows && p.size() > 2 && p[1] == u'/') {  // \\server\share\...
    const size_t server = p.find(u'/', 2);
    const size_t share = server == Text::npos ? Text::npos : p.find(u'/', server + 1);
    root = p.substr(0, share);
    rest.remove_prefix(share == Text::npos ? p.size() : share);
  }
  const Text full = root + u"/" + normalisedParts(rest, true);
  const Text prefix = cwd.empty() || cwd.back() == u'/' ? cwd : cwd + u"/";
  if (!cwd.empty() && full.size() > prefix.size() &&
      sameFolderText(std::u16string_view(full).substr(0, prefix.size()), prefix, windows)) {
    *relative = true;
    return percentEncoded(toUtf8Escaped(full.substr(prefix.size())));
  }
  *relative = false;
  if (isDrive(full))
    return "file:///" + toUtf8(full.substr(0, 2)) + percentEncoded(toUtf8Escaped(full.substr(2)));
  if (!root.empty()) return "file:" + percentEncoded(toUtf8Escaped(full));  // \\server\share
  return "file://" + percentEncoded(toUtf8Escaped(full));
}

namespace {

constexpr char kSrcRoot[] = "%SRCROOT%";

void writeLocation(JsonWriter& w, const Text& path, const UriBase& base, const Finding* f) {
  bool relative = true;
  const std::string uri = artifactUri(path, base, &relative);
  w.beginObject().key("physicalLocation").beginObject();
  w.key("artifactLocation").beginObject().member("uri", uri);
  if (relative) w.member("uriBaseId", kSrcRoot);
  w.endObject();
  if (f && f->line > 0) {
    w.key("region").beginObject().member("startLine", f->line);
    if (f->column > 0) {
      w.member("startColumn", f->column);
      w.member("endColumn", std::max(f->endColumn, f->column));
    }
    w.endObject();
  }
  w.endObject().endObject();
}

const char* levelOf(const LintCategory& c) { return c.level; }

void renderText(const LintFile& file, std::string& out) {
  const std::string path = argumentBytes(file.path);
  for (const Finding& f : file.findings)
    out += path + ":" + std::to_string(f.line) + ":" + std::to_string(std::max(f.column, 1)) +
           ": " + f.category + ": " + toUtf8(f.name) + "\n";
}

// The English text of a finding.
std::string findingText(const Finding& f) {
  const std::optional<size_t> index = lintCategoryIndex(f.category);
  const std::string name = toUtf8(f.name);
  return index ? lintMessage(*index, name) : name;
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
    if (f.column > 0) w.member("column", f.column).member("endColumn", f.endColumn);
    w.member("text", findingText(f));
    if (!f.message.empty()) w.member("message", f.message);
    w.endObject();
  }
  w.endArray().endObject();
}

void renderSarif(const LintFile& file, const UriBase& base, std::string& out) {
  const auto categories = lintCategories();
  bool relative = true;
  const std::vector<std::string> prints =
      findingFingerprints(file.findings, artifactUri(file.path, base, &relative));
  JsonWriter w(out, 4);
  for (size_t k = 0; k < file.findings.size(); ++k) {
    const Finding& f = file.findings[k];
    const std::optional<size_t> index = lintCategoryIndex(f.category);
    w.beginObject().member("ruleId", f.category);
    if (index) w.member("ruleIndex", static_cast<long long>(*index));
    w.member("level", index ? levelOf(categories[*index]) : "warning");
    w.key("message").beginObject().member("text", findingText(f)).endObject();
    w.key("locations").beginArray();
    writeLocation(w, file.path, base, &f);
    w.endArray();
    w.key("partialFingerprints").beginObject().member(kFingerprintKey, prints[k]).endObject();
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
    w.beginObject().member("id", c.name).member("name", c.ruleName);
    w.key("shortDescription").beginObject().member("text", c.description).endObject();
    w.key("fullDescription").beginObject().member("text", c.full).endObject();
    w.key("help")
        .beginObject()
        .member("text", lintHelpText(c))
        .member("markdown", lintHelpMarkdown(c))
        .endObject();
    w.member("helpUri", std::string(kReadmeUri) + "#" + c.name);
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
      writeLocation(w, file.path, report.base, nullptr);
      w.endArray().endObject();
    }
    w.endArray();
  }
  w.endObject().endArray();

  // Each file checked, with the encoding it was read in.
  w.key("artifacts").beginArray();
  for (const LintFile& file : report.files) {
    if (file.error) continue;
    w.beginObject().key("location").beginObject();
    bool relative = true;
    w.member("uri", artifactUri(file.path, report.base, &relative));
    if (relative) w.member("uriBaseId", kSrcRoot);
    w.endObject();
    const std::string ansi = codePageName(report.codePage);
    w.member("encoding", file.encoding == Encoding::Utf8 || ansi.empty() ? "UTF-8" : ansi);
    w.endObject();
  }
  w.endArray();
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
