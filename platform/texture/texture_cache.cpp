// texture_cache.cpp - the process's one cache of decoded images; see texture_cache.h.
#include "platform/texture/texture_cache.h"

#include <iterator>
#include <map>
#include <mutex>

namespace {

struct texture_cache {
    std::mutex lock;
    std::map<texture_file_key, std::weak_ptr<const d3d9_texture_image>> images;
};

texture_cache& texture_cache_instance() {
    static texture_cache cache;
    return cache;
}

}  // namespace

std::shared_ptr<const d3d9_texture_image> texture_cache_find(const texture_file_key& key) {
    texture_cache& cache = texture_cache_instance();
    const std::lock_guard<std::mutex> guard(cache.lock);
    const auto found = cache.images.find(key);
    return found == cache.images.end() ? nullptr : found->second.lock();
}

void texture_cache_keep(const texture_file_key& key, const std::shared_ptr<const d3d9_texture_image>& image) {
    texture_cache& cache = texture_cache_instance();
    const std::lock_guard<std::mutex> guard(cache.lock);
    for (auto entry = cache.images.begin(); entry != cache.images.end();) {
        entry = entry->second.expired() ? cache.images.erase(entry) : std::next(entry);
    }
    cache.images[key] = image;
}
