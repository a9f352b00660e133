#include "controls/VSpinButtonBase.h"

#include "controls/SpinAcceleration.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <chrono>

namespace kv {
namespace {

// The repeat timing of a held arrow, as the platform's buttons repeat.
constexpr int kFirstRepeatMs = 300;
constexpr int kRepeatMs = 100;
constexpr int kPageSteps = 10;
constexpr int kWheelNotch = 120;

} // namespace

VSpinButtonBase::VSpinButtonBase(bool coarserWhenHeld, QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), coarserWhenHeld_(coarserWhenHeld) {
    auto* arrows = new QVBoxLayout;
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    arrows->addWidget(AddArrow(Qt::UpArrow, +1));
    arrows->addWidget(AddArrow(Qt::DownArrow, -1));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(edit_);
    row->addLayout(arrows);
    // A label's mnemonic only focuses a buddy that takes the focus itself.
    setFocusPolicy(edit_->focusPolicy());
    setFocusProxy(edit_);
    edit_->installEventFilter(this);
    repeat_.callOnTimeout(this, &VSpinButtonBase::RepeatHeldArrow);
}

// Events of the edit field must not reach a half-destroyed field.
VSpinButtonBase::~VSpinButtonBase() {
    edit_->removeEventFilter(this);
}

void VSpinButtonBase::Enable(bool enable) {
    setEnabled(enable);
}

void VSpinButtonBase::setAccessibleName(const QString& name) {
    QWidget::setAccessibleName(name);
    edit_->setAccessibleName(name);
}

void VSpinButtonBase::FitTexts(const std::string& first, const std::string& second) {
    // Past this, a field would push its dialog off any screen.
    constexpr std::size_t kMostCharacters = 16;
    widestText_ = QString::fromStdString(
        (first.size() >= second.size() ? first : second).substr(0, kMostCharacters));
    KeepTextsVisible();
}

// The text's width, the frame on both sides and the line edit's own inner
// margins.
void VSpinButtonBase::KeepTextsVisible() {
    constexpr int kInnerMargins = 8;
    const int frame = 2 * edit_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit_);
    edit_->setMinimumWidth(edit_->fontMetrics().horizontalAdvance(widestText_) + frame +
                           kInnerMargins);
}

void VSpinButtonBase::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        KeepTextsVisible();
    }
    QWidget::changeEvent(event);
}

std::string VSpinButtonBase::Text() const {
    return edit_->text().toStdString();
}

void VSpinButtonBase::ShowText(const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (edit_->text() != shown) {
        edit_->setText(shown);
    }
}

QToolButton* VSpinButtonBase::AddArrow(Qt::ArrowType arrow, int direction) {
    auto* button = new QToolButton(this);
    button->setArrowType(arrow);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(false);
    button->setFixedWidth(style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    connect(button, &QToolButton::pressed, this,
            [this, button, direction] { StartHolding(button, direction); });
    connect(button, &QToolButton::released, &repeat_, &QTimer::stop);
    return button;
}

bool VSpinButtonBase::eventFilter(QObject* watched, QEvent* event) {
    if (watched != edit_) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::FocusOut:
        StopHolding();
        // A context menu of the field itself does not end the editing.
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
            CommitAndNotify();
        }
        return false;
    case QEvent::KeyPress:
        return FilterKey(*static_cast<QKeyEvent*>(event));
    default:
        return false;
    }
}

// True swallows the key. Shortcuts (copy, paste, select all...) and keys that
// type nothing go to the edit field; pasted text is judged when it is read.
// An Alt key that no mnemonic took types nothing either.
bool VSpinButtonBase::FilterKey(const QKeyEvent& key) {
    if (key.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) {
        return false;
    }
    if (key.modifiers() & Qt::AltModifier) {
        return !key.text().isEmpty() && key.text().front().isPrint();
    }
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Consumed, so that Enter commits the field without also pressing the
        // dialog's default button.
        CommitAndNotify();
        edit_->selectAll();
        return true;
    case Qt::Key_Up:
        StepAndNotify(1);
        return true;
    case Qt::Key_Down:
        StepAndNotify(-1);
        return true;
    case Qt::Key_PageUp:
        StepAndNotify(kPageSteps);
        return true;
    case Qt::Key_PageDown:
        StepAndNotify(-kPageSteps);
        return true;
    default:
        return !AcceptsTyped(key.text());
    }
}

bool VSpinButtonBase::AcceptsTyped(const QString& typed) const {
    QString rest = edit_->text();
    if (edit_->hasSelectedText()) {
        rest.remove(edit_->selectionStart(), edit_->selectedText().size());
    }
    for (const QChar c : typed) {
        if (!c.isPrint()) {
            continue;
        }
        if (!Accepts(c, rest)) {
            return false;
        }
        rest.append(c);
    }
    return true;
}

void VSpinButtonBase::CommitAndNotify() {
    Commit();
    Notify();
}

void VSpinButtonBase::StepAndNotify(int steps) {
    if (StepBy(steps)) {
        Notify();
    }
}

// A dialog that refuses a value may open a message box, which takes the
// focus from this field: that focus-out must not report the same value
// again while the first report is still being handled.
void VSpinButtonBase::Notify() {
    if (notifying_) {
        return;
    }
    notifying_ = true;
    emit spinChanged();
    notifying_ = false;
}

void VSpinButtonBase::StartHolding(QToolButton* arrow, int direction) {
    heldArrow_ = arrow;
    heldDirection_ = direction;
    heldFor_.start();
    StepAndNotify(direction);
    // The step may have opened a message box: the press that began it has
    // ended there, and must not go on stepping once the box is closed.
    if (StillHeld()) {
        repeat_.start(kFirstRepeatMs);
    } else {
        StopHolding();
    }
}

bool VSpinButtonBase::StillHeld() const {
    return heldArrow_ != nullptr && heldArrow_->isDown() && isEnabled() && isActiveWindow() &&
           QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
}

void VSpinButtonBase::StopHolding() {
    repeat_.stop();
    if (heldArrow_ != nullptr) {
        heldArrow_->setDown(false);
        heldArrow_ = nullptr;
    }
}

void VSpinButtonBase::RepeatHeldArrow() {
    if (!StillHeld()) {
        StopHolding();
        return;
    }
    repeat_.setInterval(kRepeatMs);
    const int multiplier =
        coarserWhenHeld_
            ? SpanMultiplier(HeldArrowSpan(std::chrono::milliseconds(heldFor_.elapsed())))
            : 1;
    StepAndNotify(heldDirection_ * multiplier);
}

// One step per notch; the fractions of a notch that touch pads send add up.
void VSpinButtonBase::wheelEvent(QWheelEvent* event) {
    wheelDelta_ += event->angleDelta().y();
    const int notches = wheelDelta_ / kWheelNotch;
    wheelDelta_ -= notches * kWheelNotch;
    if (notches != 0) {
        StepAndNotify(notches);
    }
    event->accept();
}

} // namespace kv
