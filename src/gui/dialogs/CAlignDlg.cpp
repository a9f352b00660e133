#include "dialogs/CAlignDlg.h"

#include "model/CConfiguration.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace kv {

// The two bands' sum before (grey) and after (blue) the alignment, and the
// targets' sum it follows (dashed), over the crossover's two octaves; each
// sum is drawn at its own mean level, as the deviation takes it.
class SumPlot : public QWidget {
public:
    explicit SumPlot(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("sumPlot"));
        setMinimumSize(360, 160);
    }

    void Show(const Alignment* alignment) {
        alignment_ = alignment;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().base());
        if (alignment_ == nullptr || alignment_->frequencies.size() < 2) {
            return;
        }
        painter.setRenderHint(QPainter::Antialiasing);
        const Alignment& a = *alignment_;
        const auto centred = [](const std::vector<double>& dB) {
            double mean = 0.0;
            for (const double v : dB) {
                mean += v;
            }
            mean /= static_cast<double>(dB.size());
            std::vector<double> out;
            for (const double v : dB) {
                out.push_back(v - mean);
            }
            return out;
        };
        const std::vector<double> before = centred(a.sumBeforeDb);
        const std::vector<double> after = centred(a.sumAfterDb);
        const std::vector<double> target = centred(a.targetDb);
        double range = 3.0;
        for (const std::vector<double>* curve : {&before, &after, &target}) {
            for (const double v : *curve) {
                range = std::max(range, std::min(std::abs(v), 30.0));
            }
        }
        const double lnLow = std::log(a.frequencies.front());
        const double lnSpan = std::log(a.frequencies.back()) - lnLow;
        const auto draw = [&](const std::vector<double>& curve, const QPen& pen) {
            QPainterPath path;
            for (std::size_t k = 0; k < curve.size(); ++k) {
                const QPointF at((std::log(a.frequencies[k]) - lnLow) / lnSpan * (width() - 1),
                                 (0.5 - std::clamp(curve[k], -range, range) / (2.0 * range)) *
                                     (height() - 1));
                k == 0 ? path.moveTo(at) : path.lineTo(at);
            }
            painter.setPen(pen);
            painter.drawPath(path);
        };
        draw(target, QPen(palette().text().color(), 1.0, Qt::DashLine));
        draw(before, QPen(Qt::gray, 1.5));
        draw(after, QPen(QColor(0, 90, 200), 2.0));
    }

private:
    const Alignment* alignment_ = nullptr;
};

CAlignDlg::CAlignDlg(const CConfiguration& design, int band, QWidget* parent)
    : QDialog(parent), design_(design), band_(band) {
    setObjectName(QStringLiteral("alignDialog"));
    setWindowTitle(QStringLiteral("Align"));
    partner_ = new QComboBox(this);
    partner_->setObjectName(QStringLiteral("partnerCombo"));
    for (int other = 0; other < design.numBands; ++other) {
        if (other != band) {
            partner_->addItem(
                QString::fromStdString(design.bands[static_cast<std::size_t>(other)].GetName()),
                other);
        }
    }
    // The neighbour the band shares a crossover with comes first.
    for (int i = 0; i < partner_->count(); ++i) {
        const int other = partner_->itemData(i).toInt();
        if (SharedCrossoverHz(design.bands[static_cast<std::size_t>(other)],
                              design.bands[static_cast<std::size_t>(band)]) > 0.0) {
            partner_->setCurrentIndex(i);
            break;
        }
    }
    connect(partner_, &QComboBox::currentIndexChanged, this, &CAlignDlg::PartnerChosen);
    result_ = new QLabel(this);
    result_->setObjectName(QStringLiteral("alignResult"));
    result_->setWordWrap(true);
    plot_ = new SumPlot(this);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Apply"));
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout;
    auto* label = new QLabel(
        QStringLiteral("Align %1 &with")
            .arg(QString::fromStdString(design.bands[static_cast<std::size_t>(band)].GetName())),
        this);
    label->setBuddy(partner_);
    form->addRow(label, partner_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(result_);
    layout->addWidget(plot_, 1);
    layout->addWidget(new QLabel(QStringLiteral("Grey: the sum before; blue: after; dashed: the "
                                                "targets' sum, each at its mean level."),
                                 this));
    layout->addWidget(buttons_);
    PartnerChosen();
}

void CAlignDlg::PartnerChosen() {
    const int partner = partner_->currentData().toInt();
    outcome_ = partner_->count() > 0 ? FindAlignment(design_, partner, band_, found_)
                                     : AlignOutcome::NoSuchBand;
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(Found());
    plot_->Show(Found() ? &found_ : nullptr);
    if (!Found()) {
        result_->setText(QString::fromStdString(DescribeAlignOutcome(outcome_, partner, band_)));
        return;
    }
    result_->setText(
        QStringLiteral("Crossover: %1 Hz\nDelay: %2 ms (%3 samples), polarity %4\n"
                       "Deviation from the targets' sum: %5 dB before, %6 dB after")
            .arg(found_.crossoverHz, 0, 'f', 0)
            .arg(found_.delay * 1e3, 0, 'f', 4)
            .arg(std::lround(found_.delay * design_.sampleRate))
            .arg(found_.reversedPhase ? QStringLiteral("reversed") : QStringLiteral("normal"))
            .arg(found_.deviationBeforeDb, 0, 'f', 2)
            .arg(found_.deviationAfterDb, 0, 'f', 2));
}

} // namespace kv
