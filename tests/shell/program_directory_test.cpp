// program_directory_test.cpp - the shell's working-directory step (enter_program_directory):
// the executable's folder from a Win32 path, a path without any folder, and a path longer than
// the 260-character buffer.
#include <windows.h>

#include "framework.h"
#include "win_headless.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string current_directory() {
    char path[PATH_MAX] = {};
    return ::getcwd(path, sizeof path) != nullptr ? path : "";
}

std::string win32_form(std::string path) {
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

// Runs each case from a scratch folder under /tmp and puts back the test's own directory and
// program path afterwards.
class ProgramDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        start = current_directory();
        char pattern[] = "/tmp/shell-directory-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root = pattern;
        ASSERT_EQ(::chdir(root.c_str()), 0);
    }
    void TearDown() override {
        win_headless_set_program_path(nullptr);
        ASSERT_EQ(::chdir(start.c_str()), 0);
        std::system(("rm -rf '" + root + "'").c_str());
    }
    void make_folder(const std::string& path) { ASSERT_EQ(::mkdir(path.c_str(), 0755), 0) << path; }

    std::string start;
    std::string root;
};

TEST_F(ProgramDirectory, EntersTheFolderOfABackslashedPath) {
    make_folder(root + "/Demo Programs");
    make_folder(root + "/Demo Programs/bin");
    win_headless_set_program_path(win32_form(root + "/Demo Programs/bin/airplane-demo").c_str());
    enter_program_directory();
    EXPECT_EQ(current_directory(), root + "/Demo Programs/bin");
}

TEST_F(ProgramDirectory, FolderNamesMatchWhateverTheirCase) {
    make_folder(root + "/Models");
    win_headless_set_program_path(win32_form(root + "/MODELS/spaceship-demo.exe").c_str());
    enter_program_directory();
    EXPECT_EQ(current_directory(), root + "/Models");
}

TEST_F(ProgramDirectory, APathWithoutBackslashLeavesTheDirectoryAsItWas) {
    FILE* file = std::fopen("airplane-demo.exe", "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    win_headless_set_program_path("airplane-demo.exe");
    enter_program_directory();
    EXPECT_EQ(current_directory(), root);

    // The whole name is handed on: were it a folder, that folder would be entered.
    make_folder(root + "/spaceship-demo");
    win_headless_set_program_path("spaceship-demo");
    enter_program_directory();
    EXPECT_EQ(current_directory(), root + "/spaceship-demo");
}

TEST_F(ProgramDirectory, APathLongerThan260CharactersStillEntersItsFolder) {
    std::string folder = root;
    const std::string level(60, 'd');
    while (folder.size() < 300) {
        folder += "/" + level;
        make_folder(folder);
    }
    const std::string program = folder + "/airplane-demo";
    ASSERT_GT(program.size(), static_cast<size_t>(MAX_PATH));
    win_headless_set_program_path(win32_form(program).c_str());
    enter_program_directory();
    EXPECT_EQ(current_directory(), folder);
}

}  // namespace
