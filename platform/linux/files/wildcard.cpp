#include "platform/linux/files/wildcard.h"

#include "platform/unicode.h"

namespace platform::detail {
namespace {

bool same_letter(char16_t a, char16_t b) { return a == b || to_lower(a) == to_lower(b); }

// Greedy matching that backtracks to the last '*' only: linear in practice, never
// exponential.
bool matches_plainly(std::u16string_view pattern, std::u16string_view name) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t star = std::u16string_view::npos;
    std::size_t star_name = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            star_name = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || same_letter(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (star != std::u16string_view::npos) {
            p = star + 1;
            n = ++star_name;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

}  // namespace

bool has_wildcard(std::u16string_view text) { return text.find_first_of(u"*?") != std::u16string_view::npos; }

bool matches_wildcard(std::u16string_view pattern, std::u16string_view name) {
    if (matches_plainly(pattern, name)) return true;
    bool const any_extension = pattern.ends_with(u".*");
    bool const has_dot = name.find(u'.') != std::u16string_view::npos;
    return any_extension && !has_dot && matches_plainly(pattern.substr(0, pattern.size() - 2), name);
}

}  // namespace platform::detail
