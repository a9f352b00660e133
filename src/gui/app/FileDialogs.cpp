#include "app/FileDialogs.h"

namespace kv {

FileDialogSpec DesignFileSpec(const std::string& preset) {
    return {"Kestrelvane Files (*.ksv)", "ksv", preset};
}

FileDialogSpec CfgFileSpec(const std::string& title) {
    return {"Configuration Files (*.cfg)", "cfg", title};
}

FileDialogSpec CurveFileSpec() {
    return {"Ascii curve (*.txt)", "txt", ""};
}

} // namespace kv
