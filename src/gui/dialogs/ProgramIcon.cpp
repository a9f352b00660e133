#include "dialogs/ProgramIcon.h"

#include <array>

namespace kv {

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : std::array{16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/kestrelvane-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace kv
