// program_run.cpp - forks, runs WinMain headless in the child, and sends the results back
// through a pipe when the child exits (normally or through exit()).
#include "program_run.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

int result_pipe = -1;
program_result* child_run = nullptr;

void write_bytes(const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(result_pipe, p, size);
        if (n <= 0) return;
        p += n;
        size -= static_cast<size_t>(n);
    }
}

void write_u64(uint64_t v) { write_bytes(&v, sizeof v); }

void write_string(const std::string& s) {
    write_u64(s.size());
    write_bytes(s.data(), s.size());
}

void send_results() {
    if (child_run == nullptr) return;
    char directory[PATH_MAX] = {};
    if (::getcwd(directory, sizeof directory) == nullptr) directory[0] = '\0';
    write_u64(static_cast<uint64_t>(win_headless_present_count()));
    const auto& boxes = win_headless_message_boxes();
    write_u64(boxes.size());
    for (const auto& box : boxes) {
        write_string(box.text_utf8);
        write_string(box.caption_utf8);
        write_u64(box.type);
        write_u64(box.owner_visible ? 1 : 0);
        write_u64(static_cast<uint64_t>(box.presents_before));
    }
    const auto& frame = win_headless_last_frame();
    write_u64(static_cast<uint64_t>(frame.width));
    write_u64(static_cast<uint64_t>(frame.height));
    write_bytes(frame.pixels.data(), frame.pixels.size() * sizeof(uint32_t));
    write_u64(child_run->samples.size());
    write_bytes(child_run->samples.data(), child_run->samples.size() * sizeof(double));
    write_string(directory);
    ::close(result_pipe);
    child_run = nullptr;
}

[[noreturn]] void run_child(const program_script& script) {
    static program_result run;
    child_run = &run;
    if (!script.working_directory.empty() && ::chdir(script.working_directory.c_str()) != 0) std::_Exit(126);
    win_headless_enable();
    // The window layer's state must outlive the exit handler that reads it: objects made before the
    // handler is registered are destroyed after it runs.
    win_headless_last_frame();
    win_headless_message_boxes();
    std::atexit(send_results);
    if (!script.program_path.empty()) win_headless_set_program_path(script.program_path.c_str());
    win_headless_on_present([&script](int present) {
        if (script.on_present) script.on_present(present, run.samples);
        if (script.escape_from_present > 0 && present >= script.escape_from_present) {
            win_headless_set_key(VK_ESCAPE, true);
        }
        if (present == script.close_at_present) win_headless_request_close(win_headless_main_window());
    });
    static char command_line[] = "";
    std::exit(WinMain(reinterpret_cast<HINSTANCE>(&run), nullptr, command_line, SW_SHOWDEFAULT));
}

bool read_bytes(int fd, void* data, size_t size) {
    char* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = ::read(fd, p, size);
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool read_u64(int fd, uint64_t* v) { return read_bytes(fd, v, sizeof *v); }

bool read_string(int fd, std::string* s) {
    uint64_t size = 0;
    if (!read_u64(fd, &size) || size > (1u << 20)) return false;
    s->resize(size);
    return read_bytes(fd, s->data(), size);
}

bool read_results(int fd, program_result* run) {
    uint64_t presents = 0, boxes = 0;
    if (!read_u64(fd, &presents) || !read_u64(fd, &boxes) || boxes > 1000) return false;
    run->presents = static_cast<int>(presents);
    for (uint64_t i = 0; i < boxes; ++i) {
        win_headless_message_box box{};
        uint64_t type = 0, visible = 0, before = 0;
        if (!read_string(fd, &box.text_utf8) || !read_string(fd, &box.caption_utf8) || !read_u64(fd, &type) ||
            !read_u64(fd, &visible) || !read_u64(fd, &before)) {
            return false;
        }
        box.type = static_cast<UINT>(type);
        box.owner_visible = visible != 0;
        box.presents_before = static_cast<int>(before);
        run->message_boxes.push_back(box);
    }
    uint64_t width = 0, height = 0, samples = 0;
    if (!read_u64(fd, &width) || !read_u64(fd, &height) || width * height > (1u << 26)) return false;
    run->last_frame.width = static_cast<int>(width);
    run->last_frame.height = static_cast<int>(height);
    run->last_frame.pixels.resize(width * height);
    if (!read_bytes(fd, run->last_frame.pixels.data(), width * height * sizeof(uint32_t))) return false;
    if (!read_u64(fd, &samples) || samples > (1u << 26)) return false;
    run->samples.resize(samples);
    if (!read_bytes(fd, run->samples.data(), samples * sizeof(double))) return false;
    return read_string(fd, &run->final_directory);
}

}  // namespace

program_result run_program(const program_script& script, int timeout_seconds) {
    program_result run;
    int fds[2];
    if (::pipe(fds) != 0) return run;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        result_pipe = fds[1];
        run_child(script);
    }
    ::close(fds[1]);
    if (child < 0) {
        ::close(fds[0]);
        return run;
    }
    // Read while the child runs (a large frame does not fit the pipe's buffer), within the timeout.
    pollfd readable{fds[0], POLLIN, 0};
    const bool ready = ::poll(&readable, 1, timeout_seconds * 1000) > 0;
    const bool complete = ready && read_results(fds[0], &run);
    ::close(fds[0]);
    if (!complete) ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}
