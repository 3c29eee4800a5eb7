// nls_test.cpp - MultiByteToWideChar and WideCharToMultiByte: sizes, code pages, invalid input and
// buffers too small.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

struct to_wide_case {
    UINT code_page;
    DWORD flags;
    std::string input;
    int length;
    std::wstring expected;  // empty: the call fails with `error`
    DWORD error;
};

TEST(MultiByteToWideChar, ConvertsAndCountsOrFailsWithTheReason) {
    const to_wide_case cases[] = {
        {CP_UTF8, 0, "za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87", -1, std::wstring(L"za\u017C\u00F3\u0142\u0107", 7), 0},
        {CP_UTF8, 0, "abc", 3, L"abc", 0},  // explicit length: no terminator
        {CP_UTF8, 0, std::string("a\0b", 3), 3, std::wstring(L"a\0b", 3), 0},
        {CP_UTF8, 0,
         "\xFF"
         "a",
         2, L"\uFFFDa", 0},
        {CP_UTF8, 0, "\xF0\x9F\x98\x80", 4, L"\U0001F600", 0},  // one unit per code point
        {CP_ACP, 0, "\xB3\xB9", 2, L"\u0142\u0105", 0},         // not UTF-8: Windows-1250
        {CP_ACP, 0, "\xC5\x82", 2, L"\u0142", 0},               // valid UTF-8 stays UTF-8
        {1250, 0, "\xC5\x82", 2, L"\u0139\u201A", 0},           // an explicit 1250 is 1250 only
        {1250, 0, "\x81", 1, L"\uFFFD", 0},
        {CP_UTF8, MB_ERR_INVALID_CHARS, "\xFF", 1, L"", ERROR_NO_UNICODE_TRANSLATION},
        {CP_UTF8, MB_ERR_INVALID_CHARS, "\xED\xA0\x80", 3, L"", ERROR_NO_UNICODE_TRANSLATION},  // surrogate
        {1250, MB_ERR_INVALID_CHARS, "\x81", 1, L"", ERROR_NO_UNICODE_TRANSLATION},
        {CP_UTF8, MB_PRECOMPOSED, "a", 1, L"", ERROR_INVALID_FLAGS},
        {CP_ACP, MB_COMPOSITE, "a", 1, L"", ERROR_INVALID_FLAGS},
        {437, 0, "a", 1, L"", ERROR_INVALID_PARAMETER},
        {CP_UTF8, 0, "a", 0, L"", ERROR_INVALID_PARAMETER},
        {CP_UTF8, 0, "a", -2, L"", ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        SetLastError(0);
        const int needed = MultiByteToWideChar(c.code_page, c.flags, c.input.data(), c.length, nullptr, 0);
        wchar_t out[16];
        const int written = MultiByteToWideChar(c.code_page, c.flags, c.input.data(), c.length, out, 16);
        if (c.expected.empty()) {
            EXPECT_EQ(needed, 0);
            EXPECT_EQ(written, 0);
            EXPECT_EQ(GetLastError(), c.error);
        } else {
            EXPECT_EQ(needed, int(c.expected.size()));
            ASSERT_EQ(written, int(c.expected.size()));
            EXPECT_EQ(std::wstring(out, size_t(written)), c.expected);
        }
    }
}

TEST(MultiByteToWideChar, RefusesMissingOrSmallBuffersAndLeavesThemAlone) {
    wchar_t out[4] = {L'x', L'x', L'x', L'x'};
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abcd", -1, out, 4), 0) << "the terminator needs a fifth unit";
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(out[0], L'x');
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, nullptr, -1, out, 4), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a", -1, nullptr, 4), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a", -1, out, -1), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(GetACP(), 1250u);
}

struct to_multibyte_case {
    UINT code_page;
    DWORD flags;
    std::wstring input;
    const char* default_char;
    std::string expected;  // empty: the call fails with `error`
    bool used_default;
    DWORD error;
};

TEST(WideCharToMultiByte, ConvertsAndCountsOrFailsWithTheReason) {
    const to_multibyte_case cases[] = {
        {CP_UTF8, 0, L"za\u017C\u00F3\u0142\u0107", nullptr, "za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87", false, 0},
        {CP_UTF8, 0, L"\U0001F600", nullptr, "\xF0\x9F\x98\x80", false, 0},
        {CP_UTF8, 0, std::wstring(1, wchar_t(0xD800)), nullptr, "\xEF\xBF\xBD", false, 0},
        {CP_UTF8, WC_ERR_INVALID_CHARS, std::wstring(1, wchar_t(0xD800)), nullptr, "", false,
         ERROR_NO_UNICODE_TRANSLATION},
        {CP_UTF8, WC_NO_BEST_FIT_CHARS, L"a", nullptr, "", false, ERROR_INVALID_FLAGS},
        {CP_UTF8, 0, L"a", "?", "", false, ERROR_INVALID_PARAMETER},  // no default character in UTF-8
        {CP_ACP, 0, L"\u0142", nullptr, "\xC5\x82", false, 0},        // ANSI text is written as UTF-8
        {CP_ACP, 0, std::wstring(1, wchar_t(0x110000)), nullptr, "?", true, 0},
        {1250, 0, L"\u0142\u0105\u20AC", nullptr, "\xB3\xB9\x80", false, 0},
        {1250, 0, L"a\u65E5", nullptr, "a?", true, 0},
        {1250, 0, L"\u65E5", "#", "#", true, 0},
        {1250, WC_ERR_INVALID_CHARS, L"a", nullptr, "", false, ERROR_INVALID_FLAGS},
        {65000, 0, L"a", nullptr, "", false, ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        SetLastError(0);
        BOOL used = 7;
        BOOL* used_pointer = c.code_page == CP_UTF8 ? nullptr : &used;
        const int length = int(c.input.size());
        const int needed =
            WideCharToMultiByte(c.code_page, c.flags, c.input.data(), length, nullptr, 0, c.default_char, nullptr);
        char out[16];
        const int written =
            WideCharToMultiByte(c.code_page, c.flags, c.input.data(), length, out, 16, c.default_char, used_pointer);
        if (c.expected.empty()) {
            EXPECT_EQ(needed, 0);
            EXPECT_EQ(written, 0);
            EXPECT_EQ(GetLastError(), c.error);
        } else {
            EXPECT_EQ(needed, int(c.expected.size()));
            ASSERT_EQ(written, int(c.expected.size()));
            EXPECT_EQ(std::string(out, size_t(written)), c.expected);
            if (used_pointer != nullptr) {
                EXPECT_EQ(used, c.used_default ? TRUE : FALSE);
            }
        }
    }
}

TEST(WideCharToMultiByte, CountsTheTerminatorAndRefusesSmallBuffers) {
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"\u0142", -1, nullptr, 0, nullptr, nullptr), 3);
    char out[3] = {'x', 'x', 'x'};
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"\u0142a", -1, out, 3, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(out[0], 'x');
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"a", 0, out, 3, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

}  // namespace
