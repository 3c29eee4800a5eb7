// xfile_malformed_test.cpp - broken and hostile files: each must fail cleanly (or load a
// consistent mesh), never crash, hang or read out of bounds (run these under AddressSanitizer).
#include <gtest/gtest.h>

#include <cmath>

#include "xfile_samples.h"

namespace {

xfile_load_result load_body(const std::string& body) { return load_x("xof 0303txt 0032\n" + body); }

void expect_failure(const std::string& file, const char* reason_part) {
    const xfile_load_result r = load_x(file);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find(reason_part), std::string::npos) << "reason: " << r.error;
}

// Every prefix of `file` either fails with a reason or loads a consistent model.
void check_every_truncation(const std::string& file) {
    for (size_t length = 0; length < file.size(); ++length) {
        const xfile_load_result r = load_x(file.substr(0, length));
        if (r.ok) {
            EXPECT_TRUE(model_is_consistent(r.model)) << "length " << length;
        } else {
            EXPECT_FALSE(r.error.empty()) << "length " << length;
        }
    }
}

// Every single-byte corruption of `file` either fails with a reason or loads a consistent model.
void check_every_corruption(const std::string& file, size_t from) {
    for (size_t at = from; at < file.size(); ++at) {
        for (unsigned char flip : {0x01u, 0x80u, 0xffu}) {
            std::string bad = file;
            bad[at] = static_cast<char>(bad[at] ^ flip);
            const xfile_load_result r = load_x(bad);
            if (r.ok) {
                EXPECT_TRUE(model_is_consistent(r.model)) << "byte " << at;
            } else {
                EXPECT_FALSE(r.error.empty()) << "byte " << at;
            }
        }
    }
}

TEST(XFileTruncated, TextFileAtEveryByte) {
    const std::string file = sample_text_file();
    ASSERT_TRUE(load_x(file).ok);
    check_every_truncation(file);
    // Cut inside the last Mesh: the unterminated object is reported.
    EXPECT_FALSE(load_x(file.substr(0, file.size() - 12)).ok);
}

TEST(XFileTruncated, BinaryFileAtEveryByte) {
    const std::string file = sample_binary_file();
    ASSERT_TRUE(load_x(file).ok);
    check_every_truncation(file);
}

TEST(XFileTruncated, CompressedFilesAtEveryByte) {
    const std::string text = sample_text_file();
    const std::string tzip = mszip_file("xof 0303tzip0032", text.substr(16), 200);
    ASSERT_TRUE(load_x(tzip).ok);
    check_every_truncation(tzip);
    const std::string binary = sample_binary_file();
    const std::string bzip = mszip_file("xof 0303bzip0032", binary.substr(16), 64);
    ASSERT_TRUE(load_x(bzip).ok);
    check_every_truncation(bzip);
}

TEST(XFileCorrupted, BinaryAndCompressedFilesWithAnyByteChanged) {
    check_every_corruption(sample_binary_file(), 16);
    const std::string binary = sample_binary_file();
    check_every_corruption(mszip_file("xof 0303bzip0032", binary.substr(16), 64), 16);
}

TEST(XFileHostile, HugeCountsAreRejectedBeforeAllocating) {
    expect_failure("xof 0303txt 0032 Mesh { 4294967295; 0;0;0;; 0;; }", "exceeds");
    expect_failure("xof 0303txt 0032 Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 4000000000; 3;0,1,2;; }", "exceeds");
    expect_failure("xof 0303txt 0032 Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 4000000000; 0,1,2;; }", "exceeds");
    expect_failure("xof 0303txt 0032 Mesh { 18446744073709551616; }", "malformed integer");
    xfile_binary_writer w;
    w.name("Mesh").open().token(6).raw(std::string("\xff\xff\xff\x3f", 4)).close();
    expect_failure(w.bytes(), "number list");
    xfile_binary_writer names;
    names.token(1).raw(std::string("\xff\xff\xff\xff", 4)).raw("Mesh");
    expect_failure(names.bytes(), "truncated");
}

TEST(XFileHostile, MaterialListsCannotOutgrowTheFile) {
    // References copying a long texture name, and a list padded with defaults to its stated count,
    // would each take far more memory than the file holds.
    const std::string long_name(size_t(4) << 20, 'n');
    std::string references;
    for (int i = 0; i < 20; ++i) references += "{M}";
    const std::string mesh = "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; ";
    const std::string files[] = {
        "xof 0303txt 0032 Material M { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { \"" + long_name + "\"; } }" +
            mesh + "MeshMaterialList { 20; 1; 0;; " + references + " } }",
        "xof 0303txt 0032 " + mesh + "MeshMaterialList { 1000000; 1; 0;; } }" + std::string(1000000, ' '),
    };
    for (const std::string& file : files) expect_failure(file, "materials would take more than");
}

