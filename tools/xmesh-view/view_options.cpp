// view_options.cpp - parses xmesh-view's command line (see view_options.h and the help text).
//
// Values are checked here, so that the modes receive only sizes the device accepts and finite
// angles: --size WxH with 1 <= W, H <= view_max_side, --yaw in [-360, 360], --pitch in [-90, 90].
#include "view_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace {

// A whole decimal number in [low, high]; false for anything else (signs, spaces, overflow).
bool parse_side(std::string_view text, int* value) {
    if (text.empty() || text.size() > 5) return false;
    int number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + (c - '0');
    }
    *value = number;
    return number >= 1 && number <= view_max_side;
}

bool parse_size(std::string_view text, view_options* options, std::string* problem) {
    const size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos || !parse_side(text.substr(0, x), &options->width) ||
        !parse_side(text.substr(x + 1), &options->height)) {
        *problem = "--size wants WIDTHxHEIGHT, each from 1 to " + std::to_string(view_max_side) + ", not '" +
                   std::string(text) + "'";
        return false;
    }
    return true;
}

bool parse_angle(const char* name, const std::string& text, float limit, float* value, std::string* problem) {
    errno = 0;
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno != 0 || !std::isfinite(number) || std::fabs(number) > limit) {
        *problem = std::string(name) + " wants degrees from " + std::to_string(int(-limit)) + " to " +
                   std::to_string(int(limit)) + ", not '" + text + "'";
        return false;
    }
    *value = static_cast<float>(number);
    return true;
}

// The value of the option at argv[*i], moving *i past it; null (with *problem) when it is missing.
const char* value_of(int argc, char** argv, int* i, std::string* problem) {
    if (*i + 1 >= argc) {
        *problem = std::string(argv[*i]) + " wants a value";
        return nullptr;
    }
    return argv[++*i];
}

bool check_mode(const view_options& options, bool png, bool png_folder, std::string* problem) {
    if (png && png_folder)
        *problem = "--png and --png-dir exclude each other";
    else if (options.help || options.version)
        return true;
    else if (options.files.empty())
        *problem = "no file given";
    else if (!png_folder && options.files.size() > 1)
        *problem = "one file at a time (or --png-dir DIR FILE...)";
    return problem->empty();
}

}  // namespace

bool view_parse_options(int argc, char** argv, view_options* options, std::string* problem) {
    bool png = false;
    bool png_folder = false;
    bool options_end = false;
    for (int i = 1; i < argc && problem->empty(); ++i) {
        const std::string argument = argv[i];
        const char* value = nullptr;
        if (options_end || argument.empty() || argument[0] != '-') {
            options->files.push_back(argument);
        } else if (argument == "--") {
            options_end = true;
        } else if (argument == "--help" || argument == "-h") {
            options->help = true;
        } else if (argument == "--version") {
            options->version = true;
        } else if (argument == "--png" || argument == "--png-dir") {
            if ((value = value_of(argc, argv, &i, problem)) == nullptr) break;
            (argument == "--png" ? png : png_folder) = true;
            options->output = value;
            if (options->output.empty()) *problem = argument + " wants a non-empty name";
        } else if (argument == "--size") {
            if ((value = value_of(argc, argv, &i, problem)) != nullptr) parse_size(value, options, problem);
        } else if (argument == "--yaw") {
            if ((value = value_of(argc, argv, &i, problem)) != nullptr) {
                parse_angle("--yaw", value, 360.0f, &options->yaw_degrees, problem);
            }
        } else if (argument == "--pitch") {
            if ((value = value_of(argc, argv, &i, problem)) != nullptr) {
                parse_angle("--pitch", value, 90.0f, &options->pitch_degrees, problem);
            }
        } else {
            *problem = "unknown option '" + argument + "'";
        }
    }
    if (!problem->empty()) return false;
    options->mode = png ? view_mode::png : png_folder ? view_mode::png_folder : view_mode::window;
    return check_mode(*options, png, png_folder, problem);
}
