#include "CliResponseCommands.h"

#include "CliCommand.h"
#include "JsonWriter.h"
#include "model/CConfiguration.h"
#include "model/CurveExport.h"

namespace kv {
namespace {

void WriteValue(JsonWriter& json, double value) {
    json.Value(value);
}

void WriteValue(JsonWriter& json, const Complex& value) {
    json.BeginArray();
    json.Value(value.real());
    json.Value(value.imag());
    json.EndArray();
}

// A curve as an array: numbers, or [re, im] pairs.
template <typename Vector>
void WriteValues(JsonWriter& json, const std::string& name, const Vector& values) {
    json.Key(name).BeginArray();
    for (const auto& value : values) {
        WriteValue(json, value);
    }
    json.EndArray();
}

void WriteBandResponses(JsonWriter& json, const CBand& band) {
    json.BeginObject();
    WriteValues(json, "filterResponse", band.filterResponse);
    WriteValues(json, "hardwareResponse", band.hardwareResponse);
    WriteValues(json, "splResponse", band.splResponse);
    WriteValues(json, "targetResponse", band.targetResponse);
    WriteValues(json, "totalResponse", band.totalResponse);
    WriteValues(json, "filterImpulse", band.filterImpulse);
    WriteValues(json, "filterStep", band.filterStep);
    WriteValues(json, "splImpulse", band.splImpulse);
    WriteValues(json, "splStep", band.splStep);
    WriteValues(json, "targetImpulse", band.targetImpulse);
    WriteValues(json, "targetStep", band.targetStep);
    WriteValues(json, "totalImpulse", band.totalImpulse);
    WriteValues(json, "totalStep", band.totalStep);
    json.EndObject();
}

void WriteResponses(JsonWriter& json, const CConfiguration& design, const VFreqVec& grid) {
    json.BeginObject();
    WriteValues(json, "grid", grid);
    json.Member("sampleRate", design.sampleRate);
    json.Member("pirLength", design.pirLength);
    json.Key("bands").BeginArray();
    for (int i = 0; i < design.numBands; ++i) {
        WriteBandResponses(json, design.bands[i]);
    }
    json.EndArray();
    WriteValues(json, "sumFilterResponse", design.sumFilterResponse);
    WriteValues(json, "sumTargetResponse", design.sumTargetResponse);
    WriteValues(json, "sumTotalResponse", design.sumTotalResponse);
    WriteValues(json, "sumFilterImpulse", design.sumFilterImpulse);
    WriteValues(json, "sumFilterStep", design.sumFilterStep);
    WriteValues(json, "sumTargetImpulse", design.sumTargetImpulse);
    WriteValues(json, "sumTargetStep", design.sumTargetStep);
    WriteValues(json, "sumTotalImpulse", design.sumTotalImpulse);
    WriteValues(json, "sumTotalStep", design.sumTotalStep);
    json.EndObject();
}

} // namespace

int RunResponses(CliContext& context) {
    CConfiguration design;
    if (!CliLoadDesign(context, context.args.Positionals()[0], design)) {
        return kExitFailed;
    }
    JsonWriter json(context.out);
    WriteResponses(json, design, context.grid);
    context.out << '\n';
    return kExitSuccess;
}

int RunExport(CliContext& context) {
    const bool total = context.args.Has("--total");
    if (total == context.args.Has("--band")) {
        return CliUsageError(context, "give either --band N or --total");
    }
    std::string error;
    const std::optional<int> band = context.args.IntValue("--band", 1, kMaxBands, error);
    if (!error.empty()) {
        return CliUsageError(context, error);
    }
    CConfiguration design;
    if (!CliLoadDesign(context, context.args.Positionals()[0], design)) {
        return kExitFailed;
    }
    if (band && *band > design.numBands) {
        return CliUsageError(context, "the design has no band " + std::to_string(*band));
    }
    const VComplexVec& response =
        total ? design.sumTotalResponse : design.bands[*band - 1].totalResponse;
    return ExportCurve(*context.args.Value("-o"), context.grid, response, context.messages)
               ? kExitSuccess
               : kExitFailed;
}

} // namespace kv
