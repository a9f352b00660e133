#include "CKestrelvaneApp.h"

#include "CKestrelvaneDlg.h"

namespace kv {

CKestrelvaneApp::CKestrelvaneApp(int& argc, char** argv) : QApplication(argc, argv) {
    setOrganizationName(QStringLiteral("Veldrasound"));
    setApplicationName(QStringLiteral("Kestrelvane"));
}

int CKestrelvaneApp::Run() {
    CKestrelvaneDlg window;
    window.show();
    return exec();
}

} // namespace kv
