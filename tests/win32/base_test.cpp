// base_test.cpp - the base of windows.h: type widths, word macros, HRESULTs, the thread's last
// error, the clocks (and their 32-bit wrap), the program's module and command line.
#include <windows.h>

#include "platform/win32/win_timing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

namespace {

static_assert(sizeof(DWORD) == 4 && sizeof(LONG) == 4 && sizeof(UINT) == 4 && sizeof(ULONG) == 4);
static_assert(sizeof(BOOL) == 4 && sizeof(HRESULT) == 4 && sizeof(SHORT) == 2 && sizeof(WORD) == 2);
static_assert(sizeof(WPARAM) == sizeof(void*) && sizeof(LPARAM) == sizeof(void*) && sizeof(LRESULT) == sizeof(void*));
static_assert(sizeof(LARGE_INTEGER) == 8 && sizeof(WCHAR) == 4 && sizeof(__int64) == 8);

TEST(WordMacros, SplitAndJoinAsTheDocumentedWorkedValues) {
    const struct {
        long long got;
        long long expected;
    } cases[] = {
        {LOWORD(0xFFFB000A), 10},
        {HIWORD(0xFFFB000A), 0xFFFB},
        {LOWORD(LPARAM(-1)), 0xFFFF},
        {HIWORD(LPARAM(0x100020003)), 2},  // bits above 32 are not part of the high word
        {MAKELONG(10, 0xFFFB), LONG(0xFFFB000A)},
        {MAKELONG(0x12345, 0x2), 0x22345},  // each half cut to 16 bits
        {MAKEWORD(0x34, 0x12), 0x1234},
        {LOBYTE(0x1234), 0x34},
        {HIBYTE(0x1234), 0x12},
        {HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), HRESULT(0x80070002)},
        {HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER), E_INVALIDARG},
        {HRESULT_FROM_WIN32(ERROR_SUCCESS), S_OK},
        {MAKE_HRESULT(SEVERITY_ERROR, FACILITY_WIN32, ERROR_ACCESS_DENIED), E_ACCESSDENIED},
        {SUCCEEDED(S_FALSE), 1},
        {FAILED(E_FAIL), 1},
    };
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].got, cases[i].expected) << "case " << i;
}

TEST(LastError, BelongsToTheCallingThread) {
    SetLastError(ERROR_ACCESS_DENIED);
    DWORD seen = 1;
    std::thread([&] { seen = GetLastError(); }).join();
    EXPECT_EQ(seen, 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
}

TEST(Clocks, RunForwardAndTheMillisecondCountersWrapAt32Bits) {
    LARGE_INTEGER frequency{}, first{}, second{};
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_EQ(frequency.QuadPart, 10000000);
    ASSERT_TRUE(QueryPerformanceCounter(&first));
    EXPECT_FALSE(QueryPerformanceCounter(nullptr));

    // Bring the counters 5 ms short of their wrap: an unsigned difference still measures the sleep.
    const ULONGLONG now = GetTickCount64();
    win_timing_set_tick_offset((1ULL << 32) - (now % (1ULL << 32)) - 5);
    const DWORD before = timeGetTime();
    const ULONGLONG before64 = GetTickCount64();
    Sleep(20);
    const DWORD after = timeGetTime();
    const DWORD ticks = GetTickCount();
    const ULONGLONG after64 = GetTickCount64();
    win_timing_set_tick_offset(0);
    EXPECT_LT(after, before) << "wrapped";
    EXPECT_GE(DWORD(after - before), 20u);
    EXPECT_GE(DWORD(ticks - before), 20u);
    EXPECT_GE(after64 - before64, 20u) << "the 64-bit count does not wrap";
    ASSERT_TRUE(QueryPerformanceCounter(&second));
    EXPECT_GE(second.QuadPart - first.QuadPart, 20 * 10000);

    TIMECAPS caps{};
    EXPECT_EQ(timeGetDevCaps(&caps, sizeof caps), MMRESULT(TIMERR_NOERROR));
    EXPECT_EQ(caps.wPeriodMin, 1u);
    EXPECT_EQ(timeGetDevCaps(&caps, 1), MMRESULT(TIMERR_STRUCT));
    EXPECT_EQ(timeBeginPeriod(1), MMRESULT(TIMERR_NOERROR));
    EXPECT_EQ(timeEndPeriod(1), MMRESULT(TIMERR_NOERROR));
    EXPECT_EQ(timeBeginPeriod(0), MMRESULT(TIMERR_NOCANDO));
    EXPECT_FALSE(PlaySoundA("ding.wav", nullptr, SND_FILENAME));
}

TEST(Module, IsTheProgramItselfByHandleNameAndPath) {
    const HMODULE own = GetModuleHandleA(nullptr);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(GetModuleHandleW(nullptr), own);
    EXPECT_EQ(GetModuleHandleA("WIN32_TESTS.exe"), own);
    SetLastError(0);
    EXPECT_EQ(GetModuleHandleA("kernel32.dll"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));

    char* path = nullptr;
    ASSERT_EQ(_get_pgmptr(&path), 0);
    char name[4096];
    EXPECT_EQ(GetModuleFileNameA(nullptr, name, sizeof name), DWORD(std::strlen(path)));
    EXPECT_STREQ(name, path);
    wchar_t wide_name[4096];
    EXPECT_EQ(GetModuleFileNameW(own, wide_name, 4096), DWORD(std::strlen(path)));
    char small[4] = "xyz";
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 4u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::string(small), std::string(path, 3)) << "cut and terminated";
    EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(small), name, sizeof name), 0u);

    const std::string command_line = GetCommandLineA();
    EXPECT_NE(command_line.find("win32_tests"), std::string::npos) << command_line;
    EXPECT_EQ(std::wstring(GetCommandLineW()).size(), command_line.size()) << "ASCII arguments";
}

}  // namespace
