// The diagram surface of the level window: draws the axis and the markers
// of the plain diagram in twips through a painter transform, and hands the
// pointer and the arrow keys to the diagram in the same units.
#pragma once

#include <QFont>
#include <QTransform>
#include <QWidget>

#include <functional>

namespace vantrel {

class Dialogs;
class LevelDiagram;

class LevelDiagramArea : public QWidget {
public:
    // An exception a pointer or key action throws is shown through dialogs.
    LevelDiagramArea(LevelDiagram& diagram, Dialogs& dialogs, QWidget* parent = nullptr);

    // Runs after every pointer or key event the diagram took.
    std::function<void()> changed;

    // Twips to widget pixels, for the size the area has now.
    QTransform toPixels() const;
    QPointF pixelsOf(double x, double y) const { return toPixels().map(QPointF(x, y)); }
    // Width of a text in the diagram's font, in twips.
    double textWidth(const QString& text) const;
    const QFont& diagramFont() const { return font_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void leaveEvent(QEvent*) override;

private:
    QPointF twipsAt(const QPointF& pixels) const;
    void pointerMoved(const QPointF& pixels);
    void act(const std::function<void()>& action);

    LevelDiagram& diagram_;
    Dialogs& dialogs_;
    QFont font_;  // sized in twips
};

}  // namespace vantrel
