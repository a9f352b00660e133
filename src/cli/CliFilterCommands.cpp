#include "CliFilterCommands.h"

#include "CliCommand.h"
#include "model/CConfiguration.h"
#include "model/FilterExport.h"
#include "model/FilterImport.h"

#include <ostream>

namespace kv {

int RunImportEq(CliContext& context) {
    CConfiguration design;
    int status = kExitSuccess;
    CBand* band = CliLoadBand(context, design, status);
    if (band == nullptr) {
        return status;
    }
    FilterImportPlan plan;
    std::string error;
    if (!PlanFilterImport(context.args.Positionals()[1], *band, plan, error)) {
        return CliFail(context, error);
    }
    for (const FilterLineMessage& misfit : plan.misfits) {
        context.err << "kestrelvane-cli: line " << misfit.line << ": not imported: " << misfit.text
                    << '\n';
    }
    for (const FilterLineMessage& note : plan.notes) {
        context.err << "kestrelvane-cli: " << DescribeLineMessage(note) << '\n';
    }
    if (!plan.misfits.empty() && !context.args.Has("--partial")) {
        return CliFail(context,
                       "Lines that do not fit the band: " + std::to_string(plan.misfits.size()) +
                           ". Nothing was imported; --partial imports what fits.");
    }
    if (plan.placements.empty()) {
        return CliFail(context, "None of the filters fits the band: nothing was imported.");
    }
    if (!ApplyFilterImport(plan, *band)) {
        return CliFail(context, "The band refused the filters: nothing was imported.");
    }
    for (const FilterPlacement& placement : plan.placements) {
        context.out << "line " << placement.line << ": "
                    << DescribeSection({placement.group, placement.item, 0}) << '\n';
    }
    return design.Save(*context.args.Value("-o"), context.messages) ? kExitSuccess : kExitFailed;
}

int RunExportEq(CliContext& context) {
    CConfiguration design;
    int status = kExitSuccess;
    const CBand* band = CliLoadBand(context, design, status);
    if (band == nullptr) {
        return status;
    }
    return ExportFilters(*context.args.Value("-o"), *band, design.title, context.messages)
               ? kExitSuccess
               : kExitFailed;
}

} // namespace kv
