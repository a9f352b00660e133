#include "XSession.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <algorithm>
#include <map>

namespace kv {
namespace {

// The window manager pings with server times, small numbers in a test's
// first weeks: ours stand far above them.
constexpr long kFirstPingStamp = 0x70000000;

// Windows come and go between a query and its use: an error about one that
// is gone is expected, and the next query no longer lists it.
int IgnoreError(Display*, XErrorEvent*) {
    return 0;
}

// A window property of the given format, bounded by what the server holds
// (Xlib hands 32-bit items over as longs).
template <typename Item>
std::vector<Item> ReadProperty(Display* display, Window window, Atom property, Atom type,
                               int format) {
    constexpr long kMaxLongs = 4096;
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::vector<Item> items;
    if (XGetWindowProperty(display, window, property, 0, kMaxLongs, False, type, &actualType,
                           &actualFormat, &count, &remaining, &data) == Success &&
        data != nullptr && actualFormat == format) {
        const auto* values = reinterpret_cast<const Item*>(data);
        items.assign(values, values + count);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return items;
}

std::vector<unsigned long> Property32(Display* display, Window window, Atom property, Atom type) {
    return ReadProperty<unsigned long>(display, window, property, type, 32);
}

std::string PropertyText(Display* display, Window window, Atom property, Atom type) {
    const std::vector<char> text = ReadProperty<char>(display, window, property, type, 8);
    return {text.begin(), text.end()};
}

// The pixel's colour as 0xRRGGBB for the usual true-colour visuals.
std::uint32_t ColourOf(const XImage& image, unsigned long pixel) {
    const auto channel = [pixel](unsigned long mask) -> std::uint32_t {
        if (mask == 0) {
            return 0;
        }
        int shift = 0;
        while (((mask >> shift) & 1UL) == 0) {
            ++shift;
        }
        const unsigned long value = (pixel & mask) >> shift;
        const unsigned long maximum = mask >> shift;
        return static_cast<std::uint32_t>(value * 255 / maximum);
    };
    return channel(image.red_mask) << 16 | channel(image.green_mask) << 8 |
           channel(image.blue_mask);
}

} // namespace

struct XSession::Connection {
    Display* display = nullptr;
    Window root = None;
    std::map<std::string, Atom> atoms;

    ~Connection() {
        if (display != nullptr) {
            XCloseDisplay(display);
        }
    }

    Atom AtomNamed(const std::string& name) {
        auto found = atoms.find(name);
        if (found == atoms.end()) {
            found = atoms.emplace(name, XInternAtom(display, name.c_str(), False)).first;
        }
        return found->second;
    }
};

std::unique_ptr<XSession> XSession::Connect() {
    auto connection = std::make_unique<Connection>();
    connection->display = XOpenDisplay(nullptr);
    if (connection->display == nullptr) {
        return nullptr;
    }
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(connection->display, &event, &error, &major, &minor)) {
        return nullptr;
    }
    XSetErrorHandler(IgnoreError);
    connection->root = DefaultRootWindow(connection->display);
    // The answers to pings are sent to the root window, for those who watch
    // its structure (Qt) or its substructure (the convention).
    XSelectInput(connection->display, connection->root,
                 StructureNotifyMask | SubstructureNotifyMask);
    return std::unique_ptr<XSession>(new XSession(std::move(connection)));
}

XSession::XSession(std::unique_ptr<Connection> connection) : x_(std::move(connection)) {}

XSession::~XSession() = default;

ScreenRect XSession::Screen() const {
    const int screen = DefaultScreen(x_->display);
    return {0, 0, DisplayWidth(x_->display, screen), DisplayHeight(x_->display, screen)};
}

bool XSession::WindowManagerRunning() const {
    return !Property32(x_->display, x_->root, x_->AtomNamed("_NET_SUPPORTING_WM_CHECK"), XA_WINDOW)
                .empty();
}

std::vector<ClientWindow> XSession::Clients() const {
    std::vector<ClientWindow> clients;
    const Atom utf8 = x_->AtomNamed("UTF8_STRING");
    for (const unsigned long id :
         Property32(x_->display, x_->root, x_->AtomNamed("_NET_CLIENT_LIST_STACKING"), XA_WINDOW)) {
        XWindowAttributes attributes;
        Window child = None;
        ClientWindow client;
        client.id = id;
        if (XGetWindowAttributes(x_->display, id, &attributes) == 0 ||
            !XTranslateCoordinates(x_->display, id, x_->root, 0, 0, &client.area.x, &client.area.y,
                                   &child)) {
            continue;
        }
        client.area.width = attributes.width;
        client.area.height = attributes.height;
        client.title = PropertyText(x_->display, id, x_->AtomNamed("_NET_WM_NAME"), utf8);
        Window owner = None;
        client.transient = XGetTransientForHint(x_->display, id, &owner) != 0 && owner != None;
        clients.push_back(client);
    }
    return clients;
}

unsigned long XSession::ActiveWindow() const {
    const std::vector<unsigned long> active =
        Property32(x_->display, x_->root, x_->AtomNamed("_NET_ACTIVE_WINDOW"), XA_WINDOW);
    return active.empty() ? 0 : active.front();
}

std::vector<ScreenRect> XSession::Popups() const {
    std::vector<ScreenRect> popups;
    Window rootReturn = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(x_->display, x_->root, &rootReturn, &parent, &children, &count) == 0) {
        return popups;
    }
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(x_->display, children[i], &attributes) != 0 &&
            attributes.override_redirect && attributes.map_state == IsViewable &&
            attributes.width > 4 && attributes.height > 4) {
            popups.push_back({attributes.x, attributes.y, attributes.width, attributes.height});
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return popups;
}

