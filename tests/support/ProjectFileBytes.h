#pragma once

#include "model/CConfiguration.h"
#include "support/TestSupport.h"

#include <string>
#include <vector>

namespace kv::test {

inline const char* const kProjectMagics[] = {"KESTRELV_TAS3103_V101", "KESTRELV_TAS3103_V102",
                                             "KESTRELV_TAS3103_V103", "KESTRELV_TAS3103_V104",
                                             "KESTRELV_TAS3103_V205"};

// The tests' own writer of the project file layout, independent of the
// program's: a design as file version 1 (V101) … 5 (V205) would hold it.
void WriteCrossover(ByteWriter& out, const CrossoverSettings& s);
void WriteBandRecord(ByteWriter& out, const CBand& band, int version);
std::vector<std::uint8_t> WriteFile(const CConfiguration& design, int version,
                                    const std::string& storedPath = "");

} // namespace kv::test
