#include "Monkey.h"

#include "session/SchematicLayout.h"
#include "ui/IMessageBox.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <map>
#include <regex>
#include <thread>

namespace kv {
namespace {

constexpr std::size_t kRecentActions = 50;
// The schematic pane's background, the only place of this colour.
constexpr std::uint32_t kSchematicBackground = 0xdce6f0;
// Where the main window's parts lie around its schematic pane.
constexpr int kMenuBarRow = 10;
constexpr int kMenuBarWidth = 200;
constexpr int kPanesTop = 50;
constexpr int kPanesGapAbove = 40;
constexpr int kCommandBarTop = 14;
constexpr int kCommandBarBottom = 34;

// Typed into whatever field has the focus.
constexpr std::array<const char*, 14> kHostileNumbers = {"nan", "1e308", "-1e308", "1,5",  "-",
                                                         "0",   "99999", "1e-9",   "",     "inf",
                                                         "-0",  "1.5e3", "-99999", "0,001"};

// The main window's menus and buttons by their mnemonics.
constexpr std::array<const char*, 12> kMainMnemonics = {"f", "e", "v", "t", "p", "u",
                                                        "n", "l", "s", "a", "h", "r"};

void Pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::string Describe(ScreenPoint at) {
    return "(" + std::to_string(at.x) + "," + std::to_string(at.y) + ")";
}

// The colour most of the area shows, from a sample of it.
std::uint32_t Background(const ScreenPixels& pixels, std::mt19937_64& random) {
    std::map<std::uint32_t, int> counts;
    std::uniform_int_distribution<int> column(0, pixels.area.width - 1);
    std::uniform_int_distribution<int> row(0, pixels.area.height - 1);
    for (int i = 0; i < 64; ++i) {
        ++counts[pixels.At(column(random), row(random))];
    }
    return std::max_element(counts.begin(), counts.end(),
                            [](const auto& a, const auto& b) { return a.second < b.second; })
        ->first;
}

// The bounding box of the schematic pane's background in the window, in
// screen pixels; empty when the pane is not to be seen.
ScreenRect SchematicPane(const ScreenPixels& window) {
    int left = window.area.width;
    int top = window.area.height;
    int right = -1;
    int bottom = -1;
    for (int row = 0; row < window.area.height; ++row) {
        for (int column = 0; column < window.area.width; ++column) {
            if (window.At(column, row) == kSchematicBackground) {
                left = std::min(left, column);
                right = std::max(right, column);
                top = std::min(top, row);
                bottom = std::max(bottom, row);
            }
        }
    }
    if (right < left || bottom < top) {
        return {};
    }
    return {window.area.x + left, window.area.y + top, right - left + 1, bottom - top + 1};
}

ScreenRect Inset(const QRect& rect, const ScreenRect& origin, int margin) {
    return {origin.x + rect.left() + margin, origin.y + rect.top() + margin,
            rect.width() - 2 * margin, rect.height() - 2 * margin};
}

} // namespace

const ClientWindow* Scene::MainWindow() const {
    const std::string caption = kMessageCaption;
    for (const ClientWindow& client : clients) {
        if (!client.transient && client.title.starts_with(caption)) {
            return &client;
        }
    }
    return nullptr;
}

const ClientWindow* Scene::Top() const {
    for (const ClientWindow& client : clients) {
        if (client.id == active) {
            return &client;
        }
    }
    return clients.empty() ? nullptr : &clients.back();
}

int BandsInTitle(const std::string& title) {
    static const std::regex kWays(R"( \[([1-3]) way, [^\]]*\]$)");
    std::smatch match;
    return std::regex_search(title, match, kWays) ? std::stoi(match[1].str()) : 0;
}

Monkey::Monkey(XSession& x, std::uint64_t seed) : x_(x), random_(seed) {}

void Monkey::Act(const Scene& scene) {
    ++actions_;
    const ClientWindow* top = scene.Top();
    if (!scene.popups.empty() && Chance(0.8)) {
        target_ = "popup";
        ActOnPopup(AnyOf(scene.popups));
        return;
    }
    if (top == nullptr) {
        return;
    }
    // Now and then the user turns to another window.
    if (scene.clients.size() > 1 && Chance(0.04)) {
        const ClientWindow& other = AnyOf(scene.clients);
        target_ = other.title;
        Click(FeaturePoint(other.area), 1, 1, "turn to the window");
        return;
    }
    target_ = top->title;
    // The window manager's Alt+F4 closes a window as its title bar's
    // button would; the main window then quits.
    const bool main = top == scene.MainWindow();
    if (Chance(main ? 0.003 : 0.03)) {
        Press("F4", Modifiers::Alt);
        return;
    }
    if (main) {
        ActOnMainWindow(*top);
    } else {
        ActOnWindow(*top);
    }
}

void Monkey::ActOnPopup(const ScreenRect& popup) {
    if (Chance(0.55)) {
        Click(FeaturePoint(popup), 1, 1, "item");
        return;
    }
    const int steps = Uniform(0, 6);
    for (int i = 0; i < steps; ++i) {
        Press("Down");
    }
    static const std::array<const char*, 5> kEnds = {"Return", "Return", "Escape", "Right", "Left"};
    Press(AnyOf(kEnds));
}

void Monkey::ActOnMainWindow(const ClientWindow& main) {
    const ScreenPixels pixels = x_.Capture(main.area);
    const ScreenRect schematic = SchematicPane(pixels);
    const int bands = BandsInTitle(main.title);
    const bool blocks = !schematic.Empty() && bands > 0;
    const int half = schematic.width / 2;
    const int panesTop = main.area.y + kPanesTop;
    const int panesHeight = schematic.y - kPanesGapAbove - panesTop;
    const ScreenRect commandBar{main.area.x, schematic.y + schematic.height + kCommandBarTop,
                                main.area.width, kCommandBarBottom - kCommandBarTop};
    OneOf({
        {blocks ? 45.0 : 0.0, [&] { ActOnSchematic(schematic, bands); }},
        {schematic.Empty() ? 0.0 : 8.0,
         [&] {
             ActOnResponsePane({schematic.x, panesTop, half, panesHeight}, "band pane");
         }},
        {schematic.Empty() ? 0.0 : 7.0,
         [&] {
             ActOnResponsePane({schematic.x + half, panesTop, half, panesHeight}, "total pane");
         }},
        {8.0,
         [&] {
             Click({main.area.x + Uniform(5, kMenuBarWidth), main.area.y + kMenuBarRow}, 1, 1,
                   "menu bar");
         }},
        {schematic.Empty() ? 0.0 : 8.0,
         [&] { Click(FeaturePoint(commandBar), 1, 1, "command bar"); }},
        {16.0, [&] { PressMainWindowKey(); }},
        {8.0, [&] { ActAnywhere(main.area); }},
    });
}

void Monkey::ActOnSchematic(const ScreenRect& pane, int bands) {
    const std::vector<SchematicRow> rows =
        LayOutSchematic(QRect(0, 0, pane.width, pane.height), bands);
    const int band = Uniform(0, bands - 1);
    const int kind = Uniform(0, kBlockKinds - 1);
    const SchematicRow& row = rows[static_cast<std::size_t>(band)];
    const std::string block = "band " + std::to_string(band + 1) + " " +
                              BlockName(static_cast<BlockKind>(kind)) + " block";
    const ScreenPoint at = AnyPoint(Inset(row.blocks[static_cast<std::size_t>(kind)], pane, 4));
    OneOf({
        {50, [&] { Click(at, 1, 2, block); }},
        {30, [&] { Click(at, 1, 1, block); }},
        {5, [&] { Click(at, 3, 1, block); }},
        {5, [&] { Wheel(at, block); }},
        {10,
         [&] {
             Click(AnyPoint(Inset(row.mute, pane, 2)), 1, 1,
                   "band " + std::to_string(band + 1) + " mute box");
         }},
    });
}

void Monkey::ActOnResponsePane(const ScreenRect& pane, const char* name) {
    const ScreenPoint at = AnyPoint(pane);
    OneOf({
        {35, [&] { Click(at, 3, 1, name); }},
        {25, [&] { Click(at, 1, 2, name); }},
        {20, [&] { Click(at, 1, 1, name); }},
        {10, [&] { Drag(at, AnyPoint(pane), name); }},
        {10, [&] { Wheel(at, name); }},
    });
}

void Monkey::ActOnWindow(const ClientWindow& window) {
    const ScreenRect& area = window.area;
    const ScreenRect buttonRow{area.x + area.width * 3 / 5, area.y + area.height * 4 / 5,
                               area.width * 2 / 5, area.height / 5};
    OneOf({
        {40, [&] { Click(FeaturePoint(area), 1, Chance(0.1) ? 2 : 1, "control"); }},
        {8, [&] { Click(FeaturePoint(buttonRow), 1, 1, "button row"); }},
        {25, [&] { PressWindowKey(); }},
        {17, [&] { TypeNumber(); }},
        {4, [&] { Wheel(FeaturePoint(area), "control"); }},
        {3, [&] { Drag(FeaturePoint(area), FeaturePoint(area), "control"); }},
        {4, [&] { Hold(FeaturePoint(area), "control"); }},
        {3, [&] { Click(FeaturePoint(area), 3, 1, "control"); }},
    });
}

void Monkey::ActAnywhere(const ScreenRect& area) {
    const ScreenPoint at = FeaturePoint(area);
    OneOf({
        {60, [&] { Click(at, 1, 1, "window"); }},
        {20, [&] { Drag(at, FeaturePoint(area), "window"); }},
        {20, [&] { Wheel(at, "window"); }},
    });
}

void Monkey::PressMainWindowKey() {
    struct Stroke {
        const char* key;
        Modifiers modifiers;
        double weight;
    };
    static const std::array<Stroke, 20> kStrokes = {{
        {"Up", Modifiers::None, 6},
        {"Down", Modifiers::None, 6},
        {"Left", Modifiers::None, 6},
        {"Right", Modifiers::None, 6},
        {"Return", Modifiers::None, 4},
        {"space", Modifiers::None, 3},
        {"Tab", Modifiers::None, 4},
        {"F1", Modifiers::Alt, 2},
        {"", Modifiers::Alt, 8},
        {"z", Modifiers::Control, 2},
        {"z", Modifiers::Control | Modifiers::Shift, 1},
        {"s", Modifiers::Control, 1},
        {"s", Modifiers::Control | Modifiers::Shift, 1},
        {"n", Modifiers::Control, 1},
        {"o", Modifiers::Control, 1},
        {"u", Modifiers::Control, 1},
        {"F1", Modifiers::None, 1},
        {"Escape", Modifiers::None, 2},
        {"q", Modifiers::Control, 0.5},
        {"Page_Down", Modifiers::None, 1},
    }};
    std::vector<double> weights;
    for (const Stroke& stroke : kStrokes) {
        weights.push_back(stroke.weight);
    }
    const Stroke& stroke = kStrokes[Weighted(weights)];
    // The empty key stands for a menu's or button's mnemonic.
    const std::string key = *stroke.key != '\0' ? stroke.key : AnyOf(kMainMnemonics);
    Press(key, stroke.modifiers);
}

void Monkey::PressWindowKey() {
    static const std::array<const char*, 15> kKeys = {
        "Tab",     "space",     "Return", "Escape", "Up",     "Down",      "Left",        "Right",
        "Page_Up", "Page_Down", "Home",   "End",    "Delete", "BackSpace", "ISO_Left_Tab"};
    const std::size_t pick = Weighted({10, 8, 6, 4, 6, 6, 3, 3, 3, 3, 1, 1, 1, 2, 4, 8});
    if (pick == kKeys.size()) {
        Press(std::string(1, static_cast<char>('a' + Uniform(0, 25))), Modifiers::Alt);
        return;
    }
    Press(kKeys[pick]);
}

void Monkey::TypeNumber() {
    const std::string text = AnyOf(kHostileNumbers);
    const bool replace = Chance(0.6);
    if (replace) {
        x_.Key("a", Modifiers::Control);
        if (text.empty()) {
            x_.Key("BackSpace");
        }
    }
    x_.Type(text);
    static const std::array<const char*, 3> kEnds = {"Return", "Tab", ""};
    const std::string end = AnyOf(kEnds);
    if (!end.empty()) {
        x_.Key(end);
    }
    Record(std::string("type ") + (replace ? "over the field " : "") + "\"" + text + "\"" +
           (end.empty() ? "" : " then " + end));
}

void Monkey::Click(ScreenPoint at, int button, int count, const std::string& what) {
    x_.MoveTo(at.x, at.y);
    Pause(15);
    for (int i = 0; i < count; ++i) {
        x_.Button(button, true);
        Pause(20);
        x_.Button(button, false);
        Pause(40);
    }
    static const std::array<const char*, 4> kNames = {"", "click", "middle-click", "right-click"};
    Record(std::string(count == 2 ? "double-" : "") + kNames[static_cast<std::size_t>(button)] +
           " " + what + " at " + Describe(at));
}

void Monkey::Drag(ScreenPoint from, ScreenPoint to, const std::string& what) {
    constexpr int kSteps = 6;
    x_.MoveTo(from.x, from.y);
    Pause(15);
    x_.Button(1, true);
    for (int step = 1; step <= kSteps; ++step) {
        Pause(20);
        x_.MoveTo(from.x + (to.x - from.x) * step / kSteps,
                  from.y + (to.y - from.y) * step / kSteps);
    }
    x_.Button(1, false);
    Record("drag " + what + " from " + Describe(from) + " to " + Describe(to));
}

// A held button: a spin box's arrow then repeats, faster and faster.
void Monkey::Hold(ScreenPoint at, const std::string& what) {
    const int milliseconds = Uniform(300, 1500);
    x_.MoveTo(at.x, at.y);
    Pause(15);
    x_.Button(1, true);
    Pause(milliseconds);
    x_.Button(1, false);
    Record("hold " + what + " at " + Describe(at) + " for " + std::to_string(milliseconds) + " ms");
}

void Monkey::Wheel(ScreenPoint at, const std::string& what) {
    // Buttons 4 and 5 are the wheel's turns up and down.
    const bool up = Chance(0.5);
    const int notches = Uniform(1, 5);
    x_.MoveTo(at.x, at.y);
    Pause(15);
    for (int i = 0; i < notches; ++i) {
        x_.Button(up ? 4 : 5, true);
        x_.Button(up ? 4 : 5, false);
        Pause(10);
    }
    Record("wheel " + std::string(up ? "up " : "down ") + std::to_string(notches) + " on " + what +
           " at " + Describe(at));
}

void Monkey::Press(const std::string& key, Modifiers modifiers) {
    x_.Key(key, modifiers);
    const std::string held = std::string(Has(modifiers, Modifiers::Control) ? "Ctrl+" : "") +
                             (Has(modifiers, Modifiers::Alt) ? "Alt+" : "") +
                             (Has(modifiers, Modifiers::Shift) ? "Shift+" : "");
    Record("key " + held + key);
}

void Monkey::Record(const std::string& text) {
    recent_.push_back("#" + std::to_string(actions_) + " [" + target_ + "] " + text);
    if (recent_.size() > kRecentActions) {
        recent_.pop_front();
    }
}

ScreenPoint Monkey::FeaturePoint(const ScreenRect& area) {
    const ScreenPixels pixels = x_.Capture(area);
    if (pixels.area.Empty()) {
        return AnyPoint(area);
    }
    const std::uint32_t background = Background(pixels, random_);
    for (int attempt = 0; attempt < 200; ++attempt) {
        const int column = Uniform(0, pixels.area.width - 1);
        const int row = Uniform(0, pixels.area.height - 1);
        if (pixels.At(column, row) != background) {
            return {pixels.area.x + column, pixels.area.y + row};
        }
    }
    return AnyPoint(pixels.area);
}

ScreenPoint Monkey::AnyPoint(const ScreenRect& area) {
    return {area.x + Uniform(0, std::max(area.width, 1) - 1),
            area.y + Uniform(0, std::max(area.height, 1) - 1)};
}

int Monkey::Uniform(int low, int high) {
    return std::uniform_int_distribution<int>(low, std::max(low, high))(random_);
}

bool Monkey::Chance(double probability) {
    return std::bernoulli_distribution(probability)(random_);
}

std::size_t Monkey::Weighted(const std::vector<double>& weights) {
    return std::discrete_distribution<std::size_t>(weights.begin(), weights.end())(random_);
}

void Monkey::OneOf(const std::vector<Choice>& choices) {
    std::vector<double> weights;
    for (const Choice& choice : choices) {
        weights.push_back(choice.weight);
    }
    choices[Weighted(weights)].act();
}

} // namespace kv
