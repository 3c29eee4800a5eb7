// xfile_samples.h - building .x files inside tests: binary token streams, MSZIP compression, and a
// load helper that returns the model or the reason.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/xfile/xfile.h"

struct XLoadResult {
    bool ok = false;
    std::string error;
    XFileModel model;
};

XLoadResult load_x(const std::string& bytes);

// Writes binary .x tokens after a 16-byte header (e.g. "xof 0303bin 0064"); float lists use the
// header's float size.
class XBinaryWriter {
public:
    explicit XBinaryWriter(const char* header = "xof 0303bin 0032");
    XBinaryWriter& token(uint16_t code);
    XBinaryWriter& name(std::string_view text);
    XBinaryWriter& string(std::string_view text, uint16_t terminator = 20);
    XBinaryWriter& integer(uint32_t value);
    XBinaryWriter& guid(const uint8_t (&bytes)[16]);
    XBinaryWriter& integers(std::initializer_list<uint32_t> values);
    XBinaryWriter& floats(std::initializer_list<double> values);
    XBinaryWriter& open() { return token(10); }
    XBinaryWriter& close() { return token(11); }
    XBinaryWriter& raw(const std::string& bytes);
    const std::string& bytes() const { return bytes_; }

private:
    void put16(uint16_t value);
    void put32(uint32_t value);
    std::string bytes_;
    bool doubles_;
};

// A compressed .x file: `header` (16 bytes, tzip or bzip) + total size + MSZIP blocks of at most
// `block_size` bytes of `body`, each deflated with the previous 32 KB as dictionary.
std::string mszip_file(const std::string& header, const std::string& body, size_t block_size = 32768);

// A small text file using most templates: two frames with transforms, one mesh with a quad and a
// triangle, normals, texture coordinates, vertex colours and two materials (one by reference).
std::string sample_text_file();
// A small binary file: one mesh with a triangle, normals and an inline textured material.
std::string sample_binary_file(std::string_view texture = "tri.bmp");

// Checks the invariants any successful load must keep (stream sizes, indices in range).
bool model_is_consistent(const XFileModel& model);
