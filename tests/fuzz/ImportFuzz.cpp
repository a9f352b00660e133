// The import engine on any content under any of the extensions it looks at;
// what it reads as a frequency response then goes into a band as the SPL
// dialog would put it there, smoothing included. A file with several named
// level columns is read again with the last of them, as a user's choice.
#include "FuzzSupport.h"
#include "import/CImportEngine.h"
#include "import/VInputFile.h"
#include "model/CBand.h"
#include "model/SplCurve.h"

#include <array>
#include <cstdint>
#include <string>

namespace {

constexpr std::array kExtensions = {"txt", "frd", "zma", "wav", "xop", "tds",
                                    "tx2", "idf", "gdt", "fr",  "mls", "dat"};

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
        kv::CBand band;
        kv::LoadSplCurve(band, engine, name);
    }
    if (engine.LevelColumns().size() > 1) {
        const kv::ImportOptions chosen{engine.LevelColumns().back()};
        kv::CBand band;
        if (engine.Import(owner, file, name, chosen)) {
            kv::LoadSplCurve(band, engine, name);
        }
    }
    return 0;
}
