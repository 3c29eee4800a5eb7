// crt_test.cpp - the Microsoft runtime functions: the printf dialect in narrow and wide output, the
// size rules of the checked and unchecked formatting functions, checked copies and integer text.
#include <windows.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

namespace {

std::string narrow(const char* format, ...) {
    char buffer[128];
    va_list args;
    va_start(args, format);
    const int n = _vsnprintf_s(buffer, sizeof buffer, _TRUNCATE, format, args);
    va_end(args);
    return n < 0 ? "<failed>" : buffer;
}

std::wstring wide(const wchar_t* format, ...) {
    wchar_t buffer[128];
    va_list args;
    va_start(args, format);
    const int n = vswprintf_s(buffer, 128, format, args);
    va_end(args);
    return n < 0 ? L"<failed>" : buffer;
}

TEST(FormatDialect, WideFunctionsTakeWideStringsAndTheMicrosoftSizes) {
    int object = 0;
    const std::pair<std::wstring, std::wstring> cases[] = {
        {wide(L"%s|%c", L"wide", L'\u0142'), L"wide|\u0142"},
        {wide(L"%S|%C", "narrow", 'n'), L"narrow|n"},
        {wide(L"%hs|%hc|%ls|%lc|%ws|%wc", "a", 'b', L"c", L'd', L"e", L'f'), L"a|b|c|d|e|f"},
        {wide(L"%S|%S", "\xB3\xB9", "\xC5\x82"), L"\u0142\u0105|\u0142"},  // Windows-1250, UTF-8
        {wide(L"[%-6s][%6.1s][%3S]", L"ab", L"abc", "x"), L"[ab    ][     a][  x]"},
        {wide(L"%s", static_cast<const wchar_t*>(nullptr)), L"(null)"},
        {wide(L"%I64d %I64u %I64x", -5000000000LL, 5000000000ULL, 0x123456789ULL), L"-5000000000 5000000000 123456789"},
        {wide(L"%Id %Iu %zd %I32d", intptr_t(-3), size_t(4), intptr_t(-5), 6), L"-3 4 -5 6"},
        {wide(L"%ld %lu", LONG(-7), ULONG(4000000000u)), L"-7 4000000000"},
        {wide(L"%hd %hx %hhu", 70000, -1, 300), L"4464 ffff 44"},
        {wide(L"%5.2f|%-+4d|%04X|%e", 3.14159, 5, 255, 1.5), L" 3.14|+5  |00FF|1.500000e+00"},
        {wide(L"%*d|%-*d|%.*f", 5, 42, 3, 7, 1, 2.25), L"   42|7  |2.2"},
        {wide(L"%p", reinterpret_cast<void*>(0x1234)), L"0000000000001234"},
        {wide(L"100%%"), L"100%"},
        {wide(L"%n", &object), L"<failed>"},
        {wide(L"%1$d", 1), L"<failed>"},
        {wide(L"%y"), L"<failed>"},
        {wide(L"%"), L"<failed>"},
        {wide(L"%2000000d", 1), L"<failed>"},  // a width that only asks for a huge output
        {wide(L"%.2000000f", 1.0), L"<failed>"},
    };
    for (const auto& [got, expected] : cases) EXPECT_EQ(got, expected);
}

TEST(FormatDialect, NarrowFunctionsTakeNarrowStringsAndWriteWideOnesAsUtf8) {
    const std::pair<std::string, std::string> cases[] = {
        {narrow("%s|%c|%hs", "a", 'b', "c"), "a|b|c"},
        {narrow("%S|%C|%ls|%ws", L"\u0142", L'\u0105', L"w", L"x"), "\xC5\x82|\xC4\x85|w|x"},
        {narrow("%.2s|%5s|%-3c|", "abcdef", "ab", 'z'), "ab|   ab|z  |"},
        {narrow("%I64d|%Iu|%ld", -5000000000LL, size_t(9), LONG(-1)), "-5000000000|9|-1"},
        {narrow("%s", static_cast<const char*>(nullptr)), "(null)"},
        {narrow("%#x|%o|%g", 255u, 8u, 0.5), "0xff|10|0.5"},
    };
    for (const auto& [got, expected] : cases) EXPECT_EQ(got, expected);
}

TEST(CheckedFormatting, RefusesOutputThatDoesNotFitUnlessAskedToCut) {
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(sprintf_s(buffer, "%s", "1234567"), 7);
    EXPECT_STREQ(buffer, "1234567");
    errno = 0;
    EXPECT_EQ(sprintf_s(buffer, sizeof buffer, "%d", 12345678), -1);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(errno, ERANGE);
    EXPECT_EQ(sprintf_s(nullptr, 8, "a"), -1);
    EXPECT_EQ(sprintf_s(buffer, "%n", nullptr), -1);

    wchar_t wide_buffer[4];
    EXPECT_EQ(swprintf_s(wide_buffer, L"%s", L"abcd"), -1);
    EXPECT_EQ(wide_buffer[0], L'\0');
    EXPECT_EQ(swprintf_s(wide_buffer, L"%S", "abc"), 3);
    EXPECT_STREQ(wide_buffer, L"abc");

    struct {
        size_t count;
        const char* text;
        int result;
        const char* buffer;
    } const cut_cases[] = {
        {_TRUNCATE, "123456789", -1, "1234567"},
        {_TRUNCATE, "1234567", 7, "1234567"},
        {3, "12345", -1, "123"},
        {5, "12345", 5, "12345"},
        {10, "123456789", -1, ""},  // count beyond the buffer and output that does not fit
    };
    for (const auto& c : cut_cases) {
        char cut[8] = "xxxxxxx";
        EXPECT_EQ(_snprintf_s(cut, sizeof cut, c.count, "%s", c.text), c.result) << c.text;
        EXPECT_STREQ(cut, c.buffer) << c.text;
    }
}

TEST(UncheckedFormatting, LeavesNoTerminatorWhenTheOutputFillsTheCount) {
    char buffer[6] = "xxxxx";
    EXPECT_EQ(_snprintf(buffer, 4, "%s", "abc"), 3);
    EXPECT_STREQ(buffer, "abc");
    std::memcpy(buffer, "xxxxx", 6);
    EXPECT_EQ(_snprintf(buffer, 4, "%s", "abcd"), 4);
    EXPECT_EQ(std::string(buffer, 5), "abcdx");
    EXPECT_EQ(_snprintf(buffer, 4, "%s", "abcdef"), -1);
    EXPECT_EQ(std::string(buffer, 5), "abcdx");
    EXPECT_EQ(_snprintf(nullptr, 0, "%d", 12345), 5);
    EXPECT_EQ(_scprintf("%S", L"\u0142"), 2);
    wchar_t wide_buffer[16];
    EXPECT_EQ(_swprintf(wide_buffer, L"%s=%d", L"x", 10), 4);
    EXPECT_STREQ(wide_buffer, L"x=10");
    EXPECT_EQ(_snwprintf(wide_buffer, 2, L"%s", L"abc"), -1);
}

TEST(CheckedCopies, ReturnTheDocumentedCodesAndEmptyTheDestinationOnOverflow) {
    struct {
        errno_t (*call)(char*, size_t);
        errno_t result;
        const char* buffer;
    } const cases[] = {
        {[](char* b, size_t n) { return strcpy_s(b, n, "abcd"); }, 0, "abcd"},
        {[](char* b, size_t n) { return strcpy_s(b, n, "abcde"); }, ERANGE, ""},
        {[](char* b, size_t n) { return strcat_s(b, n, "cd"); }, 0, "abcd"},
        {[](char* b, size_t n) { return strcat_s(b, n, "cde"); }, ERANGE, ""},
        {[](char* b, size_t n) { return strcat_s(b, n, nullptr); }, EINVAL, ""},
        {[](char* b, size_t n) { return strncpy_s(b, n, "abcdef", 3); }, 0, "abc"},
        {[](char* b, size_t n) { return strncpy_s(b, n, "abcdef", _TRUNCATE); }, STRUNCATE, "abcd"},
        {[](char* b, size_t n) { return strncpy_s(b, n, "abcdef", 5); }, ERANGE, ""},
        {[](char* b, size_t n) { return strncpy_s(b, n, "ab", 5); }, 0, "ab"},
        {[](char* b, size_t n) { return _itoa_s(-255, b, n, 10); }, 0, "-255"},
        {[](char* b, size_t n) { return _itoa_s(-255, b, n, 16); }, ERANGE, ""},  // "ffffff01"
        {[](char* b, size_t n) { return _itoa_s(5, b, n, 2); }, 0, "101"},
        {[](char* b, size_t n) { return _itoa_s(5, b, n, 37); }, EINVAL, ""},
    };
    for (const auto& c : cases) {
        char buffer[5] = "ab";
        EXPECT_EQ(c.call(buffer, sizeof buffer), c.result) << c.buffer;
        EXPECT_STREQ(buffer, c.buffer);
    }
    char wide_enough[12];
    EXPECT_STREQ(_itoa(-255, wide_enough, 16), "ffffff01");
    wchar_t wide[4];
    EXPECT_EQ(wcscpy_s(wide, L"abcd"), ERANGE);
    EXPECT_EQ(wide[0], L'\0');
    EXPECT_EQ(wcscpy_s(wide, L"abc"), 0);
    EXPECT_EQ(wcscat_s(wide, L"d"), ERANGE);
    EXPECT_EQ(_countof(wide), 4u);
}

TEST(RuntimeText, ComparesIgnoringCaseAndReadsWideNumbers) {
    EXPECT_EQ(_stricmp("Models\\AIRPLANE.X", "models\\airplane.x"), 0);
    EXPECT_LT(_stricmp("abc", "ABD"), 0);
    EXPECT_GT(_strnicmp("abcz", "ABCA", 4), 0);
    EXPECT_EQ(_strnicmp("abcz", "ABCA", 3), 0);
    EXPECT_EQ(_wcsicmp(L"Teapot", L"TEAPOT"), 0);
    EXPECT_EQ(_wtoi(L" -42x"), -42);
    EXPECT_EQ(_wtoi(L"99999999999"), INT32_MAX);
    EXPECT_DOUBLE_EQ(_wtof(L"2.5"), 2.5);
    void* block = _aligned_malloc(100, 64);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % 64, 0u);
    _aligned_free(block);
    EXPECT_EQ(_aligned_malloc(100, 48), nullptr);
}

}  // namespace
