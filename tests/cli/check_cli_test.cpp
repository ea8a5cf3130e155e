#include "cli/check_cli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "checks/lint.h"
#include "cli/json_writer.h"
#include "cli/lint_categories.h"
#include "cli/lint_output.h"
#include "fakes/fake_files.h"
#include "test_util.h"

namespace nokari {
namespace {

using test::FakeFiles;
using test::Latin1CodePage;

struct CliRun {
  int rc;
  std::string out, err;
};

class CheckCli : public ::testing::Test {
 protected:
  CliRun run(const std::vector<const char*>& args) {
    CheckEnv env;
    env.files = &files;
    env.codePage = [](unsigned) { return std::make_unique<Latin1CodePage>(); };
    env.programFolder = u"/prog";
    env.folders = folders;
    std::vector<Text> a;
    for (const char* s : args) a.push_back(fromUtf8(s));
    CliRun r;
    r.rc = runNokariCheck(a, env, r.out, r.err);
    return r;
  }
  FakeFiles files;
  FolderAccess folders;
};

TEST_F(CheckCli, LintFindingsAndExitStatus) {
  files.put(u"ok.lsp", "(defun f (a) (setq g 1))\n(f 1)\n");
  files.put(u"bad.lsp", "(defun h ()\n  (princ)\n");
  files.put(u"clean.lsp", "(defun k (a) a)\n(k 1)\n");
  files.put(joinPath(u"/prog", u"AutoLispFuncList.txt"), "\xEF\xBB\xBFsetq\nprinc\n");

  const CliRun findings = run({"ok.lsp"});
  EXPECT_EQ(findings.rc, 0);
  EXPECT_EQ(findings.out, "ok.lsp:1:11: unused-argument: a\nok.lsp:1:20: global: g\n");

  EXPECT_EQ(run({"--strict", "ok.lsp"}).rc, 1);
  const CliRun clean = run({"--strict", "clean.lsp"});
  EXPECT_EQ(clean.rc, 0);
  EXPECT_EQ(clean.out, "");

  const CliRun unbalanced = run({"clean.lsp", "bad.lsp"});
  EXPECT_EQ(unbalanced.rc, 1);
  EXPECT_EQ(unbalanced.out,
            "bad.lsp:1:1: unbalanced-parens: h\n"
            "bad.lsp:1:11: unbalanced-parens: (whole file)\n");

  // A file that cannot be read is reported; the others are still checked.
  const CliRun missing = run({"nothere.lsp", "ok.lsp"});
  EXPECT_EQ(missing.rc, 2);
  EXPECT_NE(missing.err.find("cannot read nothere.lsp"), std::string::npos);
  EXPECT_EQ(missing.out, findings.out);
}

TEST_F(CheckCli, FilesOfOneRunAreOneProgram) {
  files.put(joinPath(u"/prog", u"AutoLispFuncList.txt"), "princ\nsetq\nlambda\n");
  files.put(u"a.lsp",
            "(defun c:go (/ r)\n"
            "  (setq r (helper 1) leak 2)\n"  // a leak stays a finding in any reading
            "  (princ gv)\n"                  // gv is a function of b.lsp, not a variable
            "  (fn r)\n"                      // fn holds a function b.lsp sets
            "  (zz r))\n");
  files.put(u"b.lsp",
            "(defun helper (x) x)\n"
            "(defun gv () 1)\n"
            "(setq fn (lambda (y) y))\n");
  const CliRun program = run({"a.lsp", "b.lsp"});
  EXPECT_EQ(program.out,
            "a.lsp:2:22: global: leak\n"
            "a.lsp:5:4: undefined-function: zz\n"
            "b.lsp:3:7: toplevel-global: fn\n");
  const CliRun alone = run({"--per-file", "a.lsp", "b.lsp"});
  EXPECT_EQ(alone.out,
            "a.lsp:2:12: undefined-function: helper\n"
            "a.lsp:2:22: global: leak\n"
            "a.lsp:3:10: global-read: gv\n"
            "a.lsp:4:4: undefined-function: fn\n"
            "a.lsp:5:4: undefined-function: zz\n"
            "b.lsp:1:1: unreferenced-function: helper\n"
            "b.lsp:2:1: unreferenced-function: gv\n"
            "b.lsp:3:7: toplevel-global: fn\n");
  // The undefined function left is padded as the panel pads it when it is the only one.
  EXPECT_NE(run({"--format", "json", "a.lsp", "b.lsp"}).out.find("\"zz  [  1]\""),
            std::string::npos);
}

TEST_F(CheckCli, ResultLimitAndRequiredLists) {
  files.put(joinPath(u"/prog", u"AutoLispFuncList.txt"), "setq\n");
  files.put(u"ok.lsp", "(defun f (a) (setq g 1))\n(f 1)\n");
  std::string many;  // 25,001 unused arguments
  for (int i = 0; i < 5000; ++i) many += "(defun c:f" + std::to_string(i) + " (a b c d e) 1)\n";
  files.put(u"many.lsp", many + "(defun c:last (a) 1)\n");

  EXPECT_EQ(run({"--max-results", "1", "ok.lsp", "many.lsp"}).out,
            "ok.lsp:1:11: unused-argument: a\n");
  EXPECT_EQ(run({"--max-results=0", "ok.lsp"}).out, "");

  // A log above what code scanning takes says so, naming what fills it.
  const CliRun above = run({"--format", "sarif", "many.lsp"});
  const std::string warning =
      "25001 results in one run, more than the 25000 a code-scanning service takes (most: "
      "unused-argument 25001)";
  EXPECT_NE(above.err.find("warning: " + warning), std::string::npos) << above.err;
  EXPECT_NE(above.out.find(warning), std::string::npos);  // a notification
  EXPECT_EQ(run({"--format", "sarif", "--max-results", "25000", "many.lsp"}).err, "");

  // The lists can be made a must.
  EXPECT_EQ(run({"--require-lists", "ok.lsp"}).rc, 0);
  files.content.erase(joinPath(u"/prog", u"AutoLispFuncList.txt"));
  const CliRun missing = run({"--require-lists", "ok.lsp"});
  EXPECT_EQ(missing.rc, 2);
  EXPECT_EQ(missing.out, "");
  EXPECT_NE(missing.err.find("nokari-check: no /prog/AutoLispFuncList.txt; no built-in function "
                             "is known: every call of one is undefined (--require-lists)"),
            std::string::npos)
      << missing.err;
}

TEST_F(CheckCli, UsageErrors) {
  files.put(u"a.lsp", "(princ)\n");
  for (auto args : {std::initializer_list<const char*>{},
                    {"--vars"},
                    {"--vars", "a.lsp", "a.lsp"},
                    {"--strict", "--vars", "a.lsp"},
                    {"--exclusions", "a.lsp"},
                    {"--frobnicate", "a.lsp"},
                    {"--vars", "--funcs", "a.lsp"},
                    {"--data-dir"},
                    {"--format", "xml", "a.lsp"},
                    {"--format"},
                    {"--select", "global", "--vars", "a.lsp"},
                    {"-j", "2", "--tree", "a.lsp"},
                    {"-j", "0", "a.lsp"},
                    {"-jx", "a.lsp"},
                    {"--strict=yes", "a.lsp"},
                    {"--select", "globals", "a.lsp"},
                    {"--ignore", "global,", "a.lsp"},
                    {"--select", "", "a.lsp"}}) {
    const CliRun r = run(args);
    EXPECT_EQ(r.rc, 2) << (args.size() ? *args.begin() : "(none)");
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(r.err.empty());
  }
}

TEST_F(CheckCli, SelectAndIgnoreChooseTheCategories) {
  files.put(u"ok.lsp", "(defun f (a) (setq g 1))\n(f 1)\n");
  files.put(u"bad.lsp", "(defun h ()\n  (princ)\n");
  files.put(joinPath(u"/prog", u"AutoLispFuncList.txt"), "setq\nprinc\n");
  struct Case {
    std::vector<const char*> args;
    int rc;
    const char* out;
  };
  const Case cases[] = {
      {{"--select", "global", "ok.lsp", "bad.lsp"}, 0, "ok.lsp:1:20: global: g\n"},
      {{"--select", "global", "--select=toplevel-global", "ok.lsp", "bad.lsp"},
       0,
       "ok.lsp:1:20: global: g\n"},
      {{"--select=global,unused-argument", "--ignore", "global", "ok.lsp"},
       0,
       "ok.lsp:1:11: unused-argument: a\n"},
      // Unbalanced parentheses fail the run only while they are reported.
      {{"--ignore", "unbalanced-parens", "bad.lsp"}, 0, ""},
      {{"--select", "global", "--strict", "bad.lsp"}, 0, ""},
      {{"--ignore", "toplevel-global", "--strict", "bad.lsp"},
       1,
       "bad.lsp:1:1: unbalanced-parens: h\nbad.lsp:1:11: unbalanced-parens: (whole file)\n"},
  };
  for (const Case& c : cases) {
    const CliRun r = run(c.args);
    EXPECT_EQ(r.rc, c.rc) << c.args[1];
    EXPECT_EQ(r.out, c.out) << c.args[1];
    EXPECT_EQ(r.err, "") << c.args[1];
  }
  const CliRun unknown = run({"--ignore", "global,globals", "ok.lsp"});
  EXPECT_NE(
      unknown.err.find("unknown category \"globals\"; the categories are: " + lintCategoryNames()),
      std::string::npos)
      << unknown.err;
}

TEST_F(CheckCli, FolderWalkCutsLoopsAndGoesPastUnreadableFolders) {
  // "top/again" is "top" itself, as a mount or a link that the platform lists as a folder.
  folders.list = [](const Text& p) {
    FolderListing l;
    if (p == u"top" || p.starts_with(u"top/again")) {
      l.status = FolderListing::Listed;
      l.entries = {{u"again", true}, {u"b.LSP", false}, {u"locked", true}, {u"a.lsp", false}};
    } else if (p.ends_with(u"locked")) {
      l.status = FolderListing::Failed;
      l.error = u"Permission denied";
    }
    return l;
  };
  folders.same = [](Text a, Text b) {
    for (Text* t : {&a, &b})
      while (t->ends_with(u"/again")) t->resize(t->size() - 6);
    return a == b;
  };
  files.put(u"top/a.lsp", "(defun k (a) 1)\n(k 1)\n");
  files.put(u"top/b.LSP", "(defun k (b) 1)\n(k 1)\n");
  files.put(joinPath(u"/prog", u"AutoLispFuncList.txt"), "");
  const CliRun r = run({"top"});
  EXPECT_EQ(r.rc, 2);
  EXPECT_EQ(r.out, "top/a.lsp:1:11: unused-argument: a\ntop/b.LSP:1:11: unused-argument: b\n");
  EXPECT_EQ(r.err, "nokari-check: cannot read top/locked: Permission denied\n");
}

TEST(SarifUri, NormalisedRelativeToTheCurrentFolderAndPercentEncoded) {
  struct Case {
    Text path, cwd;
    bool windows;
    const char* uri;
    bool relative;
  };
  const Case cases[] = {
      {u"lisp/a.lsp", u"/w", false, "lisp/a.lsp", true},
      {u".//a b.lsp", u"/w", false, "a%20b.lsp", true},
      {u"../x/a.lsp", u"/w", false, "file:///x/a.lsp", false},
      {u"./a/../b//c.lsp", u"/w", false, "b/c.lsp", true},
      {u"/w/a/./../b.lsp", u"/w", false, "b.lsp", true},
      {u"/w/../../w/a.lsp", u"/w", false, "a.lsp", true},
      {u"link.lsp", u"/w", false, "real/a.lsp", true},  // a link into real/
      {u"C:\\work\\..\\work\\a.lsp", u"C:\\work", true, "a.lsp", true},
      {u"/w/lisp/関.lsp", u"/w/", false, "lisp/%E9%96%A2.lsp", true},
      {u"/wx/a.lsp", u"/w", false, "file:///wx/a.lsp", false},
      {u"/a.lsp", u"/", false, "a.lsp", true},
      {u"a:b#c.lsp", u"/w", false, "a%3Ab%23c.lsp", true},
      {u"sub\\a.lsp", u"/w", false, "sub%5Ca.lsp", true},
      {Text(u"x") + char16_t(0xDC8A) + u".lsp", u"/w", false, "x%8A.lsp", true},
      {u"sub\\a.lsp", u"C:\\w", true, "sub/a.lsp", true},
      {u"c:\\Work\\lisp\\a.lsp", u"C:\\work", true, "lisp/a.lsp", true},
      {u"D:\\x y\\a.lsp", u"C:\\work", true, "file:///D:/x%20y/a.lsp", false},
      {u"\\work\\a.lsp", u"c:\\Work", true, "a.lsp", true},
      {u"\\\\server\\share\\a.lsp", u"C:\\work", true, "file://server/share/a.lsp", false},
  };
  for (const Case& c : cases) {
    bool relative = !c.relative;
    UriBase base{c.cwd, c.windows};
    base.resolve = [](const Text& p) { return p == u"link.lsp" ? Text(u"/w/real/a.lsp") : Text(); };
    EXPECT_EQ(artifactUri(c.path, base, &relative), c.uri) << c.uri;
    EXPECT_EQ(relative, c.relative) << c.uri;
  }
}

TEST(SarifFingerprints, StayThroughEditsElsewhereAndDifferInARun) {
  const std::vector<const char*> base = {"(defun c:a (/ x)", "  (setq g1 1)",
                                         "  (princ y))",     "(defun other () (setq g2 2))",
                                         "(defun d () 1)",   "(defun d () 2)"};
  // "category name" -> fingerprint, for the findings of source.
  auto prints = [](std::vector<const char*> source) {
    TextList l;
    for (const char* s : source) l.push_back(fromUtf8(s));
    const LintResult r =
        lintSource(l, ExclusionList::defaults(), BuiltinList::fromFileLines({u"setq", u"princ"}));
    const std::vector<std::string> fp = findingFingerprints(r.findings, "a.lsp");
    std::map<std::string, std::string> out;
    for (size_t k = 0; k < fp.size(); ++k)
      out[std::string(r.findings[k].category) + " " + toUtf8(r.findings[k].name) + " " +
          toUtf8(r.findings[k].scope) + " " + std::to_string(k)] = fp[k];
    return std::pair(out, fp);
  };
  auto without = [](std::map<std::string, std::string> m, const char* word) {
    std::erase_if(m, [&](const auto& e) { return e.first.find(word) != std::string::npos; });
    std::map<std::string, std::string> byPrint;
    for (auto& [k, v] : m) byPrint[k.substr(0, k.rfind(' '))] = v;
    return byPrint;
  };
  const auto [before, all] = prints(base);
  EXPECT_EQ(std::set<std::string>(all.begin(), all.end()).size(), all.size());  // distinct

  struct Case {
    const char* what;
    std::vector<const char*> source;
    const char* changed;  // findings about this word may change; "" when none may
  };
  std::vector<const char*> above = base, renamed = base, again = base;
  above.insert(above.begin(), {";; two lines", ";; above"});
  renamed[3] = "(defun other2 () (setq g2 2))";
  again.push_back("(defun c:b () (setq g1 3))");
  const Case cases[] = {{"lines above", above, ""},
                        {"another function renamed", renamed, "other"},
                        {"a second global of the same name", again, "c:b"}};
  for (const Case& c : cases) {
    const auto [after, prints2] = prints(c.source);
    EXPECT_EQ(std::set<std::string>(prints2.begin(), prints2.end()).size(), prints2.size())
        << c.what;
    const auto kept = without(after, *c.changed ? c.changed : "\x01");
    for (const auto& [key, print] : without(before, *c.changed ? c.changed : "\x01")) {
      const auto it = kept.find(key);
      ASSERT_NE(it, kept.end()) << c.what << ": " << key;
      EXPECT_EQ(it->second, print) << c.what << ": " << key;
    }
  }
}

TEST(JsonWriter, StringsKeepEveryCodeUnit) {
  const std::pair<Text, const char*> cases[] = {
      {u"a\"b\\c/", "\"a\\\"b\\\\c/\""},
      {u"\n\r\t\x01\x1f", "\"\\n\\r\\t\\u0001\\u001f\""},
      {u"関数", "\"関数\""},
      {u"\xD83D\xDE00", "\"\xF0\x9F\x98\x80\""},
      {Text(1, char16_t(0xDC8A)) + u"x" + char16_t(0xD83D), "\"\\udc8ax\\ud83d\""},
  };
  for (const auto& [text, json] : cases) {
    std::string out;
    JsonWriter(out).string(text);
    EXPECT_EQ(out, json);
  }
}

TEST_F(CheckCli, MissingOrUnreadableListFilesWarnAndGoOn) {
  const Text exclusions = joinPath(u"/data", u"jogaiList.txt");
  const Text funcs = joinPath(u"/data", u"AutoLispFuncList.txt");
  files.put(exclusions, "mine\n");
  files.put(funcs, "princ\n");
  files.unreadable = {exclusions, funcs};
  files.put(u"a.lsp", "(princ)\n");

  const CliRun ex = run({"--data-dir", "/data", "--exclusions"});
  EXPECT_EQ(ex.rc, 0);
  EXPECT_EQ(std::count(ex.out.begin(), ex.out.end(), '\n'), 57);
  EXPECT_NE(ex.err.find("warning: cannot read /data/jogaiList.txt"), std::string::npos);

  const CliRun fn = run({"--data-dir", "/data", "--funcs", "a.lsp"});
  EXPECT_EQ(fn.rc, 0);
  EXPECT_EQ(fn.out, "■定義されていないユーザー関数\nprinc  [  1]\n");
  EXPECT_NE(fn.err.find("warning: cannot read /data/AutoLispFuncList.txt"), std::string::npos);

  files.unreadable.clear();
  const CliRun ok = run({"--data-dir", "/data", "--exclusions"});
  EXPECT_EQ(ok.err, "");
  EXPECT_NE(ok.out.find("\nmine\n"), std::string::npos);

  // Without the list every built-in call is a finding: the run says why, in SARIF too.
  files.content.erase(funcs);
  const CliRun sarif = run({"--data-dir", "/data", "--format", "sarif", "a.lsp"});
  const std::string why = "no /data/AutoLispFuncList.txt; no built-in function is known";
  EXPECT_NE(sarif.err.find("warning: " + why), std::string::npos);
  const size_t note = sarif.out.find("\"toolExecutionNotifications\"");
  ASSERT_NE(note, std::string::npos);
  EXPECT_NE(sarif.out.find(why, note), std::string::npos);
}

TEST_F(CheckCli, ReportsPrintPanelLines) {
  files.put(u"dir/x.lsp", "(defun f ()\n  (g 1)\n");
  const CliRun parens = run({"--parens", "dir/x.lsp"});
  EXPECT_EQ(parens.rc, 1);
  EXPECT_EQ(parens.out,
            "■括弧数不一致\n※(defun から次の (defun 直前まで\n・行範囲 = 1～2\n　括弧数 = 3 > 2\n"
            "　範囲内にある関数 = f \n--- message ---\n"
            "括弧数 = 3 > 2, 上からの最終一致行 = 1\nこれより下の行で括弧数が一致していません，\n");
  files.put(u"dir/y.lsp", "(defun f () 1)\n");
  const CliRun cat = run({"--time", "NOW", "--catalogue", "dir/y.lsp"});
  EXPECT_EQ(cat.rc, 0);
  EXPECT_EQ(
      cat.out,
      "■ LISP関数カタログ ******************************\n ファイル : y.lsp\n 作成日時 : NOW\n"
      "*********************************************** ■\n" +
          std::string(50, '-') + "\n□ f \n");
  EXPECT_EQ(run({"--parens", "dir/y.lsp"}).rc, 0);
}

TEST_F(CheckCli, HelpNamesEveryOptionAndCategory) {
  const CliRun r = run({"--help"});
  EXPECT_EQ(r.rc, 0);
  for (const char* word : {"--encoding",
                           "--code",
                           "--index",
                           "--tree",
                           "--vars",
                           "--parens",
                           "--funcs",
                           "--catalogue",
                           "--exclusions",
                           "--data-dir",
                           "--ansi-codepage",
                           "--time",
                           "--strict",
                           "--per-file",
                           "--max-results",
                           "--require-lists",
                           "--format",
                           "json",
                           "sarif",
                           "--select",
                           "--ignore",
                           "-j N",
                           "--version",
                           "unbalanced-parens",
                           "unused-argument",
                           "unused-local",
                           "duplicate-local",
                           "global",
                           "nested-global",
                           "toplevel-global",
                           "duplicate-function",
                           "undefined-function",
                           "unreferenced-function"})
    EXPECT_NE(r.out.find(word), std::string::npos) << word;
  // Every rule's help address leads to a section of the README.
  bool read = false;
  const std::string readme = test::fileBytes(NOKARI_DATA_DIR "/../README.md", &read);
  ASSERT_TRUE(read);
  for (const LintCategory& c : lintCategories())
    EXPECT_NE(readme.find("\n### " + std::string(c.name) + "\n"), std::string::npos) << c.name;
}

}  // namespace
}  // namespace nokari
