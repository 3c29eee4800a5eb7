// xfile_format_test.cpp - the encodings of .x files: header, text syntax, binary tokens, 64-bit
// floats, MSZIP compression; all read into the same model.
#include "platform/d3dx9/mesh_data.h"
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <fstream>
#include <sstream>

#include "xfile_samples.h"

namespace {

const char* const triangle_body = R"(
Mesh {
  3;
  0.0; 0.0; 0.0;,
  1.0; 0.0; 0.0;,
  0.0; 1.0; 0.0;;
  1;
  3; 0, 1, 2;;
}
)";

std::string text_file(const std::string& body, const char* header = "xof 0303txt 0032") {
    return std::string(header) + "\n" + body;
}

void expect_vector(const D3DVECTOR& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

TEST(xfile_header, ReadsFormatFloatSizeAndVersion) {
    xfile_header header;
    std::string error;
    ASSERT_TRUE(xfile_read_header(reinterpret_cast<const uint8_t*>("xof 0302bzip0064"), 16, &header, &error));
    EXPECT_EQ(header.format, xfile_format::binary_compressed);
    EXPECT_EQ(header.float_bits, 64);
    EXPECT_EQ(header.major, 3);
    EXPECT_EQ(header.minor, 2);
    EXPECT_STREQ(xfile_format_name(xfile_format::text_compressed), "tzip");
}

TEST(xfile_header, RejectsWhatIsNotAKnownHeader) {
    EXPECT_FALSE(load_x("").ok);
    EXPECT_FALSE(load_x("xof 0303txt 003").ok);
    for (const char* header : {"xif 0303txt 0032", "xof 0303cmp 0032", "xof 0303txt 0016", "xof 03a3txt 0032"}) {
        const xfile_load_result r = load_x(std::string(header) + triangle_body);
        EXPECT_FALSE(r.ok) << header;
        EXPECT_FALSE(r.error.empty());
    }
}

TEST(XFileText, ReadsMembersWhateverTheSeparators) {
    // Lax exporters: commas for semicolons, missing separators, comments, exponents.
    const xfile_load_result r = load_x(text_file(R"(
# a comment
Mesh lax {   // another comment
  3
  0.0, 0.0, 0.0,  1.0E+00; 0; 0;;, +0.0 1e0 -0.0;
  1, 3, 0; 1; 2;
}
)"));
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.model.mesh.positions.size(), 3u);
    expect_vector(r.model.mesh.positions[1], 1, 0, 0);
    expect_vector(r.model.mesh.positions[2], 0, 1, 0);
    EXPECT_EQ(r.model.mesh.indices, (std::vector<uint32_t>{0, 1, 2}));
}

// Number words give the same float in a vertex list (converted in runs) as in a frame matrix (read
// one token at a time), and the same words are refused in both.
TEST(XFileText, NumberWordsConvertAlikeInRunsAndOneByOne) {
    const struct {
        const char* word;
        float value;  // NAN: refused
    } cases[] = {
        {"+1.5", 1.5f},
        {".5", 0.5f},
        {"5.", 5.0f},
        {"-.25e1", -2.5f},
        {"1E-3", static_cast<float>(1e-3)},
        {"1.0000000596046448", static_cast<float>(1.0000000596046448)},  // read as double, then narrowed
        {"-1e-40", static_cast<float>(-1e-40)},
        {"3.5e38", INFINITY},
        {"-inf", -INFINITY},
        {"1e", NAN},
        {"0x1", NAN},
        {"1#x", NAN},
        {"+", NAN},
        {"1e400", NAN},
        {"1e-400", NAN},
        {"nan", NAN},
    };
    for (const auto& c : cases) {
        const std::string w = c.word;
        const xfile_load_result in_run = load_x(text_file("Mesh { 3; " + w + ";0;0;, 0;0;0;, 0;0;0;; 1; 3;0,1,2;; }"));
        const xfile_load_result one_by_one =
            load_x(text_file("Frame { FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, " + w +
                             ",0,0,1;; } Mesh { 3; 0;0;0;, 0;0;0;, 0;0;0;; 1; 3;0,1,2;; } }"));
        if (std::isnan(c.value)) {
            EXPECT_FALSE(in_run.ok) << w;
            EXPECT_FALSE(one_by_one.ok) << w;
            continue;
        }
        ASSERT_TRUE(in_run.ok && one_by_one.ok) << w << ": " << in_run.error << one_by_one.error;
        EXPECT_EQ(std::bit_cast<uint32_t>(in_run.model.mesh.positions[0].x), std::bit_cast<uint32_t>(c.value)) << w;
        EXPECT_EQ(std::bit_cast<uint32_t>(one_by_one.model.mesh.positions[0].x), std::bit_cast<uint32_t>(c.value)) << w;
    }
}

TEST(XFileText, SkipsTemplatesUnknownObjectsAndTheirStrings) {
    const xfile_load_result r = load_x(text_file(std::string(R"(
template Custom {
  <01234567-89AB-cdef-0123-456789ABCDEF>
  array DWORD values[4];
  [...]
}
template Closed { <11111111-2222-3333-4444-555555555555> STRING s;
  [Mesh <3D82AB44-62DA-11cf-AB39-0020AF71E433>, Frame] }
Custom c { <01234567-89AB-cdef-0123-456789ABCDEF> 1,2,3,4;; Nested { "a } brace in a string"; { Ref } } }
KeyValuePair { "Date"; "G:\\path\\B\374ffel"; }
AnimationSet { Animation { { Shape } AnimationKey { 0; 1; 0; 4; 1,0,0,0;;; } } }
)") + triangle_body));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.model.mesh.attributes.size(), 1u);
}

TEST(XFileText, AcceptsObjectUuidsAndNamesWithOddCharacters) {
    const xfile_load_result r = load_x(text_file(R"(
Frame Feed-The.Dino(1) { <3D82AB46-62DA-11CF-AB39-0020AF71E433>
  Mesh 2nd-mesh { <3D82AB44-62DA-11CF-AB39-0020AF71E433> 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }
}
)"));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.model.mesh.attributes.size(), 1u);
}

TEST(XFileText, SixtyFourBitTextIsOrdinaryText) {
    const xfile_load_result r = load_x(text_file(triangle_body, "xof 0302txt 0064"));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.model.header.float_bits, 64);
    expect_vector(r.model.mesh.positions[2], 0, 1, 0);
}

TEST(XFileText, ReadsTheSampleWithEveryStream) {
    const xfile_load_result r = load_x(sample_text_file());
    ASSERT_TRUE(r.ok) << r.error;
    const d3dx_mesh_data& m = r.model.mesh;
    EXPECT_EQ(m.attributes, (std::vector<uint32_t>{0, 0, 1}));
    EXPECT_EQ(m.normals.size(), m.positions.size());
    EXPECT_EQ(m.texcoords.size(), 2 * m.positions.size());
    EXPECT_EQ(m.diffuse.size(), m.positions.size());
    ASSERT_EQ(r.model.materials.size(), 2u);
    EXPECT_FALSE(r.model.materials[0].texture.has_value());
    EXPECT_EQ(r.model.materials[1].texture, "tex\\green.png");
}

TEST(XFileBinary, ReadsListsAcrossMemberBoundaries) {
    const xfile_load_result r = load_x(sample_binary_file());
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.model.header.format, xfile_format::binary);
    EXPECT_EQ(r.model.mesh.positions.size(), 3u);
    EXPECT_EQ(r.model.mesh.indices, (std::vector<uint32_t>{0, 1, 2}));
    expect_vector(r.model.mesh.normals[1], 0, 0, -1);
    ASSERT_EQ(r.model.materials.size(), 1u);
    EXPECT_EQ(r.model.materials[0].texture, "tri.bmp");
    EXPECT_FLOAT_EQ(r.model.materials[0].material.Power, 4.0f);
}

TEST(XFileBinary, ReadsSplitListsSingleIntegersTemplatesAndReferences) {
    const uint8_t uuid[16] = {0x4d, 0xab, 0x82, 0x3d, 0xda, 0x62, 0xcf, 0x11,
                              0xab, 0x39, 0x00, 0x20, 0xaf, 0x71, 0xe4, 0x33};
    xfile_binary_writer w;
    // template Thing { <uuid> DWORD n; array FLOAT f[n]; [...] }
    w.token(31).name("Thing").open().guid(uuid).token(41).name("n").token(20).token(52).token(42).name("f");
    w.token(14).name("n").token(15).token(20).token(14).token(18).token(18).token(18).token(15).close();
    w.name("Material").name("Blue").open().guid(uuid).floats({0, 0, 1, 1, 2}).floats({0, 0, 0, 0, 0, 0}).close();
    w.name("Mesh").open().integer(3).floats({0, 0, 0, 1, 0}).floats({0, 0, 1, 0}).integers({1}).integers({3, 0});
    w.integer(1).integers({2});
    w.name("MeshMaterialList").open().integers({1, 1}).integer(0).token(20).open().name("Blue").close().close();
    w.close();
    const xfile_load_result r = load_x(w.bytes());
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.model.mesh.indices, (std::vector<uint32_t>{0, 1, 2}));
    expect_vector(r.model.mesh.positions[2], 0, 1, 0);
    ASSERT_EQ(r.model.materials.size(), 1u);
    EXPECT_FLOAT_EQ(r.model.materials[0].material.Diffuse.b, 1.0f);
    EXPECT_FLOAT_EQ(r.model.materials[0].material.Power, 2.0f);
}

// Face lists are read whole faces at a time from a list; a face split across lists, and faces
// that a check refuses, go member by member with the same result and the same reasons.
TEST(XFileBinary, FaceListsSplitAcrossListsAndRefusedFaces) {
    const struct {
        std::initializer_list<uint32_t> faces_a, faces_b, normals_a, normals_b;
        const char* error;  // null: loads
    } cases[] = {
        {{2, 3, 0, 1}, {2, 4, 0, 2, 3, 1}, {2, 3, 0, 0, 0, 4}, {1, 1, 1, 1}, nullptr},
        {{2, 3, 0, 1, 2, 4, 0, 2, 3, 1}, {}, {2, 3, 0, 0}, {0, 4, 1, 1, 1, 1}, nullptr},
        {{2, 3, 0, 1, 4, 4, 0, 2, 3, 1}, {}, {2, 3, 0, 0, 0, 4, 1, 1, 1, 1}, {}, "face index 4 out of range"},
        {{2, 3, 0, 1, 2, 4, 0, 2, 3, 1}, {}, {2, 3, 0, 0, 0, 3, 1, 1, 1}, {}, "differs in size"},
        {{2, 3, 0, 1, 2, 4, 0, 2, 3, 1}, {}, {2, 3, 0, 0, 0, 4, 1, 2, 1, 1}, {}, "normal index 2 out of range"},
    };
    for (const auto& c : cases) {
        xfile_binary_writer w;
        w.name("Mesh").open().integers({4}).floats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}).integers(c.faces_a);
        if (c.faces_b.size() > 0) w.integers(c.faces_b);
        w.name("MeshNormals").open().integers({2}).floats({0, 0, -1, 0, 0, 1}).integers(c.normals_a);
        if (c.normals_b.size() > 0) w.integers(c.normals_b);
        w.close().close();
        const xfile_load_result r = load_x(w.bytes());
        if (c.error != nullptr) {
            EXPECT_FALSE(r.ok);
            EXPECT_NE(r.error.find(c.error), std::string::npos) << r.error;
            continue;
        }
        ASSERT_TRUE(r.ok) << r.error;
        // The quad (0, 2, 3, 1) takes the second normal: positions 0, 2 and 1 are duplicated for it.
        EXPECT_EQ(r.model.mesh.indices, (std::vector<uint32_t>{0, 1, 2, 4, 5, 3, 4, 3, 6}));
        ASSERT_EQ(r.model.mesh.normals.size(), 7u);
        expect_vector(r.model.mesh.normals[0], 0, 0, -1);
        expect_vector(r.model.mesh.normals[4], 0, 0, 1);
    }
}

