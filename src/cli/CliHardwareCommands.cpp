#include "CliHardwareCommands.h"

#include "CliCommand.h"
#include "archive/FileProblems.h"
#include "hardware/CTAS3103.h"
#include "hardware/UnitProgramming.h"
#include "model/CConfiguration.h"

#include <functional>

namespace kv {
namespace {

// Loads the design, builds its image and hands it to write, which says why
// it could not write (empty when it did); a design the unit cannot run
// safely is refused with every reason, and nothing is written.
int WriteDesignImage(CliContext& context,
                     const std::function<std::string(const CTAS3103&, const CConfiguration&,
                                                     const CTAS3103::Image&)>& write) {
    CConfiguration design;
    if (!CliLoadDesign(context, context.args.Positionals()[0], design)) {
        return kExitFailed;
    }
    CTAS3103 tas;
    const CTAS3103::Image image = BuildUnitImage(design, tas, context.messages);
    if (image.empty()) {
        return kExitFailed;
    }
    const std::string problem = write(tas, design, image);
    return problem.empty() ? kExitSuccess
                           : CliFail(context, WithReason(kCannotCreateFile, problem));
}

} // namespace

int RunImage(CliContext& context) {
    const std::filesystem::path target = *context.args.Value("-o");
    return WriteDesignImage(context, [&target](const CTAS3103&, const CConfiguration&,
                                               const CTAS3103::Image& image) {
        return WriteWholeFile(
            target, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
    });
}

int RunCfg(CliContext& context) {
    const std::filesystem::path target = *context.args.Value("-o");
    return WriteDesignImage(context, [&target](const CTAS3103& tas, const CConfiguration& design,
                                               const CTAS3103::Image& image) {
        return tas.WriteCfgFile(target, design.title, image);
    });
}

} // namespace kv
