#pragma once

namespace kv {

// A progress display that a long operation advances: the programming
// dialog's bar, the command line's terminal bar.
class IProgressBar {
public:
    virtual ~IProgressBar() = default;

    virtual void SetRange(int lower, int upper) = 0;
    virtual void SetPosition(int position) = 0;
    // Advances the position by one, never beyond the upper end.
    virtual void Step() = 0;
};

} // namespace kv