TEST(XFileBinary, StringTerminatorAsWordDwordOrMissing) {
    for (int variant = 0; variant < 3; ++variant) {
        xfile_binary_writer w;
        w.name("Mesh").open().integers({3}).floats({0, 0, 0, 1, 0, 0, 0, 1, 0}).integers({1, 3, 0, 1, 2});
        w.name("MeshMaterialList").open().integers({1, 1, 0}).name("Material").open();
        w.floats({1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0}).name("TextureFilename").open();
        if (variant == 0) w.string("a.bmp", 19);
        if (variant == 1) w.string("a.bmp", 20).raw(std::string("\0\0", 2));  // DWORD 20
        if (variant == 2) w.string("a.bmp", 11);                              // no terminator: '}' follows
        if (variant != 2) w.close();
        w.close().close().close();
        const xfile_load_result r = load_x(w.bytes());
        ASSERT_TRUE(r.ok) << variant << ": " << r.error;
        ASSERT_EQ(r.model.materials.size(), 1u);
        EXPECT_EQ(r.model.materials[0].texture, "a.bmp") << variant;
    }
}

TEST(XFileBinary, SixtyFourBitFloatLists) {
    xfile_binary_writer w("xof 0303bin 0064");
    w.name("Frame").open().name("FrameTransformMatrix").open();
    w.floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0.5, 0, 0, 1}).close();
    w.name("Mesh").open().integers({3}).floats({0.1, 0.2, 0.3, 1e10, 0, 0, 0, -1.0 / 3.0, 0});
    w.integers({1, 3, 0, 1, 2}).close().close();
    const xfile_load_result r = load_x(w.bytes());
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.model.header.float_bits, 64);
    expect_vector(r.model.mesh.positions[0], 0.6f, 0.2f, 0.3f);
    expect_vector(r.model.mesh.positions[1], 1e10f, 0, 0);
    expect_vector(r.model.mesh.positions[2], 0.5f, -1.0f / 3.0f, 0);
}

