#include "model/FilterExport.h"

#include "archive/FileProblems.h"
#include "import/ImportText.h"
#include "math/NumberFormat.h"
#include "math/Rounding.h"
#include "model/BandCalculators.h"
#include "model/CBand.h"
#include "ui/IMessageBox.h"

#include <cmath>

namespace kv {
namespace {

constexpr const char* kLineEnd = "\r\n";
// Turns the band's polarity round without changing anything else.
constexpr BiquadCoefs kPolarityFlip{1.0, 0.0, 0.0, -1.0, 0.0, 0.0};

bool Playable(const BiquadCoefs& c) {
    const bool finite = std::isfinite(c.a0) && std::isfinite(c.a1) && std::isfinite(c.a2) &&
                        std::isfinite(c.b0) && std::isfinite(c.b1) && std::isfinite(c.b2);
    return finite && c.a0 != 0.0 && PolesInsideUnitCircle(c.a1 / c.a0, c.a2 / c.a0);
}

class ExportWriter {
public:
    ExportWriter(const CBand& band, const std::string& title) : band_(band), title_(title) {}

    bool Write(std::string& text, std::string& problem) {
        const double fs = band_.SampleRate();
        Line("# Kestrelvane design \"" + PrintableText(title_) + "\", band " + band_.GetName() +
             ", sample rate " + FormatShortest(fs) + " Hz");
        Line("Preamp: " + FormatShortest(band_.OutputLevelDb()) + " dB");
        const double samples = static_cast<double>(RoundHalfAway(band_.delay * fs));
        Line("Delay: " + FormatShortest(samples * 1000.0 / fs) + " ms");
        const SectionVisitor visit = [this](const BiquadCalc& calc, const BandSection& where) {
            Section(DescribeSection(where), calc.GetCoefficients());
        };
        DesignBiquads(band_, visit);
        DesignSections(band_, FilterGroup::BassTreble, visit);
        if (band_.reversedPhase) {
            Section("reversed polarity", kPolarityFlip);
        }
        if (!unplayable_.empty()) {
            problem = band_.GetName() + ": " + unplayable_ + " is unstable at " +
                      FormatShortest(fs) + " Hz, so the band's filters were not exported.";
            return false;
        }
        text = std::move(text_);
        return true;
    }

private:
    void Line(const std::string& line) { text_ += line + kLineEnd; }

    void Section(const std::string& name, const BiquadCoefs& c) {
        if (!Playable(c) && unplayable_.empty()) {
            unplayable_ = name;
        }
        Line("# " + name);
        Line("Filter: ON IIR Order 2 Coefficients " + FormatShortest(c.b0) + " " +
             FormatShortest(c.b1) + " " + FormatShortest(c.b2) + " " + FormatShortest(c.a0) + " " +
             FormatShortest(c.a1) + " " + FormatShortest(c.a2));
    }

    const CBand& band_;
    const std::string& title_;
    std::string text_;
    std::string unplayable_;
};

} // namespace

bool FilterExportText(const CBand& band, const std::string& title, std::string& text,
                      std::string& problem) {
    return ExportWriter(band, title).Write(text, problem);
}

bool ExportFilters(const std::filesystem::path& path, const CBand& band, const std::string& title,
                   IMessageBox& messages) {
    std::string text;
    std::string problem;
    if (!FilterExportText(band, title, text, problem)) {
        messages.ShowError(problem);
        return false;
    }
    const std::string unwritten = WriteWholeFile(path, text);
    if (!unwritten.empty()) {
        messages.ShowError(WithReason(kCannotCreateFile, unwritten));
        return false;
    }
    return true;
}

} // namespace kv
