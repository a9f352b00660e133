#include "model/FilterImport.h"

#include "import/FilterText.h"
#include "math/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace kv {
namespace {

constexpr double kDefaultAllPassQ = 0.707;

constexpr int kShownDigits = 6;
constexpr std::array kImportedGroups = {FilterGroup::Peq, FilterGroup::Notch, FilterGroup::LowShelf,
                                        FilterGroup::HighShelf, FilterGroup::AllPass};

std::string Number(double value) {
    return FormatGeneral(value, kShownDigits);
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

FilterGroup GroupOf(FilterTextType type) {
    switch (type) {
    case FilterTextType::Notch:
        return FilterGroup::Notch;
    case FilterTextType::LowShelf:
    case FilterTextType::LowShelfQ:
        return FilterGroup::LowShelf;
    case FilterTextType::HighShelf:
    case FilterTextType::HighShelfQ:
        return FilterGroup::HighShelf;
    case FilterTextType::AllPass:
        return FilterGroup::AllPass;
    default:
        return FilterGroup::Peq;
    }
}

bool IsShelf(FilterGroup group) {
    return group == FilterGroup::LowShelf || group == FilterGroup::HighShelf;
}

const char* KindName(FilterGroup group) {
    switch (group) {
    case FilterGroup::Notch:
        return "notch";
    case FilterGroup::LowShelf:
        return "low shelf";
    case FilterGroup::HighShelf:
        return "high shelf";
    case FilterGroup::AllPass:
        return "all-pass";
    default:
        return "equaliser";
    }
}

int Capacity(FilterGroup group) {
    switch (group) {
    case FilterGroup::Peq:
        return kEqualisers;
    case FilterGroup::Notch:
        return kNotches;
    default:
        return 1;
    }
}

template <typename Entries> int CountEnabled(const Entries& entries) {
    return static_cast<int>(
        std::count_if(entries.begin(), entries.end(), [](const auto& e) { return e.enabled; }));
}

template <typename Entry> Entry SwitchedOff(Entry entry) {
    entry.enabled = false;
    return entry;
}

template <typename Entries> Entries AllSwitchedOff(Entries entries) {
    for (auto& entry : entries) {
        entry.enabled = false;
    }
    return entries;
}

// The Q of a peak whose bandwidth between its half-gain points is the given
// number of octaves.
double QOfBandwidth(double octaves) {
    const double ratio = std::pow(2.0, octaves);
    return std::sqrt(ratio) / (ratio - 1.0);
}

// A filter that reads well and lies within the band's ranges, waiting for
// an entry and a biquad.
struct Candidate {
    int line;
    FilterGroup group;
    double frequency;
    double gain;
    double q;
};

class Planner {
public:
    explicit Planner(const BandSettings& band) : band_(band) {}

    FilterImportPlan Run(const FilterText& text) {
        for (const FilterTextFilter& filter : text.filters) {
            Check(filter);
        }
        for (const FilterTextCommand& command : text.commands) {
            Command(command);
        }
        Allocate();
        const auto byLine = [](const FilterLineMessage& a, const FilterLineMessage& b) {
            return a.line < b.line;
        };
        std::stable_sort(plan_.misfits.begin(), plan_.misfits.end(), byLine);
        std::stable_sort(plan_.notes.begin(), plan_.notes.end(), byLine);
        return plan_;
    }

private:
    void Misfit(int line, std::string text) { plan_.misfits.push_back({line, std::move(text)}); }

    void Check(const FilterTextFilter& f) {
        if (!f.problem.empty()) {
            return Misfit(f.line, f.problem);
        }
        if (f.type == FilterTextType::Unknown) {
            return Misfit(f.line, "unknown filter type " + Quoted(f.code));
        }
        if (f.type == FilterTextType::Other) {
            return Misfit(f.line, "a band has no filter of type " + Quoted(f.code));
        }
        const FilterGroup group = GroupOf(f.type);
        const bool takesGain = group == FilterGroup::Peq || IsShelf(group);
        if (!f.frequency) {
            return Misfit(f.line, "the filter has no frequency (Fc)");
        }
        if (takesGain && !f.gain) {
            return Misfit(f.line, "the filter has no gain");
        }
        if (!takesGain && f.gain && *f.gain != 0.0) {
            return Misfit(f.line, std::string("a band's ") + KindName(group) + " takes no gain");
        }
        const std::optional<double> q = IsShelf(group) ? std::optional(0.0) : Quality(f, group);
        const double gain = f.gain.value_or(0.0);
        if (!q ||
            !Within(f.line, "frequency", *f.frequency, kMinFilterFrequency,
                    band_.MaxFilterFrequency(), " Hz") ||
            !Within(f.line, "gain", gain, -kMaxEqGainDb, kMaxEqGainDb, " dB") ||
            (!IsShelf(group) && !Within(f.line, "Q", *q, kMinFilterQ, kMaxFilterQ, ""))) {
            return;
        }
        Notes(f, group);
        candidates_.push_back({f.line, group, *f.frequency, gain, *q});
    }

    // The Q of a filter that takes one, given as such or as a bandwidth; a
    // notch or an all-pass written without one takes the usual Q of its kind.
    std::optional<double> Quality(const FilterTextFilter& f, FilterGroup group) {
        if (f.q && f.bandwidth) {
            Misfit(f.line, "the filter has both a Q and a bandwidth");
            return std::nullopt;
        }
        if (f.q) {
            return f.q;
        }
        if (TakesDefaultQ(f, group)) {
            return DefaultQ(group);
        }
        if (!f.bandwidth) {
            Misfit(f.line, "the filter has no Q");
            return std::nullopt;
        }
        if (*f.bandwidth <= 0.0) {
            Misfit(f.line, "a bandwidth of " + Number(*f.bandwidth) + " octaves is no bandwidth");
            return std::nullopt;
        }
        return QOfBandwidth(*f.bandwidth);
    }

    bool Within(int line, const char* what, double value, double lo, double hi, const char* unit) {
        if (value >= lo && value <= hi) {
            return true;
        }
        Misfit(line, std::string(what) + " " + Number(value) + unit + " is outside " + Number(lo) +
                         " to " + Number(hi) + unit);
        return false;
    }

    // A narrow notch, and the all-pass of a second-order Butterworth pair:
    // what filter lists mean by a notch or an all-pass without a Q. The
    // notch's is the narrowest a band takes.
    static double DefaultQ(FilterGroup group) {
        return group == FilterGroup::Notch ? kMaxFilterQ : kDefaultAllPassQ;
    }

    static bool TakesDefaultQ(const FilterTextFilter& f, FilterGroup group) {
        return !f.q && !f.bandwidth &&
               (group == FilterGroup::Notch || group == FilterGroup::AllPass);
    }

    void Notes(const FilterTextFilter& f, FilterGroup group) {
        std::vector<std::string> parts;
        if (TakesDefaultQ(f, group)) {
            parts.push_back(std::string("no Q given: taken as Q ") + Number(DefaultQ(group)) +
                            ", the usual for " +
                            (group == FilterGroup::Notch ? "a notch" : "an all-pass"));
        }
        if (f.type == FilterTextType::Modal) {
            parts.push_back("a modal filter, taken as a peaking filter");
        }
        if (f.bandwidth && !IsShelf(group)) {
            parts.push_back("the bandwidth of " + Number(*f.bandwidth) + " octaves taken as Q " +
                            Number(QOfBandwidth(*f.bandwidth)));
        }
        if (IsShelf(group)) {
            ShelfNote(f, parts);
        }
        if (f.decayTime) {
            parts.push_back("its T60 target of " + Number(*f.decayTime) +
                            " ms is an aim of the measurement, no filter setting");
        }
        if (!parts.empty()) {
            std::string text = parts[0];
            for (std::size_t i = 1; i < parts.size(); ++i) {
                text += "; " + parts[i];
            }
            plan_.notes.push_back({f.line, text});
        }
    }

    // A band's shelves have one slope; what the file says about its own is
    // not taken.
    static void ShelfNote(const FilterTextFilter& f, std::vector<std::string>& parts) {
        std::vector<std::string> unused;
        if (f.slope) {
            unused.push_back("slope of " + Number(*f.slope) + " dB");
        }
        if (f.q) {
            unused.push_back("Q of " + Number(*f.q));
        }
        if (f.bandwidth) {
            unused.push_back("bandwidth of " + Number(*f.bandwidth) + " octaves");
        }
        const bool ownSlope =
            f.type == FilterTextType::LowShelfQ || f.type == FilterTextType::HighShelfQ;
        if (unused.empty() && !ownSlope) {
            return;
        }
        std::string text = Quoted(f.code) + " taken as a shelf of the band's fixed slope";
        for (std::size_t i = 0; i < unused.size(); ++i) {
            text += (i == 0 ? "; its " : " and its ") + unused[i];
        }
        if (!unused.empty()) {
            text += unused.size() == 1 ? " is not used" : " are not used";
        }
        parts.push_back(text);
    }

    void Command(const FilterTextCommand& command) {
        const std::string line =
            Quoted(command.name + ":" + (command.argument.empty() ? "" : " " + command.argument));
        if (command.name == "Preamp" || command.name == "Delay") {
            const char* kept = command.name == "Preamp" ? "gain" : "delay";
            plan_.notes.push_back(
                {command.line, line + " is not taken over: the band keeps its " + kept});
        } else {
            Misfit(command.line, line + " is no filter, and a band has no setting for it");
        }
    }

    // Every kind the file brings replaces the band's: its biquads are free
    // for the file's filters, which take entries and biquads in file order.
    void Allocate() {
        int budget = band_.FreeBiquads();
        for (const FilterGroup group : kImportedGroups) {
            if (std::any_of(candidates_.begin(), candidates_.end(),
                            [group](const Candidate& c) { return c.group == group; })) {
                budget += Replace(group);
            }
        }
        std::array<int, kImportedGroups.size()> used{};
        for (const Candidate& c : candidates_) {
            int& next = used[static_cast<std::size_t>(
                std::find(kImportedGroups.begin(), kImportedGroups.end(), c.group) -
                kImportedGroups.begin())];
            if (next >= Capacity(c.group)) {
                Misfit(c.line, EntriesTaken(c.group));
            } else if (budget <= 0) {
                Misfit(c.line, "no biquad is left: all " + std::to_string(kBiquadsPerBand) +
                                   " of the band are in use");
            } else {
                Store(c, next);
                plan_.placements.push_back({c.line, c.group, next});
                ++next;
                --budget;
            }
        }
    }

    std::string EntriesTaken(FilterGroup group) const {
        switch (group) {
        case FilterGroup::Peq:
            return "all " + std::to_string(kEqualisers) + " equalisers of the band are taken";
        case FilterGroup::Notch:
            return "all " + std::to_string(kNotches) + " notches of the band are taken";
        default:
            break;
        }
        const auto first =
            std::find_if(plan_.placements.begin(), plan_.placements.end(),
                         [group](const FilterPlacement& p) { return p.group == group; });
        return std::string("the band's only ") + KindName(group) + " is taken by line " +
               std::to_string(first->line);
    }

    // Switches the kind off in the plan; the biquads that frees.
    int Replace(FilterGroup group) {
        switch (group) {
        case FilterGroup::Peq:
            plan_.peq = AllSwitchedOff(band_.peq);
            return CountEnabled(band_.peq);
        case FilterGroup::Notch:
            plan_.notch = AllSwitchedOff(band_.notch);
            return CountEnabled(band_.notch);
        case FilterGroup::LowShelf:
            plan_.lowShelf = SwitchedOff(band_.lowShelf);
            return band_.lowShelf.enabled ? 1 : 0;
        case FilterGroup::HighShelf:
            plan_.highShelf = SwitchedOff(band_.highShelf);
            return band_.highShelf.enabled ? 1 : 0;
        default:
            plan_.allPass = SwitchedOff(band_.allPass);
            return band_.allPass.enabled ? 1 : 0;
        }
    }

    void Store(const Candidate& c, int item) {
        const auto k = static_cast<std::size_t>(item);
        switch (c.group) {
        case FilterGroup::Peq:
            (*plan_.peq)[k] = {c.gain, c.frequency, c.q, true};
            break;
        case FilterGroup::Notch:
            (*plan_.notch)[k] = {c.frequency, c.q, true};
            break;
        case FilterGroup::LowShelf:
            plan_.lowShelf = ShelfSettings{c.gain, c.frequency, true};
            break;
        case FilterGroup::HighShelf:
            plan_.highShelf = ShelfSettings{c.gain, c.frequency, true};
            break;
        default:
            plan_.allPass = AllPassSettings{c.frequency, c.q, true};
            break;
        }
    }

    const BandSettings& band_;
    std::vector<Candidate> candidates_;
    FilterImportPlan plan_;
};

// Switching off needs no check: it only frees biquads, and a band loaded
// from a file may hold values a setter would refuse even for that.
void SwitchOff(BandSettings& band, bool& enabled) {
    band.modified = band.modified || enabled;
    enabled = false;
}

template <typename Entries> void SwitchOffAll(BandSettings& band, Entries& entries) {
    for (auto& entry : entries) {
        SwitchOff(band, entry.enabled);
    }
}

void SwitchOffReplaced(const FilterImportPlan& plan, BandSettings& band) {
    if (plan.peq) {
        SwitchOffAll(band, band.peq);
    }
    if (plan.notch) {
        SwitchOffAll(band, band.notch);
    }
    if (plan.lowShelf) {
        SwitchOff(band, band.lowShelf.enabled);
    }
    if (plan.highShelf) {
        SwitchOff(band, band.highShelf.enabled);
    }
    if (plan.allPass) {
        SwitchOff(band, band.allPass.enabled);
    }
}

bool SetImported(const FilterImportPlan& plan, BandSettings& band) {
    bool ok = true;
    for (int k = 0; plan.peq && k < kEqualisers; ++k) {
        const PeqSettings& p = (*plan.peq)[k];
        ok = ok && (!p.enabled || band.SetPeq(k, p.gain, p.freq, p.q, true));
    }
    for (int k = 0; plan.notch && k < kNotches; ++k) {
        const NotchSettings& n = (*plan.notch)[k];
        ok = ok && (!n.enabled || band.SetNotch(k, n.freq, n.q, true));
    }
    const auto shelf = [&band](const std::optional<ShelfSettings>& s, auto setter) {
        return !s || !s->enabled || (band.*setter)(s->gain, s->freq, true);
    };
    ok = ok && shelf(plan.lowShelf, &BandSettings::SetLowShelf) &&
         shelf(plan.highShelf, &BandSettings::SetHighShelf);
    ok = ok && (!plan.allPass || !plan.allPass->enabled ||
                band.SetAllPass(plan.allPass->freq, plan.allPass->q, true));
    return ok && band.FreeBiquads() >= 0;
}

} // namespace

std::string DescribeLineMessage(const FilterLineMessage& message) {
    return "line " + std::to_string(message.line) + ": " + message.text;
}

bool PlanFilterImport(const std::filesystem::path& path, const BandSettings& band,
                      FilterImportPlan& plan, std::string& error) {
    FilterText text;
    if (!ReadFilterText(path, text, error)) {
        plan = FilterImportPlan{};
        return false;
    }
    plan = PlanFilterImport(text, band);
    return true;
}

FilterImportPlan PlanFilterImport(const FilterText& text, const BandSettings& band) {
    return Planner(band).Run(text);
}

// The filters go into a copy first, so that a refusal half-way leaves the
// band as it was.
bool ApplyFilterImport(const FilterImportPlan& plan, BandSettings& band) {
    BandSettings imported = band;
    SwitchOffReplaced(plan, imported);
    if (!SetImported(plan, imported)) {
        return false;
    }
    band = imported;
    return true;
}

} // namespace kv
