// texture_cache.h - decoded images shared by every texture made from the same file.
//
// An image is found by the file's canonical path and identity: device, inode, size and the times
// of its last modification and status change, so a file replaced or rewritten on disk is decoded
// again. The cache holds images weakly: an image goes when the last texture using it is released,
// and what the cache keeps of it (its key) goes at a later insertion. Safe to use from several
// threads.
//
// DOES NOT: notice a rewrite that keeps the inode, the size and both times (possible only within
// one tick of the file system's clock).
#pragma once

#include "platform/d3d9/texture.h"

#include <compare>
#include <cstdint>
#include <memory>
#include <string>

struct texture_file_key {
    std::string path;
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modified_ns = 0;
    int64_t changed_ns = 0;

    auto operator<=>(const texture_file_key&) const = default;
};

// The image decoded from the file with this key, while any texture still uses it; else null.
std::shared_ptr<const d3d9_texture_image> texture_cache_find(const texture_file_key& key);

// Offers `image`, decoded from the file with this key, to later texture_cache_find calls.
void texture_cache_keep(const texture_file_key& key, const std::shared_ptr<const d3d9_texture_image>& image);
