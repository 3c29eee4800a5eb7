// entry.cpp - the process entry of a program: main() calls WinMain with the instance, no previous
// instance, the command line (the arguments after the program name, joined by spaces) and the
// default show command, and the process exits with WinMain's result.
#include <windows.h>

#include <string>

namespace {

// The instance handle names the program's module; only its identity matters.
char module_marker;

}  // namespace

int main(int argc, char** argv) {
    std::string command_line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) command_line += ' ';
        command_line += argv[i];
    }
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(&module_marker);
    return WinMain(instance, nullptr, command_line.data(), SW_SHOWDEFAULT);
}
