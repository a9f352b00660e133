#pragma once

#include <optional>
#include <string>

namespace kv {

class BlockWarnings;
class CConfiguration;

// What the user chose in the New X-Over dialog.
struct NewDesignChoice {
    int bands = 3;
    std::string title;
};

// The dialogs the commands open. The desktop program shows them; tests
// answer from a script.
class IDesignDialogs {
public:
    virtual ~IDesignDialogs() = default;

    // "New X-Over"; nothing when cancelled.
    virtual std::optional<NewDesignChoice> AskNewDesign() = 0;
    // "New Title", preset with the current title; nothing when cancelled.
    virtual std::optional<std::string> AskTitle(const std::string& current) = 0;
    // "Program HMQ27" for the design through the port the user chose (empty:
    // the dialog's remembered port), telling first what may harm a driver.
    virtual void ProgramUnit(const CConfiguration& design, const std::string& port,
                             const BlockWarnings& safety) = 0;
};

} // namespace kv
