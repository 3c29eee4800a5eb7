// xmesh_info_test.cpp - the xmesh-info tool run as a process: its descriptions, JSON Lines that
// parse, and one table of hostile inputs, each giving one line on standard error and its status.
#include <fcntl.h>
#include <unistd.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "tool_run.h"
#include "xfile_samples.h"

namespace {

// A texture name that would act on a terminal if printed raw, with a quote, a backslash and a
// byte that is not UTF-8.
const std::string hostile_texture = "\x1b[2J\"q\"\\\t\xff.bmp";

class XmeshInfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::path(::testing::TempDir()) / ("xmesh_info_test_" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_ / "dir");
        std::ofstream(folder_ / "good.x", std::ios::binary) << sample_binary_file();
        std::ofstream(folder_ / "bad.x", std::ios::binary) << "xof 0303txt 0032 Mesh { 3; 0;0;0;;";
        std::ofstream(folder_ / "hostile.x", std::ios::binary) << sample_binary_file(hostile_texture);
        std::ofstream(folder_ / "points.x", std::ios::binary) << "xof 0303txt 0032 Mesh { 1; 0;0;0;; 0;; }";
        std::ofstream(folder_ / "notes.x", std::ios::binary) << "these are notes, not a model\n";
        ASSERT_EQ(::mkfifo((folder_ / "fifo").c_str(), 0600), 0);
        // Past the size limit with a valid header; sparse, so it costs no disk space.
        std::ofstream(folder_ / "huge.x", std::ios::binary) << "xof 0303txt 0032";
        std::filesystem::resize_file(folder_ / "huge.x", xfile_max_file_size + 1);
    }

    void TearDown() override { std::filesystem::remove_all(folder_); }

    // Runs the tool in the test folder with `arguments`, its output going to `out` (a path
    // relative to the folder, or absolute).
    tool_result run(std::vector<std::string> arguments, const std::string& out = "out.txt") {
        return run_tool(XMESH_INFO, std::move(arguments), folder_.string(), out);
    }

    std::filesystem::path folder_;
};

