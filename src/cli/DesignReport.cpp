#include "DesignReport.h"

#include "JsonWriter.h"
#include "model/BandCalculators.h"
#include "model/CConfiguration.h"

#include <cstdio>
#include <ostream>
#include <string>
#include <utility>

namespace kv {
namespace {

template <typename T, std::size_t N>
void WriteArray(JsonWriter& json, const std::string& name, const std::array<T, N>& values) {
    json.Key(name).BeginArray();
    for (const T& value : values) {
        json.Value(value);
    }
    json.EndArray();
}

void WriteCrossover(JsonWriter& json, const CrossoverSettings& s) {
    json.BeginObject();
    json.Member("freq", s.freq);
    json.Member("order", static_cast<int>(s.order));
    json.Member("type", static_cast<int>(s.type));
    WriteArray(json, "freqOfs", s.freqOfs);
    WriteArray(json, "q", s.q);
    json.EndObject();
}

void WriteCrossovers(JsonWriter& json, const std::string& name,
                     const std::array<CrossoverSettings, kCrossoverSlots>& slots) {
    json.Key(name).BeginArray();
    for (const CrossoverSettings& s : slots) {
        WriteCrossover(json, s);
    }
    json.EndArray();
}

void WriteFilters(JsonWriter& json, const CBand& band) {
    WriteArray(json, "hpEnabled", band.hpEnabled);
    WriteCrossovers(json, "hpFilter", band.hpFilter);
    WriteCrossovers(json, "hpTarget", band.hpTarget);
    WriteArray(json, "lpEnabled", band.lpEnabled);
    WriteCrossovers(json, "lpFilter", band.lpFilter);
    WriteCrossovers(json, "lpTarget", band.lpTarget);
    json.Key("notch").BeginArray();
    for (const NotchSettings& n : band.notch) {
        json.BeginObject();
        json.Member("freq", n.freq);
        json.Member("q", n.q);
        json.Member("enabled", n.enabled);
        json.EndObject();
    }
    json.EndArray();
    json.Key("allPass").BeginObject();
    json.Member("freq", band.allPass.freq);
    json.Member("q", band.allPass.q);
    json.Member("enabled", band.allPass.enabled);
    json.EndObject();
    for (const auto& [name, shelf] :
         {std::pair{"lowShelf", &band.lowShelf}, std::pair{"highShelf", &band.highShelf}}) {
        json.Key(name).BeginObject();
        json.Member("gain", shelf->gain);
        json.Member("freq", shelf->freq);
        json.Member("enabled", shelf->enabled);
        json.EndObject();
    }
    json.Key("peq").BeginArray();
    for (const PeqSettings& p : band.peq) {
        json.BeginObject();
        json.Member("gain", p.gain);
        json.Member("freq", p.freq);
        json.Member("q", p.q);
        json.Member("enabled", p.enabled);
        json.EndObject();
    }
    json.EndArray();
}

// The band's sections in the order the TAS3103 image holds them.
void WriteBiquads(JsonWriter& json, const CBand& band) {
    BiquadList list;
    CollectBiquads(band, list);
    json.Key("biquads").BeginArray();
    for (const BiquadCoefs& c : list) {
        json.BeginArray();
        for (const double value : {c.a0, c.a1, c.a2, c.b0, c.b1, c.b2}) {
            json.Value(value);
        }
        json.EndArray();
    }
    json.EndArray();
}

void WriteBand(JsonWriter& json, CBand& band) {
    json.BeginObject();
    json.Member("input", static_cast<int>(band.input));
    json.Member("gain", band.gain);
    json.Member("muted", band.muted);
    json.Member("reversedPhase", band.reversedPhase);
    json.Member("delay", band.delay);
    json.Member("bassCorner", static_cast<int>(band.bassCorner));
    json.Member("bassGain", band.bassGain);
    json.Member("trebleCorner", static_cast<int>(band.trebleCorner));
    json.Member("trebleGain", band.trebleGain);
    WriteFilters(json, band);
    json.Member("splFileName", band.splFileName);
    json.Member("splSmoothing", static_cast<int>(band.splSmoothing));
    json.Member("splPoints", band.splFreqs.GetSize());
    json.Member("name", band.GetName());
    json.Member("freeBiquads", band.FreeBiquads());
    WriteBiquads(json, band);
    json.EndObject();
}

const char* RouteName(InputRoute input) {
    switch (input) {
    case InputRoute::A:
        return "Input A";
    case InputRoute::B:
        return "Input B";
    case InputRoute::Both:
        return "(A+B)/2";
    }
    return "?";
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

void WriteEnabledCrossovers(std::ostream& out, const CBand& band) {
    for (int k = 0; k < kCrossoverSlots; ++k) {
        if (band.hpEnabled[k]) {
            out << "  High-pass " << k + 1 << ": order " << band.hpFilter[k].order << " at "
                << Number(band.hpFilter[k].freq) << " Hz\n";
        }
        if (band.lpEnabled[k]) {
            out << "  Low-pass " << k + 1 << ": order " << band.lpFilter[k].order << " at "
                << Number(band.lpFilter[k].freq) << " Hz\n";
        }
    }
}

// Every filter that shapes the band, a line each, in the order of the chain.
void WriteEnabledFilters(std::ostream& out, const CBand& band) {
    WriteEnabledCrossovers(out, band);
    for (std::size_t k = 0; k < band.notch.size(); ++k) {
        const NotchSettings& n = band.notch[k];
        if (n.enabled) {
            out << "  Notch " << k + 1 << ": " << Number(n.freq) << " Hz, Q " << Number(n.q)
                << '\n';
        }
    }
    if (band.allPass.enabled) {
        out << "  All-pass: " << Number(band.allPass.freq) << " Hz, Q " << Number(band.allPass.q)
            << '\n';
    }
    for (const auto& [name, shelf] :
         {std::pair{"Low shelf", &band.lowShelf}, std::pair{"High shelf", &band.highShelf}}) {
        if (shelf->enabled) {
            out << "  " << name << ": " << Number(shelf->gain) << " dB at " << Number(shelf->freq)
                << " Hz\n";
        }
    }
    for (std::size_t k = 0; k < band.peq.size(); ++k) {
        const PeqSettings& p = band.peq[k];
        if (p.enabled) {
            out << "  Equaliser " << k + 1 << ": " << Number(p.gain) << " dB at " << Number(p.freq)
                << " Hz, Q " << Number(p.q) << '\n';
        }
    }
    if (band.bassGain != 0.0 || band.trebleGain != 0.0) {
        double bassHz = 0.0;
        double trebleHz = 0.0;
        band.GetBassTrebleCorners(bassHz, trebleHz);
        out << "  Bass " << Number(band.bassGain) << " dB below " << Number(bassHz)
            << " Hz, treble " << Number(band.trebleGain) << " dB above " << Number(trebleHz)
            << " Hz\n";
    }
}

} // namespace

void WriteDesignJson(JsonWriter& json, CConfiguration& design) {
    json.BeginObject();
    json.Member("title", design.title);
    json.Member("numBands", static_cast<int>(design.numBands));
    json.Member("sampleRate", design.sampleRate);
    json.Member("bitDepth", static_cast<int>(design.bitDepth));
    json.Member("inputGain", design.inputGain);
    json.Member("targetLevel", design.targetLevel);
    json.Key("bands").BeginArray();
    for (int i = 0; i < design.numBands; ++i) {
        WriteBand(json, design.bands[i]);
    }
    json.EndArray();
    json.EndObject();
}

void WriteDesignSummary(std::ostream& out, CConfiguration& design) {
    out << "Title: " << design.title << '\n';
    out << "Ways: " << design.numBands << "  (" << Number(design.sampleRate) << " Hz, "
        << design.bitDepth << " bit)\n";
    out << "Input gain: " << Number(design.inputGain)
        << " dB  Target level: " << Number(design.targetLevel) << " dB\n";
    for (int i = 0; i < design.numBands; ++i) {
        CBand& band = design.bands[i];
        out << band.GetName() << ": " << RouteName(band.input) << ", gain " << Number(band.gain)
            << " dB" << (band.muted ? " (muted)" : "")
            << (band.reversedPhase ? ", reversed polarity" : "") << ", delay "
            << Number(band.delay * 1000.0) << " ms, " << band.FreeBiquads() << " of "
            << kBiquadsPerBand << " biquads free\n";
        WriteEnabledFilters(out, band);
        if (!band.splFileName.empty()) {
            out << "  SPL curve: " << band.splFileName << " (" << band.splFreqs.GetSize()
                << " points, smoothing " << band.splSmoothing << ")\n";
        }
    }
}

} // namespace kv
