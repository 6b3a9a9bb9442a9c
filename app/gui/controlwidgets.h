// Small widgets and conversions the main window is built from.
#pragma once

#include <QColor>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QString>
#include <QToolButton>
#include <QHBoxLayout>
#include <QKeyEvent>

#include <cstdint>
#include <string>

#include "widgets/conversions.h"

namespace vantrel {


// Label captions may hold CR LF line breaks; one at the end would only
// push the next label down.
inline QString labelText(const std::string& s) {
    QString t = qs(s);
    t.remove(QLatin1Char('\r'));
    while (t.endsWith(QLatin1Char('\n'))) t.chop(1);
    return t;
}

// A label that can be clicked.
// Reached by Tab as links are: a focus frame shows where the keyboard is,
// Enter or Space acts as the click. Its accessible name is its caption.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(QWidget* parent = nullptr) : QLabel(parent) { setFocusPolicy(Qt::StrongFocus); }
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit clicked();
        QLabel::mouseReleaseEvent(e);
    }
    void keyPressEvent(QKeyEvent* e) override {
        const int k = e->key();
        if ((k == Qt::Key_Space || k == Qt::Key_Return || k == Qt::Key_Enter) && !e->isAutoRepeat()) {
            emit clicked();
            return;
        }
        QLabel::keyPressEvent(e);
    }
    void paintEvent(QPaintEvent* e) override {
        QLabel::paintEvent(e);
        if (!hasFocus()) return;
        // Drawn here: some styles draw no focus frame on a label.
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    void focusInEvent(QFocusEvent* e) override {
        QLabel::focusInEvent(e);
        update();
    }
    void focusOutEvent(QFocusEvent* e) override {
        QLabel::focusOutEvent(e);
        update();
    }
};

// The small spin arrows beside a text box: left steps down, right steps up,
// as the arrows of a scroll bar do.
class SpinArrows : public QWidget {
    Q_OBJECT
public:
    explicit SpinArrows(QWidget* parent = nullptr) : QWidget(parent) {
        setFocusPolicy(Qt::StrongFocus);
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(0);
        down = makeArrow(Qt::LeftArrow, -1);
        up = makeArrow(Qt::RightArrow, 1);
        row->addWidget(down);
        row->addWidget(up);
    }
    QToolButton* down = nullptr;
    QToolButton* up = nullptr;
signals:
    void stepped(int delta);

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Left || e->key() == Qt::Key_Down) emit stepped(-1);
        else if (e->key() == Qt::Key_Right || e->key() == Qt::Key_Up) emit stepped(1);
        else QWidget::keyPressEvent(e);
    }

private:
    QToolButton* makeArrow(Qt::ArrowType arrow, int delta) {
        auto* b = new QToolButton(this);
        b->setArrowType(arrow);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(18, 22);
        connect(b, &QToolButton::clicked, this, [this, delta] { emit stepped(delta); });
        return b;
    }
};

// The three small pictures of the plot options: sampled hits, the
// theoretical curve over spherical shells, and over circles in a plane.
class PlotIcon : public QWidget {
public:
    PlotIcon(int kind, QWidget* parent) : QWidget(parent), kind_(kind) { setFixedSize(44, 34); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(rect(), Qt::white);
        p.setPen(QColor(160, 160, 160));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        const double base = height() - 5;
        if (kind_ == 0) {
            p.setPen(QPen(QColor(0, 0, 255), 2));
            const int bars[] = {4, 12, 20, 23, 19, 14, 9, 6, 3};
            for (int i = 0; i < 9; ++i) p.drawLine(QPointF(6 + 4 * i, base), QPointF(6 + 4 * i, base - bars[i]));
            return;
        }
        QPainterPath curve;
        curve.moveTo(4, base);
        curve.cubicTo(12, base - 40, 20, base - 18, 40, base - 2);
        p.setPen(QPen(QColor(0, 0, 255), 1.5));
        p.drawPath(curve);
        p.setPen(QPen(QColor(255, 0, 0), 1));
        if (kind_ == 1) p.drawEllipse(QPointF(33, 10), 7, 7);
        else p.drawEllipse(QPointF(33, 10), 8, 3.5);
    }

private:
    int kind_;
};

}  // namespace vantrel
