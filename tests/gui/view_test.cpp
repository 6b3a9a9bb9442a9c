// The view's own mechanics: mirroring the state, feeding user actions back
// and the plot surface. No reactions are installed here.
#include "app/gui/radialplotwidget.h"
#include "guitest.h"

namespace vantrel::test {
namespace {

class ViewTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startWindow(false);
    }
};

QString qs(const std::string& s) { return QString::fromStdString(s); }

TEST_F(ViewTest, EveryControlMirroredCursorKeptFocusFollowed) {
    for (Control* c : f.all()) {
        QWidget* w = widget(*c);
        QAction* a = view->actionFor(*c);
        ASSERT_TRUE(w || a) << c->name;
        auto* b = qobject_cast<QAbstractButton*>(w);
        auto* e = qobject_cast<QLineEdit*>(w);
        // What the user reads there (no design caption has a line break).
        QString shown = qs(c->caption);
        if (a) shown = view->menuFor(*c) ? view->menuFor(*c)->title() : a->text();
        if (b) shown = b->text();
        if (auto* g = qobject_cast<QGroupBox*>(w)) shown = g->title();
        if (e) shown = e->text();
        if (auto* l = qobject_cast<QLabel*>(w)) shown = l->text();
        EXPECT_EQ(shown, qs(e ? c->text : c->caption)) << c->name;
        EXPECT_EQ(a ? a->isVisible() : !w->isHidden(), c->visible) << c->name;
        if (a || b) {
            EXPECT_EQ(a ? a->isChecked() : b->isChecked(), c->checked) << c->name;
        }
    }

    QLineEdit* n = edit(f.quantumText[0]);
    n->setText("123");
    n->setCursorPosition(1);
    f.quantumText[0].text = "123";
    s.hooks.refresh();
    QApplication::processEvents();
    EXPECT_EQ(n->cursorPosition(), 1);  // same text: the cursor stays

    bool focused = false;
    f.maxPointsText.onFocus = [&] { focused = true; };
    edit(f.maxPointsText)->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(focused);
    EXPECT_EQ(f.activeControl, &f.maxPointsText);
}

TEST_F(ViewTest, PlotRecordsAndCoalescesRepaints) {
    RadialPlotWidget* plot = view->plot();
    QApplication::processEvents();
    const int before = plot->paintCount();
    for (int i = 0; i < 2000; ++i) {
        plot->line(i / 4.0, 250, i / 4.0, 250 - i % 200, i % 2 ? 0xFF0000 : 0x0000FF);
        s.hooks.refresh();
    }
    plot->print(0, 275, "0", 0);
    QApplication::processEvents();
    EXPECT_EQ(plot->lines().size(), 2000u);
    EXPECT_EQ(plot->paintCount(), before + 1);
    plot->clear();

    plot->setScale(0, 100);
    for (int x = 40; x < 60; ++x) plot->line(x, 250, x, 50, 0xFF0000);  // blue
    EXPECT_EQ(plot->grab().toImage().pixelColor(plot->width() / 2, plot->height() / 2), QColor(0, 0, 255));
}

}  // namespace
}  // namespace vantrel::test
