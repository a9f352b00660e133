#pragma once

namespace kv {

struct CliContext;

// `import-eq IN.ksv --band N FILE -o OUT.ksv [--partial]`: the filters of a
// filter list into a band; what does not fit is listed, and then nothing is
// imported unless --partial asks for what fits.
int RunImportEq(CliContext& context);
// `export-eq IN.ksv --band N -o OUT.txt`: a band as a PC equaliser's
// configuration text.
int RunExportEq(CliContext& context);

} // namespace kv
