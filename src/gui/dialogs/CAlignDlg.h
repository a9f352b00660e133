#pragma once

#include "model/Alignment.h"

#include <QDialog>

class QComboBox;
class QDialogButtonBox;
class QLabel;

namespace kv {

class CConfiguration;
class SumPlot;

// "Align": the delay and polarity of a band that make it sum with a
// neighbour (the user picks which) as their targets do around their
// crossover, with the sum before and after. The dialog only finds them;
// whoever opened it applies them when it is accepted, as one change.
class CAlignDlg : public QDialog {
    Q_OBJECT

public:
    // The design's responses must be computed.
    CAlignDlg(const CConfiguration& design, int band, QWidget* parent = nullptr);

    // What was found for the partner chosen; only when Found() is true.
    const Alignment& Result() const { return found_; }
    bool Found() const { return outcome_ == AlignOutcome::Aligned; }

private:
    void PartnerChosen();

    const CConfiguration& design_;
    int band_;
    QComboBox* partner_ = nullptr;
    QLabel* result_ = nullptr;
    SumPlot* plot_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    Alignment found_;
    AlignOutcome outcome_ = AlignOutcome::NoSuchBand;
};

} // namespace kv
