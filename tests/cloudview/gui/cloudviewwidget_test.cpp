#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <memory>

#include "cloudview/cloudtest.h"
#include "cloudview/gui/cloudviewwidget.h"

namespace vantrel {
namespace {

using namespace test;

class CloudViewWidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        state.extent = cloudExtent;
        renderer.addPoints(orbitalCloud(2, 1, 0).points);
        state.maxPsi2 = orbitalCloud(2, 1, 0).maxPsi2;
        widget = std::make_unique<CloudViewWidget>(state, renderer);
        widget->resize(360, 360);
        widget->show();
        widget->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(widget.get()));
    }
    // The widget as on screen, in device pixels.
    QImage shot() { return widget->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    double ratio() const { return widget->devicePixelRatioF(); }

    CloudViewState state;
    CloudRenderer renderer;
    std::unique_ptr<CloudViewWidget> widget;
};

TEST_F(CloudViewWidgetTest, LegendAndAxisLabelsArePainted) {
    for (CloudColouring colouring : {CloudColouring::sign, CloudColouring::probability}) {
        state.colouring = colouring;
        widget->update();
        const QImage img = shot();
        const CloudImage& frame = renderer.image();  // the same frame without its text
        ASSERT_EQ(frame.width, img.width());
        auto painted = [&](const QRectF& logical) {
            const QRect r = QRectF(logical.topLeft() * ratio(), logical.size() * ratio()).toAlignedRect() & img.rect();
            int changed = 0;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    changed += std::abs(qGray(img.pixel(x, y)) - qGray(frame.pixels[static_cast<std::size_t>(y) * frame.width + x])) > 40;
            return changed;
        };
        const std::string what = colouring == CloudColouring::sign ? "sign" : "probability";
        // Inside the legend's border: its swatches and words.
        EXPECT_GT(painted(widget->lastText().legend.adjusted(3, 3, -3, -3)), 150) << what << " legend";
        for (const QRectF& label : widget->lastText().labels) EXPECT_GT(painted(label), 5) << what << " axis label at " << label.x() << ", " << label.y();
    }
}

TEST_F(CloudViewWidgetTest, PointerKeysAndButtonsMoveTheCameraAndDoubleClickRestoresIt) {
    const QImage before = shot();
    QTest::mousePress(widget.get(), Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(widget.get(), QPoint(160, 130));
    QTest::mouseRelease(widget.get(), Qt::LeftButton, {}, QPoint(160, 130));
    EXPECT_FALSE(state.camera == CloudCamera{});
    EXPECT_NE(shot(), before) << "the drag turned the cloud";
    QTest::mouseDClick(widget.get(), Qt::LeftButton, {}, QPoint(160, 130));
    EXPECT_EQ(shot(), before) << "double click: the default view, pixel for pixel";

    widget->setFocus();
    QTest::keyClick(widget.get(), Qt::Key_Right);
    EXPECT_LT(state.camera.azimuth, CloudCamera{}.azimuth);
    QTest::keyClick(widget.get(), Qt::Key_Plus);
    EXPECT_GT(state.camera.zoom, 1);
    QWheelEvent wheel(QPointF(50, 50), widget->mapToGlobal(QPointF(50, 50)), {}, QPoint(0, -120), Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget.get(), &wheel);
    EXPECT_NEAR(state.camera.zoom, 1, 1e-12) << "a notch towards the user zooms back out";
    CloudViewState alongZ;
    alongZ.viewAlong(ViewAxis::z);
    for (QToolButton* b : widget->findChildren<QToolButton*>())
        if (b->text() == "z") b->click();
    EXPECT_TRUE(state.camera == alongZ.camera) << "the z button looks along z";
}

// Factor 1 is saved through the view panel's menu, in the window's tests.
TEST_F(CloudViewWidgetTest, PicturesAtTwiceTheSizeShowTheCloud) {
    QTemporaryDir dir;
    state.exportFactor = 2;
    ASSERT_TRUE(widget->savePng(dir.filePath("view.png")));
    const QImage saved(dir.filePath("view.png"));
    EXPECT_EQ(saved.size(), widget->size() * 2);
    const QRectF legend = widget->lastText().legend;  // its swatch is no cloud
    const auto pixel = [&](int x, int y) { return legend.contains(x / 2, y / 2) ? 0xffffffffu : saved.pixel(x, y); };
    EXPECT_GT(centroidOf(saved.width(), saved.height(), pixel, bluish).count, 100);
    EXPECT_FALSE(widget->savePng(dir.filePath("missing/view.png")));
    widget->copyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->image().size(), widget->size() * 2);
    EXPECT_EQ(shot().size(), widget->size() * ratio()) << "the view itself is as before";
}

TEST_F(CloudViewWidgetTest, RefreshesWhilePointsComeIn) {
    shot();
    const CloudScene scene = state.scene(static_cast<int>(std::lround(widget->width() * ratio())),
                                         static_cast<int>(std::lround(widget->height() * ratio())), ratio());
    ASSERT_TRUE(renderer.isCurrent(scene));
    renderer.addPoints(orbitalCloud(3, 2, 0).points);
    EXPECT_FALSE(renderer.isCurrent(scene));
    EXPECT_TRUE(QTest::qWaitFor([&] { return renderer.isCurrent(scene); }, 4 * CloudViewWidget::refreshMilliseconds))
        << "the timer drew the new points";
}

}  // namespace
}  // namespace vantrel
