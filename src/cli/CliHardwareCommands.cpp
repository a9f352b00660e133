#include "CliHardwareCommands.h"

#include "CliCommand.h"
#include "hardware/CTAS3103.h"
#include "model/CConfiguration.h"
#include "model/VSafeFile.h"

namespace kv {
namespace {

constexpr const char* kOutOfMemory = "Out of memory ! \n\nClose some programs...";
constexpr const char* kCannotWrite = "Couldn't create the file ! ";

// Loads the design and builds its image; a design the unit cannot run
// safely is refused with every reason, and nothing is written.
bool BuildDesignImage(CliContext& context, CConfiguration& design, CTAS3103& tas,
                      CTAS3103::Image& image) {
    if (!CliLoadDesign(context, context.args.Positionals()[0], design)) {
        return false;
    }
    const std::vector<std::string> problems = CTAS3103::CheckConfiguration(design);
    for (const std::string& problem : problems) {
        context.messages.ShowError(problem);
    }
    if (!problems.empty()) {
        return false;
    }
    image = tas.BuildImage(design);
    if (image.empty()) {
        context.messages.ShowError(kOutOfMemory);
        return false;
    }
    return true;
}

} // namespace

int RunImage(CliContext& context) {
    CConfiguration design;
    CTAS3103 tas;
    CTAS3103::Image image;
    if (!BuildDesignImage(context, design, tas, image)) {
        return kExitFailed;
    }
    VSafeFile file;
    if (!file.Open(*context.args.Value("-o")) || !file.Write(image.data(), image.size()) ||
        !file.Commit()) {
        return CliFail(context, kCannotWrite);
    }
    return kExitSuccess;
}

int RunCfg(CliContext& context) {
    CConfiguration design;
    CTAS3103 tas;
    CTAS3103::Image image;
    if (!BuildDesignImage(context, design, tas, image)) {
        return kExitFailed;
    }
    if (!tas.WriteCfgFile(*context.args.Value("-o"), design.title, image)) {
        return CliFail(context, kCannotWrite);
    }
    return kExitSuccess;
}

} // namespace kv
