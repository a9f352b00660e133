#include "app/CMessageBox.h"

#include <QMessageBox>

namespace kv {
namespace {

QMessageBox::Icon ToQt(IMessageBox::Icon icon) {
    switch (icon) {
    case IMessageBox::Icon::Error:
        return QMessageBox::Critical;
    case IMessageBox::Icon::Information:
        return QMessageBox::Information;
    case IMessageBox::Icon::Question:
        return QMessageBox::Question;
    case IMessageBox::Icon::Warning:
        return QMessageBox::Warning;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(IMessageBox::Buttons buttons) {
    switch (buttons) {
    case IMessageBox::Buttons::Ok:
        return QMessageBox::Ok;
    case IMessageBox::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case IMessageBox::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case IMessageBox::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

IMessageBox::Answer FromQt(int button) {
    switch (button) {
    case QMessageBox::Yes:
        return IMessageBox::Answer::Yes;
    case QMessageBox::No:
        return IMessageBox::Answer::No;
    case QMessageBox::Ok:
        return IMessageBox::Answer::Ok;
    default:
        return IMessageBox::Answer::Cancel;
    }
}

} // namespace

void CMessageBox::Show(const std::string& text, const std::string& caption, Icon icon) {
    QMessageBox box(ToQt(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::Ok, parent_);
    box.exec();
}

IMessageBox::Answer CMessageBox::Ask(const std::string& text, const std::string& caption,
                                     Buttons buttons, Icon icon) {
    QMessageBox box(ToQt(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    ToQt(buttons), parent_);
    return FromQt(box.exec());
}

} // namespace kv
