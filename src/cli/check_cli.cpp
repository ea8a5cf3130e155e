#include "cli/check_cli.h"

#include "app/source_loading.h"
#include "checks/lint.h"
#include "cli/reports.h"
#include "platform/cli_args.h"

namespace nokari {

namespace {

const char kUsage[] =
    "usage: nokari-check [OPTIONS] REPORT FILE, or [OPTIONS] [--strict] FILE...; see --help";

const char kHelp[] =
    "nokari-check: the reports of Nokari for one AutoLISP file, and a lint mode for many\n"
    "\n"
    "usage: nokari-check [--data-dir DIR] [--ansi-codepage N] [--time TEXT] REPORT FILE\n"
    "       nokari-check [--data-dir DIR] [--ansi-codepage N] --exclusions\n"
    "       nokari-check [--data-dir DIR] [--ansi-codepage N] [--strict] FILE...\n"
    "\n"
    "REPORT is one of:\n"
    "  --encoding   \"UTF8\" or \"ANSI\": the decoding the load used\n"
    "  --code       the code lines (comments and strings removed), one per source line\n"
    "  --index      the function index records, in index order, without indentation\n"
    "  --tree       the function tree: groups as their text; functions as two spaces, text,\n"
    "               TAB, line; nested functions as four spaces, text, TAB, line\n"
    "  --vars       the results panel after a load: the variable check (unused, duplicated\n"
    "               and undeclared names per function, names used by top-level code)\n"
    "  --parens     the results panel after the parenthesis check, as shown when no editor\n"
    "               window is open; when the whole file does not balance, a line\n"
    "               \"--- message ---\" and the lines of the message. Exit status 1 when the\n"
    "               whole file's \"(\" and \")\" counts differ\n"
    "  --funcs      the results panel after the function check: duplicated, undefined and\n"
    "               unreferenced user functions, and the reference count of each function\n"
    "  --catalogue  the function catalogue; line 2 shows FILE's name without its folder\n"
    "  --exclusions the exclusion list in sorted order (the defaults and DIR/jogaiList.txt);\n"
    "               takes no FILE\n"
    "\n"
    "Lint mode (no REPORT): runs the parenthesis, variable and function checks on every FILE\n"
    "and prints one line per finding:\n"
    "  PATH:LINE: CATEGORY: NAME\n"
    "CATEGORY is one of:\n"
    "  unbalanced-parens      a piece from a defun to the next one whose counts differ (NAME:\n"
    "                         the function, or \"(top level)\" for the text before the first\n"
    "                         defun), or the whole file (NAME \"(whole file)\", LINE where\n"
    "                         the check would jump)\n"
    "  unused-argument        an argument the function never uses\n"
    "  unused-local           a local (after \"/\") the function never uses\n"
    "  duplicate-local        a local declared more than once\n"
    "  global                 a name a function uses without declaring it\n"
    "  nested-global          the same for a nested defun, whose enclosing function does not\n"
    "                         declare it either\n"
    "  toplevel-global        a name used by the code before the first or after the last\n"
    "                         function (LINE 1, or the file's last line)\n"
    "  duplicate-function     a function defined again (LINE of the later definition)\n"
    "  undefined-function     a call of a function neither defined in the file nor built in\n"
    "                         (LINE of its first call)\n"
    "  unreferenced-function  a function no line of the file calls\n"
    "LINE is the 1-based line of the function's defun unless told otherwise.\n"
    "\n"
    "Options:\n"
    "  --data-dir DIR     folder of jogaiList.txt and AutoLispFuncList.txt\n"
    "                     (default: the program's folder)\n"
    "  --ansi-codepage N  code page for files that are neither BOM-marked nor valid UTF-8,\n"
    "                     and for list files without a byte-order mark\n"
    "  --time TEXT        date-and-time text of the catalogue (default: now)\n"
    "  --strict           lint mode: any finding makes the exit status 1\n"
    "  --help             this text\n"
    "\n"
    "Output is UTF-8 with LF after every line; a panel entry holding a line break prints as\n"
    "several lines. A list file that exists but cannot be read is reported on stderr and\n"
    "the check goes on without it.\n"
    "\n"
    "Exit status: 0 when the report was printed; 1 for --parens on a file whose counts\n"
    "differ, and in lint mode when a file's counts differ (with --strict: any finding);\n"
    "2 on a usage error, a file that cannot be read (lint mode checks the other files) or\n"
    "output that cannot be written. Only regular files are read: a FIFO, a device or a folder\n"
    "is refused at once.\n";

void appendLines(const TextList& lines, std::string& out) {
  for (const Text& entry : lines) {
    // A panel entry holding line breaks prints as separate lines.
    size_t b = 0;
    for (;;) {
      size_t e = entry.find(u"\r\n", b);
      out += toUtf8(std::u16string_view(entry).substr(b, e == Text::npos ? Text::npos : e - b));
      out += '\n';
      if (e == Text::npos) break;
      b = e + 2;
    }
  }
}

int usageError(std::string& err, const std::string& what) {
  err += "nokari-check: " + what + " (" + kUsage + ")\n";
  return 2;
}

// Lint mode: every finding of every file, one line each.
int runLint(const std::vector<Text>& files, bool strict, const CheckEnv& env, const Text& dataDir,
            const CodePage& ansi, std::string& out, std::string& err) {
  const ExclusionList exclusions = loadExclusionsReporting(*env.files, dataDir, ansi, err);
  const BuiltinList builtins = loadBuiltinsReporting(*env.files, dataDir, ansi, err);
  bool readError = false, unbalanced = false, anyFinding = false;
  for (const Text& file : files) {
    LoadedSource loaded = loadSourceLines(file, *env.files, ansi);
    if (!loaded.ok) {
      err +=
          "nokari-check: cannot read " + argumentBytes(file) + ": " + toUtf8(loaded.error) + "\n";
      readError = true;
      continue;
    }
    LintResult r = lintSource(loaded.lines, exclusions, builtins);
    unbalanced = unbalanced || r.unbalanced;
    anyFinding = anyFinding || !r.findings.empty();
    const std::string path = argumentBytes(file);
    for (const Finding& f : r.findings)
      out += path + ":" + std::to_string(f.line) + ": " + f.category + ": " + toUtf8(f.name) + "\n";
  }
  if (readError) return 2;
  return unbalanced || (strict && anyFinding) ? 1 : 0;
}

}  // namespace

int runNokariCheck(const std::vector<Text>& args, const CheckEnv& env, std::string& out,
                   std::string& err) {
  const ReportKind* report = nullptr;
  std::optional<Text> dataDir, timeText;
  std::vector<Text> files;
  bool strict = false;
  unsigned codePage = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string a = toUtf8(args[i]);
    auto value = [&](Text* dst) {
      if (i + 1 >= args.size()) return false;
      *dst = args[++i];
      return true;
    };
    if (a == "--help" || a == "-h") {
      out += kHelp;
      return 0;
    } else if (a == "--data-dir") {
      Text v;
      if (!value(&v)) return usageError(err, "--data-dir needs a folder");
      dataDir = v;
    } else if (a == "--time") {
      Text v;
      if (!value(&v)) return usageError(err, "--time needs a text");
      timeText = v;
    } else if (a == "--ansi-codepage") {
      Text v;
      int n = 0;
      if (!value(&v) || !parseInt(v, &n) || n <= 0 || n > 65535)
        return usageError(err, "--ansi-codepage needs a code page number");
      codePage = static_cast<unsigned>(n);
    } else if (a == "--strict") {
      strict = true;
    } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      const ReportKind* found = nullptr;
      for (const ReportKind& k : reportKinds())
        if (a == k.option) found = &k;
      if (!found) return usageError(err, "unknown option " + argumentBytes(args[i]));
      if (report) return usageError(err, "only one report at a time");
      report = found;
    } else {
      files.push_back(args[i]);
    }
  }
  const Text folder = dataDir.value_or(env.programFolder);
  if (!report) {
    if (files.empty()) return usageError(err, "no report chosen and no file given");
    auto ansi = env.codePage(codePage);
    return runLint(files, strict, env, folder, *ansi, out, err);
  }
  if (strict) return usageError(err, "--strict belongs to the lint mode (no report option)");
  if (!report->run) {
    err += std::string("nokari-check: ") + report->option + " is not available\n";
    return 2;
  }
  if (files.size() > 1) return usageError(err, "more than one file: " + argumentBytes(files[1]));
  if (report->needsFile && files.empty()) return usageError(err, "no file given");
  if (!report->needsFile && !files.empty())
    return usageError(err, std::string(report->option) + " takes no file");
  std::optional<Text> file;
  if (!files.empty()) file = files[0];

  auto ansi = env.codePage(codePage);
  ReportInput in;
  in.path = file.value_or(Text());
  in.dataDir = folder;
  in.timeText = timeText;
  in.files = env.files;
  in.ansi = ansi.get();
  DecodedSource source;
  if (file) {
    LoadedSource loaded = loadSourceLines(*file, *env.files, *ansi);
    if (!loaded.ok) {
      err +=
          "nokari-check: cannot read " + argumentBytes(*file) + ": " + toUtf8(loaded.error) + "\n";
      return 2;
    }
    source.lines = std::move(loaded.lines);
    source.encoding = loaded.encoding;
    in.source = &source;
  }
  ReportOutput result = report->run(in);
  err += result.warnings;
  appendLines(result.lines, out);
  return result.exitCode;
}

}  // namespace nokari
