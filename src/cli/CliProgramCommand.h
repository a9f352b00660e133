#pragma once

namespace kv {

struct CliContext;

// `program IN.ksv --port PORT`: programs the HMQ27 over a serial port, as
// the desktop program's Update HMQ does.
int RunProgram(CliContext& context);

} // namespace kv
