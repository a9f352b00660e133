#pragma once

#include "ui/IMessageBox.h"
#include "ui/IProgressBar.h"
#include "ui/ISettings.h"

#include <QObject>

namespace kv {

// Message boxes and settings belong to the user-interface thread. These
// stand-ins let work on another thread use them: every call runs on the
// thread of the context object and the caller waits for it, so a question
// is answered before the work goes on, exactly as on one thread.
class GuiThreadMessageBox : public IMessageBox {
public:
    GuiThreadMessageBox(IMessageBox& target, QObject& context)
        : target_(target), context_(context) {}

    void Show(const std::string& text, const std::string& caption, Icon icon) override;
    Answer Ask(const std::string& text, const std::string& caption, Buttons buttons,
               Icon icon) override;

private:
    IMessageBox& target_;
    QObject& context_;
};

class GuiThreadSettings : public ISettings {
public:
    GuiThreadSettings(ISettings& target, QObject& context) : target_(target), context_(context) {}

    int GetInt(const std::string& section, const std::string& name, int fallback) const override;
    bool SetInt(const std::string& section, const std::string& name, int value) override;
    std::string GetString(const std::string& section, const std::string& name,
                          const std::string& fallback) const override;
    bool SetString(const std::string& section, const std::string& name,
                   const std::string& value) override;

private:
    ISettings& target_;
    QObject& context_;
};

// A progress display whose changes arrive as signals, queued to whatever
// bar listens on another thread.
class ProgressSignals : public QObject, public IProgressBar {
    Q_OBJECT

public:
    void SetRange(int lower, int upper) override { emit rangeChanged(lower, upper); }
    void SetPosition(int position) override { emit positionChanged(position); }
    void Step() override { emit stepped(); }

signals:
    void rangeChanged(int lower, int upper);
    void positionChanged(int position);
    void stepped();
};

} // namespace kv
