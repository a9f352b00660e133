#include "CliPlotCommand.h"

#include "CliCommand.h"
#include "archive/FileProblems.h"
#include "graphs/CEditCurve.h"
#include "graphs/CTotalCurve.h"
#include "graphs/ResponseViewImage.h"
#include "model/CConfiguration.h"

#include <QGuiApplication>
#include <charconv>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <sstream>

namespace kv {
namespace {

constexpr int kDefaultWidth = 1200;
constexpr int kDefaultHeight = 450;
// Larger images than any screen shows are refused before they are
// allocated.
constexpr int kLargestSide = 8192;

struct PlotView {
    bool total;
    ResponseView view;
};

const std::map<std::string, PlotView>& Views() {
    static const std::map<std::string, PlotView> views = {
        {"band", {false, ResponseView::Frequency}},
        {"total", {true, ResponseView::Frequency}},
        {"band-time", {false, ResponseView::Time}},
        {"total-time", {true, ResponseView::Time}},
    };
    return views;
}

const std::map<std::string, ShowFlag>& SwitchNames() {
    static const std::map<std::string, ShowFlag> names = {
        {"spl", ShowFlag::ImportedSpl},       {"filter", ShowFlag::Filter},
        {"total", ShowFlag::Total},           {"target", ShowFlag::Target},
        {"sumfilter", ShowFlag::SumFilter},   {"sumtotal", ShowFlag::SumTotal},
        {"sumtarget", ShowFlag::SumTarget},   {"phase", ShowFlag::Phase},
        {"groupdelay", ShowFlag::GroupDelay}, {"unwrapped", ShowFlag::UnwrappedPhase},
        {"hardware", ShowFlag::Hardware},
    };
    return names;
}

// The switches named in a comma list, all others off.
std::optional<ShowFlags> ParseShowList(const std::string& list, std::string& error) {
    ShowFlags flags{};
    std::istringstream items(list);
    std::string item;
    while (std::getline(items, item, ',')) {
        const auto found = SwitchNames().find(item);
        if (found == SwitchNames().end()) {
            error = "--show knows spl, filter, hardware, total, target, sumfilter, sumtotal, "
                    "sumtarget, phase, groupdelay and unwrapped, not '" +
                    item + "'";
            return std::nullopt;
        }
        flags[found->second] = true;
    }
    return flags;
}

std::optional<int> ParseSide(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [last, status] = std::from_chars(text.data(), end, value);
    if (status != std::errc() || last != end || value < 1 || value > kLargestSide) {
        return std::nullopt;
    }
    return value;
}

std::optional<QSize> ParseSize(const std::string& text, std::string& error) {
    const std::size_t x = text.find('x');
    const std::optional<int> width =
        x == std::string::npos ? std::nullopt : ParseSide(text.substr(0, x));
    const std::optional<int> height =
        x == std::string::npos ? std::nullopt : ParseSide(text.substr(x + 1));
    if (!width || !height) {
        error = "--size takes WIDTHxHEIGHT, each from 1 to " + std::to_string(kLargestSide);
        return std::nullopt;
    }
    return QSize(*width, *height);
}

// Qt's own diagnostics (a missing runtime folder, say) are no messages of
// this program; only the critical ones reach standard error.
void KeepQtQuiet(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "kestrelvane-cli: %s\n", qPrintable(text));
    }
}

// The QGuiApplication that fonts and painting need, made for the command
// when the process has none; off screen when there is no display to use.
class GuiSession {
public:
    GuiSession() {
        if (QCoreApplication::instance() != nullptr) {
            return;
        }
        previousHandler_ = qInstallMessageHandler(KeepQtQuiet);
        const bool hasDisplay = !qEnvironmentVariableIsEmpty("DISPLAY") ||
                                !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !hasDisplay) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    ~GuiSession() {
        if (app_) {
            app_.reset();
            qInstallMessageHandler(previousHandler_);
        }
    }
    GuiSession(const GuiSession&) = delete;
    GuiSession& operator=(const GuiSession&) = delete;

    bool Ready() const {
        return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    }

private:
    int argc_ = 1;
    char name_[16] = "kestrelvane-cli";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
    QtMessageHandler previousHandler_ = nullptr;
};

struct PlotRequest {
    PlotView view;
    int band;
    ShowFlags flags;
    QSize size;
};

std::optional<PlotRequest> ParsePlotRequest(const CliArguments& args, std::string& error) {
    const auto view = Views().find(args.Value("--view").value_or("band"));
    if (view == Views().end()) {
        error = "--view takes band, total, band-time or total-time";
        return std::nullopt;
    }
    const std::optional<int> band = args.IntValue("--band", 1, kMaxBands, error);
    const std::optional<std::string> show = args.Value("--show");
    const std::optional<ShowFlags> flags =
        show ? ParseShowList(*show, error) : std::optional<ShowFlags>(DefaultShowFlags());
    const std::optional<QSize> size =
        ParseSize(args.Value("--size").value_or(std::to_string(kDefaultWidth) + "x" +
                                                std::to_string(kDefaultHeight)),
                  error);
    if (!error.empty() || !flags || !size) {
        return std::nullopt;
    }
    return PlotRequest{view->second, band.value_or(1), *flags, *size};
}

} // namespace

int RunPlot(CliContext& context) {
    std::string error;
    const std::optional<PlotRequest> request = ParsePlotRequest(context.args, error);
    if (!request) {
        return CliUsageError(context, error);
    }
    CConfiguration design;
    if (!CliLoadDesign(context, context.args.Positionals()[0], design)) {
        return kExitFailed;
    }
    if (!request->view.total && request->band > design.numBands) {
        return CliUsageError(context, "--band must name a band of the design (1.." +
                                          std::to_string(design.numBands) + ")");
    }
    const GuiSession session;
    if (!session.Ready()) {
        return CliFail(context, "Drawing needs a graphical application, and this process has "
                                "another kind");
    }
    ResponseViewSource source{design, context.grid, request->flags, request->band - 1,
                              kMainPirLength};
    CEditCurve bandCurve(source);
    CTotalCurve totalCurve(source);
    CCurveBase& curve = request->view.total ? static_cast<CCurveBase&>(totalCurve) : bandCurve;
    const QImage image = RenderResponseView(curve, request->view.view, request->size);
    if (image.isNull()) {
        return CliFail(context, "Not enough memory for an image of that size");
    }
    const std::string problem = WritePngFile(image, *context.args.Value("-o"));
    return problem.empty() ? kExitSuccess
                           : CliFail(context, WithReason(kCannotCreateFile, problem));
}

} // namespace kv
