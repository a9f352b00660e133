#include "app/StartPanel.h"

#include "archive/PathText.h"
#include "session/DesignSession.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>
#include <vector>

namespace kv {
namespace {

constexpr const char* kExampleResource = ":/examples/three-way.ksv";
// A design file is a few kilobytes; the example is read whole.
constexpr qint64 kMaxExampleBytes = 1 << 20;

QPushButton* StartButton(const QString& text, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return button;
}

} // namespace

StartPanel::StartPanel(DesignSession& session, QWidget* parent)
    : QWidget(parent), session_(session), recent_(new QVBoxLayout) {
    setObjectName(QStringLiteral("startPanel"));
    auto* heading = new QLabel(
        QStringLiteral("<b>No design is open.</b> Start a new crossover, open a design file, or "
                       "look at the example first."),
        this);
    heading->setWordWrap(true);

    QPushButton* newDesign =
        StartButton(QStringLiteral("New design..."), QStringLiteral("startNewButton"), this);
    QPushButton* open =
        StartButton(QStringLiteral("Open..."), QStringLiteral("startOpenButton"), this);
    QPushButton* example = StartButton(QStringLiteral("Open the 3-way example"),
                                       QStringLiteral("startExampleButton"), this);
    connect(newDesign, &QPushButton::clicked, this, [this] { session_.New(); });
    connect(open, &QPushButton::clicked, this, [this] { session_.Load(); });
    connect(example, &QPushButton::clicked, this, &StartPanel::OpenExample);

    auto* column = new QVBoxLayout;
    column->addWidget(heading);
    column->addSpacing(6);
    for (QPushButton* button : {newDesign, open, example}) {
        column->addWidget(button);
    }
    column->addLayout(recent_);
    column->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addStretch(1);
    layout->addLayout(column, 2);
    layout->addStretch(1);
    Refresh();
}

void StartPanel::Refresh() {
    // The layout hands its items over; their widgets go once the event that
    // led here is over: a recent design's button may be in its own clicked().
    for (std::unique_ptr<QLayoutItem> item(recent_->takeAt(0)); item;
         item.reset(recent_->takeAt(0))) {
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
    }
    const std::vector<std::string>& recent = session_.RecentDesigns();
    if (recent.empty()) {
        return;
    }
    recent_->addSpacing(6);
    recent_->addWidget(new QLabel(QStringLiteral("Recent designs:"), this));
    for (const std::string& path : recent) {
        const QString file = QString::fromStdString(path);
        QPushButton* button =
            StartButton(QFileInfo(file).fileName(), QStringLiteral("startRecentButton"), this);
        button->setToolTip(file);
        connect(button, &QPushButton::clicked, this,
                [this, path] { session_.OpenFile(PathFromText(path)); });
        recent_->addWidget(button);
    }
}

void StartPanel::OpenExample() {
    QFile file(QString::fromLatin1(kExampleResource));
    std::vector<std::uint8_t> bytes;
    if (file.open(QIODevice::ReadOnly) && file.size() <= kMaxExampleBytes) {
        const QByteArray content = file.readAll();
        bytes.assign(content.begin(), content.end());
    }
    session_.OpenExample(bytes);
}

} // namespace kv
