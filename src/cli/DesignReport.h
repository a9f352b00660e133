#pragma once

#include <ostream>

namespace kv {

class CConfiguration;
class JsonWriter;

// The design with every field of every used band, as `info --json` prints it.
void WriteDesignJson(JsonWriter& json, CConfiguration& design);
// The same design as a short readable summary.
void WriteDesignSummary(std::ostream& out, CConfiguration& design);

} // namespace kv
