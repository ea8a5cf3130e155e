#include "checks/func_check.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "fakes/fake_files.h"
#include "source/decode.h"
#include "test_util.h"

namespace nokari {
namespace {

using test::lines;
using test::utf8;
using Lines = std::vector<std::string>;

const BuiltinList kBuiltins = BuiltinList::fromFileLines(
    lines({"princ", "setq", "mapcar", "1+", "if", ">", "1-", "list", "apply", "action_tile"}));

std::string pad(const std::string& name, size_t spaces, int count) {
  return name + std::string(spaces, ' ') + utf8(countField(count));
}

TEST(FuncCheck, Sections) {
  struct Case {
    const char* what;
    std::initializer_list<const char*> source;
    Lines panel;
  };
  const Case cases[] = {
      {"calls without definitions",
       {"(foo 1 2)", "(bar)", "(baz", "((lambda (x) x) 1)", "(vl-load-com)",
        "(vlax-get-acad-object)", "(acet-ui-status)", "(my-vl-util)", "(1+ x) (-1 2) (.5) (a)"},
       {"■定義されていないユーザー関数", pad("bar", 1, 1), pad("baz", 1, 1), pad("foo", 1, 1)}},
      // A command is defined as any function is, called before its definition too.
      {"a command called", {"(C:MYCMD)", "(defun c:mycmd () 1)"}, {}},
      // A call on a defun's or a lambda's line counts; a name in scope is a value, not a call.
      {"calls in defuns and lambdas",
       {"(defun f (fn x) (fn x) (cond (x (gg x))) (mapcar '(lambda (y) (hh y)) x))",
        "(setq k (lambda () 1)) (k)", "(f 1 2)"},
       {"■定義されていないユーザー関数", pad("gg", 1, 1), pad("hh", 1, 1), "■ユーザー関数の出現数",
        pad("f", 14, 1)}},
      // Quoted data holds no calls; a name in it may be a callback.
      {"quoted data",
       {"(defun cb (r p) r)", "(setq l '((foo 1) (:vlr-commandEnded . cb)) m (quote (bar)))"},
       {"■ユーザー関数の出現数", pad("cb", 0, 1)}},
      {"defined three times, a command twice",
       {"(defun f () 1)", "(defun c:x () 1)", "(defun f () 2)", "(defun F () 3)",
        "(defun c:x () 2)", "(gg)"},
       {"■重複して定義されているユーザー関数", "c:x f f", "■定義されていないユーザー関数",
        pad("gg", 1, 1), "■参照されていないユーザー関数", "f", "f", "F", "■ユーザー関数の出現数",
        pad("f", 17, 0), pad("f", 17, 0), pad("F", 17, 0)}},
      {"only built-in calls: duplicates all the same",
       {"(defun f () 1)", "(defun f () 2)", "(princ)"},
       {"■重複して定義されているユーザー関数", "f", "■参照されていないユーザー関数", "f", "f",
        "■ユーザー関数の出現数", pad("f", 17, 0), pad("f", 17, 0)}},
      {"referenced by its quoted name, (function f) or a callback string",
       {"(defun f (x) x)", "(mapcar 'f lst)", "(defun g () 1)", "(apply (function g) nil)",
        "(defun h () 1)", "(action_tile \"ok\" \"(h)(done_dialog)\")"},
       {"■ユーザー関数の出現数", pad("f", 0, 1), pad("g", 0, 1), pad("h", 0, 1)}},
      {"long duplicate line widens the counts",
       {"(defun aaaa () 1)", "(defun bbbb () 1)", "(defun cccc () 1)", "(defun aaaa () 1)",
        "(defun bbbb () 1)", "(defun cccc () 1)", "(zz)"},
       {"■重複して定義されているユーザー関数", "aaaa bbbb cccc", "■定義されていないユーザー関数",
        pad("zz", 1, 1), "■参照されていないユーザー関数", "aaaa", "aaaa", "bbbb", "bbbb", "cccc",
        "cccc", "■ユーザー関数の出現数", pad("aaaa", 14, 0), pad("aaaa", 14, 0), pad("bbbb", 14, 0),
        pad("bbbb", 14, 0), pad("cccc", 14, 0), pad("cccc", 14, 0)}},
      {"defined twice, called once",
       {"(defun f () 1)", "(defun f () 2)", "(f)"},
       {"■重複して定義されているユーザー関数", "f", "■ユーザー関数の出現数", pad("f", 17, 1),
        pad("f", 17, 1)}},
      {"commands only", {"(defun c:a () 1)", "(defun C:b () (c:a))"}, {}},
      {"reference counts",
       {"(defun foo (n) (if (> n 0) (foo (1- n))))", "(defun outer ()", "  (defun in () 1)",
        "  (foo 1) (foo 2) (in))", "(foo-bar 1)", "(outer)"},
       {"■定義されていないユーザー関数", pad("foo-bar", 1, 1), "■ユーザー関数の出現数",
        pad("foo", 12, 2), pad("outer", 10, 1), "  + in"}},
      // "(name" in a string may be a callback: it refers to name but calls nothing.
      {"strings and comments",
       {"(defun f () 1)", "(princ \"(f)\") ; (f)", "(gg \"(hh 1)\") ; (k)"},
       {"■定義されていないユーザー関数", pad("gg", 1, 1), "■ユーザー関数の出現数",
        pad("f", 14, 1)}},
      {"empty file", {}, {}},
  };
  for (const Case& c : cases) {
    NullProgress bar;
    EXPECT_EQ(utf8(funcCheck(lines(c.source), kBuiltins, &bar)), c.panel) << c.what;
    EXPECT_EQ(bar.position(), 0) << c.what;
  }
}

TEST(FuncCheck, WithoutBuiltInListEveryCallIsUndefined) {
  EXPECT_EQ(utf8(funcCheck(lines({"(princ (1+ x))"}), BuiltinList(), nullptr)),
            (Lines{"■定義されていないユーザー関数", pad("1+", 4, 1), pad("princ", 1, 1)}));
}

TEST(FuncCheck, Findings) {
  Findings findings;
  funcCheck(lines({"(defun f () (g))", "(defun f () 1)", "(hh 1)", "(defun k () (hh))"}), kBuiltins,
            nullptr, &findings);
  Lines found;
  for (const Finding& f : findings)
    found.push_back(std::to_string(f.line) + " " + f.category + " " + utf8(f.name));
  EXPECT_EQ(found,
            (Lines{"2 duplicate-function f", "3 undefined-function hh", "1 unreferenced-function f",
                   "2 unreferenced-function f", "4 unreferenced-function k"}));
}

TEST(BuiltinList, EntryIsTextBeforeTab) {
  const BuiltinList list = BuiltinList::fromFileLines(lines({"princ\tprints", " setq", "CAR", ""}));
  EXPECT_TRUE(list.contains(u"PRINC"));
  EXPECT_TRUE(list.contains(u"car"));
  EXPECT_FALSE(list.contains(u"setq"));
  EXPECT_TRUE(list.contains(u" SETQ"));
  EXPECT_FALSE(list.contains(u"prints"));
}

TEST(CountField, Widths) {
  EXPECT_EQ(utf8(countField(7)), " [  7]");
  EXPECT_EQ(utf8(countField(0)), " [  0]");
  EXPECT_EQ(utf8(countField(1234)), " [1234]");
}

TEST(BuiltinListFile, Shipped) {
  // The shipped list: UTF-8 with a byte-order mark, no vl- names needed, the common ones in.
  bool read = false;
  const std::string bytes = test::fileBytes(NOKARI_DATA_DIR "/AutoLispFuncList.txt", &read);
  ASSERT_TRUE(read);
  ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
  const TextList entries = decodeTextFile(bytes, test::Latin1CodePage()).lines;
  const BuiltinList list = BuiltinList::fromFileLines(entries);
  for (const char* name : {"setq",
                           "princ",
                           "car",
                           "cadddr",
                           "1+",
                           "/=",
                           "ssget",
                           "entmod",
                           "tblsearch",
                           "getpoint",
                           "new_dialog",
                           "command",
                           "findfile",
                           "alloc",
                           "caar",
                           "cddddr",
                           "vlr-object-reactor",
                           "vlr-remove",
                           "initcommandversion",
                           "vmon",
                           "*error*",
                           "*push-error-using-command*",
                           "*pop-error-mode*"})
    EXPECT_TRUE(list.contains(fromUtf8(name))) << name;
  for (const Text& e : entries) {
    EXPECT_FALSE(e.empty());
    EXPECT_EQ(trim(e), e);
  }
}

}  // namespace
}  // namespace nokari
