// win_paths.cpp - Win32 path names on a Linux file system: separators, names holding '\', and
// names of another case.
//
// The path is cut into pieces at every separator. Walking from its start, each folder is asked
// for the names the next pieces can form: one piece alone, or several joined by the '\' between
// them (never across a '/'). Per folder the exact names come first, shortest first, then entries
// that differ in ASCII case only. An empty piece (a separator at the start, doubled or at the end)
// is first taken as a plain separator. The walk goes depth-first and the first complete reading
// that names an entry of the wanted kind wins.
//
// Bounded: no name longer than a directory entry can be is formed, paths longer than the kernel
// takes are not searched, one resolution makes at most `probe_budget` steps and file-system
// probes (names that exist under several spellings could otherwise make the walk exponential),
// and the walk keeps its own stack, so that thousands of pieces do not deepen the call stack.
#include "platform/win32/win_paths.h"
#include "platform/base/ascii_case.h"

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

bool is_kind(const struct stat& info, win_path_kind kind) {
    return kind == win_path_kind::folder ? S_ISDIR(info.st_mode) : S_ISREG(info.st_mode);
}

bool is_kind(const std::string& path, win_path_kind kind) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && is_kind(info, kind);
}

// One folder of the walk: where its names start in the path, and which of them it has tried.
struct walk_step {
    walk_step(size_t first_piece, size_t kept_length) : first(first_piece), kept(kept_length) {}

    size_t first;      // piece its names start at
    size_t kept;       // length of the Linux path before this step's name was appended
    int stage = 0;     // 0: the empty piece as separator, 1: exact names, 2: other case
    size_t last = 0;   // stage 1: last piece of the next exact name
    size_t other = 0;  // stage 2: next entry in `other_case`
    std::vector<std::pair<size_t, std::string>> other_case;  // (last piece, entry), sorted
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
        std::vector<walk_step> steps;
        steps.emplace_back(0, 0);
        while (!steps.empty() && --budget_ >= 0) {
            walk_step& step = steps.back();
            if (step.first == piece_count()) {
                if (fits(step.first)) {
                    *native = folder_;
                    return true;
                }
            } else if (advance(step)) {
                steps.emplace_back(next_, kept_);
                continue;
            }
            folder_.resize(steps.back().kept);
            steps.pop_back();
        }
        return false;
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

    // Moves folder_ on by the next reading `step` has not tried and sets next_ (the piece after
    // it) and kept_ (folder_'s length before it); false when `step` has tried them all.
    bool advance(walk_step& step) {
        if (step.stage == 0) {
            step.stage = 1;
            step.last = step.first;
            if (starts_[step.first] == ends_[step.first]) {  // a separator: the root at the start
                kept_ = folder_.size();
                if (step.first == 0) folder_.assign(1, '/');
                next_ = step.first + 1;
                return true;
            }
        }
        if (step.stage == 1) {
            while (step.last < piece_count()) {
                const size_t last = step.last++;
                if (last > step.first && path_[ends_[last - 1]] != '\\') break;
                const size_t length = ends_[last] - starts_[step.first];
                if (length > name_max) break;
                if (length > 0 && enter(path_.data() + starts_[step.first], length, last + 1)) return true;
            }
            step.stage = 2;
            step.other_case = other_case(step.first);
        }
        while (step.other < step.other_case.size()) {
            const auto& [last, entry] = step.other_case[step.other++];
            if (enter(entry.data(), entry.size(), last + 1)) return true;
        }
        return false;
    }

    // Appends `name` to folder_ when the result may stand before piece `next`.
    bool enter(const char* name, size_t length, size_t next) {
        kept_ = folder_.size();
        if (!folder_.empty() && folder_.back() != '/') folder_.push_back('/');
        folder_.append(name, length);
        next_ = next;
        if (fits(next)) return true;
        folder_.resize(kept_);
        return false;
    }

    // Entries of folder_ equal, ignoring case but not exactly, to a name starting at piece
    // `first`: (last piece of that name, entry), sorted.
    std::vector<std::pair<size_t, std::string>> other_case(size_t first) {
        std::vector<std::pair<size_t, std::string>> matches;
        if (--budget_ < 0) return matches;
        std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder_.empty() ? "." : folder_.c_str()), ::closedir);
        if (!dir) return matches;
        const char* text = path_.data() + starts_[first];
        while (const dirent* entry = ::readdir(dir.get())) {
            const size_t length = std::strlen(entry->d_name);
            const size_t last = last_piece_of_name(first, length);
            if (last < piece_count() && std::memcmp(text, entry->d_name, length) != 0 &&
                ascii_equal_ignoring_case(std::string_view(text, length), entry->d_name)) {
                matches.emplace_back(last, entry->d_name);
            }
        }
        std::sort(matches.begin(), matches.end());
        return matches;
    }

    // The last piece of the name `length` long that starts at piece `first`, or piece_count()
    // when no name of that length starts there.
    size_t last_piece_of_name(size_t first, size_t length) const {
        if (length == 0 || length > name_max) return piece_count();
        for (size_t last = first; last < piece_count(); ++last) {
            if (last > first && path_[ends_[last - 1]] != '\\') break;
            const size_t end = starts_[first] + length;
            if (ends_[last] == end) return last;
            if (ends_[last] > end) break;
        }
        return piece_count();
    }

    const std::string& path_;
    win_path_kind kind_;
    std::vector<size_t> starts_;  // piece i is path_[starts_[i], ends_[i]); a separator follows it
    std::vector<size_t> ends_;
    std::string folder_;  // the Linux path of the reading being tried
    size_t next_ = 0;     // set by advance: the piece after the name it appended
    size_t kept_ = 0;     // set by advance: folder_'s length before that name
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
