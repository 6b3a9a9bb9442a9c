#include "app/gui/radialplotwidget.h"

#include <QEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

#include "widgets/conversions.h"

namespace vantrel {

namespace {

// The plot code works with 275 units from the top to the tick labels, which
// hang one text line below that.
constexpr double labelTop = 275;

}  // namespace

RadialPlotWidget::RadialPlotWidget(QWidget* parent) : QWidget(parent), metrics_(font()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

int RadialPlotWidget::plotWidth() const {
    // Before the first layout the widget has no width yet; the size it is
    // going to have is the best guess for text widths.
    return std::max(width() > 1 ? width() : sizeHint().width(), 10);
}

double RadialPlotWidget::xScale() const { return plotWidth() / (right_ - left_); }

double RadialPlotWidget::yScale() const {
    const int h = height() > 1 ? height() : sizeHint().height();
    return std::max(1.0, h - metrics_.height() - 2.0) / labelTop;
}

void RadialPlotWidget::scheduleRepaint() {
    if (pending_) return;
    pending_ = true;
    update();
}

void RadialPlotWidget::clear() {
    lines_.clear();
    texts_.clear();
    scheduleRepaint();
}

void RadialPlotWidget::setScale(double left, double right) {
    if (right == left) right = left + 1;
    left_ = left;
    right_ = right;
    scheduleRepaint();
}

void RadialPlotWidget::line(double x1, double y1, double x2, double y2, std::uint32_t color) {
    lines_.push_back({x1, y1, x2, y2, color});
    scheduleRepaint();
}

void RadialPlotWidget::print(double x, double y, const std::string& text, std::uint32_t color) {
    texts_.push_back({x, y, QString::fromStdString(text), color});
    scheduleRepaint();
}

void RadialPlotWidget::bar(double x, double left, double right, double y1, double y2, std::uint32_t color) {
    lines_.push_back({x, y1, x, y2, color, true, left, right});
    scheduleRepaint();
}

double RadialPlotWidget::textWidth(const std::string& text) {
    auto it = widths_.find(text);
    if (it == widths_.end())
        it = widths_.emplace(text, metrics_.horizontalAdvance(QString::fromStdString(text))).first;
    return it->second / xScale();
}

void RadialPlotWidget::relayout() {
    if (redraw) redraw();
}

void RadialPlotWidget::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        metrics_ = QFontMetrics(font());
        widths_.clear();
        relayout();
    }
}

void RadialPlotWidget::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (e->size().width() != e->oldSize().width()) relayout();
    else scheduleRepaint();
}

void RadialPlotWidget::paintEvent(QPaintEvent*) {
    pending_ = false;
    ++paints_;
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const double sx = xScale(), sy = yScale();
    auto px = [&](double x) { return (x - left_) * sx; };
    QPen pen;
    pen.setCosmetic(true);
    pen.setWidth(1);
    std::uint32_t current = 0;
    pen.setColor(qColor(current));
    p.setPen(pen);
    for (const Line& l : lines_) {
        if (l.color != current) {
            current = l.color;
            pen.setColor(qColor(current));
            p.setPen(pen);
        }
        if (l.bar) {
            // At least a pixel wide, however many bins share it.
            const double left = px(l.left), right = std::max(px(l.right), left + 1);
            const double top = std::min(l.y1, l.y2) * sy, bottom = std::max(l.y1, l.y2) * sy;
            p.fillRect(QRectF(QPointF(left, top), QPointF(right, bottom)), pen.color());
        } else {
            p.drawLine(QPointF(px(l.x1), l.y1 * sy), QPointF(px(l.x2), l.y2 * sy));
        }
    }
    const int ascent = metrics_.ascent();
    for (const Text& t : texts_) {
        p.setPen(qColor(t.color));
        // The position is the text's top left corner.
        p.drawText(QPointF(px(t.x), t.y * sy + ascent), t.text);
    }
}

}  // namespace vantrel
