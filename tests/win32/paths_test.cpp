// paths_test.cpp - Win32 names of files (as the mesh and texture loaders take them) on a Linux
// file system: '\' as separator or inside a name, names of another case, folders not taken for
// files, and hostile names that must resolve in bounded time to the plain mapping.
#include "platform/win32/win_paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// A scratch folder made current for each test; the test's own directory is restored afterwards.
class NativePath : public ::testing::Test {
protected:
    void SetUp() override {
        start = fs::current_path();
        char pattern[] = "/tmp/win32-paths-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root = pattern;
        fs::current_path(root);
    }
    void TearDown() override {
        fs::current_path(start);
        fs::remove_all(root);
    }
    static void make_file(const std::string& path) {
        if (fs::path(path).has_parent_path()) fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path) << "x";
    }
    fs::path start;
    fs::path root;
};

bool same_entry(const std::string& a, const std::string& b) {
    struct stat x, y;
    return ::stat(a.c_str(), &x) == 0 && ::stat(b.c_str(), &y) == 0 && x.st_ino == y.st_ino && x.st_dev == y.st_dev;
}

TEST_F(NativePath, FindsTheFileWhateverItsSeparatorsAndCase) {
    const struct {
        const char* file;  // what exists (Linux path)
        const char* name;  // the Win32 name a model file gives
    } cases[] = {
        {"textures/skin.png", "Textures\\Skin.PNG"},
        {"skin\\1.png", "skin\\1.png"},
        {"Skin\\2.png", "skin\\2.PNG"},
        {"sub/dir\\x/file.bmp", "SUB\\DIR\\x\\FILE.bmp"},
        {"both/file.x", "both\\\\file.x"},
        {"\xB3\xF3"
         "d\xBC/\xA3\xD3"
         "D\xAC.png",
         "\xB3\xF3"
         "d\xBC\\\xA3\xD3"
         "D\xAC.png"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        make_file(c.file);
        EXPECT_TRUE(same_entry(win_native_path(c.name), c.file)) << win_native_path(c.name);
    }
}

TEST_F(NativePath, TakesTheEntryOfTheWantedKind) {
    fs::create_directories("model/parts");
    make_file("MODEL/parts");
    EXPECT_TRUE(same_entry(win_native_path("model\\parts"), "MODEL/parts"));
    EXPECT_TRUE(same_entry(win_native_path("model\\parts", win_path_kind::folder), "model/parts"));
    EXPECT_EQ(win_native_path("missing\\file.png"), "missing/file.png");
    EXPECT_EQ(win_native_path(nullptr), "");
}

// Names that exist under two spellings at every level (a and A, both this folder again) would make
// an unbounded search try 2^n readings, and deep ones a deep walk; thousands of separators too.
// The answer for a missing file is the plain mapping.
TEST_F(NativePath, HostileNamesEndQuicklyInThePlainMapping) {
    fs::create_directory_symlink(".", "a");
    fs::create_directory_symlink(".", "A");
    std::string every_spelling;
    for (int i = 0; i < 1500; ++i) every_spelling += "a\\";
    every_spelling += "missing";
    const std::string names[] = {
        every_spelling,
        std::string(4000, '\\') + "x",
        std::string(100000, 'a'),
        std::string(2000, 'a') + std::string(2000, '\\'),
    };
    for (const std::string& name : names) {
        std::string plain = name;
        for (char& c : plain) {
            if (c == '\\') c = '/';
        }
        EXPECT_EQ(win_native_path(name.c_str()), plain) << name.substr(0, 40);
    }
}

}  // namespace
