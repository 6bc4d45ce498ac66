#include "tests/data/language_keys.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

namespace data_test {

namespace {

bool is_word(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The index just past the string or character literal that begins at `at`.
std::size_t skip_literal(const std::string& text, std::size_t at) {
    if (text[at] == 'R' && at + 1 < text.size() && text[at + 1] == '"') {
        std::size_t const open = text.find('(', at);
        std::string const end = ")" + text.substr(at + 2, open - at - 2) + "\"";
        std::size_t const close = text.find(end, open);
        return close == std::string::npos ? text.size() : close + end.size();
    }
    char const quote = text[at];
    std::size_t i = at + 1;
    while (i < text.size() && text[i] != quote) i += text[i] == '\\' ? 2 : 1;
    return std::min(i + 1, text.size());
}

bool starts_literal(const std::string& text, std::size_t at) {
    char const c = text[at];
    if (c == '"') return true;
    // A character literal, not a digit separator (1'000).
    if (c == '\'') return at == 0 || !std::isdigit(static_cast<unsigned char>(text[at - 1]));
    return c == 'R' && at + 1 < text.size() && text[at + 1] == '"' && (at == 0 || !is_word(text[at - 1]));
}

// The index of the bracket that closes the one at `open`; text.size() when none does.
std::size_t matching(const std::string& text, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < text.size();) {
        if (starts_literal(text, i)) {
            i = skip_literal(text, i);
            continue;
        }
        char const c = text[i];
        if (c == '(' || c == '{' || c == '[') ++depth;
        if ((c == ')' || c == '}' || c == ']') && --depth == 0) return i;
        ++i;
    }
    return text.size();
}

std::string trim(const std::string& text) {
    auto const first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The parts between the brackets at `open` and `close`, split at the commas of that level.
std::vector<std::string> split_list(const std::string& text, std::size_t open, std::size_t close) {
    std::vector<std::string> parts;
    std::size_t start = open + 1;
    for (std::size_t i = open + 1; i < close;) {
        if (starts_literal(text, i)) {
            i = skip_literal(text, i);
            continue;
        }
        char const c = text[i];
        if (c == '(' || c == '{' || c == '[') {
            i = matching(text, i) + 1;
            continue;
        }
        if (c == ',') {
            parts.push_back(trim(text.substr(start, i - start)));
            start = i + 1;
        }
        ++i;
    }
    std::string const last = trim(text.substr(start, close - start));
    if (!last.empty() || !parts.empty()) parts.push_back(last);
    return parts;
}

// An argument where a key is expected: a literal, a name (a parameter or a loop variable) or a
// member of one, each maybe followed by `+ u"suffix"`.
struct KeyArgument {
    enum class Kind { literal, name, member, other } kind = Kind::other;
    std::string text;    // the literal's text, or the name
    std::string member;  // for a member
    std::string suffix;
};

KeyArgument classify(const std::string& argument) {
    static const std::regex literal(R"re(^u"([^"\\]*)"(?:\s*\+\s*u"([^"\\]*)")?$)re");
    static const std::regex name(R"re(^(\w+)(?:\s*\+\s*u"([^"\\]*)")?$)re");
    static const std::regex member(R"re(^(\w+)\s*(?:\.|->)\s*(\w+)$)re");
    std::smatch match;
    using Kind = KeyArgument::Kind;
    if (std::regex_match(argument, match, literal)) return {Kind::literal, match[1].str(), "", match[2].str()};
    if (std::regex_match(argument, match, name)) return {Kind::name, match[1].str(), "", match[2].str()};
    if (std::regex_match(argument, match, member)) return {Kind::member, match[1].str(), match[2].str(), ""};
    return {};
}

struct Call {
    std::string name;
    std::vector<std::string> arguments;
    std::size_t at;
};

struct Definition {
    std::string name;
    std::vector<std::string> parameters;
    std::size_t body_begin;
    std::size_t body_end;
};

struct ParsedFile {
    const CodeFile* file;
    std::string folder;
    std::string text;  // without comments
    std::vector<Call> calls;
    std::vector<Definition> definitions;
};

bool is_statement_word(const std::string& word) {
    static const std::set<std::string> words{"if", "for", "while", "switch", "catch", "return", "sizeof",
                                             "decltype", "alignof", "static_assert", "noexcept", "requires"};
    return words.count(word) != 0;
}

std::string parameter_name(const std::string& parameter) {
    std::string const declaration = parameter.substr(0, parameter.find('='));
    std::size_t end = declaration.size();
    while (end > 0 && !is_word(declaration[end - 1])) --end;
    std::size_t begin = end;
    while (begin > 0 && is_word(declaration[begin - 1])) --begin;
    return declaration.substr(begin, end - begin);
}

// Where the closing bracket at `close` is followed by a function body: its opening brace.
std::size_t body_after(const std::string& text, std::size_t close) {
    std::size_t i = close + 1;
    while (i < text.size()) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        std::size_t word_end = i;
        while (word_end < text.size() && is_word(text[word_end])) ++word_end;
        std::string const word = text.substr(i, word_end - i);
        if (word == "const" || word == "override" || word == "noexcept" || word == "final") {
            i = word_end;
            continue;
        }
        break;
    }
    return i < text.size() && text[i] == '{' ? i : std::string::npos;
}

ParsedFile parse(const CodeFile& file) {
    ParsedFile parsed{&file, std::filesystem::path(file.path).parent_path().string(), without_comments(file.text), {},
                      {}};
    const std::string& text = parsed.text;
    for (std::size_t i = 0; i < text.size();) {
        if (starts_literal(text, i)) {
            i = skip_literal(text, i);
            continue;
        }
        if (!is_word(text[i]) || (i > 0 && is_word(text[i - 1]))) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && is_word(text[end])) ++end;
        std::string const word = text.substr(i, end - i);
        std::size_t open = end;
        while (open < text.size() && text[open] == ' ') ++open;
        if (open >= text.size() || text[open] != '(' || is_statement_word(word)) {
            i = end;
            continue;
        }
        std::size_t const close = matching(text, open);
        std::vector<std::string> const arguments = split_list(text, open, close);
        std::size_t const body = close < text.size() ? body_after(text, close) : std::string::npos;
        if (body != std::string::npos) {
            std::vector<std::string> parameters;
            for (const auto& argument : arguments) parameters.push_back(parameter_name(argument));
            parsed.definitions.push_back({word, parameters, body, matching(text, body)});
        } else {
            parsed.calls.push_back({word, arguments, i});
        }
        i = end;
    }
    return parsed;
}

// Which arguments of a function are keys, each with the suffixes the lookup adds.
using KeyParameters = std::map<std::size_t, std::set<std::string>>;

// Functions of one name are told apart by their folder and their count of parameters.
struct LookupFunction {
    std::string folder;          // where it is defined; its calls count there ("" for anywhere)
    std::size_t parameters = 0;  // 0 for any count
    KeyParameters keys;
};

const LookupFunction* lookup_function(const std::map<std::string, std::vector<LookupFunction>>& functions,
                                      const std::string& name, const std::string& folder, std::size_t arguments) {
    auto const found = functions.find(name);
    if (found == functions.end()) return nullptr;
    const LookupFunction* with_defaults = nullptr;
    for (const LookupFunction& function : found->second) {
        if (!function.folder.empty() && function.folder != folder) continue;
        if (function.parameters == 0 || function.parameters == arguments) return &function;
        if (function.parameters > arguments && !with_defaults) with_defaults = &function;
    }
    return with_defaults;
}

// The literals a table gives to a loop variable: `for (const T& v : table)` with
// `T table[] = {{u"...", ...}, ...}` (the member's place in `struct T`), or a table of texts.
std::vector<std::string> table_entries(const std::string& text, const std::string& variable,
                                       const std::string& member) {
    std::smatch match;
    std::regex const loop("for\\s*\\(\\s*(?:const\\s+)?(?:static\\s+)?([\\w:]+)\\s*(?:const\\s*)?[&*]*\\s*(?:const\\s*)?" +
                          variable + "\\s*:\\s*(\\w+)\\s*\\)");
    if (!std::regex_search(text, match, loop)) return {};
    std::string const type = match[1];
    std::string const table = match[2];
    std::regex const declaration("\\b" + table + "\\s*\\[\\s*\\w*\\s*\\]\\s*=\\s*\\{");
    if (!std::regex_search(text, match, declaration)) return {};
    std::size_t const open = static_cast<std::size_t>(match.position(0) + match.length(0) - 1);
    std::vector<std::string> const entries = split_list(text, open, matching(text, open));
    std::size_t place = 0;
    if (!member.empty()) {
        std::regex const structure("\\bstruct\\s+" + type + "\\s*\\{");
        if (!std::regex_search(text, match, structure)) return {};
        std::size_t const body = static_cast<std::size_t>(match.position(0) + match.length(0) - 1);
        std::string const members = text.substr(body + 1, matching(text, body) - body - 1);
        std::size_t start = 0;
        for (place = 0;; ++place) {
            std::size_t const end = members.find(';', start);
            if (end == std::string::npos) return {};
            if (parameter_name(members.substr(start, end - start)) == member) break;
            start = end + 1;
        }
    }
    std::vector<std::string> literals;
    for (const std::string& entry : entries) {
        std::string value = entry;
        if (!member.empty()) {
            if (entry.empty() || entry.front() != '{') continue;
            auto const fields = split_list(entry, 0, entry.size() - 1);
            if (place >= fields.size()) continue;
            value = fields[place];
        }
        KeyArgument const argument = classify(value);
        if (argument.kind == KeyArgument::Kind::literal) literals.push_back(argument.text);
    }
    return literals;
}

const Definition* enclosing(const ParsedFile& file, std::size_t at) {
    const Definition* inner = nullptr;
    for (const Definition& definition : file.definitions) {
        if (definition.body_begin < at && at < definition.body_end) inner = &definition;
    }
    return inner;
}

// Functions that pass a parameter on to a lookup are lookups of that parameter themselves.
std::map<std::string, std::vector<LookupFunction>> find_lookup_functions(const std::vector<ParsedFile>& files) {
    std::map<std::string, std::vector<LookupFunction>> functions{{"translate", {{"", 0, {{0, {""}}}}}}};
    // Each round follows keys one call further out; a chain of helpers is never this long, and
    // the bound ends calls in a circle that add a suffix each time round.
    constexpr int longest_chain = 16;
    bool grew = true;
    for (int round = 0; grew && round < longest_chain; ++round) {
        grew = false;
        for (const ParsedFile& file : files) {
            for (const Call& call : file.calls) {
                const LookupFunction* callee =
                    lookup_function(functions, call.name, file.folder, call.arguments.size());
                const Definition* caller = callee ? enclosing(file, call.at) : nullptr;
                if (!caller || caller->name == "translate" || caller->name == call.name) continue;
                for (const auto& [index, suffixes] : callee->keys) {
                    if (index >= call.arguments.size()) continue;
                    KeyArgument const argument = classify(call.arguments[index]);
                    if (argument.kind != KeyArgument::Kind::name) continue;
                    auto const parameter = std::find(caller->parameters.begin(), caller->parameters.end(), argument.text);
                    if (parameter == caller->parameters.end()) continue;
                    auto& same_name = functions[caller->name];
                    std::size_t const count = caller->parameters.size();
                    auto own = std::find_if(same_name.begin(), same_name.end(), [&](const LookupFunction& f) {
                        return f.folder == file.folder && f.parameters == count;
                    });
                    if (own == same_name.end()) {
                        same_name.push_back(LookupFunction{file.folder, count, {}});
                        own = std::prev(same_name.end());
                    }
                    auto& keys = own->keys[static_cast<std::size_t>(parameter - caller->parameters.begin())];
                    for (const std::string& suffix : suffixes) grew |= keys.insert(argument.suffix + suffix).second;
                }
            }
        }
    }
    return functions;
}

std::string read_text(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

std::string without_comments(const std::string& text) {
    std::string out = text;
    for (std::size_t i = 0; i < out.size();) {
        if (starts_literal(out, i)) {
            i = skip_literal(out, i);
            continue;
        }
        if (out.compare(i, 2, "//") == 0) {
            while (i < out.size() && out[i] != '\n') out[i++] = ' ';
            continue;
        }
        if (out.compare(i, 2, "/*") == 0) {
            std::size_t const end = std::min(out.find("*/", i + 2), out.size() - 2) + 2;
            for (; i < end; ++i)
                if (out[i] != '\n') out[i] = ' ';
            continue;
        }
        ++i;
    }
    return out;
}

LanguageKeyScan scan_language_keys(const std::vector<CodeFile>& files) {
    std::vector<ParsedFile> parsed;
    for (const CodeFile& file : files) parsed.push_back(parse(file));
    auto const functions = find_lookup_functions(parsed);
    LanguageKeyScan scan;
    static const std::regex literal(R"re(\bu"([^"\\]*)")re");
    for (const ParsedFile& file : parsed) {
        for (auto match = std::sregex_iterator(file.text.begin(), file.text.end(), literal);
             match != std::sregex_iterator(); ++match)
            scan.literals.insert((*match)[1]);
        for (const Call& call : file.calls) {
            const LookupFunction* function =
                lookup_function(functions, call.name, file.folder, call.arguments.size());
            if (!function) continue;
            for (const auto& [index, suffixes] : function->keys) {
                if (index >= call.arguments.size()) continue;
                KeyArgument const argument = classify(call.arguments[index]);
                std::vector<std::string> keys;
                if (argument.kind == KeyArgument::Kind::literal) {
                    keys.push_back(argument.text + argument.suffix);
                } else if (argument.kind == KeyArgument::Kind::name || argument.kind == KeyArgument::Kind::member) {
                    for (const std::string& entry : table_entries(file.text, argument.text, argument.member))
                        keys.push_back(entry + argument.suffix);
                }
                for (const std::string& key : keys) {
                    for (const std::string& suffix : suffixes) scan.looked_up.emplace(key + suffix, file.file->path);
                }
            }
        }
    }
    return scan;
}

std::vector<CodeFile> program_sources(const std::string& top, const std::vector<std::string>& folders) {
    std::vector<CodeFile> files;
    for (const std::string& folder : folders) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(top + "/" + folder)) {
            std::string const extension = entry.path().extension().string();
            if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h")) continue;
            std::string const path = std::filesystem::relative(entry.path(), top).string();
            files.push_back({path, read_text(entry.path())});
        }
    }
    std::sort(files.begin(), files.end(), [](const CodeFile& a, const CodeFile& b) { return a.path < b.path; });
    return files;
}

}  // namespace data_test
