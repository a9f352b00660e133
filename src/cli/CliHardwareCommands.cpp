#include "CliHardwareCommands.h"

#include "CliCommand.h"
#include "archive/VSafeFile.h"
#include "hardware/CTAS3103.h"
#include "hardware/UnitProgramming.h"
#include "model/CConfiguration.h"

#include <functional>

namespace kv {
namespace {

constexpr const char* kCannotCreate = "Couldn't create the file ! ";

// Loads the design, builds its image and hands it to write; a design the
// unit cannot run safely is refused with every reason, and nothing is
// written.
int WriteDesignImage(CliContext& context,
                     const std::function<bool(const CTAS3103&, const CConfiguration&,
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
    return write(tas, design, image) ? kExitSuccess : CliFail(context, kCannotCreate);
}

} // namespace

int RunImage(CliContext& context) {
    const std::filesystem::path target = *context.args.Value("-o");
    return WriteDesignImage(
        context, [&target](const CTAS3103&, const CConfiguration&, const CTAS3103::Image& image) {
            VSafeFile file;
            return file.Open(target) && file.Write(image.data(), image.size()) && file.Commit();
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
