#pragma once

namespace kv {

struct CliContext;

// `responses IN.ksv --json`: everything the recalculation computed.
int RunResponses(CliContext& context);
// `export IN.ksv (--band N | --total) -o OUT.txt`: the curve export text
// file of a band pane or of the total pane.
int RunExport(CliContext& context);

} // namespace kv
