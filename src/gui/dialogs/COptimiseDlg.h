#pragma once

#include "model/Optimiser.h"

#include <QDialog>
#include <QThread>
#include <functional>
#include <memory>
#include <stop_token>

class QCheckBox;
class QFormLayout;
class QLabel;
class QProgressBar;
class QPushButton;

namespace kv {

class VFloatSpinButton;
class VIntSpinButton;

// "Optimise": fits a band to its target. The range (the band's passband by
// default), how many equalisers it may set (all its biquads allow by
// default) and whether it may change the gain, move the crossover slots and
// boost by more than +6 dB; the fit runs on a thread of its own while the
// dialog shows how far it has got and the deviation so far. The result is
// in the band, and in the panes, before OK keeps it; Cancel (also while
// the fit runs) puts the band back as it was. Each run starts from the
// band as the dialog found it.
class COptimiseDlg : public QDialog {
    Q_OBJECT

public:
    // changed: after the band changed (a result, or the band put back).
    COptimiseDlg(CConfiguration& design, int band, const KeptEqualisers& keep,
                 std::function<void()> changed, QWidget* parent = nullptr);
    ~COptimiseDlg() override;

    bool Busy() const { return worker_ != nullptr; }

    void reject() override;

signals:
    // A fit ended and its result (or why there is none) is shown.
    void fitEnded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildFields();
    VFloatSpinButton* AddFrequencyField(QFormLayout& form, const QString& label,
                                        const QString& name, double hz);
    OptimiseOptions ChosenOptions() const;
    void Start();
    void ShowProgress(const OptimiseProgress& progress);
    void Ended(const OptimiseResult& result);
    // Shows text as the deviation now, or why there is none.
    void SayNow(const QString& text);
    void StopWork();
    void PutBandBack();
    void SetEditable(bool editable);

    CConfiguration& design_;
    int band_;
    std::function<void()> changed_;
    const BandSettings original_;
    OptimiseProblem problem_;
    const bool hasProblem_;
    const OptimiseOptions defaults_;

    VFloatSpinButton* from_ = nullptr;
    VFloatSpinButton* to_ = nullptr;
    VIntSpinButton* equalisers_ = nullptr;
    QCheckBox* gain_ = nullptr;
    QCheckBox* crossovers_ = nullptr;
    QCheckBox* largerBoosts_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* before_ = nullptr;
    QLabel* deviation_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* ok_ = nullptr;

    std::stop_source stop_;
    std::unique_ptr<QThread> worker_;
};

} // namespace kv
