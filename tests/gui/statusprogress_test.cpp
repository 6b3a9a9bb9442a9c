// The status bar follows a run on the real window and goes away after it.
#include <QProgressBar>
#include <QTimer>

#include <vector>

#include "app/gui/statusprogress.h"
#include "guitest.h"

namespace vantrel::test {
namespace {

class StatusProgressTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startWindow(true);
        progress = new StatusProgress(*view);
    }
    StatusProgress* progress = nullptr;
};

TEST_F(StatusProgressTest, BarMovesDuringARunAndHidesAfter) {
    EXPECT_FALSE(progress->bar()->isVisible());
    type(f.maxPointsText, "320000");
    std::vector<int> values;
    QString text;
    bool stopped = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!globals().run.running || stopped) return;
        if (progress->bar()->isVisible()) {
            values.push_back(progress->bar()->value());
            text = progress->label()->text();
        }
        if (globals().run.nPoints >= 80000) {
            stopped = true;
            QTest::mouseClick(button(f.calculateButton), Qt::LeftButton);  // "Enough!"
        }
    });
    poll.start(5);
    QTest::mouseClick(button(f.calculateButton), Qt::LeftButton);
    ASSERT_GE(values.size(), 2u);
    EXPECT_GT(values.back(), values.front());
    EXPECT_TRUE(text.contains(" of 320,000 points, ") || text.contains(" of 320000 points, ")) << text.toStdString();
    EXPECT_TRUE(text.contains(" trials, ")) << text.toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !progress->bar()->isVisible(); }, 2000));
    EXPECT_FALSE(progress->label()->isVisible());
}

}  // namespace
}  // namespace vantrel::test
