// The project-file loader on any content. A design it accepts must survive
// being saved and loaded again: a file the program writes and then refuses
// would lose the user's work.
#include "FuzzSupport.h"
#include "model/CConfiguration.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static kv::fuzz::FuzzFile input("in.ksv");
    static kv::fuzz::FuzzFile output("out.ksv");
    kv::fuzz::FuzzMessageBox messages;
    kv::CConfiguration design;
    if (!design.Load(input.Write(data, size), messages)) {
        return 0;
    }
    kv::CConfiguration reloaded;
    if (!design.Save(output.Path(), messages) || !reloaded.Load(output.Path(), messages)) {
        std::abort();
    }
    return 0;
}