TEST(XFileBinary, IntegersAndFloatsAreNotInterchangeable) {
    xfile_binary_writer w;
    w.name("Mesh").open().integers({3, 0, 0, 0}).close();
    const xfile_load_result r = load_x(w.bytes());
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("integer where a float"), std::string::npos) << r.error;
}

TEST(XFileCompressed, TextBodyInManyBlocksUsesThePreviousBlocksAsDictionary) {
    // A long, repetitive body: later blocks refer back into earlier ones.
    std::string body = "\n";
    const int quads = 400;
    body += "Mesh {\n" + std::to_string(4 * quads) + ";\n";
    for (int q = 0; q < quads; ++q) {
        body += std::to_string(q) + ".0;0.0;0.0;, " + std::to_string(q) + ".0;1.0;0.0;, " + std::to_string(q) +
                ".0;1.0;1.0;, " + std::to_string(q) + ".0;0.0;1.0;" + (q + 1 == quads ? ";\n" : ",\n");
    }
    body += std::to_string(quads) + ";\n";
    for (int q = 0; q < quads; ++q) {
        body += "4;" + std::to_string(4 * q) + "," + std::to_string(4 * q + 1) + "," + std::to_string(4 * q + 2) + "," +
                std::to_string(4 * q + 3) + (q + 1 == quads ? ";;\n" : ";,\n");
    }
    body += "}\n";
    ASSERT_GT(body.size(), 3 * 4096u);
    const std::string file = mszip_file("xof 0303tzip0032", body, 4096);
    const xfile_load_result r = load_x(file);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.model.header.format, xfile_format::text_compressed);
    EXPECT_EQ(r.model.mesh.attributes.size(), size_t(2 * quads));
    const xfile_load_result plain = load_x("xof 0303txt 0032" + body);
    ASSERT_TRUE(plain.ok);
    EXPECT_EQ(r.model.mesh.indices, plain.model.mesh.indices);
}

