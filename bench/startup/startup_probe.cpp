// Measures a GUI program's start-up: starts it, waits for its first top-level
// window to be mapped, reads the process's peak resident memory 1.5 s later
// (steady state), asks the window to close, and reports the time from exec to
// the map and that peak. The peak is read before the close: tearing a window
// down costs programs very different amounts, and is not start-up.
//
//   startup-probe PROGRAM [ARGS...]   prints "<milliseconds> <peak KiB>"
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

void RequestClose(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

// VmHWM of a running process, in KiB; 0 when it cannot be read.
long PeakResidentKiB(pid_t pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/status", static_cast<int>(pid));
    FILE* status = std::fopen(path, "r");
    if (!status) return 0;
    long kib = 0;
    char line[256];
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1) break;
    std::fclose(status);
    return kib;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup-probe PROGRAM [ARGS...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "startup-probe: no display\n");
        return 2;
    }
    Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        execv(argv[1], argv + 1);
        _exit(127);
    }

    double mappedMs = -1;
    Window mapped = 0;
    auto deadline = start + std::chrono::seconds(30);
    while (!mapped && std::chrono::steady_clock::now() < deadline) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && !event.xmap.override_redirect) {
                mapped = event.xmap.window;
                mappedMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
                break;
            }
        }
        if (!mapped) usleep(200);
    }
    if (!mapped) {
        kill(pid, SIGKILL);
        std::fprintf(stderr, "startup-probe: no window within 30 s\n");
        return 1;
    }
    // Steady state: let the first paint and anything started after it settle
    // (1.5 s) before closing, so the peak memory figure includes them.
    usleep(1500 * 1000);
    const long steadyPeakKiB = PeakResidentKiB(pid);
    RequestClose(display, mapped);
    int status = 0;
    rusage usage{};
    for (int i = 0; i < 100 && wait4(pid, &status, WNOHANG, &usage) == 0; ++i) usleep(50 * 1000);
    if (wait4(pid, &status, WNOHANG, &usage) == 0) {
        kill(pid, SIGTERM);
        wait4(pid, &status, 0, &usage);
    }
    // Without /proc, the peak over the whole run.
    std::printf("%.1f %ld\n", mappedMs, steadyPeakKiB > 0 ? steadyPeakKiB : usage.ru_maxrss);
    XCloseDisplay(display);
    return 0;
}
