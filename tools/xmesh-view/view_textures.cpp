// view_textures.cpp - texture names resolved against the model's folder, with the viewer's
// fallbacks; see view_textures.h.
#include "view_textures.h"

#include "platform/base/ascii_case.h"
#include "platform/texture/texture_file.h"
#include "platform/win32/win_paths.h"
#include "view_report.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

namespace {

bool is_regular_file(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool is_folder(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string folder_of(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string joined(const std::string& folder, const std::string& name) {
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// The entry of `folder` whose name equals `name` ignoring ASCII case and that passes `wanted`
// (the exact spelling first); empty when there is none.
template <typename Predicate>
std::string entry_ignoring_case(const std::string& folder, const std::string& name, Predicate wanted) {
    if (name.empty() || name == "." || name == "..") return {};
    if (wanted(joined(folder, name))) return joined(folder, name);
    std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), ::closedir);
    if (!listing) return {};
    while (const dirent* entry = ::readdir(listing.get())) {
        if (ascii_equal_ignoring_case(entry->d_name, name) && wanted(joined(folder, entry->d_name))) {
            return joined(folder, entry->d_name);
        }
    }
    return {};
}

// The path as the platform reads it with `folder` current: absolute Linux paths as they are.
std::string platform_path(const std::string& folder, const std::string& name) {
    const std::string relative = name[0] == '/' ? name : joined(folder, name);
    return win_native_path(relative.c_str(), win_path_kind::file);
}

// `path` without a leading "./" (the folder of a bare model name), for messages.
std::string shown(const std::string& path) { return path.rfind("./", 0) == 0 ? path.substr(2) : path; }

}  // namespace

std::string view_texture_fallback(const std::string& folder, const std::string& name) {
    const size_t cut = name.find_last_of("\\/");
    const std::string base = cut == std::string::npos ? name : name.substr(cut + 1);
    std::string found = entry_ignoring_case(folder, base, is_regular_file);
    if (!found.empty()) return found;
    const std::string textures = entry_ignoring_case(folder, "textures", is_folder);
    return textures.empty() ? std::string() : entry_ignoring_case(textures, base, is_regular_file);
}

view_texture_loader::view_texture_loader(IDirect3DDevice9* device, std::string model_path)
    : device_(device), model_path_(std::move(model_path)), folder_(folder_of(model_path_)) {}

view_texture_loader::~view_texture_loader() {
    for (auto& [name, texture] : loaded_) {
        if (texture != nullptr) texture->Release();
    }
}

IDirect3DTexture9* view_texture_loader::load(const char* name) {
    if (name == nullptr || name[0] == '\0') return nullptr;
    auto known = loaded_.find(name);
    if (known == loaded_.end()) known = loaded_.emplace(name, find_and_load(name)).first;
    if (known->second != nullptr) known->second->AddRef();
    return known->second;
}

IDirect3DTexture9* view_texture_loader::find_and_load(const std::string& name) {
    std::string path = platform_path(folder_, name);
    if (!is_regular_file(path)) {
        path = view_texture_fallback(folder_, name);
        if (path.empty()) {
            view_report(model_path_, "texture " + view_quoted(name) + " not found; its subsets are drawn untextured");
            return nullptr;
        }
        view_report(model_path_,
                    "texture " + view_quoted(name) + " not found as named; using " + view_escaped(shown(path)));
    }
    IDirect3DTexture9* texture = nullptr;
    std::string reason;
    if (texture_create_from_file(device_, path.c_str(), &texture, &reason) != D3D_OK) {
        view_report(model_path_, "texture " + view_quoted(name) + ": " + reason + "; its subsets are drawn untextured");
        return nullptr;
    }
    return texture;
}
