#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <string>

class QLineEdit;
class QToolButton;

namespace kv {

// A numeric edit field with an up and a down arrow beside it. It keeps what
// may be typed to the characters of a number, takes the typed text as the
// value when the field is left or Enter is pressed, steps the value with the
// arrows, the mouse wheel and the Up, Down, Page Up and Page Down keys, and
// tells its dialog through spinChanged() whenever the value may have changed.
// The subclasses hold the value and its rules.
//
// The edit field is the focus proxy, so a label's buddy mnemonic and the tab
// order reach it; the arrows take no focus.
class VSpinButtonBase : public QWidget {
    Q_OBJECT

public:
    ~VSpinButtonBase() override;

    // Enables or disables the edit field and both arrows together.
    void Enable(bool enable);
    // Shows no value until the next one is set: a disabled field for a
    // setting that is not in use.
    void ShowBlank() { ShowText({}); }
    // Names the field for assistive technology; the edit field, which is what
    // holds the focus, carries the same name.
    void setAccessibleName(const QString& name);

signals:
    // Emitted directly, so the dialog has handled it when the emitting call
    // returns: whenever the field loses the focus or Enter is pressed (changed
    // or not), and after a step that changed the value. Losing the focus
    // includes the window closing, so a window destroyed while shown still
    // hears from its focused field during its own destruction: dialogs hide
    // (close) before they go.
    void spinChanged();

protected:
    // With coarserWhenHeld, a held arrow moves in growing multiples of a step.
    VSpinButtonBase(bool coarserWhenHeld, QWidget* parent);

    std::string Text() const;
    // The field is never narrower than the widest of these texts (its range's
    // ends as shown): a dialog squeezed to fit a small or scaled screen
    // must not cut its numbers.
    void FitTexts(const std::string& first, const std::string& second);
    // Replaces the text only when it differs, so caret and selection survive
    // an unchanged value.
    void ShowText(const std::string& text);

    // Takes the typed text as the value, corrected to the field's rules.
    virtual void Commit() = 0;
    // Whether c may be typed into a field whose text, apart from the selection
    // that c replaces, is rest.
    virtual bool Accepts(QChar c, const QString& rest) const = 0;
    // Moves the value by steps (negative: down); true when the value changed.
    virtual bool StepBy(int steps) = 0;

    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QToolButton* AddArrow(Qt::ArrowType arrow, int direction);
    bool FilterKey(const QKeyEvent& key);
    bool AcceptsTyped(const QString& typed) const;
    void CommitAndNotify();
    void StepAndNotify(int steps);
    void Notify();
    void StartHolding(QToolButton* arrow, int direction);
    // Whether the arrow pressed last is still pressed, by a mouse button
    // that is still down, in a window that still has the user.
    bool StillHeld() const;
    void StopHolding();
    void RepeatHeldArrow();
    void KeepTextsVisible();

    QLineEdit* edit_;
    const bool coarserWhenHeld_;
    QToolButton* heldArrow_ = nullptr;
    int heldDirection_ = 0;
    QElapsedTimer heldFor_;
    QTimer repeat_;
    int wheelDelta_ = 0;
    bool notifying_ = false;
    QString widestText_;
};

} // namespace kv
