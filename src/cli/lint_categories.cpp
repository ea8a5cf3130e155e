#include "cli/lint_categories.h"

namespace nokari {

namespace {

const LintCategory kCategories[] = {
    {"unbalanced-parens",
     "The counts of \"(\" and \")\" differ, from a defun to the next one or in the whole file.",
     "■括弧数不一致",
     "The counts of \"(\" and \")\" differ from the defun of {} to the next defun.", "error",
     "UnbalancedParentheses",
     "The text from a defun to the next one (or before the first defun, or the whole file) "
     "opens more parentheses than it closes, or closes more than it opens. Strings and comments "
     "do not count. The finding of the whole file stands where its counts stop agreeing.",
     "AutoLISP reads the file form by form: a missing \")\" swallows the functions after it, "
     "an extra one ends the load with an error, and the program does something else than it "
     "reads.",
     "(defun c:hello ()\n  (princ \"hello\")\n(defun c:bye () (princ))",
     "(defun c:hello ()\n  (princ \"hello\"))\n(defun c:bye () (princ))",
     "Nothing to silence: mend the parentheses. --ignore unbalanced-parens leaves the category "
     "out."},
    {"unused-argument", "An argument the function never uses.", "[未使用]",
     "Argument {} is never used.", "warning", "UnusedArgument",
     "A name in the function's argument list (before \"/\") that no code of the function, "
     "nested code included, reads or sets.",
     "Every caller must pass a value that nothing reads: a leftover of an older version or a "
     "misspelt name in the body.",
     "(defun area (w h d)\n  (* w h))", "(defun area (w h)\n  (* w h))",
     "Keep the argument when callers rely on it (a callback with a fixed list); list its name in "
     "jogaiList.txt, or --ignore unused-argument."},
    {"unused-local", "A local variable (after \"/\") the function never uses.", "[未使用]",
     "Local variable {} is never used.", "warning", "UnusedLocal",
     "A name declared after \"/\" in the function's list that no code of the function, nested "
     "code included, reads or sets.",
     "A local nobody uses is a leftover, or the sign of a misspelt name: the code then sets a "
     "global instead.",
     "(defun c:count (/ n ss)\n  (setq ss (ssget))\n  (sslength ss))",
     "(defun c:count (/ ss)\n  (setq ss (ssget))\n  (sslength ss))",
     "List the name in jogaiList.txt, or --ignore unused-local."},
    {"duplicate-local", "A local variable declared more than once.", "[重複]",
     "Local variable {} is declared more than once.", "warning", "DuplicateLocal",
     "A name that stands twice after \"/\" in the function's list.",
     "The second declaration does nothing; it often stands where another name was meant.",
     "(defun c:move (/ p1 p1)\n  (setq p1 (getpoint)))",
     "(defun c:move (/ p1 p2)\n  (setq p1 (getpoint) p2 (getpoint p1)))",
     "Remove the repeated name, or --ignore duplicate-local."},
    {"global", "A variable a function sets without declaring it.", "[グローバル]",
     "Variable {} is set without being declared.", "warning", "UndeclaredAssignment",
     "A name the function sets with setq that neither its argument list nor its locals declare, "
     "nor those of a function around it: the value outlives the call.",
     "A global set by accident keeps its value between commands and between programs: another "
     "function that uses the same name reads a stale value, and two commands overwrite each "
     "other's data.",
     "(defun c:total (/ ss)\n  (setq ss (ssget) n (sslength ss))\n  (princ n))",
     "(defun c:total (/ ss n)\n  (setq ss (ssget) n (sslength ss))\n  (princ n))",
     "A global meant to be shared: give it a name in *stars*, list it in jogaiList.txt, or "
     "--ignore global."},
    {"global-read",
     "A variable a function only reads without declaring it: a global set elsewhere.",
     "[グローバル]", "Variable {} is read without being declared.", "note", "UndeclaredRead",
     "A name the function reads but never sets and does not declare: a global that some other "
     "code sets, or a name that nothing sets at all.",
     "The function depends on state it does not own: it breaks when the code that sets the name "
     "has not run, and a misspelt local reads nil.",
     "(defun draw ()\n  (command \"_.circle\" pt radius))",
     "(defun draw (pt radius)\n  (command \"_.circle\" pt radius))",
     "List the name in jogaiList.txt, or --ignore global-read."},
    {"nested-global",
     "A variable a nested defun uses that neither it nor its enclosing function declares.",
     "[サブ関数内でグローバル]",
     "Variable {} is used in a nested defun without being declared there or around it.", "warning",
     "NestedUndeclared",
     "A name that a defun written inside another function sets or reads, declared neither by it "
     "nor by the functions around it.",
     "The nested function reaches out of the command that holds it: its value leaks into the "
     "drawing session like any global.",
     "(defun c:run (/ main)\n  (defun main () (setq i 0))\n  (main))",
     "(defun c:run (/ main i)\n  (defun main () (setq i 0))\n  (main))",
     "Declare it in the enclosing function, list it in jogaiList.txt, or --ignore "
     "nested-global."},
    {"toplevel-global", "A variable the code before the first or after the last function uses.",
     "[グローバル(全関数定義の前方)] [グローバル(全関数の後方)]",
     "Variable {} is used by top-level code.", "warning", "TopLevelVariable",
     "A name that code outside every function, before the first defun or after the last one, "
     "sets or reads: it runs when the file is loaded.",
     "Code that runs at load time sets globals of the whole session; a loaded file should leave "
     "nothing behind but its functions.",
     "(setq old (getvar \"osmode\"))\n(defun c:a () (princ))",
     "(defun c:a (/ old)\n  (setq old (getvar \"osmode\"))\n  (princ))",
     "List the name in jogaiList.txt, or --ignore toplevel-global."},
    {"duplicate-function", "A function defined again.", "■重複して定義されているユーザー関数",
     "Function {} is defined again.", "error", "DuplicateFunction",
     "A top-level defun of a name that an earlier defun of the file already defines.",
     "The later definition replaces the earlier one when the file loads: the earlier code never "
     "runs, and which one a reader looks at is a matter of luck.",
     "(defun half (x) (/ x 2))\n(defun half (x) (* x 0.5))", "(defun half (x) (/ x 2.0))",
     "Remove or rename one of them, or --ignore duplicate-function."},
    {"undefined-function", "A call of a function neither defined in the program nor built in.",
     "■定義されていないユーザー関数", "Function {} is called but neither defined nor built in.",
     "warning", "UndefinedFunction",
     "A call of a name that no file of the run defines, no setq sets and AutoLispFuncList.txt "
     "does not list. The finding stands at the first call.",
     "The call fails with \"no function definition\" when it runs, often long after the load: "
     "a misspelt name or a library that is not loaded.",
     "(defun c:go ()\n  (pirnc \"go\"))", "(defun c:go ()\n  (princ \"go\"))",
     "Check the library files together (one run), add the function's name to "
     "AutoLispFuncList.txt, or --ignore undefined-function."},
    {"unreferenced-function", "A function that no line of the program calls.",
     "■参照されていないユーザー関数", "Function {} is never called in the program.", "warning",
     "UnreferencedFunction",
     "A top-level function, not a command, that no file of the run calls or names: no call, no "
     "'name, no (function name), no \"(name\" in a string.",
     "Code that nothing calls is dead weight that still has to be read and kept working, or the "
     "sign of a call that names it wrongly.",
     "(defun old-helper (x) x)\n(defun c:go () (princ))", "(defun c:go () (princ))",
     "A library function meant for other programs: check them together, or --ignore "
     "unreferenced-function."},
};

}  // namespace

std::span<const LintCategory> lintCategories() { return kCategories; }

std::optional<size_t> lintCategoryIndex(std::string_view name) {
  for (size_t i = 0; i < std::size(kCategories); ++i)
    if (name == kCategories[i].name) return i;
  return std::nullopt;
}

std::string lintMessage(size_t category, const std::string& name) {
  const std::string_view kind = kCategories[category].name;
  if (kind == "unbalanced-parens" && name == "(whole file)")
    return "The counts of \"(\" and \")\" differ in the whole file.";
  if (kind == "unbalanced-parens" && name == "(top level)")
    return "The counts of \"(\" and \")\" differ before the first defun.";
  const std::string_view text = kCategories[category].message;
  const size_t at = text.find("{}");
  return std::string(text.substr(0, at)) + name + std::string(text.substr(at + 2));
}

std::string lintHelpText(const LintCategory& c) {
  return std::string(c.full) + "\n\nWhy it matters: " + c.why + "\n\nWrong:\n" + c.wrong +
         "\n\nRight:\n" + c.right + "\n\nTo silence it: " + c.silence + "\n";
}

std::string lintHelpMarkdown(const LintCategory& c) {
  return "**" + std::string(c.name) + "**: " + c.full + "\n\n**Why it matters.** " + c.why +
         "\n\n**Wrong:**\n\n```lisp\n" + c.wrong + "\n```\n\n**Right:**\n\n```lisp\n" + c.right +
         "\n```\n\n**To silence it.** " + c.silence + "\n";
}

std::string lintCategoryNames() {
  std::string names;
  for (const LintCategory& c : kCategories) {
    if (!names.empty()) names += ", ";
    names += c.name;
  }
  return names;
}

}  // namespace nokari