TEST(XFileHostile, IndicesOutOfRange) {
    const std::string mesh = "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,";
    expect_failure("xof 0303txt 0032\n" + mesh + "3;; }", "face index 3 out of range");
    expect_failure("xof 0303txt 0032\n" + mesh + "2;; MeshNormals { 1; 0;0;1;; 1; 3;0,1,0;; } }",
                   "normal index 1 out of range");
    expect_failure("xof 0303txt 0032\n" + mesh + "2;; MeshVertexColors { 1; 3;1;1;1;1;;; } }", "vertex colour index 3");
    expect_failure("xof 0303txt 0032\n" + mesh + "2;; MeshMaterialList { 1; 1; 1;; } }", "material index 1");
    expect_failure("xof 0303txt 0032\n" + mesh + "2;; MeshMaterialList { 0; 1; 0;; } }", "material index 0");
}

TEST(XFileHostile, CountsThatDisagreeWithTheMesh) {
    const std::string mesh = "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; ";
    expect_failure("xof 0303txt 0032\n" + mesh + "MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;, 3;0,0,0;; } }",
                   "MeshNormals has 2 faces");
    expect_failure("xof 0303txt 0032\n" + mesh + "MeshNormals { 1; 0;0;1;; 1; 4;0,0,0,0;; } }", "differs in size");
    expect_failure("xof 0303txt 0032\n" + mesh + "MeshTextureCoords { 2; 0;0;, 1;1;; } }", "MeshTextureCoords has 2");
}

TEST(XFileHostile, UnterminatedStringsBracesAndUuids) {
    expect_failure("xof 0303txt 0032\nKeyValuePair { \"never closed; }", "unterminated string");
    expect_failure("xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;", "unterminated Mesh");
    expect_failure("xof 0303txt 0032\nFrame { Frame { ", "unterminated");
    expect_failure("xof 0303txt 0032\nUnknown { { { }", "unterminated object");
    expect_failure("xof 0303txt 0032\ntemplate T { <12345678-1234-1234-1234-123456789abc", "uuid");
    expect_failure("xof 0303txt 0032\nFrame { <not-a-uuid> }", "malformed <uuid>");
}

TEST(XFileHostile, DeepNestingFailsCleanly) {
    std::string frames;
    for (int i = 0; i < 100000; ++i) frames += "Frame{";
    for (int i = 0; i < 100000; ++i) frames += "}";
    expect_failure("xof 0303txt 0032\n" + frames, "nested too deeply");
    // Unknown objects are skipped by counting braces, however deep.
    std::string unknown = "Unknown {";
    for (int i = 0; i < 100000; ++i) unknown += "{";
    for (int i = 0; i < 100001; ++i) unknown += "}";
    const xfile_load_result r = load_body(unknown + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }");
    EXPECT_TRUE(r.ok) << r.error;
}

TEST(XFileHostile, GarbageAfterTheHeader) {
    expect_failure("xof 0303txt 0032\n;;; 12 34 }", "unexpected data outside any object");
    expect_failure(std::string("xof 0303bin 0032") + std::string("\x63\x00\x01\x02", 4), "unknown binary token");
    expect_failure("xof 0303bin 0032\x01", "truncated token");
    expect_failure("xof 0303txt 0032\nMesh { 3; a;b;c;; }", "expected a number");
    expect_failure("xof 0303txt 0032\nMesh { 3; 1.#QNAN0;0;0;; }", "malformed number");
    expect_failure("xof 0303txt 0032\nMesh { 3; 1.5e99999;0;0;; }", "malformed number");
    expect_failure("xof 0303txt 0032\nMesh { 0;; 0;; } garbage", "expected '{'");
    expect_failure("xof 0303txt 0032\nFrame { \"stray string\"; }", "unexpected data in Frame");
    std::string noise = "xof 0303bzip0032";
    for (int i = 0; i < 256; ++i) noise.push_back(static_cast<char>(i * 37 + 11));
    EXPECT_FALSE(load_x(noise).ok);
}

TEST(XFileHostile, AFileWithoutAMeshFails) {
    expect_failure("xof 0303txt 0032\n", "no mesh");
    expect_failure("xof 0303txt 0032\nFrame { Material M { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } }", "no mesh");
}

TEST(XFileHostile, OutOfRangeNumbersDoNotMisbehave) {
    // Values beyond the float range become infinities; colours clamp; nothing is undefined.
    const xfile_load_result r = load_body(R"(Mesh { 3; 1e300;-1e300;1e-320;, 1e39;0;0;, 0;1;0;; 1; 3;0,1,2;;
  MeshVertexColors { 1; 0; -1e300;2;-1;1e300;;; }
  MeshMaterialList { 1; 1; 0;; Material { 1e300;-1e300;0;0;; 1e300; 0;0;0;; 0;0;0;; } } })");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.model.mesh.positions[0].x, INFINITY);
    EXPECT_EQ(r.model.mesh.positions[0].y, -INFINITY);
    EXPECT_EQ(r.model.mesh.diffuse[0], 0xFF00FF00u);
    EXPECT_EQ(r.model.materials[0].material.Power, INFINITY);
}

}  // namespace
