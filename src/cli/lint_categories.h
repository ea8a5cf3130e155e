// The categories of the lint mode: what each means, the window's heading for it and the level
// a code-scanning service gets by default.
#pragma once

#include <optional>
#include <span>
#include <string>

namespace nokari {

struct LintCategory {
  const char* name;         // "unused-local", as the text output prints it
  const char* description;  // one English sentence
  const char* heading;      // UTF-8: the heading the window's panel shows
  const char* message;      // English result text; "{}" stands for the finding's name
  const char* level;        // SARIF's level: "error", "warning" or "note"
  const char* ruleName;     // the rule's name in SARIF: the name in CamelCase
  const char* full;         // what the finding means, in a few sentences
  const char* why;          // why it matters
  const char* wrong;        // AutoLISP that has the finding, lines joined by LF
  const char* right;        // the same code without it
  const char* silence;      // how to silence it where it is intended
};

// Every category, in the order --help lists them.
std::span<const LintCategory> lintCategories();
// The index of a category in lintCategories(), nullopt for an unknown name.
std::optional<size_t> lintCategoryIndex(std::string_view name);
// The English result text of a finding of category (an index) named name (UTF-8).
std::string lintMessage(size_t category, const std::string& name);
// The rule's help as plain text and as Markdown: why, a wrong and a right example, how to
// silence it.
std::string lintHelpText(const LintCategory& c);
std::string lintHelpMarkdown(const LintCategory& c);
// The names, comma-separated, for messages that list them.
std::string lintCategoryNames();

}  // namespace nokari
