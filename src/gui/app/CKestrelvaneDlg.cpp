#include "CKestrelvaneDlg.h"

#include "ui/IMessageBox.h"

namespace kv {

CKestrelvaneDlg::CKestrelvaneDlg(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QString::fromUtf8(kMessageCaption));
    resize(1024, 700);
}

} // namespace kv
