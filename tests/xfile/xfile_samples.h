// xfile_samples.h - building .x files inside tests: binary token streams, MSZIP compression, and a
// load helper that returns the model or the reason.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/xfile/xfile.h"

struct xfile_load_result {
    bool ok = false;
    std::string error;
    xfile_model model;
};

xfile_load_result load_x(const std::string& bytes);

// Writes binary .x tokens after a 16-byte header (e.g. "xof 0303bin 0064"); float lists use the
// header's float size.
class xfile_binary_writer {
public:
    explicit xfile_binary_writer(const char* header = "xof 0303bin 0032");
    xfile_binary_writer& token(uint16_t code);
    xfile_binary_writer& name(std::string_view text);
    xfile_binary_writer& string(std::string_view text, uint16_t terminator = 20);
    xfile_binary_writer& integer(uint32_t value);
    xfile_binary_writer& guid(const uint8_t (&bytes)[16]);
    xfile_binary_writer& integers(std::initializer_list<uint32_t> values);
    xfile_binary_writer& floats(std::initializer_list<double> values);
    xfile_binary_writer& open() { return token(10); }
    xfile_binary_writer& close() { return token(11); }
    xfile_binary_writer& raw(const std::string& bytes);
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
bool model_is_consistent(const xfile_model& model);
