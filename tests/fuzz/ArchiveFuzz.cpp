// The archive's reading primitives on any content. The file itself chooses
// which item to read next, so that every reader meets every kind of garbage
// where it expects its own item.
#include "FuzzSupport.h"
#include "archive/VPersistence.h"
#include "math/VComplexVec.h"
#include "math/VDoubleVec.h"
#include "model/CBand.h"

#include <array>
#include <cstdint>
#include <string>

namespace {

constexpr int kMaxItems = 64;
constexpr int kBandVersions = 5;

bool ReadItem(kv::VPersistence& archive, std::int32_t choice) {
    const int kind = static_cast<int>(static_cast<std::uint32_t>(choice) % 8);
    const int argument = static_cast<int>((static_cast<std::uint32_t>(choice) >> 8) % 300) - 1;
    std::string text;
    std::int32_t version = 0;
    switch (kind) {
    case 0:
        return archive.ReadString(text, argument);
    case 1:
        return archive.ReadTag(text, version, (choice & 0x10) != 0);
    case 2:
        return archive.ExpectTag("VDoubleVec", version);
    case 3: {
        kv::VDoubleVec vector;
        return vector.Serialize(archive);
    }
    case 4: {
        kv::VComplexVec vector;
        return vector.Serialize(archive);
    }
    case 5: {
        std::array<double, 16> values{};
        return archive.ReadDoubles(values.data(), static_cast<std::size_t>(argument + 1) % 17);
    }
    case 6: {
        bool flag = false;
        double number = 0.0;
        return archive.ReadBool(flag) && archive.ReadDouble(number);
    }
    default: {
        kv::CBand band;
        return band.Serialize(archive, 1 + (argument + 1) % kBandVersions);
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static kv::fuzz::FuzzFile input("archive.bin");
    kv::VPersistence archive;
    if (!archive.Open(input.Write(data, size), false)) {
        return 0;
    }
    std::int32_t choice = 0;
    for (int item = 0; item < kMaxItems && archive.ReadInt32(choice); ++item) {
        if (!ReadItem(archive, choice)) {
            break;
        }
    }
    archive.Close();
    return 0;
}
