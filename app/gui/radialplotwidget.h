// The radial plot surface (radialPlot): records what the plot code draws, in
// its own coordinates, and paints it scaled to the widget.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/radialview.h"

namespace vantrel {

class RadialPlotWidget : public QWidget, public PlotCanvas {
    Q_OBJECT
public:
    explicit RadialPlotWidget(QWidget* parent = nullptr);

    void clear() override;
    void setScale(double left, double right) override;
    void line(double x1, double y1, double x2, double y2, std::uint32_t color) override;
    void print(double x, double y, const std::string& text, std::uint32_t color) override;
    double textWidth(const std::string& text) override;
    void bar(double x, double left, double right, double y1, double y2, std::uint32_t color) override;
    void refresh() override { scheduleRepaint(); }

    // Draws the plot again after the size or the font changed: the text
    // widths and margins are different (the main window plugs it in).
    std::function<void()> redraw;

    // Asks for one repaint; many requests before the next paint cost one.
    void scheduleRepaint();

    // What is on the surface now (tests, and the picture dump).
    struct Line {
        double x1, y1, x2, y2;
        std::uint32_t color;
        // A histogram bar fills left..right; a plain line has no width.
        bool bar = false;
        double left = 0, right = 0;
    };
    struct Text {
        double x, y;
        QString text;
        std::uint32_t color;
    };
    const std::vector<Line>& lines() const { return lines_; }
    const std::vector<Text>& texts() const { return texts_; }
    double scaleLeft() const { return left_; }
    double scaleRight() const { return right_; }
    int paintCount() const { return paints_; }
    // Where a plot x lands on the widget, in pixels from its left edge.
    double pixelX(double x) const { return (x - left_) * xScale(); }
    double pixelY(double y) const { return y * yScale(); }

    QSize sizeHint() const override { return {640, 285}; }
    QSize minimumSizeHint() const override { return {320, 190}; }

protected:
    void paintEvent(QPaintEvent*) override;
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    // The plot is laid out in this widget's pixels: draw it again for a new size or font.
    void relayout();
    // Bottom of the drawing (y = 275, the tick labels' top) in pixels: the
    // labels below it need one line of text.
    double yScale() const;
    double xScale() const;
    int plotWidth() const;

    std::vector<Line> lines_;
    std::vector<Text> texts_;
    double left_ = 0, right_ = 600;
    bool pending_ = false;
    int paints_ = 0;
    QFontMetrics metrics_;
    std::unordered_map<std::string, int> widths_;  // text width in pixels
};

}  // namespace vantrel
