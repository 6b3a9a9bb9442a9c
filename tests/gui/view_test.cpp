// The view's own mechanics: mirroring the state, feeding user actions back,
// the plot surface and the dialogs. No reactions are installed here.
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>

#include "app/gui/qtdialogs.h"
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
    for (int i = 5; i < 9; ++i) EXPECT_FALSE(view->actionFor(f.speciesMenuItems[i])->isVisible());

    // Captions, enabling and colours after a refresh are seen through the window
    // tests; here what those do not show.
    QLineEdit* n = edit(f.quantumText[0]);
    n->setText("123");
    n->setCursorPosition(1);
    f.quantumText[0].text = "123";
    f.probableRadiusLabel.caption = "Most probable radius: 0.52 A (actual)\r\n";
    f.regionOptions[1].color = 0xFF0000;
    s.hooks.refresh();
    QApplication::processEvents();
    EXPECT_EQ(n->cursorPosition(), 1);  // same text: the cursor stays
    EXPECT_EQ(label(f.probableRadiusLabel)->text(), "Most probable radius: 0.52 A (actual)");  // no empty last line
    f.regionOptions[1].color = 0;  // back to black
    s.hooks.refresh();
    QApplication::processEvents();
    EXPECT_NE(button(f.regionOptions[1])->palette().color(QPalette::WindowText), QColor(0, 0, 255));

    bool focused = false;
    f.maxPointsText.onFocus = [&] { focused = true; };
    edit(f.maxPointsText)->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(focused);
    EXPECT_EQ(f.activeControl, &f.maxPointsText);
}

TEST_F(ViewTest, PlotRecordsAndCoalescesRepaints) {
    RadialPlotWidget* plot = view->plot();
    EXPECT_EQ(&s.radialPlot.canvas(), static_cast<PlotCanvas*>(plot));
    QApplication::processEvents();
    plot->setScale(-10, 510);
    const double narrow = plot->textWidth("100A ");
    plot->setScale(-10, 1030);
    EXPECT_NEAR(plot->textWidth("100A "), 2 * narrow, 0.05 * narrow);  // twice the range per pixel

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

    // Blue bars come out blue.
    plot->setScale(0, 100);
    for (int x = 40; x < 60; ++x) plot->line(x, 250, x, 50, 0xFF0000);
    EXPECT_EQ(plot->grab().toImage().pixelColor(plot->width() / 2, plot->height() / 2), QColor(0, 0, 255));
}

// The lines a label shows, as its own layout breaks them.
QStringList shownLines(const QLabel& label) {
    QStringList lines;
    for (const QString& paragraph : label.text().split('\n')) {
        if (!label.wordWrap()) {
            lines << paragraph;
            continue;
        }
        QTextLayout layout(paragraph, label.font());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(label.contentsRect().width());
            lines << paragraph.mid(line.textStart(), line.textLength());
        }
        layout.endLayout();
    }
    return lines;
}

TEST_F(ViewTest, MessageBoxesShowPathsWhole) {
    QtDialogs d;
    const QString path = "/tmp/build-area/run-tests/scratch-" + QString(40, 'x') + "/home_vantrel/files";
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        auto* label = box ? box->findChild<QLabel*>("qt_msgbox_label") : nullptr;
        ASSERT_NE(label, nullptr);
        const QStringList lines = shownLines(*label);
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [&](const QString& l) { return l.contains(path.chopped(6)); }), 2)
            << lines.join(" | ").toStdString();
        EXPECT_GE(lines.size(), 3);  // broken at blanks
        box->accept();
    });
    d.messageBox("The main directory for VANTREL is " + path.chopped(6).toStdString() +
                     "\r\nThe directory in which HTML and XYZ files will be saved is " + path.toStdString(),
                 Buttons::OK, "", Icon::None);
}

TEST_F(ViewTest, QtDialogsAnswers) {
    QtDialogs d;
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), "Vantrel");  // no title of its own
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(d.messageBox("Continue?", Buttons::YesNoCancel, "", Icon::Question), Answer::No);
    QTimer::singleShot(0, [] {
        auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(input, nullptr);
        EXPECT_EQ(input->textValue(), "1");
        input->reject();
    });
    EXPECT_EQ(d.inputBox("Enter Z:", "Vantrel", "1"), std::nullopt);
    d.setClosing(true);  // the window is gone: nothing more is asked
    EXPECT_EQ(d.messageBox("Go on?", Buttons::YesNo, "", Icon::Question), Answer::No);
}

}  // namespace
}  // namespace vantrel::test
