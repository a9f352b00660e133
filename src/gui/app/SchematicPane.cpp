#include "app/SchematicPane.h"

#include "app/WarningColours.h"
#include "session/DesignSession.h"
#include "session/Schematic.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMimeData>
#include <QPainter>
#include <QStyleOptionButton>
#include <QToolTip>
#include <QUrl>
#include <map>
#include <tuple>

namespace kv {
namespace {

const QColor kBackground(220, 230, 240);
const QColor kInk(32, 32, 96);
const QColor kFaceTop(255, 255, 255);
const QColor kFaceBottom(226, 234, 244);
const QColor kFaceEdge(128, 144, 176);
const QColor kInUseTop(255, 247, 226);
const QColor kInUseBottom(250, 224, 168);
const QColor kInUseEdge(196, 144, 56);
const QColor kSelectedEdge(32, 32, 96);
const QColor kWarningTop(255, 236, 232);
const QColor kWarningBottom(246, 178, 168);
const QColor kWarningEdge(192, 24, 24);
const QColor kCautionTop(246, 236, 255);
const QColor kCautionBottom(214, 190, 246);

constexpr int kTextLeft = 3;
constexpr int kTextRightInset = 4;
constexpr int kLineStep = 11;
constexpr int kLabelGap = 4;
constexpr int kCheckSize = 13;

QFont NormalFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    return font;
}

QFont HeavyFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    font.setWeight(QFont::Black);
    return font;
}

QFont SmallFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(10);
    return font;
}

// A text of the Input block in the normal font, or smaller where the face
// would cut it off ("G: -14.5dB"): it ends inside the face's edge.
void DrawFittedText(QPainter& painter, int x, int y, int right, const QString& text) {
    constexpr int kSmallestPixels = 8;
    QFont font = NormalFont();
    while (font.pixelSize() > kSmallestPixels &&
           QFontMetrics(font).horizontalAdvance(text) > right - x) {
        font.setPixelSize(font.pixelSize() - 1);
    }
    painter.save();
    painter.setFont(font);
    painter.drawText(QRect(x, y, right - x, QFontMetrics(font).height()),
                     Qt::AlignLeft | Qt::AlignTop, text);
    painter.restore();
}

// The sign of reversed polarity, a circle struck through, in the face's
// top left corner before the label.
void DrawPolarityMark(QPainter& painter, const QRect& face, int shift) {
    constexpr double kDiameter = 9.0;
    const QRectF circle(face.left() + shift + 4, face.top() + shift + 4, kDiameter, kDiameter);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kInk, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circle);
    painter.drawLine(circle.bottomLeft() + QPointF(-1, 1), circle.topRight() + QPointF(1, -1));
    painter.restore();
}

// Texts stand at their top edge, as the layout gives their positions.
void DrawTextAt(QPainter& painter, int x, int y, const QString& text,
                Qt::Alignment horizontal = Qt::AlignLeft) {
    const int width = painter.fontMetrics().horizontalAdvance(text) + 2;
    const int left = horizontal == Qt::AlignRight ? x - width : x;
    painter.drawText(QRect(left, y, width, painter.fontMetrics().height()),
                     horizontal | Qt::AlignTop, text);
}

QString FaceSummary(const BlockUsage& usage) {
    if (usage.items > 0 && usage.itemsOn > 0) {
        return QStringLiteral("%1 of %2").arg(usage.itemsOn).arg(usage.items);
    }
    return {};
}

QString BiquadBadge(const BlockUsage& usage) {
    return usage.biquads > 0 ? QStringLiteral("%1 bq").arg(usage.biquads) : QString();
}

// How a block's face looks: idle, with its filters in use, refused by the
// hardware check, or warned of by the drivers' safety check.
enum class FaceLook { Idle, InUse, Warning, Caution };

struct FaceColours {
    QColor top;
    QColor bottom;
    QColor edge;
};

