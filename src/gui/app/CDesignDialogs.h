#pragma once

#include "session/IDesignDialogs.h"

class QWidget;

namespace kv {

class IFileChooser;
class IMessageBox;
class ISettings;

// The main window's dialogs: New X-Over, New Title and Program HMQ27.
class CDesignDialogs : public IDesignDialogs {
public:
    CDesignDialogs(QWidget* parent, ISettings& settings, IMessageBox& messages, IFileChooser& files)
        : parent_(parent), settings_(settings), messages_(messages), files_(files) {}

    std::optional<NewDesignChoice> AskNewDesign() override;
    std::optional<std::string> AskTitle(const std::string& current) override;
    void ProgramUnit(const CConfiguration& design, const std::string& port,
                     const BlockWarnings& safety) override;

private:
    QWidget* parent_;
    ISettings& settings_;
    IMessageBox& messages_;
    IFileChooser& files_;
};

} // namespace kv
