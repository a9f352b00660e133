#include "dialogs/GuiThreadForwarding.h"

#include <QMetaObject>
#include <QThread>

namespace kv {
namespace {

// Runs call on the context's thread and waits for it; on that thread itself
// it simply calls it (waiting there would wait for ever).
template <typename Call> auto OnContextThread(QObject& context, Call call) {
    using Result = decltype(call());
    if (QThread::currentThread() == context.thread()) {
        return call();
    }
    Result result{};
    QMetaObject::invokeMethod(
        &context, [&] { result = call(); }, Qt::BlockingQueuedConnection);
    return result;
}

} // namespace

void GuiThreadMessageBox::Show(const std::string& text, const std::string& caption, Icon icon) {
    OnContextThread(context_, [&] {
        target_.Show(text, caption, icon);
        return true;
    });
}

IMessageBox::Answer GuiThreadMessageBox::Ask(const std::string& text, const std::string& caption,
                                             Buttons buttons, Icon icon) {
    return OnContextThread(context_, [&] { return target_.Ask(text, caption, buttons, icon); });
}

int GuiThreadSettings::GetInt(const std::string& section, const std::string& name,
                              int fallback) const {
    return OnContextThread(context_, [&] { return target_.GetInt(section, name, fallback); });
}

bool GuiThreadSettings::SetInt(const std::string& section, const std::string& name, int value) {
    return OnContextThread(context_, [&] { return target_.SetInt(section, name, value); });
}

std::string GuiThreadSettings::GetString(const std::string& section, const std::string& name,
                                         const std::string& fallback) const {
    return OnContextThread(context_, [&] { return target_.GetString(section, name, fallback); });
}

bool GuiThreadSettings::SetString(const std::string& section, const std::string& name,
                                  const std::string& value) {
    return OnContextThread(context_, [&] { return target_.SetString(section, name, value); });
}

} // namespace kv