TEST_F(XmeshInfoTest, DescribesAGoodFile) {
    const tool_result r = run({"good.x"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("good.x\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  header: bin, 32-bit floats, version 0303\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  vertices: 3, triangles: 1\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  subsets: 1\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("power 4, texture \"tri.bmp\"\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  bounds: min (0, 0, 0) max (1, 1, 0)\n"), std::string::npos) << r.out;
}

TEST_F(XmeshInfoTest, TsvHasOneLinePerGoodFileAndReportsTheBadOne) {
    const tool_result r = run({"--tsv", "good.x", "bad.x"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "file\tformat\tfloat_bits\tversion\tvertices\ttriangles\tsubsets\ttextures\tmin_x\tmin_y\tmin_z\t"
              "max_x\tmax_y\tmax_z\tmaterials\n"
              "good.x\tbin\t32\t0303\t3\t1\t1\ttri.bmp\t0\t0\t0\t1\t1\t0\t"
              "d=1,1,1,1 s=0,0,0 e=0,0,0 p=4 t=tri.bmp\n");
    EXPECT_EQ(r.err.rfind("xmesh-info: bad.x: Mesh vertices: unexpected end of file", 0), 0u) << r.err;
}

TEST_F(XmeshInfoTest, JsonLinesParseAndKeepNamesExact) {
    const tool_result r = run({"--json", "good.x", "bad.x", "hostile.x", "points.x"});
    EXPECT_EQ(r.status, 1);
    std::istringstream lines(r.out);
    std::vector<nlohmann::json> objects;
    for (std::string line; std::getline(lines, line);) objects.push_back(nlohmann::json::parse(line));
    ASSERT_EQ(objects.size(), 3u) << r.out;
    const nlohmann::json& good = objects[0];
    EXPECT_EQ(good["file"], "good.x");
    EXPECT_EQ(good["format"], "bin");
    EXPECT_EQ(good["float_bits"], 32);
    EXPECT_EQ(good["version"], "0303");
    EXPECT_EQ(good["vertices"], 3);
    EXPECT_EQ(good["triangles"], 1);
    EXPECT_EQ(good["subsets"], 1);
    EXPECT_EQ(good["textures"], nlohmann::json::array({"tri.bmp"}));
    EXPECT_EQ(good["max_y"], 1.0);
    EXPECT_EQ(good["materials"][0]["diffuse"], nlohmann::json::array({1, 1, 1, 1}));
    EXPECT_EQ(good["materials"][0]["power"], 4);
    // Control characters survive as escapes; the byte that is not UTF-8 becomes U+FFFD.
    EXPECT_EQ(objects[1]["materials"][0]["texture"], "\x1b[2J\"q\"\\\t\xEF\xBF\xBD.bmp");
    EXPECT_TRUE(objects[2]["min_x"].is_null());
    EXPECT_TRUE(objects[2]["materials"].empty());
    EXPECT_EQ(r.err.find("xmesh-info: bad.x: "), 0u) << r.err;
}

TEST_F(XmeshInfoTest, HostileInputsGiveOneLineEachAndTheExitStatus) {
    const std::string escaped_texture = "\\x1B[2J\\\"q\\\"\\\\\\t\xff.bmp";
    struct test_case {
        std::vector<std::string> arguments;
        std::string out;  // where standard output goes
        int status;
        std::string err;           // all of standard error
        std::string out_contains;  // the good file is still described
    } cases[] = {
        {{"fifo", "good.x"}, "out.txt", 1, "xmesh-info: fifo: not a regular file (a FIFO)\n", "good.x\n"},
        {{"dir", "good.x"}, "out.txt", 1, "xmesh-info: dir: not a regular file (a directory)\n", "good.x\n"},
        {{"/dev/zero", "good.x"},
         "out.txt",
         1,
         "xmesh-info: /dev/zero: not a regular file (a character device)\n",
         "good.x\n"},
        {{"notes.x", "good.x"}, "out.txt", 1, "xmesh-info: notes.x: not a .x file (no 'xof ' signature)\n", "good.x\n"},
        {{"missing.x", "good.x"}, "out.txt", 1, "xmesh-info: missing.x: No such file or directory\n", "good.x\n"},
        {{"huge.x", "good.x"},
         "out.txt",
         1,
         "xmesh-info: huge.x: larger than the 256 MiB limit for .x files\n",
         "good.x\n"},
        {{"\x1b]0;owned\x07\n.x", "good.x"},
         "out.txt",
         1,
         "xmesh-info: \\x1B]0;owned\\x07\\n.x: No such file or directory\n",
         "good.x\n"},
        {{"hostile.x"}, "out.txt", 0, "", "texture \"" + escaped_texture + "\"\n"},
        {{"--tsv", "hostile.x"}, "out.txt", 0, "", "\t" + escaped_texture + "\t"},
        {{"good.x"}, "/dev/full", 3, "xmesh-info: standard output: No space left on device\n", ""},
        {{}, "out.txt", 2, "xmesh-info: no file given (see xmesh-info --help)\n", ""},
        {{"--bogus", "good.x"}, "out.txt", 2, "xmesh-info: unknown option '--bogus' (see xmesh-info --help)\n", ""},
        {{"--tsv", "--json", "good.x"},
         "out.txt",
         2,
         "xmesh-info: --tsv and --json exclude each other (see xmesh-info --help)\n",
         ""},
        {{"--", "-"}, "out.txt", 1, "xmesh-info: -: No such file or directory\n", ""},
    };
    for (const test_case& c : cases) {
        const std::string label = ::testing::PrintToString(c.arguments);
        const tool_result r = run(c.arguments, c.out);
        EXPECT_EQ(r.status, c.status) << label;
        EXPECT_EQ(r.err, c.err) << label;
        EXPECT_NE(r.out.find(c.out_contains), std::string::npos) << label << "\n" << r.out;
    }
}

TEST_F(XmeshInfoTest, HelpAndVersion) {
    const tool_result help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: xmesh-info", 0), 0u) << help.out;
    EXPECT_NE(help.out.find("Exit status: 0"), std::string::npos);
    const tool_result version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("xmesh-info ", 0), 0u) << version.out;
    EXPECT_EQ(run({"--help"}, "/dev/full").status, 3);
}

}  // namespace
