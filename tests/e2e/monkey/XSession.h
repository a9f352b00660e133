#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kv {

// An area of the screen in root-window pixels.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool Empty() const { return width <= 0 || height <= 0; }
    bool Contains(int px, int py) const {
        return px >= x && py >= y && px < x + width && py < y + height;
    }
};

// A top-level window the window manager manages: its title, where its
// contents are, and whether it belongs to another window (a dialog).
struct ClientWindow {
    unsigned long id = 0;
    std::string title;
    ScreenRect area;
    bool transient = false;
};

// The colours of a screen area as 0xRRGGBB, row by row.
struct ScreenPixels {
    ScreenRect area;
    std::vector<std::uint32_t> rgb;

    std::uint32_t At(int column, int row) const {
        return rgb[static_cast<std::size_t>(row) * static_cast<std::size_t>(area.width) +
                   static_cast<std::size_t>(column)];
    }
};

enum class Modifiers : unsigned { None = 0, Shift = 1, Control = 2, Alt = 4 };

constexpr Modifiers operator|(Modifiers a, Modifiers b) {
    return static_cast<Modifiers>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}

constexpr bool Has(Modifiers set, Modifiers one) {
    return (static_cast<unsigned>(set) & static_cast<unsigned>(one)) != 0;
}

// The X display as a user sees it, through Xlib: the windows the window
// manager lists, their pixels, the XTest extension's mouse and keyboard, and
// _NET_WM_PING, which a toolkit answers from its event loop, so that an
// answer proves the program still handles events.
class XSession {
public:
    // Null when no display can be opened or it lacks XTest.
    static std::unique_ptr<XSession> Connect();
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    ScreenRect Screen() const;
    bool WindowManagerRunning() const;
    // The managed windows from the bottom of the stack to its top.
    std::vector<ClientWindow> Clients() const;
    unsigned long ActiveWindow() const;
    // Menus, drop-down lists and tooltips: shown windows that the window
    // manager does not manage.
    std::vector<ScreenRect> Popups() const;
    ScreenPixels Capture(const ScreenRect& area) const;

    void MoveTo(int x, int y);
    void Button(int button, bool down);
    // A key by its keysym name ("Tab", "Page_Up", "a") with modifiers held.
    void Key(const std::string& keysym, Modifiers modifiers = Modifiers::None);
    void Type(const std::string& text);
    // Holds the pointer's effects back until the server has seen them.
    void Sync();

    // Pings every window; an answer comes to the root window. Returns the
    // ping's number, which grows with every ping.
    long Ping(const std::vector<ClientWindow>& windows);
    // The number of the newest ping answered so far, or -1.
    long NewestAnswer();

private:
    struct Connection;
    explicit XSession(std::unique_ptr<Connection> connection);

    std::unique_ptr<Connection> x_;
    long pings_ = 0;
    long newestAnswer_ = -1;
};

} // namespace kv
