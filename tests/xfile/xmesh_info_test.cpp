// xmesh_info_test.cpp - the xmesh-info tool run as a process on a good and a bad file.
#include <unistd.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "xfile_samples.h"

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string read_all(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class XmeshInfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::path(::testing::TempDir()) / ("xmesh_info_test_" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        std::ofstream(folder_ / "good.x", std::ios::binary) << sample_binary_file();
        std::ofstream(folder_ / "bad.x", std::ios::binary) << "xof 0303txt 0032 Mesh { 3; 0;0;0;;";
    }

    void TearDown() override { std::filesystem::remove_all(folder_); }

    ToolRun run(const std::string& arguments) {
        const std::string command =
            "cd '" + folder_.string() + "' && '" XMESH_INFO "' " + arguments + " > out.txt 2> err.txt";
        ToolRun r;
        const int raw = std::system(command.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = read_all(folder_ / "out.txt");
        r.err = read_all(folder_ / "err.txt");
        return r;
    }

    std::filesystem::path folder_;
};

TEST_F(XmeshInfoTest, DescribesAGoodFile) {
    const ToolRun r = run("good.x");
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
    const ToolRun r = run("--tsv good.x bad.x");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "file\tformat\tfloat_bits\tversion\tvertices\ttriangles\tsubsets\ttextures\tmin_x\tmin_y\tmin_z\t"
              "max_x\tmax_y\tmax_z\tmaterials\n"
              "good.x\tbin\t32\t0303\t3\t1\t1\ttri.bmp\t0\t0\t0\t1\t1\t0\t"
              "d=1,1,1,1 s=0,0,0 e=0,0,0 p=4 t=tri.bmp\n");
    EXPECT_EQ(r.err.rfind("xmesh-info: bad.x: Mesh vertices: unexpected end of file", 0), 0u) << r.err;
}

TEST_F(XmeshInfoTest, MissingFileAndNoArguments) {
    EXPECT_EQ(run("nothing.x").status, 1);
    EXPECT_EQ(run("").status, 2);
}

}  // namespace
