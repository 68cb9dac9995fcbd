// Clicks a point of a window the way a user would (a real pointer press and release through
// XTest) and prints the seconds from the press until a top-level window with the given title is
// mapped: what a user waits from "Start Copying" to the outcome box. Prints "ready" and moves
// the pointer only when a line arrives on its input, so that the caller can prepare the machine
// right before the timed part (and no tooltip comes up meanwhile).
//
//   clicktobox WINDOW X Y TITLE      (X, Y inside WINDOW; gives up after 120 s)
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {
bool titled(Display* display, Window window, const char* title) {
    char* name = nullptr;
    const bool match = XFetchName(display, window, &name) && name && !std::strcmp(name, title);
    XFree(name);
    return match;
}

// A window mapped and destroyed at once (a tooltip) may be gone before its title is read.
int ignoreVanished(Display*, XErrorEvent* error) {
    if (error->error_code != BadWindow) {
        std::fprintf(stderr, "clicktobox: X error %d\n", error->error_code);
        std::exit(1);
    }
    return 0;
}
} // namespace

int main(int argc, char* argv[]) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: clicktobox WINDOW X Y TITLE\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "clicktobox: no display\n");
        return 1;
    }
    const Window target = std::strtoul(argv[1], nullptr, 0);
    const Window root = DefaultRootWindow(display);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, target, root, std::atoi(argv[2]), std::atoi(argv[3]), &x, &y,
                          &child);
    XSetErrorHandler(ignoreVanished);
    std::printf("ready\n");
    std::fflush(stdout);
    char go[2];
    if (!std::fgets(go, sizeof go, stdin)) {
        std::fprintf(stderr, "clicktobox: no go\n");
        return 1;
    }
    // Without a window manager every top-level window is a child of the root.
    XSelectInput(display, root, SubstructureNotifyMask);
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XSync(display, False);
    // Let the program take the pointer's arrival before the timed press.
    usleep(200000);
    alarm(120);

    const auto pressed = std::chrono::steady_clock::now();
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && titled(display, event.xmap.window, argv[4]))
            break;
    }
    const std::chrono::duration<double> waited = std::chrono::steady_clock::now() - pressed;
    std::printf("%.6f\n", waited.count());
    XCloseDisplay(display);
    return 0;
}
