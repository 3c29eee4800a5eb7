// DDS, PFM, HDR and DIB: the shared files made by another encoder against their correct decodes,
// DDS variants of one picture drawn like its BMP, and hand-made files for the cases those miss.
#include "texture_files.h"

#include "platform/d3d9/device_debug.h"

#include <squish.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

// The largest difference of any channel between two images of the same size.
int largest_difference(const std::vector<D3DCOLOR>& a, const std::vector<D3DCOLOR>& b) {
    int worst = 0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        for (int shift = 0; shift < 32; shift += 8) {
            worst = std::max(worst, std::abs(int(a[i] >> shift & 0xFF) - int(b[i] >> shift & 0xFF)));
        }
    }
    return worst;
}

// Every image of the shared folder (see its README): decoded within its tolerance of the correct
// decode, or refused with a reason. An image the table does not know fails the test.
TEST_F(TextureFile, SharedReferenceFilesDecodeWithinTheirToleranceOrAreRefused) {
    const std::filesystem::path shared = std::filesystem::path(DEMOS_SHARED_DIR) / "textures";
    if (!std::filesystem::is_directory(shared)) GTEST_SKIP() << "no shared reference textures in " << shared;
    struct Expectation {
        const char* reference;  // in the shared folder; null when the file must be refused
        int tolerance;
    };
    const std::map<std::string, Expectation> table = {
        {"source.png", {"source.png", 0}},
        {"source-alpha.png", {"source-alpha.png", 0}},
        {"source-37x21.png", {"source-37x21.png", 0}},
        {"dxt1.dds", {"expected/dxt1-dds.png", 2}},
        {"dxt1-mipmaps.dds", {"expected/dxt1-mipmaps-dds.png", 2}},
        {"dxt1-37x21.dds", {"expected/dxt1-37x21-dds.png", 2}},
        {"dxt3.dds", {"expected/dxt3-dds.png", 2}},
        {"dxt5.dds", {"expected/dxt5-dds.png", 2}},
        {"r8g8b8.dds", {"expected/r8g8b8-dds.png", 0}},
        {"a8r8g8b8.dds", {"expected/a8r8g8b8-dds.png", 0}},
        {"x8r8g8b8.dds", {"expected/x8r8g8b8-dds.png", 0}},
        {"r5g6b5.dds", {"expected/r5g6b5-dds.png", 0}},
        {"a1r5g5b5.dds", {"expected/a1r5g5b5-dds.png", 0}},
        {"a4r4g4b4.dds", {"expected/a4r4g4b4-dds.png", 0}},
        {"l8.dds", {"expected/l8-dds.png", 0}},
        {"cube.dds", {nullptr, 0}},
        {"volume.dds", {nullptr, 0}},
        {"truncated-dxt1.dds", {nullptr, 0}},
        {"bad-huge.dds", {nullptr, 0}},
        {"bad-header-size.dds", {nullptr, 0}},
        {"ppm16.ppm", {"expected/ppm16-ppm.png", 1}},
        {"ppm16-ascii.ppm", {"expected/ppm16-ascii-ppm.png", 1}},
        {"pgm16.pgm", {"expected/pgm16-pgm.png", 1}},
        {"png16.png", {"expected/png16-png.png", 1}},
        {"pfm.pfm", {"expected/pfm-pfm.png", 0}},
        {"hdr.hdr", {"expected/hdr-hdr.png", 1}},  // as stored: no gamma curve
        {"dib.dib", {"expected/dib-dib.png", 0}},
    };
    int walked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(shared)) {
        const std::string name = entry.path().filename().string(), extension = entry.path().extension().string();
        if (!entry.is_regular_file() || extension == ".md" || extension == ".sh" || extension == ".py") continue;
        const auto found = table.find(name);
        if (found == table.end()) {
            ADD_FAILURE() << "no expectation for the shared file " << name;
            continue;
        }
        ++walked;
        const Expectation& expectation = found->second;
        if (expectation.reference == nullptr) {
            EXPECT_TRUE(fails_cleanly(entry.path().c_str())) << name;
            EXPECT_NE(failure_reason(entry.path().c_str()), "") << name;
            continue;
        }
        UINT width = 0, height = 0, reference_width = 0, reference_height = 0;
        const auto texels = load(entry.path().c_str(), width, height);
        const auto expected = load((shared / expectation.reference).c_str(), reference_width, reference_height);
        ASSERT_EQ(width, reference_width) << name;
        ASSERT_EQ(height, reference_height) << name;
        ASSERT_EQ(texels.size(), expected.size()) << name;
        EXPECT_LE(largest_difference(texels, expected), expectation.tolerance) << name;
    }
    EXPECT_EQ(walked, int(table.size())) << "shared files missing";
}

}  // namespace
