#include "cli/reports.h"

#include <ctime>

#include "app/func_tree.h"
#include "checks/catalogue.h"
#include "checks/paren_check.h"
#include "checks/var_check.h"
#include "platform/cli_args.h"
#include "source/func_index.h"
#include "source/scanner.h"

namespace nokari {

namespace {

Lines codeReportLines(const ReportInput& in) {
  Lines code;
  stripComments(in.source->lines, code, nullptr, 1);
  return code;
}

ReportOutput encodingReport(const ReportInput& in) {
  return {{fromAscii(encodingLabel(in.source->encoding))}, 0, {}};
}

ReportOutput codeReport(const ReportInput& in) { return {codeReportLines(in), 0, {}}; }

ReportOutput indexReport(const ReportInput& in) {
  FuncIndex index;
  makeFuncIndex(codeReportLines(in), index, 1, nullptr, false);
  return {recordTexts(index), 0, {}};
}

void appendNode(const TreeNode& node, Lines& out) {
  Text line(static_cast<size_t>(node.level) * 2, u' ');
  line += node.text;
  if (node.level > 0) {
    line += u'\t';
    line += fromAscii(std::to_string(node.line));
  }
  out.push_back(line);
  for (const TreeNode& child : node.children) appendNode(child, out);
}

ReportOutput treeReport(const ReportInput& in) {
  ReportOutput r;
  FuncTree tree = makeFuncTree(in.source->lines, nullptr);
  for (const TreeNode& root : tree.roots) appendNode(root, r.lines);
  return r;
}

ReportOutput varsReport(const ReportInput& in) {
  ReportOutput r;
  ExclusionList exclusions = loadExclusionsReporting(*in.files, in.dataDir, *in.ansi, r.warnings);
  r.lines = variableCheck(in.source->lines, exclusions, WhenClear::AllClearLines, nullptr);
  return r;
}

ReportOutput parensReport(const ReportInput& in) {
  ReportOutput r;
  ParenResult check = parenBalanceCheck(in.source->lines, false, nullptr);
  r.lines = std::move(check.panel);
  if (check.message) {
    r.lines.push_back(u"--- message ---");
    for (const Text& l : splitLines(check.message->text)) r.lines.push_back(l);
  }
  r.exitCode = check.balanced ? 0 : 1;
  return r;
}

ReportOutput funcsReport(const ReportInput& in) {
  ReportOutput r;
  BuiltinList builtins = loadBuiltinsReporting(*in.files, in.dataDir, *in.ansi, r.warnings);
  r.lines = funcCheck(in.source->lines, builtins, nullptr);
  return r;
}

ReportOutput catalogueReport(const ReportInput& in) {
  return {
      makeCatalogue(in.source->lines, in.path, in.timeText.value_or(currentTimeText()), nullptr),
      0,
      {}};
}

ReportOutput exclusionsReport(const ReportInput& in) {
  ReportOutput r;
  r.lines = loadExclusionsReporting(*in.files, in.dataDir, *in.ansi, r.warnings).entries();
  return r;
}

void warnUnreadable(const ListFileRead& read, const Text& path, const char* consequence,
                    std::string& warnings) {
  if (read.status != ListFileRead::Unreadable) return;
  warnings += "nokari-check: warning: cannot read " + argumentBytes(path) + ": " +
              toUtf8(read.error) + "; " + consequence + "\n";
}

}  // namespace

namespace {

// A list file read with load; an existing file that cannot be read is a warning, not an error.
template <typename List>
List loadReporting(List (*load)(const Files&, const Text&, const CodePage&, ListFileRead*),
                   const Files& files, const Text& dataDir, const CodePage& ansi,
                   const char16_t* fileName, const char* consequence, std::string& warnings) {
  ListFileRead read;
  List list = load(files, dataDir, ansi, &read);
  warnUnreadable(read, joinPath(dataDir, fileName), consequence, warnings);
  return list;
}

}  // namespace

ExclusionList loadExclusionsReporting(const Files& files, const Text& dataDir, const CodePage& ansi,
                                      std::string& warnings) {
  return loadReporting(&loadExclusionList, files, dataDir, ansi, kExclusionFileName,
                       "the default exclusions apply", warnings);
}

BuiltinList loadBuiltinsReporting(const Files& files, const Text& dataDir, const CodePage& ansi,
                                  std::string& warnings) {
  const char* consequence = "no built-in function is known: every call of one is undefined";
  ListFileRead read;
  BuiltinList list = loadBuiltinList(files, dataDir, ansi, &read);
  const Text path = joinPath(dataDir, kBuiltinFileName);
  warnUnreadable(read, path, consequence, warnings);
  // Without the list every built-in call would be a finding: say why.
  if (read.status == ListFileRead::Missing)
    warnings += "nokari-check: warning: no " + argumentBytes(path) + "; " + consequence + "\n";
  return list;
}

Text currentTimeText() {
  std::time_t now = std::time(nullptr);
  char buf[64] = "";
  if (const std::tm* tm = std::localtime(&now))
    std::strftime(buf, sizeof buf, "%Y/%m/%d %H:%M:%S", tm);
  return fromAscii(buf);
}

const std::vector<ReportKind>& reportKinds() {
  static const std::vector<ReportKind> kinds = {
      {"--encoding", true, encodingReport},
      {"--code", true, codeReport},
      {"--index", true, indexReport},
      {"--tree", true, treeReport},
      {"--vars", true, varsReport},
      {"--parens", true, parensReport},
      {"--funcs", true, funcsReport},
      {"--catalogue", true, catalogueReport},
      {"--exclusions", false, exclusionsReport},
  };
  return kinds;
}

}  // namespace nokari
