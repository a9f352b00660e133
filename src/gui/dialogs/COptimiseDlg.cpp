#include "dialogs/COptimiseDlg.h"

#include "controls/VFloatSpinButton.h"
#include "controls/VIntSpinButton.h"
#include "dialogs/DialogLayout.h"
#include "hardware/HardwareCheck.h"
#include "math/NumberFormat.h"
#include "model/CConfiguration.h"
#include "session/FieldTable.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace kv {
namespace {

constexpr int kRangeDecimals = 1;

QString Described(const Deviation& deviation) {
    return QString::fromStdString(FormatFixed(deviation.rmsDb, 2) + " dB RMS, " +
                                  FormatFixed(deviation.largestDb, 2) + " dB largest");
}

} // namespace

COptimiseDlg::COptimiseDlg(CConfiguration& design, int band, const KeptEqualisers& keep,
                           std::function<void()> changed, QWidget* parent)
    : QDialog(parent), design_(design), band_(band), changed_(std::move(changed)),
      original_(design.bands[static_cast<std::size_t>(band)].Settings()),
      hasProblem_(MakeOptimiseProblem(design, band, problem_)),
      defaults_(DefaultOptimiseOptions(original_, keep)) {
    setObjectName(QStringLiteral("optimiseDialog"));
    setWindowTitle(
        QStringLiteral("Optimise %1")
            .arg(QString::fromStdString(design.bands[static_cast<std::size_t>(band)].GetName())));
    BuildFields();
    const std::optional<Deviation> before =
        hasProblem_ ? MeasureDeviation(problem_, original_, defaults_.fromHz, defaults_.toHz)
                    : std::nullopt;
    if (before) {
        before_->setText(Described(*before));
    } else {
        SayNow(QStringLiteral("The band's responses are not computed yet."));
    }
    start_->setEnabled(hasProblem_);
}

// A fit still running holds references into this dialog: it is told to
// stop, and does so within a few hundredths of a second.
COptimiseDlg::~COptimiseDlg() {
    StopWork();
}

void COptimiseDlg::BuildFields() {
    auto* form = new QFormLayout;
    from_ = AddFrequencyField(*form, QStringLiteral("&From (Hz)"), QStringLiteral("fromField"),
                              defaults_.fromHz);
    to_ = AddFrequencyField(*form, QStringLiteral("&To (Hz)"), QStringLiteral("toField"),
                            defaults_.toHz);
    equalisers_ = new VIntSpinButton(this);
    equalisers_->setObjectName(QStringLiteral("equalisersField"));
    equalisers_->SetRange(0, defaults_.equalisers);
    equalisers_->SetValue(defaults_.equalisers);
    AddLabelledRow(*form, QStringLiteral("&Equalisers"), equalisers_);

    gain_ = new QCheckBox(QStringLiteral("Change the band's &gain"), this);
    gain_->setObjectName(QStringLiteral("gainCheck"));
    crossovers_ =
        new QCheckBox(QStringLiteral("Move the c&rossover slots (1/3 octave, custom Qs)"), this);
    crossovers_->setObjectName(QStringLiteral("crossoversCheck"));
    largerBoosts_ = new QCheckBox(
        QStringLiteral("Allow &boosts above %1 dB").arg(FormatFixed(kDefaultMaxBoostDb, 0).c_str()),
        this);
    largerBoosts_->setObjectName(QStringLiteral("largerBoostsCheck"));
    for (QCheckBox* box : {gain_, crossovers_, largerBoosts_}) {
        form->addRow(box);
    }

    start_ = new QPushButton(QStringLiteral("O&ptimise"), this);
    start_->setObjectName(QStringLiteral("startButton"));
    start_->setAutoDefault(false);
    connect(start_, &QPushButton::clicked, this, &COptimiseDlg::Start);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("progressBar"));
    progress_->setAccessibleName(QStringLiteral("Progress"));
    progress_->setValue(0);
    auto* run = new QHBoxLayout;
    run->addWidget(start_);
    run->addWidget(progress_, 1);
    form->addRow(run);
    before_ = new QLabel(this);
    before_->setObjectName(QStringLiteral("beforeLabel"));
    AddLabelledRow(*form, QStringLiteral("Deviation before:"), before_);
    // Two lines, so that a reason why the fit cannot start fits.
    deviation_ = new QLabel(this);
    deviation_->setObjectName(QStringLiteral("deviationLabel"));
    deviation_->setWordWrap(true);
    deviation_->setMinimumHeight(2 * deviation_->fontMetrics().lineSpacing());
    deviation_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    AddLabelledRow(*form, QStringLiteral("Deviation now:"), deviation_);
    FinishOkCancelDialog(*this, form);
    ok_ = findChild<QPushButton*>(QStringLiteral("okButton"));
    setMinimumWidth(420);
}

