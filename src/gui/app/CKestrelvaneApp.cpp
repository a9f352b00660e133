#include "app/CKestrelvaneApp.h"

#include "app/CKestrelvaneDlg.h"
#include "platform/CSettings.h"

#include <QCommandLineParser>

namespace kv {

CKestrelvaneApp::CKestrelvaneApp(int& argc, char** argv) : QApplication(argc, argv) {
    setOrganizationName(QStringLiteral("Veldrasound"));
    setApplicationName(QStringLiteral("Kestrelvane"));
    setApplicationVersion(QStringLiteral(KV_VERSION));
    setDesktopFileName(QStringLiteral("kestrelvane"));
}

int CKestrelvaneApp::Run() {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Crossover design for the HMQ27 active loudspeaker unit."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("design"),
                                 QStringLiteral("A design (.ksv) to open instead of the last one."),
                                 QStringLiteral("[design.ksv]"));
    parser.process(*this);
    const QStringList files = parser.positionalArguments();

    CSettings settings;
    CKestrelvaneDlg window(settings);
    window.Start(files.isEmpty() ? std::filesystem::path()
                                 : std::filesystem::path(files.constFirst().toStdU16String()));
    window.show();
    return exec();
}

} // namespace kv
