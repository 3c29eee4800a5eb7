// text_runtime_test.cpp - Windows-1250 decoding, and the runtime calls the programs' working-
// directory step relies on: strcpy_s, _get_pgmptr, SetCurrentDirectoryA.
#include <windows.h>

#include "platform/win32/win_cp1250.h"
#include "platform/win32/win_headless.h"
#include "scratch_directory.h"

#include <gtest/gtest.h>
#include <iconv.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

TEST(Cp1250, LoadFailureMessageDecodesToPolishUtf8) {
    const unsigned char bytes[] = {0x42, 0xB3, 0xB9, 0x64, 0x20, 0xB3, 0x61, 0x64, 0x6F, 0x77, 0x61, 0x6E, 0x69,
                                   0x61, 0x20, 0x70, 0x6C, 0x69, 0x6B, 0x75, 0x20, 0x2E, 0x78, 0x21, 0x00};
    EXPECT_EQ(win_cp1250_to_utf8(reinterpret_cast<const char*>(bytes)), "Błąd ładowania pliku .x!");
    EXPECT_EQ(win_cp1250_to_utf8(nullptr), "");
    EXPECT_EQ(win_cp1250_to_utf8("plain ASCII ~"), "plain ASCII ~");
}

// Cross-checks every byte of the upper half against the C library's own CP1250 converter.
TEST(Cp1250, UpperHalfAgreesWithTheSystemConverter) {
    iconv_t converter = iconv_open("UTF-8", "CP1250");
    if (converter == reinterpret_cast<iconv_t>(-1)) GTEST_SKIP() << "the C library has no CP1250 converter";
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        char in[2] = {static_cast<char>(byte), 0};
        char out[8] = {};
        char* in_p = in;
        char* out_p = out;
        size_t in_left = 1, out_left = sizeof out - 1;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        const bool defined = iconv(converter, &in_p, &in_left, &out_p, &out_left) != static_cast<size_t>(-1);
        const std::string expected = defined ? std::string(out) : "\xEF\xBF\xBD";
        EXPECT_EQ(win_cp1250_to_utf8(in), expected) << "byte 0x" << std::hex << byte;
    }
    iconv_close(converter);
}

TEST(StrcpyS, CopiesWhatFitsAndRefusesTheRest) {
    char buffer[8];
    EXPECT_EQ(strcpy_s(buffer, sizeof buffer, "1234567"), 0);
    EXPECT_STREQ(buffer, "1234567");

    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(strcpy_s(buffer, sizeof buffer, "12345678"), ERANGE) << "no room for the terminator";
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], 'x') << "nothing beyond the first byte is written";

    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(strcpy_s(buffer, sizeof buffer, nullptr), EINVAL);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(strcpy_s(nullptr, sizeof buffer, "a"), EINVAL);
    buffer[0] = 'x';
    EXPECT_EQ(strcpy_s(buffer, 0, "a"), EINVAL);
    EXPECT_EQ(buffer[0], 'x') << "a zero-size destination is not touched";
}

std::string own_executable() {
    char path[PATH_MAX] = {};
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
}

std::string current_directory() {
    char path[PATH_MAX] = {};
    return ::getcwd(path, sizeof path) != nullptr ? path : "";
}

TEST(ProgramPath, IsTheExecutableWithBackslashesUnlessOverridden) {
    EXPECT_EQ(_get_pgmptr(nullptr), EINVAL);
    char* path = nullptr;
    ASSERT_EQ(_get_pgmptr(&path), 0);
    ASSERT_NE(path, nullptr);
    std::string expected = own_executable();
    for (char& c : expected) {
        if (c == '/') c = '\\';
    }
    EXPECT_EQ(std::string(path), expected);

    win_headless_set_program_path("C:\\Demos\\shapes-demo.exe");
    ASSERT_EQ(_get_pgmptr(&path), 0);
    EXPECT_STREQ(path, "C:\\Demos\\shapes-demo.exe");
    win_headless_set_program_path(nullptr);
    ASSERT_EQ(_get_pgmptr(&path), 0);
    EXPECT_EQ(std::string(path), expected);
}

// A scratch folder tree under /tmp; the test's working directory is restored afterwards.
class CurrentDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(root.empty());
        ASSERT_EQ(::mkdir((root + "/Models").c_str(), 0755), 0);
        ASSERT_EQ(::mkdir((root + "/Models/Airplane").c_str(), 0755), 0);
        FILE* file = std::fopen((root + "/Models/file.x").c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fclose(file);
    }
    static std::string backslashed(std::string path) {
        for (char& c : path) {
            if (c == '/') c = '\\';
        }
        return path;
    }
    scratch_directory scratch{"win32-cwd"};
    const std::string& root = scratch.path();
};

TEST_F(CurrentDirectory, AcceptsBackslashesAndNamesOfAnotherCase) {
    EXPECT_TRUE(SetCurrentDirectoryA(backslashed(root + "/Models/Airplane").c_str()));
    EXPECT_EQ(current_directory(), root + "/Models/Airplane");
    EXPECT_TRUE(SetCurrentDirectoryA(backslashed(root + "/MODELS/airplane\\").c_str()));
    EXPECT_EQ(current_directory(), root + "/Models/Airplane");
    EXPECT_TRUE(SetCurrentDirectoryA("..\\"));
    EXPECT_EQ(current_directory(), root + "/Models");
}

TEST_F(CurrentDirectory, RefusesFilesMissingFoldersAndNothingWithTheReasonAndStaysPut) {
    ASSERT_TRUE(SetCurrentDirectoryA(root.c_str()));
    const struct {
        std::string path;
        DWORD error;
    } cases[] = {
        {backslashed(root + "/Models/file.x"), ERROR_DIRECTORY},
        {"missing-folder", ERROR_PATH_NOT_FOUND},
        {"Models\\file.x\\below", ERROR_DIRECTORY},
        {std::string(5000, 'd'), ERROR_FILENAME_EXCED_RANGE},
        {"", ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(SetCurrentDirectoryA(c.path.c_str())) << c.path;
        EXPECT_EQ(GetLastError(), c.error) << c.path;
    }
    EXPECT_FALSE(SetCurrentDirectoryA(nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(current_directory(), root);
}

}  // namespace
