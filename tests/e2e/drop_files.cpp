// SPDX-License-Identifier: GPL-2.0-or-later
// Drops files on an X window as a file manager does, through the XDND protocol:
// enter with the text/uri-list type, a position over the window, the drop, the
// list of file:// addresses handed over as the selection, and the target's
// word that it has finished.
// Usage: drop_files WINDOW_ID FILE...   (uses $DISPLAY; status 1 when the
// window does not take the drop within 5 s)

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};

constexpr long xdndVersion = 5;

/// file:///path with every byte outside the unreserved set as %XX.
std::string uriOf(const std::filesystem::path& file) {
    std::string uri = "file://";
    for (const unsigned char c : std::filesystem::absolute(file).string()) {
        if (std::isalnum(c) ||
            std::string_view("/-._~").find(static_cast<char>(c)) != std::string_view::npos) {
            uri += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            uri += escaped;
        }
    }
    return uri;
}

class Drag {
  public:
    Drag(Display* display, Window target, std::string uriList)
        : display_(display), target_(target), uriList_(std::move(uriList)) {
        source_ = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
        XSetSelectionOwner(display, atom("XdndSelection"), source_, CurrentTime);
    }

    /// true once the target has finished the drop and accepted it.
    bool run() {
        send("XdndEnter", {static_cast<long>(source_), xdndVersion << 24,
                           static_cast<long>(atom("text/uri-list")), 0, 0});
        XWindowAttributes attributes{};
        XGetWindowAttributes(display_, target_, &attributes);
        int x = 0;
        int y = 0;
        Window child = 0;
        XTranslateCoordinates(display_, target_, DefaultRootWindow(display_), attributes.width / 2,
                              attributes.height / 2, &x, &y, &child);
        send("XdndPosition", {static_cast<long>(source_), 0, (static_cast<long>(x) << 16) | y,
                              CurrentTime, static_cast<long>(atom("XdndActionCopy"))});
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        bool dropped = false;
        while (std::chrono::steady_clock::now() < deadline) {
            if (!nextEvent()) continue;
            if (event_.type == SelectionRequest) {
                answer(event_.xselectionrequest);
            } else if (event_.type == ClientMessage &&
                       event_.xclient.message_type == atom("XdndStatus") && !dropped) {
                if ((event_.xclient.data.l[1] & 1) == 0) return false;  // refused
                send("XdndDrop", {static_cast<long>(source_), 0, CurrentTime, 0, 0});
                dropped = true;
            } else if (event_.type == ClientMessage &&
                       event_.xclient.message_type == atom("XdndFinished")) {
                return (event_.xclient.data.l[1] & 1) != 0;
            }
        }
        return false;
    }

  private:
    Atom atom(const char* name) const { return XInternAtom(display_, name, False); }

    void send(const char* type, std::initializer_list<long> data) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = target_;
        event.xclient.message_type = atom(type);
        event.xclient.format = 32;
        int i = 0;
        for (long value : data) event.xclient.data.l[i++] = value;
        XSendEvent(display_, target_, False, NoEventMask, &event);
        XFlush(display_);
    }

    /// Waits up to 100 ms for an event.
    bool nextEvent() {
        if (XPending(display_) == 0) {
            pollfd descriptor{ConnectionNumber(display_), POLLIN, 0};
            poll(&descriptor, 1, 100);
            if (XPending(display_) == 0) return false;
        }
        XNextEvent(display_, &event_);
        return true;
    }

    /// Hands the list of files to the window that asks for the selection.
    void answer(const XSelectionRequestEvent& request) {
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = request.requestor;
        reply.xselection.selection = request.selection;
        reply.xselection.target = request.target;
        reply.xselection.time = request.time;
        reply.xselection.property = None;
        if (request.target == atom("text/uri-list")) {
            XChangeProperty(display_, request.requestor, request.property, request.target, 8,
                            PropModeReplace,
                            reinterpret_cast<const unsigned char*>(uriList_.data()),
                            static_cast<int>(uriList_.size()));
            reply.xselection.property = request.property;
        }
        XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
        XFlush(display_);
    }

    Display* display_;
    Window target_;
    Window source_ = 0;
    std::string uriList_;
    XEvent event_{};
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: drop_files WINDOW_ID FILE...\n");
        return 2;
    }
    char* end = nullptr;
    const unsigned long window = std::strtoul(argv[1], &end, 0);
    if (*end != '\0' || window == 0) {
        std::fprintf(stderr, "drop_files: not a window id: %s\n", argv[1]);
        return 2;
    }
    std::string uriList;
    for (int i = 2; i < argc; ++i) uriList += uriOf(argv[i]) + "\r\n";
    const std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    if (!display) {
        std::fprintf(stderr, "drop_files: cannot open the display\n");
        return 1;
    }
    if (!Drag(display.get(), window, uriList).run()) {
        std::fprintf(stderr, "drop_files: the window did not take the drop\n");
        return 1;
    }
    return 0;
}
