#pragma once

#include "XSession.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace kv {

// What the screen shows: the managed windows from the bottom of the stack to
// its top, the open menus and lists, and the window with the focus.
struct Scene {
    std::vector<ClientWindow> clients;
    std::vector<ScreenRect> popups;
    unsigned long active = 0;

    // The program's main window, or null while it shows none.
    const ClientWindow* MainWindow() const;
    // The window a user would be working in: the active one, else the top.
    const ClientWindow* Top() const;
};

// The main window's title ends in " [3 way, 24 bits @ 96 kHz]" while it
// holds a design: its number of bands, else 0.
int BandsInTitle(const std::string& title);

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// Random input as a curious user with no patience gives it: mostly aimed at
// what is on top (an open menu, the dialog in front, the main window's
// blocks and panes), and recorded so that a failure can be retraced.
class Monkey {
public:
    Monkey(XSession& x, std::uint64_t seed);

    void Act(const Scene& scene);
    long Actions() const { return actions_; }
    // The last actions, oldest first.
    const std::deque<std::string>& Recent() const { return recent_; }

private:
    void ActOnPopup(const ScreenRect& popup);
    void ActOnMainWindow(const ClientWindow& main);
    void ActOnWindow(const ClientWindow& window);
    void ActOnSchematic(const ScreenRect& pane, int bands);
    void ActOnResponsePane(const ScreenRect& pane, const char* name);
    void ActAnywhere(const ScreenRect& area);
    void PressMainWindowKey();
    void PressWindowKey();
    void TypeNumber();

    void Click(ScreenPoint at, int button, int count, const std::string& what);
    void Drag(ScreenPoint from, ScreenPoint to, const std::string& what);
    void Hold(ScreenPoint at, const std::string& what);
    void Wheel(ScreenPoint at, const std::string& what);
    void Press(const std::string& key, Modifiers modifiers = Modifiers::None);
    void Record(const std::string& text);

    // A point on something drawn in the area (a control, a label, a curve)
    // rather than on its plain background.
    ScreenPoint FeaturePoint(const ScreenRect& area);
    ScreenPoint AnyPoint(const ScreenRect& area);
    int Uniform(int low, int high);
    bool Chance(double probability);
    template <typename Items> const auto& AnyOf(const Items& items) {
        return items[static_cast<std::size_t>(Uniform(0, static_cast<int>(std::size(items)) - 1))];
    }
    // An index into a table of weights, drawn by weight.
    std::size_t Weighted(const std::vector<double>& weights);
    struct Choice {
        double weight;
        std::function<void()> act;
    };
    // Does one of the choices, drawn by weight.
    void OneOf(const std::vector<Choice>& choices);

    XSession& x_;
    std::mt19937_64 random_;
    long actions_ = 0;
    std::string target_;
    std::deque<std::string> recent_;
};

} // namespace kv
