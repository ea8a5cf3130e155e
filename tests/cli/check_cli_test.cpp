#include "cli/check_cli.h"

#include <gtest/gtest.h>

#include <algorithm>

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
  CliRun run(std::initializer_list<const char*> args) {
    CheckEnv env;
    env.files = &files;
    env.codePage = [](unsigned) { return std::make_unique<Latin1CodePage>(); };
    env.programFolder = u"/prog";
    std::vector<Text> a;
    for (const char* s : args) a.push_back(fromUtf8(s));
    CliRun r;
    r.rc = runNokariCheck(a, env, r.out, r.err);
    return r;
  }
  FakeFiles files;
};

TEST_F(CheckCli, LintFindingsAndExitStatus) {
  files.put(u"ok.lsp", "(defun f (a) (setq g 1))\n(f 1)\n");
  files.put(u"bad.lsp", "(defun h ()\n  (princ)\n");
  files.put(u"clean.lsp", "(defun k (a) a)\n(k 1)\n");
  files.put(joinPath(u"/prog", u"AutoLispFuncList.txt"), "\xEF\xBB\xBFsetq\nprinc\n");

  const CliRun findings = run({"ok.lsp"});
  EXPECT_EQ(findings.rc, 0);
  EXPECT_EQ(findings.out, "ok.lsp:1: global: g\nok.lsp:1: unused-argument: a\n");

  EXPECT_EQ(run({"--strict", "ok.lsp"}).rc, 1);
  const CliRun clean = run({"--strict", "clean.lsp"});
  EXPECT_EQ(clean.rc, 0);
  EXPECT_EQ(clean.out, "");

  const CliRun unbalanced = run({"clean.lsp", "bad.lsp"});
  EXPECT_EQ(unbalanced.rc, 1);
  EXPECT_EQ(unbalanced.out,
            "bad.lsp:1: unbalanced-parens: h\n"
            "bad.lsp:1: unbalanced-parens: (whole file)\n"
            "bad.lsp:2: toplevel-global: h\n");

  // A file that cannot be read is reported; the others are still checked.
  const CliRun missing = run({"nothere.lsp", "ok.lsp"});
  EXPECT_EQ(missing.rc, 2);
  EXPECT_NE(missing.err.find("cannot read nothere.lsp"), std::string::npos);
  EXPECT_EQ(missing.out, findings.out);
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
                    {"--data-dir"}}) {
    const CliRun r = run(args);
    EXPECT_EQ(r.rc, 2) << (args.size() ? *args.begin() : "(none)");
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(r.err.empty());
  }
}

TEST_F(CheckCli, UnreadableListFilesWarnAndGoOn) {
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
  EXPECT_EQ(fn.out, "■定義されていないユーザー関数\nprinc  [  0]\n");
  EXPECT_NE(fn.err.find("warning: cannot read /data/AutoLispFuncList.txt"), std::string::npos);

  files.unreadable.clear();
  const CliRun ok = run({"--data-dir", "/data", "--exclusions"});
  EXPECT_EQ(ok.err, "");
  EXPECT_NE(ok.out.find("\nmine\n"), std::string::npos);
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
}

}  // namespace
}  // namespace nokari
