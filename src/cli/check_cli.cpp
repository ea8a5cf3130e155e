#include "cli/check_cli.h"

#include "app/source_loading.h"
#include "cli/reports.h"

namespace nokari {

namespace {

const char kUsage[] =
    "usage: nokari-check [--data-dir DIR] [--ansi-codepage N] [--time TEXT] REPORT FILE";

const char kHelp[] =
    "nokari-check: the reports of Nokari for one AutoLISP file\n"
    "\n"
    "usage: nokari-check [--data-dir DIR] [--ansi-codepage N] [--time TEXT] REPORT FILE\n"
    "\n"
    "REPORT is one of:\n"
    "  --encoding   \"UTF8\" or \"ANSI\": the decoding the load used\n"
    "  --code       the code lines (comments and strings removed), one per source line\n"
    "  --index      the function index records, in index order, without indentation\n"
    "  --tree       the function tree: groups as their text; functions as two spaces, text,\n"
    "               TAB, line; nested functions as four spaces, text, TAB, line\n"
    "\n"
    "Options:\n"
    "  --data-dir DIR     folder of jogaiList.txt and AutoLispFuncList.txt\n"
    "                     (default: the program's folder)\n"
    "  --ansi-codepage N  code page for files that are neither BOM-marked nor valid UTF-8\n"
    "  --time TEXT        date-and-time text of the catalogue\n"
    "  --help             this text\n"
    "\n"
    "Output is UTF-8 with LF after every line. Exit status: 0 when the report was printed,\n"
    "2 on a usage error or a file that cannot be read.\n";

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

}  // namespace

int runNokariCheck(const std::vector<Text>& args, const CheckEnv& env, std::string& out,
                   std::string& err) {
  const ReportKind* report = nullptr;
  std::optional<Text> dataDir, timeText, file;
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
    } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      const ReportKind* found = nullptr;
      for (const ReportKind& k : reportKinds())
        if (a == k.option) found = &k;
      if (!found) return usageError(err, "unknown option " + a);
      if (report) return usageError(err, "only one report at a time");
      report = found;
    } else if (!file) {
      file = args[i];
    } else {
      return usageError(err, "more than one file: " + a);
    }
  }
  if (!report) return usageError(err, "no report chosen");
  if (!report->run) {
    err += std::string("nokari-check: ") + report->option + " is not available\n";
    return 2;
  }
  if (report->needsFile && !file) return usageError(err, "no file given");

  auto ansi = env.codePage(codePage);
  ReportInput in;
  in.path = file.value_or(Text());
  in.dataDir = dataDir.value_or(env.programFolder);
  in.timeText = timeText;
  in.files = env.files;
  in.ansi = ansi.get();
  DecodedSource source;
  if (file) {
    LoadedSource loaded = loadSourceLines(*file, *env.files, *ansi);
    if (!loaded.ok) {
      err += "nokari-check: cannot read " + toUtf8(*file) + ": " + toUtf8(loaded.error) + "\n";
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
