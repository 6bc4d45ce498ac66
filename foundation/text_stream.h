#pragma once

#include <string>

namespace liba {

// A text output stream over characters of type Char; the log is one over UTF-16.
template <class Char>
class TextOStream {
public:
    virtual ~TextOStream() = default;
    virtual void write(const Char* begin, const Char* end) = 0;
    virtual void flush() = 0;
};

// Discards everything.
template <class Char>
class TextOStreamEmpty : public TextOStream<Char> {
public:
    void write(const Char*, const Char*) override {}
    void flush() override {}
};

using WideTextOStream = TextOStream<char16_t>;

// Each insertion converts its operand to one text and makes exactly one write call.
WideTextOStream& operator<<(WideTextOStream& stream, const char* text);  // system code page
WideTextOStream& operator<<(WideTextOStream& stream, const char16_t* text);
WideTextOStream& operator<<(WideTextOStream& stream, const std::u16string& text);
WideTextOStream& operator<<(WideTextOStream& stream, int value);           // "%d"
WideTextOStream& operator<<(WideTextOStream& stream, unsigned int value);  // "%u"
WideTextOStream& operator<<(WideTextOStream& stream, double value);        // "%f"

}  // namespace liba
