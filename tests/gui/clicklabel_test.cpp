// The clickable labels work from the keyboard as from the mouse.
#include <QAccessible>

#include "guitest.h"

namespace vantrel::test {
namespace {

class ClickLabelKeysTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startWindow(true);
    }
    // Tabs from the extent box until `target` has the focus.
    bool tabTo(QWidget* target) {
        edit(f.extentText)->setFocus();
        for (int i = 0; i < 60 && QApplication::focusWidget() != target; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        return QApplication::focusWidget() == target;
    }
};

TEST_F(ClickLabelKeysTest, SpaceOnTooSmallActsAsAClick) {
    type(f.extentText, "1");
    QLabel* tooSmall = label(f.tooSmallLabel);
    ASSERT_TRUE(tooSmall->isVisible());
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(tooSmall);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), tooSmall->text());
    ASSERT_TRUE(tabTo(tooSmall));
    // The focus frame is drawn over the caption.
    const QImage focused = tooSmall->grab().toImage();
    edit(f.extentText)->setFocus();
    EXPECT_NE(focused, tooSmall->grab().toImage());
    ASSERT_TRUE(tabTo(tooSmall));
    QTest::keyClick(tooSmall, Qt::Key_Space);
    EXPECT_NE(f.extentText.text, "1");  // rescaled, as a click does
    EXPECT_FALSE(f.tooSmallLabel.visible);
}

}  // namespace
}  // namespace vantrel::test
