#include "support/ProjectFileBytes.h"

namespace kv::test {

void WriteCrossover(ByteWriter& out, const CrossoverSettings& s) {
    out.Double(s.freq).Int32(s.order).Int32(static_cast<std::int32_t>(s.type));
    for (int j = 0; j < kCrossoverSections; ++j) {
        out.Double(s.freqOfs[j]).Double(s.q[j]);
    }
}

void WriteBandRecord(ByteWriter& out, const CBand& band, int version) {
    out.Int32(static_cast<std::int32_t>(band.input))
        .Double(band.gain)
        .Double(band.delay)
        .String(band.splFileName);
    out.Int32(band.splSmoothing).Tag("VDoubleVec", 1).Int32(band.splFreqs.GetSize());
    for (double f : band.splFreqs) {
        out.Double(f);
    }
    out.Tag("VComplexVec", 1).Int32(band.splRaw.GetSize());
    for (const Complex& c : band.splRaw) {
        out.Double(c.real()).Double(c.imag());
    }
    out.Int32(band.bassCorner).Double(band.bassGain).Int32(band.trebleCorner);
    out.Double(band.trebleGain);
    for (int k = 0; k < (version == 1 ? 1 : 2); ++k) {
        out.Bool(band.hpEnabled[k]);
        WriteCrossover(out, band.hpFilter[k]);
        WriteCrossover(out, band.hpTarget[k]);
        out.Bool(band.lpEnabled[k]);
        WriteCrossover(out, band.lpFilter[k]);
        WriteCrossover(out, band.lpTarget[k]);
    }
    for (int k = 0; k < (version >= 3 ? 6 : 1); ++k) {
        out.Double(band.notch[k].freq).Double(band.notch[k].q).Bool(band.notch[k].enabled);
    }
    out.Double(band.allPass.freq).Double(band.allPass.q).Bool(band.allPass.enabled);
    out.Double(band.lowShelf.gain).Double(band.lowShelf.freq).Bool(band.lowShelf.enabled);
    out.Double(band.highShelf.gain).Double(band.highShelf.freq).Bool(band.highShelf.enabled);
    for (int k = 0; k < (version == 5 ? 14 : 8); ++k) {
        const PeqSettings& p = band.peq[k];
        out.Double(p.gain).Double(p.freq).Double(p.q).Bool(p.enabled);
    }
    if (version >= 4) {
        out.Bool(band.reversedPhase);
    }
    if (version == 5) {
        out.Bool(band.muted);
    }
}

std::vector<std::uint8_t> WriteFile(const CConfiguration& design, int version,
                                    const std::string& storedPath) {
    ByteWriter out;
    out.String(kProjectMagics[version - 1]).String(design.title).String(storedPath);
    out.Double(design.sampleRate).Int32(design.bitDepth);
    if (version >= 2) {
        out.Double(design.inputGain);
    }
    out.Double(design.targetLevel).Int32(design.numBands);
    for (int b = 0; b < design.numBands; ++b) {
        WriteBandRecord(out, design.bands[b], version);
    }
    return out.Bytes();
}

} // namespace kv::test
