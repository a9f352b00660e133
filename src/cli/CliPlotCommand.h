#pragma once

namespace kv {

struct CliContext;

// `plot IN.ksv -o OUT.png [--size WxH] [--view band|total|band-time|total-time]
// [--band N] [--show LIST]`: a response view as PNG, drawn by the desktop
// program's own graph code.
int RunPlot(CliContext& context);

} // namespace kv
