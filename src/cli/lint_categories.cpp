#include "cli/lint_categories.h"

namespace nokari {

namespace {

const LintCategory kCategories[] = {
    {"unbalanced-parens",
     "The counts of \"(\" and \")\" differ, from a defun to the next one or in the whole file.",
     "■括弧数不一致",
     "The counts of \"(\" and \")\" differ from the defun of {} to the next defun.", "error"},
    {"unused-argument", "An argument the function never uses.", "[未使用]",
     "Argument {} is never used.", "warning"},
    {"unused-local", "A local variable (after \"/\") the function never uses.", "[未使用]",
     "Local variable {} is never used.", "warning"},
    {"duplicate-local", "A local variable declared more than once.", "[重複]",
     "Local variable {} is declared more than once.", "warning"},
    {"global", "A variable a function sets without declaring it.", "[グローバル]",
     "Variable {} is set without being declared.", "warning"},
    {"global-read", "A variable a function only reads without declaring it: a global set elsewhere.",
     "[グローバル]", "Variable {} is read without being declared.", "note"},
    {"nested-global",
     "A variable a nested defun uses that neither it nor its enclosing function declares.",
     "[サブ関数内でグローバル]",
     "Variable {} is used in a nested defun without being declared there or around it.", "warning"},
    {"toplevel-global", "A variable the code before the first or after the last function uses.",
     "[グローバル(全関数定義の前方)] [グローバル(全関数の後方)]",
     "Variable {} is used by top-level code.", "warning"},
    {"duplicate-function", "A function defined again.", "■重複して定義されているユーザー関数",
     "Function {} is defined again.", "error"},
    {"undefined-function", "A call of a function neither defined in the file nor built in.",
     "■定義されていないユーザー関数", "Function {} is called but neither defined nor built in.",
     "warning"},
    {"unreferenced-function", "A function that no line of the file calls.",
     "■参照されていないユーザー関数", "Function {} is never called in this file.", "warning"},
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

std::string lintCategoryNames() {
  std::string names;
  for (const LintCategory& c : kCategories) {
    if (!names.empty()) names += ", ";
    names += c.name;
  }
  return names;
}

}  // namespace nokari
