#pragma once

#include "dialogs/LiveEditDialog.h"

#include <array>

namespace kv {

// "Routing & Gain": which input feeds the band, its gain, mute and polarity.
class CGainDlg : public LiveEditDialog {
    Q_OBJECT

public:
    CGainDlg(CConfiguration& design, int band, std::function<void()> changed,
             QWidget* parent = nullptr);
};

} // namespace kv
