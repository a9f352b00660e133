#pragma once

namespace kv {

struct CliContext;

// `align IN.ksv --bands A,B -o OUT.ksv`: band B's delay and polarity that
// make it sum with band A as their targets do, printed and saved.
int RunAlign(CliContext& context);

} // namespace kv