FaceColours ColoursOf(FaceLook look) {
    switch (look) {
    case FaceLook::InUse:
        return {kInUseTop, kInUseBottom, kInUseEdge};
    case FaceLook::Warning:
        return {kWarningTop, kWarningBottom, kWarningEdge};
    case FaceLook::Caution:
        return {kCautionTop, kCautionBottom, kCautionEdge};
    case FaceLook::Idle:
        break;
    }
    return {kFaceTop, kFaceBottom, kFaceEdge};
}

// The face of a block, drawn once per look and pixel ratio: the same few
// faces are painted 39 times on every change.
QPixmap BlockFace(FaceLook look, bool selected, qreal ratio) {
    static std::map<std::tuple<FaceLook, bool, qreal>, QPixmap> faces;
    QPixmap& face = faces[{look, selected, ratio}];
    if (!face.isNull()) {
        return face;
    }
    face = QPixmap(QSize(kBlockSize, kBlockSize) * ratio);
    face.setDevicePixelRatio(ratio);
    face.fill(Qt::transparent);
    QPainter painter(&face);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(0, 0, kBlockSize, kBlockSize);
    const FaceColours colours = ColoursOf(look);
    QLinearGradient fill(area.topLeft(), area.bottomLeft());
    fill.setColorAt(0.0, colours.top);
    fill.setColorAt(1.0, colours.bottom);
    painter.setBrush(fill);
    painter.setPen(
        QPen(selected ? kSelectedEdge : colours.edge,
             selected || look == FaceLook::Warning || look == FaceLook::Caution ? 2.0 : 1.0));
    const qreal inset = selected ? 1.0 : 0.5;
    painter.drawRoundedRect(area.adjusted(inset, inset, -inset, -inset), 5, 5);
    return face;
}

} // namespace

SchematicPane::SchematicPane(DesignSession& session, Schematic& schematic, QWidget* parent)
    : QWidget(parent), session_(session), schematic_(schematic) {
    setMinimumHeight(270);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAcceptDrops(true);
}

