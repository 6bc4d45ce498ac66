// The language keys the program's code uses, found by reading its sources.
//
// A key is looked up by `translate(key, ...)`. The scan follows a key from there back to the
// text that names it:
// - a string literal given where a key is looked up ("Help_link");
// - a function whose parameter reaches a lookup, maybe with a suffix (`report(key)` that
//   translates `key + u"_caption"` and `key`): its calls with a literal look those keys up;
// - a loop variable over a table (`for (const Choice& choice : choices) translate(choice.key)`):
//   the table's entries at that member.
// What it cannot follow (a name read from a skin, a lambda's parameter) it leaves alone.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace data_test {

struct CodeFile {
    std::string path;  // for messages
    std::string text;
};

struct LanguageKeyScan {
    // Keys looked up, each with the first file that looks it up.
    std::map<std::string, std::string> looked_up;
    // Every string literal of the code: a key named anywhere, e.g. handed to a control.
    std::set<std::string> literals;
};

// The code's text with its comments blanked (strings and line breaks kept).
std::string without_comments(const std::string& text);

LanguageKeyScan scan_language_keys(const std::vector<CodeFile>& files);

// The program's sources below the given folders of the source tree.
std::vector<CodeFile> program_sources(const std::string& top, const std::vector<std::string>& folders);

}  // namespace data_test