TEST(XFileCompressed, BinaryBody) {
    const std::string binary = sample_binary_file();
    const xfile_load_result r = load_x(mszip_file("xof 0303bzip0032", binary.substr(16), 20));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.model.header.format, xfile_format::binary_compressed);
    EXPECT_EQ(r.model.materials[0].texture, "tri.bmp");
}

TEST(XFileCompressed, RejectsBrokenBlocks) {
    const std::string good = mszip_file("xof 0303tzip0032", triangle_body);
    ASSERT_TRUE(load_x(good).ok);
    std::string bad_signature = good;
    bad_signature[24] = 'X';
    EXPECT_FALSE(load_x(bad_signature).ok);
    std::string small_total = good;
    small_total[16] = 20;  // states a body of 4 bytes
    small_total[17] = 0;
    EXPECT_FALSE(load_x(small_total).ok);
    std::string small_block = good;
    small_block[20] = 5;  // the block says it holds 5 bytes
    small_block[21] = 0;
    EXPECT_FALSE(load_x(small_block).ok);
    std::string corrupt = good;
    corrupt[26] = static_cast<char>(0xff);  // an invalid deflate block type
    EXPECT_FALSE(load_x(corrupt).ok);
    EXPECT_FALSE(load_x(good + "\x01").ok);  // a trailing partial block header
}

}  // namespace

