// The texts that the user reads, looked up by key in the current language file.
#pragma once

#include <map>
#include <string>

namespace liba {

// A key-to-text table loaded from a language file; keys compare exactly (case counts).
//
// Language file: UTF-16LE after the byte-order mark FF FE, else text in the system code
// page. Each entry is a key (the characters up to the next white space) and a text that
// runs to the end of its line:
//     TITLE= Hello       key "TITLE", text " Hello" (a key ending in '=' takes the rest of
//                        its line as it stands, the empty text when nothing follows)
//     TITLE Hello        key "TITLE", text "Hello" (white space after the key is skipped,
//                        line breaks too: a key alone on its line takes the next line)
//     // note            a line whose first word begins with "//" is ignored
// A later entry replaces an earlier one with the same key.
class StringTranslator {
public:
    StringTranslator() = default;
    // Keeps the path and loads the file; whether it loaded is not reported.
    explicit StringTranslator(const std::u16string& path);
    virtual ~StringTranslator() = default;

    // Adds the file's entries to the table (replacing equal keys) and keeps the path;
    // false, with nothing changed, when the file cannot be opened.
    bool load(const std::u16string& path);
    // The text stored for the key, else the very default text passed in.
    const std::u16string& translate(const std::u16string& key, const std::u16string& default_text) const;

    // The language file last loaded; empty when none was.
    const std::u16string& get_path() const { return path_; }

private:
    // Adds the entries of a language file's text to the table.
    void parse(const std::u16string& text);

    std::map<std::u16string, std::u16string> table_;
    std::u16string path_;
};

}  // namespace liba
