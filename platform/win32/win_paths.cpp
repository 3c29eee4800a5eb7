// win_paths.cpp - Win32 path names on a Linux file system: separators, names holding '\', and
// names of another case.
//
// The path is cut into pieces at every separator. Walking from its start, each folder is asked
// for the names the next pieces can form: one piece alone, or several joined by the '\' between
// them (never across a '/'). Per folder the exact names come first, shortest first, then entries
// that differ in ASCII case only; the walk goes depth-first and the first complete reading that
// names an entry of the wanted kind wins.
//
// Bounded: no name longer than a directory entry can be is formed, paths longer than the kernel
// takes are not searched, and one resolution makes at most `probe_budget` file-system probes
// (names that exist under several spellings could otherwise make the walk exponential).
#include "platform/win32/win_paths.h"

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace {

const size_t name_max = NAME_MAX;
const size_t path_max = PATH_MAX - 1;
const int probe_budget = 4096;

bool is_separator(char c) { return c == '\\' || c == '/'; }

std::string with_slashes(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// Whether the `length` bytes at `a` equal the entry name `b`, ignoring ASCII case.
bool same_ignoring_case(const char* a, size_t length, const char* b) {
    for (size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return b[length] == '\0';
}

bool is_kind(const struct stat& info, win_path_kind kind) {
    return kind == win_path_kind::folder ? S_ISDIR(info.st_mode) : S_ISREG(info.st_mode);
}

bool is_kind(const std::string& path, win_path_kind kind) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && is_kind(info, kind);
}

// A name that pieces first..last form: the text from the start of the first piece to the end of
// the last, the '\' between them included.
struct piece_span {
    size_t last;
    size_t length;
};

class path_walk {
public:
    path_walk(const std::string& path, win_path_kind kind) : path_(path), kind_(kind) {
        size_t start = 0;
        for (size_t i = 0; i <= path.size(); ++i) {
            if (i < path.size() && !is_separator(path[i])) continue;
            starts_.push_back(start);
            ends_.push_back(i);
            start = i + 1;
        }
    }

    // The first reading of the path that names an entry of the wanted kind, if any.
    bool resolve(std::string* native) {
        if (!walk(0)) return false;
        *native = folder_;
        return true;
    }

private:
    size_t piece_count() const { return starts_.size(); }

    // Whether folder_ exists and may stand before piece `next` (at the end: the wanted kind;
    // otherwise a folder).
    bool fits(size_t next) {
        if (--budget_ < 0) return false;
        struct stat info;
        if (::stat(folder_.empty() ? "." : folder_.c_str(), &info) != 0) return false;
        return is_kind(info, next < piece_count() ? win_path_kind::folder : kind_);
    }

    // The names that can start at piece `first`, shortest first.
    std::vector<piece_span> names_from(size_t first) const {
        std::vector<piece_span> names;
        for (size_t last = first; last < piece_count(); ++last) {
            if (last > first && path_[ends_[last - 1]] != '\\') break;
            const size_t length = ends_[last] - starts_[first];
            if (length > name_max) break;
            names.push_back({last, length});
        }
        return names;
    }

    // Entries of folder_ equal to one of `names` ignoring case but not exactly: (last piece,
    // entry), sorted.
    std::vector<std::pair<size_t, std::string>> other_case(size_t first, const std::vector<piece_span>& names) {
        std::vector<std::pair<size_t, std::string>> matches;
        if (--budget_ < 0) return matches;
        std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder_.empty() ? "." : folder_.c_str()), ::closedir);
        if (!dir) return matches;
        const char* text = path_.data() + starts_[first];
        while (const dirent* entry = ::readdir(dir.get())) {
            const size_t length = std::strlen(entry->d_name);
            for (const piece_span& name : names) {
                if (name.length == length && std::memcmp(text, entry->d_name, length) != 0 &&
                    same_ignoring_case(text, length, entry->d_name)) {
                    matches.emplace_back(name.last, entry->d_name);
                }
            }
        }
        std::sort(matches.begin(), matches.end());
        return matches;
    }

    // Appends `name` to folder_ and goes on with piece `next`; takes the name off again on failure.
    bool enter(const char* name, size_t length, size_t next) {
        const size_t kept = folder_.size();
        if (!folder_.empty() && folder_.back() != '/') folder_.push_back('/');
        folder_.append(name, length);
        if (fits(next) && walk(next)) return true;
        folder_.resize(kept);
        return false;
    }

    // Resolves the pieces from `first` on inside folder_ (a Linux path; empty: the current folder).
    bool walk(size_t first) {
        if (first == piece_count()) return fits(first);
        if (--budget_ < 0) return false;
        if (ends_[first] == starts_[first]) {  // a separator at the start (the root), doubled or at the end
            if (first == 0) folder_.assign(1, '/');
            if (walk(first + 1)) return true;
            if (first == 0) folder_.clear();
        }
        const std::vector<piece_span> names = names_from(first);
        for (const piece_span& name : names) {
            if (name.length > 0 && enter(path_.data() + starts_[first], name.length, name.last + 1)) return true;
        }
        for (const auto& [last, entry] : other_case(first, names)) {
            if (enter(entry.data(), entry.size(), last + 1)) return true;
        }
        return false;
    }

    const std::string& path_;
    win_path_kind kind_;
    std::vector<size_t> starts_;  // piece i is path_[starts_[i], ends_[i]); a separator follows it
    std::vector<size_t> ends_;
    std::string folder_;  // the Linux path resolved so far
    int budget_ = probe_budget;
};

}  // namespace

std::string win_native_path(const char* path, win_path_kind kind) {
    if (path == nullptr) return {};
    const std::string given(path);
    std::string native = with_slashes(given);
    if (native.empty() || native.size() > path_max || is_kind(native, kind)) return native;
    path_walk(given, kind).resolve(&native);
    return native;
}