namespace {

std::string read_data_file(const char* name) {
    std::ifstream in(std::string(XFILE_TEST_DATA) + "/" + name, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void expect_same_model(const xfile_model& a, const xfile_model& b) {
    EXPECT_EQ(a.mesh.indices, b.mesh.indices);
    EXPECT_EQ(a.mesh.attributes, b.mesh.attributes);
    ASSERT_EQ(a.mesh.positions.size(), b.mesh.positions.size());
    for (size_t i = 0; i < a.mesh.positions.size(); ++i) {
        EXPECT_EQ(a.mesh.positions[i].x, b.mesh.positions[i].x);
        EXPECT_EQ(a.mesh.positions[i].z, b.mesh.positions[i].z);
    }
    EXPECT_EQ(a.mesh.texcoords, b.mesh.texcoords);
    ASSERT_EQ(a.materials.size(), b.materials.size());
    for (size_t i = 0; i < a.materials.size(); ++i) EXPECT_EQ(a.materials[i].texture, b.materials[i].texture);
}

// The data files (also the fuzzer's seeds) were written by a separate script: the compressed ones
// with another deflate front end, the binary ones with 32- and 64-bit float lists.
TEST(XFileDataFiles, EveryEncodingOfTheSameContentLoadsAlike) {
    const xfile_load_result text = load_x(read_data_file("frames_text.x"));
    const xfile_load_result tzip = load_x(read_data_file("frames_tzip.x"));
    ASSERT_TRUE(text.ok) << text.error;
    ASSERT_TRUE(tzip.ok) << tzip.error;
    expect_same_model(text.model, tzip.model);
    const xfile_load_result bin = load_x(read_data_file("quad_binary.x"));
    const xfile_load_result bin64 = load_x(read_data_file("quad_binary64.x"));
    const xfile_load_result bzip = load_x(read_data_file("quad_bzip.x"));
    ASSERT_TRUE(bin.ok && bin64.ok && bzip.ok) << bin.error << bin64.error << bzip.error;
    expect_same_model(bin.model, bin64.model);
    expect_same_model(bin.model, bzip.model);
    EXPECT_EQ(bin.model.mesh.positions[2].z, 1.0f);  // moved by the frame
    EXPECT_EQ(bin.model.materials[0].texture, "quad.bmp");
}

}  // namespace