void SchematicPane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    const std::vector<SchematicRow> rows = schematic_.Rows(rect());
    for (std::size_t b = 0; b < rows.size(); ++b) {
        PaintRow(painter, static_cast<int>(b), rows[b]);
    }
    if (hasFocus()) {
        const QRect focus = SelectedFace();
        painter.setPen(QPen(kInk, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(focus.isNull() ? rect().adjusted(1, 1, -2, -2)
                                        : focus.adjusted(-3, -3, 2, 2));
    }
}

void SchematicPane::PaintRow(QPainter& painter, int band, const SchematicRow& row) const {
    const CBand& data = session_.Document().Design().bands[static_cast<std::size_t>(band)];
    painter.setPen(kInk);
    if (band > 0) {
        painter.drawLine(rect().left() + kTextLeft, row.top, rect().right() - kTextRightInset,
                         row.top);
    }
    painter.setFont(NormalFont());
    DrawTextAt(painter, rect().left() + kTextLeft, row.top + 2,
               QString::fromStdString(data.GetName()) + QLatin1Char(':'));
    const bool overBudget = !session_.Document().Warnings().OfBiquadBudget(band).empty();
    if (overBudget) {
        painter.setPen(kWarningInk);
        painter.setFont(HeavyFont());
    }
    DrawTextAt(painter, rect().right() - kTextRightInset, row.top + 2,
               QString::fromStdString(FreeBiquadsText(data.FreeBiquads())), Qt::AlignRight);
    painter.setPen(kInk);
    painter.setFont(NormalFont());
    painter.drawLine(rect().left() + 10, row.midY, rect().right() - 20, row.midY);
    for (int k = 0; k < kBlockKinds; ++k) {
        PaintBlock(painter, band, static_cast<BlockKind>(k),
                   row.blocks[static_cast<std::size_t>(k)]);
    }
}

void SchematicPane::PaintBlock(QPainter& painter, int band, BlockKind kind,
                               const QRect& face) const {
    const BlockSelection& selection = session_.View().Selection();
    const bool selected = selection.band == band && selection.kind == static_cast<int>(kind);
    const int shift = selected ? 1 : 0;
    const CBand& data = session_.Document().Design().bands[static_cast<std::size_t>(band)];
    const BlockUsage usage = UsageOf(data, kind);
    const bool tinted = usage.inUse && kind != BlockKind::Input && kind != BlockKind::Delay;
    const bool refused = !session_.Document().Warnings().OfBlock(band, kind).empty();
    const bool cautioned = !session_.Document().SafetyWarnings().OfBlock(band, kind).empty();
    const FaceLook look = refused     ? FaceLook::Warning
                          : cautioned ? FaceLook::Caution
                          : tinted    ? FaceLook::InUse
                                      : FaceLook::Idle;

    painter.drawPixmap(face.topLeft(), BlockFace(look, selected, devicePixelRatioF()));

    painter.setPen(kInk);
    painter.setFont(HeavyFont());
    const BlockLabel label = LabelOf(kind);
    int y = face.top() + shift + 3;
    const QRect line(face.left() + shift, y, face.width(), painter.fontMetrics().height());
    painter.drawText(line, Qt::AlignHCenter | Qt::AlignTop, QString::fromLatin1(label.first));
    if (label.second != nullptr) {
        painter.drawText(line.translated(0, kLineStep), Qt::AlignHCenter | Qt::AlignTop,
                         QString::fromLatin1(label.second));
        y += kLineStep;
    }
    y += kLineStep + kLabelGap;

    painter.setFont(NormalFont());
    if (kind == BlockKind::Input) {
        PaintInputTexts(painter, band, face, shift);
    } else if (kind == BlockKind::Delay) {
        DrawTextAt(painter, face.left() + shift + 6, y + kLineStep,
                   QString::fromStdString(DelayText(data.delay)));
    } else {
        const QRect lower(face.left() + shift, y, face.width(), painter.fontMetrics().height());
        painter.drawText(lower, Qt::AlignHCenter | Qt::AlignTop, FaceSummary(usage));
        painter.setFont(SmallFont());
        painter.drawText(QRect(face.left() + shift, face.bottom() - 15, face.width(), 13),
                         Qt::AlignHCenter | Qt::AlignVCenter, BiquadBadge(usage));
    }
}

void SchematicPane::PaintInputTexts(QPainter& painter, int band, const QRect& face,
                                    int shift) const {
    const CBand& data = session_.Document().Design().bands[static_cast<std::size_t>(band)];
    const int y = face.top() + shift + 3 + kLineStep + kLabelGap;
    const int left = face.left() + shift + 6;
    const int right = face.right() - 1;
    DrawFittedText(painter, left, y, right, QString::fromStdString(RoutingText(data.input)));
    DrawFittedText(painter, left, y + kLineStep, right,
                   QString::fromStdString(GainText(data.gain)));
    if (data.reversedPhase) {
        DrawPolarityMark(painter, face, shift);
    }
    const std::vector<SchematicRow> rows = schematic_.Rows(rect());
    const QRect mute = rows[static_cast<std::size_t>(band)].mute;
    QStyleOptionButton box;
    box.rect = QRect(mute.topLeft(), QSize(kCheckSize, kCheckSize));
    box.state = QStyle::State_Enabled | (data.muted ? QStyle::State_On : QStyle::State_Off);
    style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, &painter, this);
    DrawTextAt(painter, face.left() + 22, face.top() + 43, QStringLiteral("Muted"));
}

// Above the blocks of a band that needs more biquads than it has, the
// tooltip says so.
QString SchematicPane::BudgetToolTipAt(const std::vector<SchematicRow>& rows,
                                       const QPoint& point) const {
    for (std::size_t b = 0; b < rows.size(); ++b) {
        if (point.y() >= rows[b].top && point.y() < rows[b].blockTop) {
            QStringList sentences;
            for (const std::string& sentence :
                 session_.Document().Warnings().OfBiquadBudget(static_cast<int>(b))) {
                sentences << QString::fromStdString(sentence);
            }
            return sentences.join(QLatin1Char('\n'));
        }
    }
    return {};
}

QRect SchematicPane::SelectedFace() const {
    const BlockSelection& selection = session_.View().Selection();
    const std::vector<SchematicRow> rows = schematic_.Rows(rect());
    if (selection.band < 0 || selection.band >= static_cast<int>(rows.size()) ||
        selection.kind < 0) {
        return {};
    }
    return rows[static_cast<std::size_t>(selection.band)]
        .blocks[static_cast<std::size_t>(selection.kind)];
}

