#include "levels/gui/leveldiagramarea.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "levels/leveldiagram.h"
#include "widgets/conversions.h"
#include "widgets/guardedaction.h"

namespace vantrel {

namespace {

// Shown a little larger than 15 twips to the pixel: the levels of H lie close.
constexpr double twipsPerPixel = 12;
constexpr double fontTwips = 140;  // leaves room for "aJ" left of "-10.0-"
// The bar of a marker, inside the band that reacts to the pointer.
constexpr double barTop = 150, barHeight = 30;
constexpr double tickLeft = 110, tickWidth = 30, tickTop = 30;

void drawBar(QPainter& p, double left, double top, const QColor& color, bool tick) {
    p.fillRect(QRectF(left, top + barTop, markerHitWidth, barHeight), color);
    if (tick) p.fillRect(QRectF(left + tickLeft, top + tickTop, tickWidth, barTop + barHeight - tickTop), color);
}

}  // namespace

LevelDiagramArea::LevelDiagramArea(LevelDiagram& diagram, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), diagram_(diagram), dialogs_(dialogs) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    font_ = font();
    font_.setPixelSize(static_cast<int>(fontTwips));
}

QSize LevelDiagramArea::sizeHint() const {
    return {static_cast<int>(levelAreaWidth / twipsPerPixel), static_cast<int>(levelAreaHeight / twipsPerPixel)};
}

QSize LevelDiagramArea::minimumSizeHint() const { return sizeHint() * 2 / 3; }

QTransform LevelDiagramArea::toPixels() const {
    // One scale for both directions, so texts and bars keep their shape;
    // the area is centred across and kept at the top of what the layout gave.
    const double scale = std::max(1e-3, std::min(width() / levelAreaWidth, height() / levelAreaHeight));
    QTransform t;
    t.translate((width() - levelAreaWidth * scale) / 2, 0);
    t.scale(scale, scale);
    return t;
}

QPointF LevelDiagramArea::twipsAt(const QPointF& pixels) const { return toPixels().inverted().map(pixels); }

double LevelDiagramArea::textWidth(const QString& text) const {
    return QFontMetricsF(font_).horizontalAdvance(text);
}

void LevelDiagramArea::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.setTransform(toPixels());
    const QRectF area(0, 0, levelAreaWidth, levelAreaHeight);
    p.fillRect(area, isEnabled() ? Qt::white : QColor(245, 245, 245));
    // Levels of large charges lie far below: the picture stays in its area.
    p.setClipRect(area);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(font_);
    const double ascent = QFontMetricsF(font_).ascent();

    if (!diagram_.rule.empty()) {
        QPen pen(QColor(160, 160, 160));
        pen.setCosmetic(true);
        pen.setStyle(Qt::DashLine);
        p.setPen(pen);
        const double zeroLevel = LevelDiagram::levelY(1, 0) + barTop + barHeight / 2;
        p.drawLine(QPointF(800, zeroLevel), QPointF(levelAreaWidth - 100, zeroLevel));
    }

    p.setPen(Qt::black);
    for (const AxisLabel& label : diagram_.axisLabels)
        if (label.visible) p.drawText(QPointF(label.left, label.top + ascent), QString::fromStdString(label.caption));

    for (const auto& column : diagram_.columns) {
        for (std::size_t k = 1; k < column.size(); ++k) {
            const LevelMarker& m = column[k];
            if (!m.visible || m.top > levelAreaHeight) continue;
            drawBar(p, m.left, m.top, qColor(m.color), m.selected());
        }
    }

    const BareLevelMarker& bare = diagram_.bareLevel;
    if (bare.visible && bare.top <= levelAreaHeight) {
        drawBar(p, bare.left, bare.top, Qt::black, true);
        p.setPen(Qt::black);
        p.drawText(QPointF(bare.left + markerHitWidth + 60, bare.top + barTop + barHeight),
                   QStringLiteral("n=%1").arg(bare.n));
    }

    if (hasFocus()) {
        QPen pen(palette().highlight().color());
        pen.setCosmetic(true);
        pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(area.adjusted(15, 15, -15, -15));
    }
}

void LevelDiagramArea::act(const std::function<void()>& action) {
    runGuarded(dialogs_, action);
    if (changed) changed();
    update();
}

void LevelDiagramArea::pointerMoved(const QPointF& pixels) {
    const QPointF at = twipsAt(pixels);
    diagram_.pointerMove(at.x(), at.y());
    const std::string& tag = diagram_.hoveredTag;
    setCursor(tag.empty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
    // The state under the pointer, without its marker number.
    const std::size_t colon = tag.find(':');
    setToolTip(colon == std::string::npos ? QString() : QString::fromStdString(tag.substr(colon + 1)).trimmed());
}

void LevelDiagramArea::mouseMoveEvent(QMouseEvent* e) {
    const std::string before = diagram_.hoveredTag;
    pointerMoved(e->position());
    if (diagram_.hoveredTag != before && changed) changed();
}

void LevelDiagramArea::mousePressEvent(QMouseEvent* e) {
    setFocus(Qt::MouseFocusReason);
    act([&] {
        // A press is meant where it lands, even right after a key.
        diagram_.skipNextPointerMove = false;
        pointerMoved(e->position());
        diagram_.pointerPress();
    });
}

void LevelDiagramArea::mouseReleaseEvent(QMouseEvent* e) {
    act([&] {
        pointerMoved(e->position());
        diagram_.pointerRelease();
    });
}

void LevelDiagramArea::leaveEvent(QEvent*) {
    // Outside the area no marker is under the pointer.
    if (diagram_.skipNextPointerMove) return;
    diagram_.hoveredTag.clear();
    unsetCursor();
    setToolTip(QString());
}

void LevelDiagramArea::keyPressEvent(QKeyEvent* e) {
    LevelArrowKey key;
    switch (e->key()) {
    case Qt::Key_Left:
        key = LevelArrowKey::Left;
        break;
    case Qt::Key_Right:
        key = LevelArrowKey::Right;
        break;
    case Qt::Key_Up:
        key = LevelArrowKey::Up;
        break;
    case Qt::Key_Down:
        key = LevelArrowKey::Down;
        break;
    default:
        QWidget::keyPressEvent(e);
        return;
    }
    act([&] { diagram_.arrowKey(key); });
}

}  // namespace vantrel
