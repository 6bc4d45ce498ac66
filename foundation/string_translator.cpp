#include "foundation/string_translator.h"

#include "foundation/file.h"
#include "foundation/text_parse.h"
#include "foundation/text_read.h"

namespace liba {
namespace {

bool is_line_break(char16_t c) { return c == u'\r' || c == u'\n'; }

const char16_t* find_line_break(const char16_t* begin, const char16_t* end) {
    while (begin != end && !is_line_break(*begin)) ++begin;
    return begin;
}

bool is_comment(const std::u16string& key) { return key.size() >= 2 && key[0] == u'/' && key[1] == u'/'; }

}  // namespace

StringTranslator::StringTranslator(const std::u16string& path) : path_(path) { load(path); }

bool StringTranslator::load(const std::u16string& path) {
    os::File file(path, 0);
    if (file.has_errors()) return false;
    parse(read_text(file, 0x7FFFFFFF));
    path_ = path;
    return true;
}

const std::u16string& StringTranslator::translate(const std::u16string& key,
                                                  const std::u16string& default_text) const {
    auto const found = table_.find(key);
    return found == table_.end() ? default_text : found->second;
}

void StringTranslator::parse(const std::u16string& text) {
    const char16_t* p = text.data();
    const char16_t* const end = p + text.size();
    std::u16string key;
    for (;;) {
        p = skip_spaces(p, end);
        if (p == end) return;
        p = read_word(key, p, end);
        if (is_comment(key)) {
            p = find_line_break(p, end);
            continue;
        }
        if (!key.empty() && key.back() == u'=') key.pop_back();
        else p = skip_spaces(p, end);
        const char16_t* const text_end = find_line_break(p, end);
        table_[key].assign(p, text_end);
        p = text_end;
    }
}

}  // namespace liba