void SchematicPane::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) {
        return;
    }
    if (schematic_.HitTest(rect(), event->position().toPoint())) {
        session_.ViewChanged();
    }
}

void SchematicPane::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && session_.View().Selection().kind >= 0) {
        schematic_.OpenSelectedBlock();
    }
}

void SchematicPane::keyPressEvent(QKeyEvent* event) {
    bool moved = false;
    switch (event->key()) {
    case Qt::Key_Left:
        moved = schematic_.MoveSelection(0, -1);
        break;
    case Qt::Key_Right:
        moved = schematic_.MoveSelection(0, 1);
        break;
    case Qt::Key_Up:
        moved = schematic_.MoveSelection(-1, 0);
        break;
    case Qt::Key_Down:
        moved = schematic_.MoveSelection(1, 0);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        schematic_.OpenSelectedBlock();
        return;
    case Qt::Key_Space:
        if (session_.View().Selection().kind == static_cast<int>(BlockKind::Input)) {
            schematic_.ToggleMute(session_.View().Selection().band);
        }
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (moved) {
        session_.ViewChanged();
    }
}

// The menu key and Shift+F10 open the menu at the selected block.
void SchematicPane::contextMenuEvent(QContextMenuEvent* event) {
    if (session_.View().Selection().kind < 0) {
        return;
    }
    const QPoint at = event->reason() == QContextMenuEvent::Keyboard
                          ? mapToGlobal(SelectedFace().center())
                          : event->globalPos();
    emit menuRequested(at);
}

bool SchematicPane::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = ToolTipAt(help->pos());
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), text, this);
        }
        return true;
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        update();
    }
    return QWidget::event(event);
}

int SchematicPane::DriverBandUnder(const QPoint& point, const QMimeData& data) const {
    const QList<QUrl> urls = data.urls();
    if (urls.size() != 1 || !urls.front().isLocalFile() ||
        urls.front().toLocalFile().endsWith(QStringLiteral(".ksv"), Qt::CaseInsensitive)) {
        return -1;
    }
    const SchematicHit hit = HitAt(schematic_.Rows(rect()), point);
    return hit.kind == static_cast<int>(BlockKind::Driver) ? hit.band : -1;
}

void SchematicPane::dragEnterEvent(QDragEnterEvent* event) {
    if (DriverBandUnder(event->position().toPoint(), *event->mimeData()) >= 0) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void SchematicPane::dragMoveEvent(QDragMoveEvent* event) {
    if (DriverBandUnder(event->position().toPoint(), *event->mimeData()) >= 0) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void SchematicPane::dropEvent(QDropEvent* event) {
    const int band = DriverBandUnder(event->position().toPoint(), *event->mimeData());
    if (band < 0) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit curveDropped(band, std::filesystem::path(
                                event->mimeData()->urls().front().toLocalFile().toStdU16String()));
}

QString SchematicPane::ToolTipAt(const QPoint& point) const {
    const std::vector<SchematicRow> rows = schematic_.Rows(rect());
    const SchematicHit hit = HitAt(rows, point);
    if (hit.kind < 0) {
        return BudgetToolTipAt(rows, point);
    }
    const CBand& data = session_.Document().Design().bands[static_cast<std::size_t>(hit.band)];
    const auto kind = static_cast<BlockKind>(hit.kind);
    QString tip =
        QStringLiteral("%1 of %2: %3")
            .arg(QString::fromStdString(BlockName(kind)), QString::fromStdString(data.GetName()),
                 QString::fromStdString(UsageText(UsageOf(data, kind))));
    for (const BlockWarnings* warnings :
         {&session_.Document().Warnings(), &session_.Document().SafetyWarnings()}) {
        for (const std::string& sentence : warnings->OfBlock(hit.band, kind)) {
            tip += QLatin1Char('\n') + QString::fromStdString(sentence);
        }
    }
    return tip;
}

} // namespace kv
