#pragma once

namespace kv {

struct CliContext;

// `image IN.ksv -o OUT.bin`: the 2368-byte TAS3103 image as it would be
// programmed into the unit.
int RunImage(CliContext& context);
// `cfg IN.ksv -o OUT.cfg`: the TAS3103 configuration text file the
// programming dialog writes in file mode.
int RunCfg(CliContext& context);

} // namespace kv
