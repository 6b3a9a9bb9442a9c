// The radial plot at the size the window gives it, at every extent; also
// run with QT_SCALE_FACTOR=2.
#include <QFontMetrics>

#include <cmath>

#include "app/gui/orbitalviewpanel.h"
#include "app/gui/radialplotwidget.h"
#include "guitest.h"

namespace vantrel::test {
namespace {

// Every label centred on its long tick (within a pixel), "0" inside the
// left edge, "A" after the last label and inside the right edge.
::testing::AssertionResult labelsOnTicks(const RadialPlotWidget& plot) {
    const QFontMetrics metrics(plot.font());
    std::vector<double> ticks;
    for (const auto& l : plot.lines())
        if (!l.bar && l.x1 == l.x2 && l.y1 == 250 && l.y2 == 275) ticks.push_back(plot.pixelX(l.x1));
    const auto& texts = plot.texts();
    if (texts.size() < 2 || texts.size() != ticks.size() + 1)
        return ::testing::AssertionFailure() << texts.size() << " texts for " << ticks.size() << " labelled ticks";
    double lastRight = 0;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        const double left = plot.pixelX(texts[i].x), width = metrics.horizontalAdvance(texts[i].text);
        if (std::abs(left + width / 2 - ticks[i]) > 1)
            return ::testing::AssertionFailure() << '"' << texts[i].text.toStdString() << "\" centred at "
                                                 << left + width / 2 << " px, its tick at " << ticks[i] << " px";
        if (i == 0 && left < -0.5) return ::testing::AssertionFailure() << "\"0\" cut off at " << left << " px";
        lastRight = left + width;
    }
    const double aLeft = plot.pixelX(texts.back().x), aRight = aLeft + metrics.horizontalAdvance("A");
    if (texts.back().text != "A" || std::abs(aLeft - lastRight) > 1 || aRight > plot.width() + 0.5)
        return ::testing::AssertionFailure() << "\"A\" from " << aLeft << " to " << aRight << " px after a label ending at "
                                             << lastRight << " px in a plot " << plot.width() << " px wide";
    return ::testing::AssertionSuccess();
}

// No white between the first and the last bar that reaches a third of the
// curve's height, on the plot as shown and painted at twice the pixels.
::testing::AssertionResult histogramSolid(RadialPlotWidget& plot) {
    const double row = 250 - 170 / 3.0;
    double first = 1e300, last = -1e300;
    for (const auto& l : plot.lines())
        if (l.bar && std::min(l.y1, l.y2) < row - 2) first = std::min(first, l.x1), last = std::max(last, l.x1);
    if (first >= last) return ::testing::AssertionFailure() << "no bars";
    QImage doubled(plot.size() * 2, QImage::Format_RGB32);
    doubled.setDevicePixelRatio(2);
    plot.render(&doubled);
    for (const QImage& image : {plot.grab().toImage(), doubled}) {
        const double dpr = image.devicePixelRatio();
        const int y = static_cast<int>(plot.pixelY(row) * dpr);
        const int from = static_cast<int>(std::ceil(plot.pixelX(first) * dpr)) + 1;
        const int to = static_cast<int>(plot.pixelX(last) * dpr) - 1;
        int white = 0;
        for (int x = from; x <= to; ++x) white += image.pixelColor(x, y) == QColor(Qt::white);
        if (white > 0 || to - from < 10)
            return ::testing::AssertionFailure() << white << " white pixels between " << from << " and " << to
                                                 << " at device pixel ratio " << dpr;
    }
    return ::testing::AssertionSuccess();
}

class PlotTest : public StartedWindowTest {
protected:
    void SetUp() override {
        StartedWindowTest::SetUp();
        // The 3-D view beside the plot would take most of a resize.
        view->orbitalView()->hide();
        view->resize(view->sizeHint());
        clickButton(f.plotModeOptions[1]);  // the theory curve, as after start-up
        QApplication::processEvents();
    }
    void show(int n, double extent) {
        type(f.quantumText[0], std::to_string(n));
        type(f.quantumText[1], std::to_string(n - 1));
        type(f.extentText, std::to_string(static_cast<int>(extent)));
        clickButton(f.plotModeOptions[0]);
        clickButton(f.plotModeOptions[1]);
        QApplication::processEvents();
        ASSERT_EQ(s.orbital.extent, extent);
    }
};

TEST_F(PlotTest, LabelsOnTheirTicksAndHistogramSolidAtEveryExtentAndSize) {
    RadialPlotWidget& plot = *view->plot();
    for (auto [n, extent] : {std::pair{1, 2.0}, {3, 13.0}, {5, 49.0}, {12, 250.0}, {3, 75.0}, {1, 5.0}}) {
        show(n, extent);
        EXPECT_TRUE(labelsOnTicks(plot)) << "extent " << extent;
        EXPECT_TRUE(histogramSolid(plot)) << "extent " << extent;
    }
    EXPECT_GT(plot.pixelX(s.orbital.axisMax * 50.0), 0.85 * plot.width());
    for (int wider : {300, -400}) {
        const int before = plot.width();
        view->resize(view->width() + wider, view->height() + 40);
        QApplication::processEvents();
        // At scale factor 2 the window scrolls instead of shrinking the plot.
        if (plot.devicePixelRatioF() == 1) {
            ASSERT_NE(plot.width(), before);
        }
        EXPECT_TRUE(labelsOnTicks(plot)) << wider;
    }
}

// The first plot is drawn before the window is laid out.
using PlotStartTest = ProgramStartTest;

TEST_F(PlotStartTest, LabelsOnTheirTicksAtStartUp) {
    start([](MainWindowView& view) {
        EXPECT_TRUE(labelsOnTicks(*view.plot()));
        EXPECT_TRUE(histogramSolid(*view.plot()));
    }, [](MainWindowView& view) { return !view.plot()->texts().empty(); });
}

}  // namespace
}  // namespace vantrel::test
