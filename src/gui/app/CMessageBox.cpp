#include "app/CMessageBox.h"

#include <QAbstractButton>
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
    case IMessageBox::Buttons::SaveDiscardCancel:
        return QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel;
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
    case QMessageBox::Save:
        return IMessageBox::Answer::Save;
    case QMessageBox::Discard:
        return IMessageBox::Answer::Discard;
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

// "Don't Save" is what every desktop calls the button that drops the
// changes; the platform's own text may say otherwise.
IMessageBox::Answer CMessageBox::Ask(const std::string& text, const std::string& caption,
                                     Buttons buttons, Icon icon) {
    QMessageBox box(ToQt(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    ToQt(buttons), parent_);
    if (QAbstractButton* discard = box.button(QMessageBox::Discard)) {
        discard->setText(QStringLiteral("Do&n't Save"));
    }
    if (QAbstractButton* save = box.button(QMessageBox::Save)) {
        save->setText(QStringLiteral("&Save"));
        box.setDefaultButton(QMessageBox::Save);
    }
    return FromQt(box.exec());
}

} // namespace kv