// A frequency of the range steps as the filters' frequencies do.
VFloatSpinButton* COptimiseDlg::AddFrequencyField(QFormLayout& form, const QString& label,
                                                  const QString& name, double hz) {
    auto* field = new VFloatSpinButton(this);
    field->setObjectName(name);
    field->SetRange(kOptimiseLowestHz, kOptimiseHighestHz, kFrequencyStep, kRangeDecimals);
    field->SetStepRatio(kFrequencyStepRatio);
    field->SetValue(hz);
    AddLabelledRow(form, label, field);
    return field;
}

OptimiseOptions COptimiseDlg::ChosenOptions() const {
    OptimiseOptions options = defaults_;
    options.fromHz = from_->Value();
    options.toHz = to_->Value();
    options.equalisers = equalisers_->Value();
    options.gain = gain_->isChecked();
    options.crossovers = crossovers_->isChecked();
    options.maxBoostDb = largerBoosts_->isChecked() ? kMaxEqGainDb : kDefaultMaxBoostDb;
    return options;
}

void COptimiseDlg::Start() {
    if (Busy() || !hasProblem_) {
        return;
    }
    const OptimiseOptions options = ChosenOptions();
    if (!(options.fromHz < options.toHz)) {
        SayNow(QStringLiteral("The range must run from a lower to a higher "
                              "frequency."));
        return;
    }
    PutBandBack();
    SetEditable(false);
    progress_->setValue(0);
    stop_ = std::stop_source();
    worker_.reset(QThread::create([this, options, stop = stop_.get_token()] {
        const auto report = [this](const OptimiseProgress& progress) {
            QMetaObject::invokeMethod(
                this, [this, progress] { ShowProgress(progress); }, Qt::QueuedConnection);
        };
        const OptimiseResult result =
            OptimiseBand(problem_, options, BandPassesHardwareCheck, report, stop);
        QMetaObject::invokeMethod(
            this, [this, result] { Ended(result); }, Qt::QueuedConnection);
    }));
    worker_->start();
}

void COptimiseDlg::ShowProgress(const OptimiseProgress& progress) {
    if (!Busy()) {
        return;
    }
    progress_->setRange(0, progress.steps);
    progress_->setValue(progress.step);
    SayNow(QStringLiteral("so far %1").arg(Described(progress.deviation)));
}

// A reason why the fit cannot start may wrap onto more lines than the
// dialog has room for: the dialog grows rather than cut it off.
void COptimiseDlg::SayNow(const QString& text) {
    deviation_->setText(text);
    layout()->activate();
    const int needed = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width())
                                                     : layout()->totalSizeHint().height();
    if (needed > height()) {
        resize(width(), needed);
    }
}

void COptimiseDlg::Ended(const OptimiseResult& result) {
    if (!Busy()) {
        return;
    }
    worker_->wait();
    worker_.reset();
    SetEditable(true);
    progress_->setValue(progress_->maximum());
    if (result.outcome != OptimiseOutcome::Refused) {
        before_->setText(Described(result.before));
    }
    switch (result.outcome) {
    case OptimiseOutcome::Fitted:
        design_.bands[static_cast<std::size_t>(band_)].SetSettings(result.band);
        changed_();
        SayNow(QStringLiteral("%1, %2 equalisers set")
                   .arg(Described(result.after))
                   .arg(result.equalisers.size()));
        break;
    case OptimiseOutcome::NoImprovement:
        SayNow(QStringLiteral("no closer: nothing the optimiser may change brings "
                              "the band nearer its target."));
        break;
    case OptimiseOutcome::Refused:
        SayNow(QString::fromStdString(result.reason));
        break;
    case OptimiseOutcome::Cancelled:
        break;
    }
    emit fitEnded();
}

void COptimiseDlg::StopWork() {
    if (Busy()) {
        stop_.request_stop();
        worker_->wait();
        worker_.reset();
    }
}

void COptimiseDlg::PutBandBack() {
    CBand& band = design_.bands[static_cast<std::size_t>(band_)];
    if (!(band.Settings() == original_)) {
        band.SetSettings(original_);
        changed_();
    }
}

void COptimiseDlg::reject() {
    StopWork();
    PutBandBack();
    QDialog::reject();
}

void COptimiseDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
    reject();
}

void COptimiseDlg::SetEditable(bool editable) {
    for (VSpinButtonBase* field :
         {static_cast<VSpinButtonBase*>(from_), static_cast<VSpinButtonBase*>(to_),
          static_cast<VSpinButtonBase*>(equalisers_)}) {
        field->Enable(editable);
    }
    for (QWidget* control : {static_cast<QWidget*>(gain_), static_cast<QWidget*>(crossovers_),
                             static_cast<QWidget*>(largerBoosts_), static_cast<QWidget*>(start_),
                             static_cast<QWidget*>(ok_)}) {
        control->setEnabled(editable);
    }
}

} // namespace kv
