// The filter-list reader on any content, and its import into a band that
// already holds filters. A plan made for a band must apply to it and keep
// the band within its biquads: a refusal there would leave the user's
// import undone for no reason they could see.
#include "FuzzSupport.h"
#include "import/FilterText.h"
#include "import/VInputFile.h"
#include "model/CConfiguration.h"
#include "model/FilterExport.h"
#include "model/FilterImport.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kv::VInputFile file;
    file.OpenMemory(data, size);
    kv::FilterText text;
    std::string error;
    if (!kv::ReadFilterText(file, text, error)) {
        return 0;
    }
    kv::CConfiguration design;
    design.New(1, kv::kDesignSampleRate);
    kv::CBand& band = design.bands[0];
    kv::CrossoverSettings highPass;
    highPass.order = 8;
    band.SetHighPass(0, highPass);
    band.EnableHighPass(0, true);
    band.SetPeq(2, 3.0, 500.0, 2.0, true);
    band.SetNotch(0, 250.0, 4.0, true);
    const kv::FilterImportPlan plan = kv::PlanFilterImport(text, band);
    if (!kv::ApplyFilterImport(plan, band) || band.FreeBiquads() < 0) {
        std::abort();
    }
    std::string exported;
    kv::FilterExportText(band, design.title, exported, error);
    return 0;
}
