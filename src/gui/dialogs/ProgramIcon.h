#pragma once

#include <QIcon>

namespace kv {

// The program's icon in every size it ships in.
QIcon ProgramIcon();

} // namespace kv
