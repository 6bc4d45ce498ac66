#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/errors.h"
#include "platform/text.h"

namespace {

std::u16string to_wide(UINT code_page, const std::string& bytes) {
    int const size = MultiByteToWideChar(code_page, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::u16string out(static_cast<std::size_t>(size), u'\0');
    EXPECT_EQ(MultiByteToWideChar(code_page, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), size),
              size);
    return out;
}

std::string to_narrow(UINT code_page, DWORD flags, const std::u16string& text, BOOL* used_default = nullptr,
                      const char* default_char = nullptr) {
    int const length = static_cast<int>(text.size());
    int const size =
        WideCharToMultiByte(code_page, flags, text.data(), length, nullptr, 0, default_char, used_default);
    std::string out(static_cast<std::size_t>(size), '\0');
    EXPECT_EQ(WideCharToMultiByte(code_page, flags, text.data(), length, out.data(), size, default_char,
                                  used_default),
              size);
    return out;
}

TEST(SystemCodePage, EveryByteRoundTrips) {
    std::string all(256, '\0');
    for (int i = 0; i < 256; ++i) all[static_cast<std::size_t>(i)] = static_cast<char>(i);
    std::u16string const wide = to_wide(CP_ACP, all);
    ASSERT_EQ(wide.size(), 256u);
    BOOL used_default = TRUE;
    EXPECT_EQ(to_narrow(CP_ACP, 0, wide, &used_default), all);
    EXPECT_FALSE(used_default);
}

TEST(SystemCodePage, MapsTheWindows1252Characters) {
    struct Case {
        unsigned char byte;
        char16_t c;
    };
    for (auto const& c : {Case{0x41, u'A'}, Case{0x80, u'\u20AC'}, Case{0x81, u'\u0081'}, Case{0x8A, u'\u0160'},
                          Case{0x8D, u'\u008D'}, Case{0x8F, u'\u008F'}, Case{0x90, u'\u0090'}, Case{0x92, u'\u2019'},
                          Case{0x9D, u'\u009D'}, Case{0x9F, u'\u0178'}, Case{0xA0, u'\u00A0'}, Case{0xE9, u'\u00E9'},
                          Case{0xFF, u'\u00FF'}}) {
        EXPECT_EQ(to_wide(CP_ACP, std::string(1, static_cast<char>(c.byte))), std::u16string(1, c.c))
            << int(c.byte);
    }
}

TEST(SystemCodePage, UnmappableCharactersBecomeTheDefault) {
    struct Case {
        std::u16string text;
        std::string expected;
    };
    for (auto const& c : {Case{u"a\u0100b", "a?b"}, Case{u"\u0080", "?"}, Case{u"\u4E2D\u6587", "??"},
                          Case{u"x\U0001F3B5y", "x?y"}, Case{std::u16string(1, char16_t(0xD800)), "?"}}) {
        BOOL used_default = FALSE;
        EXPECT_EQ(to_narrow(CP_ACP, 0, c.text, &used_default), c.expected);
        EXPECT_TRUE(used_default);
    }
    BOOL used_default = FALSE;
    EXPECT_EQ(to_narrow(CP_ACP, 0, u"a\u0100", &used_default, "#"), "a#");
}

TEST(SystemCodePage, CompositeCheckJoinsLetterAndMark) {
    EXPECT_EQ(to_narrow(CP_ACP, WC_COMPOSITECHECK, u"Cafe\u0301 S\u030C"), "Caf\xE9 \x8A");
    EXPECT_EQ(to_narrow(CP_ACP, WC_COMPOSITECHECK, u"q\u0301"), "q?");
    EXPECT_EQ(to_narrow(CP_ACP, 0, u"e\u0301"), "e?");
}

TEST(Utf8CodePage, ConvertsBothWays) {
    std::u16string const text = u"a\u00E9\u20AC\U0001F3B5";
    std::string const bytes = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5";
    EXPECT_EQ(to_wide(CP_UTF8, bytes), text);
    EXPECT_EQ(to_narrow(CP_UTF8, 0, text), bytes);
    BOOL used_default = FALSE;
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text.data(), 1, nullptr, 0, nullptr, &used_default), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(CodePageConversion, ZeroTerminatedSourceCountsTheTerminator) {
    char16_t wide[8] = {};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, "abc", -1, nullptr, 0), 4);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, "abc", -1, wide, 8), 4);
    EXPECT_EQ(std::u16string(wide, 4), std::u16string(u"abc\0", 4));
    char narrow[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"\u00E9t\u00E9", -1, narrow, 8, nullptr, nullptr), 4);
    EXPECT_EQ(std::string(narrow, 4), std::string("\xE9t\xE9\0", 4));
}

TEST(CodePageConversion, RefusesBadArgumentsAndSmallBuffers) {
    char16_t wide[2];
    char narrow[2];
    auto const expect_failure = [](const char* what, auto call, DWORD error) {
        SetLastError(0);
        EXPECT_EQ(call(), 0) << what;
        EXPECT_EQ(GetLastError(), error) << what;
    };
    auto const to_narrow_buffer = [&](DWORD flags, int length) {
        return WideCharToMultiByte(CP_ACP, flags, u"abc", length, narrow, 2, nullptr, nullptr);
    };
    expect_failure("too small wide", [&] { return MultiByteToWideChar(CP_ACP, 0, "abc", 3, wide, 2); },
                   ERROR_INSUFFICIENT_BUFFER);
    expect_failure("too small narrow", [&] { return to_narrow_buffer(0, 3); }, ERROR_INSUFFICIENT_BUFFER);
    expect_failure("empty source", [&] { return MultiByteToWideChar(CP_ACP, 0, "abc", 0, wide, 2); },
                   ERROR_INVALID_PARAMETER);
    expect_failure("null source", [&] { return MultiByteToWideChar(CP_ACP, 0, nullptr, 3, wide, 2); },
                   ERROR_INVALID_PARAMETER);
    expect_failure("negative length", [&] { return to_narrow_buffer(0, -2); }, ERROR_INVALID_PARAMETER);
    expect_failure("null destination", [&] { return MultiByteToWideChar(CP_ACP, 0, "a", 1, nullptr, 2); },
                   ERROR_INVALID_PARAMETER);
    expect_failure("unknown code page", [&] { return MultiByteToWideChar(437, 0, "a", 1, wide, 2); },
                   ERROR_INVALID_PARAMETER);
    expect_failure("unknown flag", [&] { return to_narrow_buffer(0x400, 1); }, ERROR_INVALID_FLAGS);
}

TEST(CharCase, MapsBuffersAndSingleCharacters) {
    std::u16string text = u"Ab\u00C9\u0444Z";
    EXPECT_EQ(CharLowerBuffW(text.data(), 4), 4u);
    EXPECT_EQ(text, u"ab\u00E9\u0444Z");
    EXPECT_EQ(CharUpperBuffW(text.data(), static_cast<DWORD>(text.size())), 5u);
    EXPECT_EQ(text, u"AB\u00C9\u0424Z");
    char16_t zero_terminated[] = u"MiXeD";
    EXPECT_EQ(CharLowerW(zero_terminated), zero_terminated);
    EXPECT_EQ(std::u16string(zero_terminated), u"mixed");
    auto const single = CharUpperW(reinterpret_cast<LPWSTR>(static_cast<std::uintptr_t>(u'q')));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(single), static_cast<std::uintptr_t>(u'Q'));
}

}  // namespace
