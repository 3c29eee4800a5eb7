// program_directory_test.cpp - the shell's working-directory step (enter_program_directory):
// the executable's folder from a Win32 path whatever the folder's name, a path without any
// folder, a path longer than the 260-character buffer, the line on stderr when the folder cannot
// be entered, and a real model demo copied into a folder whose name another folder shadows.
#include <windows.h>

#include "framework.h"
#include "platform/win32/win_headless.h"
#include "scratch_directory.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

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
        ASSERT_FALSE(root.empty());
        ASSERT_EQ(::chdir(root.c_str()), 0);
    }
    void TearDown() override { win_headless_set_program_path(nullptr); }
    void make_folder(const std::string& path) { ASSERT_EQ(::mkdir(path.c_str(), 0755), 0) << path; }
    // Makes `relative` (a Linux path under root) and every folder on the way.
    void make_folders(const std::string& relative) {
        std::error_code error;
        std::filesystem::create_directories(root + "/" + relative, error);
        ASSERT_FALSE(error) << relative << ": " << error.message();
    }

    scratch_directory scratch{"shell-directory"};
    const std::string& root = scratch.path();
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

// Folder names Linux allows and a Win32 path cannot tell apart from separators, each beside
// decoys: folders that another reading of the program's path names, which must not win.
TEST_F(ProgramDirectory, EntersItsFolderWhateverItsName) {
    struct test_case {
        const char* folder;  // where the program lives (Linux path under root)
        const char* win32;   // the folder as the program's path names it (under root; '/' as '\\')
        std::vector<const char*> decoys;
    };
    const test_case cases[] = {
        {"demo\\bin", "demo\\bin", {}},
        {"one\\two\\three", "one\\two\\three", {"one/two", "one\\two"}},
        {"my demos/x \\ y ", "my demos/x \\ y ", {}},
        {"modele/\xC5\x82\xC3\xB3"
         "d\xC5\xBA/\xB3\\\xB9",
         "modele/\xC5\x82\xC3\xB3"
         "d\xC5\xBA/\xB3\\\xB9",
         {}},
        {"models\\bin", "models\\bin", {"MODELS/bin"}},
        {"Models\\Bin", "models\\BIN", {"models"}},
        {"dir\\/x", "dir\\/x", {"dir"}},
        {"\\lead", "\\lead", {}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const test_case& c = cases[i];
        SCOPED_TRACE(c.folder);
        const std::string base = std::to_string(i) + "/";
        ASSERT_EQ(::chdir(root.c_str()), 0);
        for (const char* decoy : c.decoys) make_folders(base + decoy);
        make_folders(base + c.folder);
        win_headless_set_program_path(win32_form(root + "/" + base + c.win32 + "/airplane-demo").c_str());
        enter_program_directory();
        EXPECT_EQ(current_directory(), root + "/" + base + c.folder);
    }
}

TEST_F(ProgramDirectory, AFolderThatCannotBeEnteredIsNamedOnStderrAndTheDirectoryStays) {
    FILE* file = std::fopen("plain-file", "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    const struct {
        std::string program;
        const char* reason;
    } cases[] = {
        {win32_form(root + "/removed/airplane-demo"), "does not exist"},
        {win32_form(root + "/plain-file/airplane-demo"), "not a folder"},
    };
    for (const auto& c : cases) {
        win_headless_set_program_path(c.program.c_str());
        ::testing::internal::CaptureStderr();
        enter_program_directory();
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(current_directory(), root);
        const std::string folder = c.program.substr(0, c.program.rfind('\\'));
        EXPECT_NE(said.find(folder + ": "), std::string::npos) << said;
        EXPECT_NE(said.find(c.reason), std::string::npos) << said;
        EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line: " << said;
    }
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

// Run from elsewhere, a copy of the real airplane-demo finds its model in its own folder
// "a\\b", though the folder "a/b" (without the model) matches the same Win32 path.
TEST_F(ProgramDirectory, TheExecutablesOwnFolderWinsOverAnotherReadingOfItsPath) {
    const std::string demo = std::string(PROGRAM_DIR) + "/airplane-demo";
    const std::string model = std::string(PROGRAM_DIR) + "/airplane 2.x";
    if (!std::filesystem::exists(demo) || !std::filesystem::exists(model)) GTEST_SKIP() << "no " << demo;
    make_folders("a/b");
    make_folders("a\\b");
    const std::string folder = root + "/a\\b";
    std::filesystem::copy_file(demo, folder + "/airplane-demo");
    std::filesystem::copy_file(model, folder + "/airplane 2.x");
    const std::string command = "cd / && WIN32_STANDIN_BACKEND=headless WIN32_STANDIN_ESCAPE_AT=2 '" + folder +
                                "/airplane-demo' </dev/null >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the model was not found (the program entered a/b)";
}

}  // namespace
