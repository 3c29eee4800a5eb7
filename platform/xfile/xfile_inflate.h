// xfile_inflate.h - the MSZIP body of compressed .x files (tzip, bzip).
//
// Layout after the 16-byte header: DWORD total size (of the uncompressed file, header included),
// then blocks of WORD uncompressed size, WORD compressed size, "CK", raw deflate data ending with a
// final deflate block. Each block is inflated with the previous 32 KB of output as its dictionary;
// the input advances by what the inflater consumed (the compressed size field is not trusted). A
// block may not produce more than its uncompressed size, and the whole body not more than the total
// size nor 256 MiB.
//
// DOES NOT: parse the inflated body (it is a txt or bin body, read as such).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// `data` starts right after the 16-byte header. On failure returns false with a reason.
bool xfile_inflate(const uint8_t* data, size_t size, std::vector<uint8_t>* body, std::string* error);
