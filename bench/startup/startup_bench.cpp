// Times programs from their launch to the moment their first window is mapped on the X display, tries of
// the programs interleaved, and prints each one's median.
//   startup_bench TRIES PROGRAM... (each program a path; DISPLAY names the display, with no window manager)
// The map is caught as the root window's MapNotify, so nothing polls; each program is killed once mapped.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds from launching `program` to the first window it maps; negative when it never maps one.
double timeToMap(xcb_connection_t* display, const std::string& program) {
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    const auto start = Clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], nullptr, nullptr, argv, environ) != 0) {
        return -1;
    }
    // Only windows created since the launch count: events of the program killed before may still come in.
    std::set<xcb_window_t> created;
    double ms = -1;
    while (xcb_generic_event_t* event = xcb_wait_for_event(display)) {
        const int type = event->response_type & 0x7F;
        if (type == XCB_CREATE_NOTIFY) {
            created.insert(reinterpret_cast<xcb_create_notify_event_t*>(event)->window);
        }
        const bool mapped = type == XCB_MAP_NOTIFY &&
                            created.count(reinterpret_cast<xcb_map_notify_event_t*>(event)->window) > 0;
        std::free(event);
        if (mapped) {
            ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            break;
        }
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return ms;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: startup_bench TRIES PROGRAM...\n", stderr);
        return 2;
    }
    const int tries = std::atoi(argv[1]);
    const std::vector<std::string> programs(argv + 2, argv + argc);
    xcb_connection_t* display = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(display) != 0) {
        std::fputs("startup_bench: no X display\n", stderr);
        return 1;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(display)).data;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(display, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(display);

    std::vector<std::vector<double>> times(programs.size());
    for (const std::string& program : programs) {
        timeToMap(display, program);  // once first, so every program starts from a warm cache
    }
    for (int i = 0; i < tries; ++i) {
        for (std::size_t p = 0; p < programs.size(); ++p) {
            times[p].push_back(timeToMap(display, programs[p]));
        }
    }
    for (std::size_t p = 0; p < programs.size(); ++p) {
        std::printf("program=%s median_ms=%.1f min_ms=%.1f max_ms=%.1f tries=%d\n", programs[p].c_str(),
                    median(times[p]), *std::min_element(times[p].begin(), times[p].end()),
                    *std::max_element(times[p].begin(), times[p].end()), tries);
    }
    xcb_disconnect(display);
    return 0;
}
