#pragma once

namespace kv {

struct CliContext;

// `import FILE [--json] [--spl-is-impedance]`: what the import engine reads
// from a measurement file.
int RunImport(CliContext& context);
// `load-spl IN.ksv --band N FILE [--smoothing S] [--column NAME] [--phase
// measured|minimum] [--offset MS] [--remove-flight-time] -o OUT.ksv`: a
// measurement file as a band's SPL curve, as the SPL Curve dialog loads it;
// --column picks a level column of delimited text by its name.
int RunLoadSpl(CliContext& context);

} // namespace kv