ScreenPixels XSession::Capture(const ScreenRect& area) const {
    const ScreenRect screen = Screen();
    ScreenPixels pixels;
    pixels.area.x = std::clamp(area.x, 0, screen.width);
    pixels.area.y = std::clamp(area.y, 0, screen.height);
    pixels.area.width = std::clamp(area.x + area.width, 0, screen.width) - pixels.area.x;
    pixels.area.height = std::clamp(area.y + area.height, 0, screen.height) - pixels.area.y;
    if (pixels.area.Empty()) {
        pixels.area = {};
        return pixels;
    }
    XImage* image = XGetImage(x_->display, x_->root, pixels.area.x, pixels.area.y,
                              static_cast<unsigned>(pixels.area.width),
                              static_cast<unsigned>(pixels.area.height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        pixels.area = {};
        return pixels;
    }
    pixels.rgb.reserve(static_cast<std::size_t>(pixels.area.width) *
                       static_cast<std::size_t>(pixels.area.height));
    for (int row = 0; row < pixels.area.height; ++row) {
        for (int column = 0; column < pixels.area.width; ++column) {
            pixels.rgb.push_back(ColourOf(*image, XGetPixel(image, column, row)));
        }
    }
    XDestroyImage(image);
    return pixels;
}

void XSession::MoveTo(int x, int y) {
    XTestFakeMotionEvent(x_->display, -1, x, y, CurrentTime);
    XFlush(x_->display);
}

void XSession::Button(int button, bool down) {
    XTestFakeButtonEvent(x_->display, static_cast<unsigned>(button), down ? True : False,
                         CurrentTime);
    XFlush(x_->display);
}

void XSession::Key(const std::string& keysym, Modifiers modifiers) {
    const KeySym symbol = XStringToKeysym(keysym.c_str());
    const KeyCode code = symbol == NoSymbol ? 0 : XKeysymToKeycode(x_->display, symbol);
    if (code == 0) {
        return;
    }
    // A symbol on the key's second level ("plus") needs Shift.
    if (XkbKeycodeToKeysym(x_->display, code, 0, 0) != symbol) {
        modifiers = modifiers | Modifiers::Shift;
    }
    std::vector<KeyCode> held;
    for (const auto& [modifier, name] :
         {std::pair{Modifiers::Control, "Control_L"}, std::pair{Modifiers::Alt, "Alt_L"},
          std::pair{Modifiers::Shift, "Shift_L"}}) {
        if (Has(modifiers, modifier)) {
            held.push_back(XKeysymToKeycode(x_->display, XStringToKeysym(name)));
        }
    }
    for (const KeyCode modifier : held) {
        XTestFakeKeyEvent(x_->display, modifier, True, CurrentTime);
    }
    XTestFakeKeyEvent(x_->display, code, True, CurrentTime);
    XTestFakeKeyEvent(x_->display, code, False, CurrentTime);
    for (auto modifier = held.rbegin(); modifier != held.rend(); ++modifier) {
        XTestFakeKeyEvent(x_->display, *modifier, False, CurrentTime);
    }
    XFlush(x_->display);
}

void XSession::Type(const std::string& text) {
    static const std::map<char, std::string> kPunctuation = {
        {'.', "period"}, {',', "comma"}, {'-', "minus"}, {'+', "plus"}, {' ', "space"}};
    for (const char c : text) {
        const auto punctuation = kPunctuation.find(c);
        Key(punctuation != kPunctuation.end() ? punctuation->second : std::string(1, c));
    }
}

void XSession::Sync() {
    XSync(x_->display, False);
}

long XSession::Ping(const std::vector<ClientWindow>& windows) {
    const long stamp = kFirstPingStamp + ++pings_;
    for (const ClientWindow& window : windows) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window.id;
        event.xclient.message_type = x_->AtomNamed("WM_PROTOCOLS");
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(x_->AtomNamed("_NET_WM_PING"));
        event.xclient.data.l[1] = stamp;
        event.xclient.data.l[2] = static_cast<long>(window.id);
        XSendEvent(x_->display, window.id, False, NoEventMask, &event);
    }
    XFlush(x_->display);
    return pings_;
}

long XSession::NewestAnswer() {
    const Atom protocols = x_->AtomNamed("WM_PROTOCOLS");
    const auto ping = static_cast<long>(x_->AtomNamed("_NET_WM_PING"));
    while (XPending(x_->display) > 0) {
        XEvent event;
        XNextEvent(x_->display, &event);
        if (event.type == ClientMessage && event.xclient.message_type == protocols &&
            event.xclient.data.l[0] == ping) {
            const long number = event.xclient.data.l[1] - kFirstPingStamp;
            if (number > 0 && number <= pings_) {
                newestAnswer_ = std::max(newestAnswer_, number);
            }
        }
    }
    return newestAnswer_;
}

} // namespace kv
