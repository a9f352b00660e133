#pragma once

#include <string>
#include <vector>

namespace kv {

class BiquadCalc;
class CBand;
class CConfiguration;

// Everything about a design that the TAS3103 cannot run safely, one clear
// sentence each naming the band and the filter.
class HardwareCheck {
public:
    explicit HardwareCheck(const CConfiguration& design) : design_(design) {}

    // The problems of the whole design; empty when it is safe to program.
    std::vector<std::string> Run();

private:
    void CheckCoefficient(const std::string& subject, const std::string& name, double value);
    void CheckBand(int b, const CBand& band);
    void CheckDelay(const std::string& name, const CBand& band);
    void CheckTotalDelay();
    void CheckTone(const std::string& name, const char* stage, double dB, int corner);
    void ReportAboveHalfTheSampleRate(const std::string& subject, const BiquadCalc& calc,
                                      bool stable);
    void CheckSection(const std::string& subject, const BiquadCalc& calc);

    const CConfiguration& design_;
    std::vector<std::string> problems_;
    double totalDelaySamples_ = 0.0;
};

} // namespace kv
