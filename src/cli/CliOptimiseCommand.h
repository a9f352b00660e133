#pragma once

namespace kv {

struct CliContext;

// `optimise IN.ksv --band N [--from HZ] [--to HZ] [--peqs K] [--gain]
// [--crossovers] -o OUT.ksv [--json]`: fits the band's free equalisers (and
// its gain and crossover slots when asked) to its target, saves the design,
// and prints the deviation before and after, the equalisers set and the
// time taken.
int RunOptimise(CliContext& context);

} // namespace kv
