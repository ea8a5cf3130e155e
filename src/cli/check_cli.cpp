#include "cli/check_cli.h"

#include <algorithm>

#include "app/source_loading.h"
#include "cli/lint_categories.h"
#include "cli/reports.h"
#include "platform/cli_args.h"

namespace nokari {

namespace {

const char kUsage[] =
    "usage: nokari-check [OPTIONS] REPORT FILE, or [OPTIONS] [LINT OPTIONS] FILE-OR-FOLDER...; "
    "see --help";

const char kHelp[] =
    "nokari-check: the reports of Nokari for one AutoLISP file, and a lint mode for many\n"
    "\n"
    "usage: nokari-check [--data-dir DIR] [--ansi-codepage N] [--time TEXT] REPORT FILE\n"
    "       nokari-check [--data-dir DIR] [--ansi-codepage N] --exclusions\n"
    "       nokari-check [--data-dir DIR] [--ansi-codepage N] [--format FORMAT]\n"
    "                    [--select CATEGORY,...] [--ignore CATEGORY,...] [-j N] [--strict]\n"
    "                    [--per-file] [--max-results N] [--require-lists] FILE-OR-FOLDER...\n"
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
    "Lint mode (no REPORT): runs the parenthesis, variable and function checks on every FILE,\n"
    "and on every file below a FOLDER whose name ends in \".lsp\" (letter case ignored; each\n"
    "folder's names in code-unit order; links to folders are not followed), and prints one\n"
    "line per finding, each file's in line order:\n"
    "  PATH:LINE:COLUMN: CATEGORY: NAME\n"
    "The files of one run are one program: a function defined in any of them is defined, one\n"
    "named in any of them is referenced, a name read in one and defined as a function in\n"
    "another is no variable (--per-file reads each file alone).\n"
    "CATEGORY is one of (level: error, warning or note in SARIF):\n"
    "  unbalanced-parens      (error) a piece from a defun to the next one whose counts differ\n"
    "                         (NAME: the function, or \"(top level)\" for the text before the\n"
    "                         first defun), or the whole file (NAME \"(whole file)\", LINE\n"
    "                         where the check would jump)\n"
    "  unused-argument        an argument the function never uses\n"
    "  unused-local           a local (after \"/\") the function never uses\n"
    "  duplicate-local        a local declared more than once\n"
    "  global                 a name a function sets without declaring it\n"
    "  global-read            (note) a name a function only reads without declaring it\n"
    "  nested-global          the same for a nested defun, whose enclosing function does not\n"
    "                         declare it either\n"
    "  toplevel-global        a name used by the code before the first or after the last\n"
    "                         function\n"
    "  duplicate-function     (error) a function defined again (LINE of the later definition)\n"
    "  undefined-function     a call of a function neither defined in the program nor built\n"
    "                         in (LINE of its first call)\n"
    "  unreferenced-function  a function no line of the program calls or names\n"
    "LINE and COLUMN (1-based, in UTF-16 code units) are where the finding stands: a variable\n"
    "where the function first sets or reads it, an argument or local in the parameter list,\n"
    "a function at its defun, an undefined one at its first call.\n"
    "\n"
    "Lint options:\n"
    "  --format FORMAT    text: the lines above (the default); json: one document with each\n"
    "                     file's path, encoding and findings (category, name, line, column\n"
    "                     where the check knows it, the panel's text where there is one);\n"
    "                     sarif: a SARIF 2.1.0 log for code-scanning services, with URIs\n"
    "                     relative to the current folder\n"
    "  --select CATEGORY,...  report these categories only (may be given more than once)\n"
    "  --ignore CATEGORY,...  leave these categories out\n"
    "  -j N, --jobs N     check N files at a time (default: one per processor); the output\n"
    "                     is the same for every N\n"
    "  --strict           any finding makes the exit status 1\n"
    "  --per-file         check each file as a program of its own\n"
    "  --max-results N    keep the first N findings (files in order, each in line order); a\n"
    "                     SARIF log of more than 25000 results is a warning\n"
    "  --require-lists    a list file that is missing or cannot be read is an error (exit 2)\n"
    "\n"
    "Options:\n"
    "  --data-dir DIR     folder of jogaiList.txt and AutoLispFuncList.txt\n"
    "                     (default: the program's folder)\n"
    "  --ansi-codepage N  code page for files that are neither BOM-marked nor valid UTF-8,\n"
    "                     and for list files without a byte-order mark\n"
    "  --time TEXT        date-and-time text of the catalogue (default: now)\n"
    "  --help             this text\n"
    "  --version          the program's name and version\n"
    "An option's value may also follow it after \"=\" (--format=sarif); \"--\" ends the options.\n"
    "\n"
    "Output is UTF-8 with LF after every line; a panel entry holding a line break prints as\n"
    "several lines. A list file that exists but cannot be read is reported on stderr and\n"
    "the check goes on without it.\n"
    "\n"
    "Exit status:\n"
    "  0  the report or the findings were printed\n"
    "  1  --parens on a file whose counts differ; in lint mode, a file whose whole counts\n"
    "     differ (while unbalanced-parens is reported), and with --strict any finding\n"
    "  2  a usage error (an unknown option, format or category: the message lists the valid\n"
    "     ones), a file or folder that cannot be read (lint mode checks all the others\n"
    "     first; SARIF lists it as a notification), or output that cannot be written. Only\n"
    "     regular files are read: a FIFO, a device or a folder given as the FILE of a report\n"
    "     is refused at once.\n";

void appendLines(const Lines& lines, std::string& out) {
  // Room for ASCII text: a large report is not copied as the string grows.
  out.reserve(out.size() + lines.textSize() + lines.size());
  for (const std::u16string_view entry : lines) {
    // A panel entry holding line breaks prints as separate lines.
    size_t b = 0;
    for (;;) {
      size_t e = entry.find(u"\r\n", b);
      appendToUtf8(out, entry.substr(b, e == Text::npos ? Text::npos : e - b));
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

struct LintOptions {
  LintFormat format = LintFormat::Text;
  std::optional<std::vector<bool>> selected;  // per category; all when not given
  std::vector<bool> ignored = std::vector<bool>(lintCategories().size(), false);
  bool strict = false;
  bool perFile = false;
  bool requireLists = false;
  std::optional<size_t> maxResults;
  unsigned jobs = 0;  // 0: the environment's number of cores
};

// The categories of a --select or --ignore value; false on an unknown name.
bool markCategories(const Text& value, std::vector<bool>& marks, std::string& err) {
  for (size_t b = 0;;) {
    const size_t e = value.find(u',', b);
    const Text name = value.substr(b, e == Text::npos ? e : e - b);
    const std::optional<size_t> index = lintCategoryIndex(toUtf8(name));
    if (!index) {
      err += "nokari-check: unknown category \"" + argumentBytes(name) +
             "\"; the categories are: " + lintCategoryNames() + " (" + kUsage + ")\n";
      return false;
    }
    marks[*index] = true;
    if (e == Text::npos) return true;
    b = e + 1;
  }
}

// Code-scanning services take at most this many results of one run.
constexpr size_t kResultLimit = 25000;

// A run above the limit says so, naming the categories that hold most of it.
void warnAboveResultLimit(LintReport& report, std::string& err) {
  std::vector<size_t> counts(lintCategories().size(), 0);
  size_t total = 0;
  for (const LintFile& file : report.files) {
    total += file.findingCount;
    for (size_t i = 0; i < file.categoryCounts.size() && i < counts.size(); ++i)
      counts[i] += file.categoryCounts[i];
  }
  if (total <= kResultLimit) return;
  std::vector<size_t> order(counts.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return counts[a] > counts[b]; });
  std::string most;
  for (size_t k = 0; k < order.size() && k < 3 && counts[order[k]] > 0; ++k)
    most += std::string(most.empty() ? "" : ", ") + lintCategories()[order[k]].name + " " +
            std::to_string(counts[order[k]]);
  const std::string warning =
      std::to_string(total) + " results in one run, more than the " + std::to_string(kResultLimit) +
      " a code-scanning service takes (most: " + most +
      "); choose categories with --select or --ignore, or keep the first N with --max-results N";
  err += "nokari-check: warning: " + warning + "\n";
  report.warnings.push_back(warning);
}

// Lint mode: every finding of every file.
int runLint(const std::vector<Text>& args, const LintOptions& options, const CheckEnv& env,
            const Text& dataDir, const CodePage& ansi, std::string& out, std::string& err) {
  std::string warnings;
  const ExclusionList exclusions = loadExclusionsReporting(*env.files, dataDir, ansi, warnings);
  const BuiltinList builtins = loadBuiltinsReporting(*env.files, dataDir, ansi, warnings);
  if (options.requireLists && !warnings.empty()) {
    // Every warning so far is about a list file.
    const std::string_view warning = "nokari-check: warning: ";
    for (size_t b = 0, e; (e = warnings.find('\n', b)) != std::string::npos; b = e + 1) {
      std::string_view line = std::string_view(warnings).substr(b, e - b);
      if (line.substr(0, warning.size()) == warning) line.remove_prefix(warning.size());
      err += "nokari-check: ";
      err += line;
      err += " (--require-lists)\n";
    }
    return 2;
  }
  LintReport report;
  report.codePage = ansi.number();
  report.files = lintInputs(args, env.folders, warnings);

  LintSetup setup;
  setup.files = env.files;
  setup.ansi = &ansi;
  setup.exclusions = &exclusions;
  setup.builtins = &builtins;
  const size_t count = lintCategories().size();
  for (size_t i = 0; i < count; ++i)
    setup.shown.push_back((!options.selected || (*options.selected)[i]) && !options.ignored[i]);
  setup.oneProgram = !options.perFile;
  setup.maxResults = options.maxResults;
  report.base = env.uriBase;
  lintFiles(report.files, setup, options.jobs ? options.jobs : std::max(env.cores, 1u),
            [&](LintFile& file) { renderLintFile(file, options.format, env.uriBase); });

  err += warnings;
  const std::string_view prefix = "nokari-check: warning: ";
  for (size_t b = 0, e; (e = warnings.find('\n', b)) != std::string::npos; b = e + 1) {
    std::string_view line = std::string_view(warnings).substr(b, e - b);
    if (line.substr(0, prefix.size()) == prefix) line.remove_prefix(prefix.size());
    report.warnings.emplace_back(line);
  }
  if (options.format == LintFormat::Sarif) warnAboveResultLimit(report, err);
  bool readError = false, unbalanced = false, anyFinding = false;
  for (const LintFile& file : report.files) {
    if (file.error) {
      err += std::string("nokari-check: ") + file.failure + " " + argumentBytes(file.path) + ": " +
             toUtf8(*file.error) + "\n";
      readError = true;
    }
    unbalanced = unbalanced || file.unbalanced;
    anyFinding = anyFinding || file.findingCount > 0;
  }
  writeLint(report, options.format, out);
  if (readError) return 2;
  return unbalanced || (options.strict && anyFinding) ? 1 : 0;
}

// What the command line asks for.
struct CommandLine {
  enum Asked { Run, Help, Version } asked = Run;
  const ReportKind* report = nullptr;  // none: the lint mode
  std::optional<Text> dataDir, timeText;
  std::vector<Text> files;
  LintOptions lint;
  const char* lintOption = nullptr;  // the first lint option given, for the usage error
  unsigned codePage = 0;
};

// The options and files of args; a usage error goes to err and gives nullopt.
std::optional<CommandLine> parseCommandLine(const std::vector<Text>& args, std::string& err) {
  CommandLine c;
  const ReportKind*& report = c.report;
  std::optional<Text>&dataDir = c.dataDir, &timeText = c.timeText;
  std::vector<Text>& files = c.files;
  LintOptions& lint = c.lint;
  const char*& lintOption = c.lintOption;
  unsigned& codePage = c.codePage;
  auto fail = [&](const std::string& what) -> std::optional<CommandLine> {
    usageError(err, what);
    return std::nullopt;
  };
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string a = toUtf8(args[i]);
    if (optionsEnded || a.size() < 2 || a[0] != '-' ||
        (a[1] != '-' && a.compare(0, 2, "-j") != 0 && a != "-h")) {
      files.push_back(args[i]);
      continue;
    }
    if (a == "--") {
      optionsEnded = true;
      continue;
    }
    // "--name=value" and "-jN" carry their value; other options take the next argument.
    std::optional<Text> attached;
    const size_t eq = a.find('=');
    if (a.compare(0, 2, "--") == 0 && eq != std::string::npos) {
      attached = args[i].substr(eq + 1);
      a.resize(eq);
    } else if (a.compare(0, 2, "-j") == 0 && a.size() > 2) {
      attached = args[i].substr(2);
      a = "-j";
    }
    auto value = [&](Text* dst) {
      if (attached) {
        *dst = *attached;
        attached.reset();
        return true;
      }
      if (i + 1 >= args.size()) return false;
      *dst = args[++i];
      return true;
    };
    Text v;
    if (a == "--help" || a == "-h") {
      c.asked = CommandLine::Help;
      return c;
    } else if (a == "--version") {
      c.asked = CommandLine::Version;
      return c;
    } else if (a == "--data-dir") {
      if (!value(&v)) return fail("--data-dir needs a folder");
      dataDir = v;
    } else if (a == "--time") {
      if (!value(&v)) return fail("--time needs a text");
      timeText = v;
    } else if (a == "--ansi-codepage") {
      int n = 0;
      if (!value(&v) || !parseInt(v, &n) || n <= 0 || n > 65535)
        return fail("--ansi-codepage needs a code page number");
      codePage = static_cast<unsigned>(n);
    } else if (a == "--strict") {
      lint.strict = true;
      lintOption = lintOption ? lintOption : "--strict";
    } else if (a == "--per-file") {
      lint.perFile = true;
      lintOption = lintOption ? lintOption : "--per-file";
    } else if (a == "--require-lists") {
      lint.requireLists = true;
      lintOption = lintOption ? lintOption : "--require-lists";
    } else if (a == "--max-results") {
      int n = 0;
      if (!value(&v) || !parseInt(v, &n) || n < 0)
        return fail("--max-results needs a number of results");
      lint.maxResults = static_cast<size_t>(n);
      lintOption = lintOption ? lintOption : "--max-results";
    } else if (a == "--format") {
      if (!value(&v)) return fail("--format needs text, json or sarif");
      if (v == u"text") {
        lint.format = LintFormat::Text;
      } else if (v == u"json") {
        lint.format = LintFormat::Json;
      } else if (v == u"sarif") {
        lint.format = LintFormat::Sarif;
      } else {
        return fail("unknown format \"" + argumentBytes(v) +
                    "\"; the formats are: text, json, sarif");
      }
      lintOption = lintOption ? lintOption : "--format";
    } else if (a == "--select" || a == "--ignore") {
      const bool select = a == "--select";
      if (!value(&v)) return fail(a + " needs categories");
      if (select && !lint.selected) lint.selected.emplace(lintCategories().size(), false);
      if (!markCategories(v, select ? *lint.selected : lint.ignored, err)) return std::nullopt;
      lintOption = lintOption ? lintOption : select ? "--select" : "--ignore";
    } else if (a == "-j" || a == "--jobs") {
      int n = 0;
      if (!value(&v) || !parseInt(v, &n) || n < 1)
        return fail(a + " needs a number of threads (1 or more)");
      lint.jobs = static_cast<unsigned>(n);
      lintOption = lintOption ? lintOption : "-j";
    } else {
      const ReportKind* found = nullptr;
      for (const ReportKind& k : reportKinds())
        if (a == k.option) found = &k;
      if (!found) return fail("unknown option " + argumentBytes(args[i]));
      if (report) return fail("only one report at a time");
      report = found;
    }
    if (attached) return fail(a + " takes no value");
  }
  if (c.asked != CommandLine::Run) return c;
  if (!report && files.empty()) return fail("no report chosen and no file given");
  if (!report) return c;
  if (lintOption)
    return fail(std::string(lintOption) + " belongs to the lint mode (no report option)");
  if (!report->run) return c;  // said when run
  if (files.size() > 1) return fail("more than one file: " + argumentBytes(files[1]));
  if (report->needsFile && files.empty()) return fail("no file given");
  if (!report->needsFile && !files.empty())
    return fail(std::string(report->option) + " takes no file");
  return c;
}

}  // namespace

int runNokariCheck(const std::vector<Text>& args, const CheckEnv& env, std::string& out,
                   std::string& err) {
  const std::optional<CommandLine> c = parseCommandLine(args, err);
  if (!c) return 2;
  if (c->asked == CommandLine::Help) {
    out += kHelp;
    return 0;
  }
  if (c->asked == CommandLine::Version) {
    out += std::string(kToolName) + " " + kToolVersion + "\n";
    return 0;
  }
  const Text folder = c->dataDir.value_or(env.programFolder);
  auto ansi = env.codePage(c->codePage);
  if (!c->report) return runLint(c->files, c->lint, env, folder, *ansi, out, err);
  const ReportKind& report = *c->report;
  if (!report.run) {
    err += std::string("nokari-check: ") + report.option + " is not available\n";
    return 2;
  }
  std::optional<Text> file;
  if (!c->files.empty()) file = c->files[0];

  ReportInput in;
  in.path = file.value_or(Text());
  in.dataDir = folder;
  in.timeText = c->timeText;
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
  ReportOutput result = report.run(in);
  err += result.warnings;
  appendLines(result.lines, out);
  return result.exitCode;
}

}  // namespace nokari
