// The import engine on any content under any of the extensions it looks at;
// what it reads as a frequency response then goes into a design's band as
// the SPL dialog would put it there, smoothing included, and the design must
// survive being saved and loaded again: a curve the program takes and then
// cannot store would lose the user's work. A file with several named level
// columns is read again with the last of them, as a user's choice.
#include "FuzzSupport.h"
#include "import/CImportEngine.h"
#include "import/VInputFile.h"
#include "model/CConfiguration.h"
#include "model/SplCurve.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

constexpr std::array kExtensions = {"txt", "frd", "zma", "wav", "xop", "tds",
                                    "tx2", "idf", "gdt", "fr",  "mls", "dat"};

void LoadSaveAndReload(const kv::CImportEngine& engine, const std::string& name) {
    static kv::fuzz::FuzzFile output("import.ksv");
    kv::fuzz::FuzzMessageBox messages;
    kv::CConfiguration design;
    design.New(1, kv::kDesignSampleRate);
    if (!kv::LoadSplCurve(design.bands[0], engine, name)) {
        return;
    }
    kv::CConfiguration reloaded;
    if (!design.Save(output.Path(), messages) || !reloaded.Load(output.Path(), messages)) {
        std::abort();
    }
}

} // namespace

// The first byte chooses the extension (low bits) and the answer to the
// MLSSA question (high bit); the rest is the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint8_t selector = data[0];
    const std::string name =
        std::string("fuzz.") + kExtensions[(selector & 0x7F) % kExtensions.size()];
    kv::fuzz::FuzzMessageBox owner((selector & 0x80) != 0 ? kv::IMessageBox::Answer::No
                                                          : kv::IMessageBox::Answer::Yes);
    kv::VInputFile file;
    file.OpenMemory(data + 1, size - 1);
    kv::CImportEngine engine;
    if (engine.Import(owner, file, name)) {
        LoadSaveAndReload(engine, name);
    }
    if (engine.LevelColumns().size() > 1) {
        const kv::ImportOptions chosen{engine.LevelColumns().back()};
        if (engine.Import(owner, file, name, chosen)) {
            LoadSaveAndReload(engine, name);
        }
    }
    return 0;
}
