// What a desktop user expects of the windows: captions, pictures,
// shortcuts and message boxes.
#include <QAccessible>
#include <QClipboard>
#include <QInputDialog>
#include <QMimeData>
#include <QShortcut>
#include <QSignalSpy>
#include <QScreen>
#include <QSvgRenderer>

#include <algorithm>

#include "app/gui/levelwindowlink.h"
#include "app/gui/qtdialogs.h"
#include "app/gui/radialplotwidget.h"
#include "app/gui/spectrumwindowlink.h"
#include "guitest.h"
#include "levels/gui/leveldiagramarea.h"
#include "levels/gui/leveldiagramwindow.h"
#include "spectrum/gui/spectrumview.h"
#include "widgets/pictureexport.h"

namespace vantrel::test {
namespace {

using DesktopTest = StartedWindowTest;  // also run with QT_SCALE_FACTOR=2

TEST_F(DesktopTest, TooSmallRedGreyDuringARunAndSpaceActsAsAClick) {
    type(f.extentText, "1");
    QLabel* tooSmall = label(f.tooSmallLabel);
    ASSERT_TRUE(tooSmall->isVisible());
    enableControls(s, false);
    view->syncAll();
    for (const Control* c : {&f.extentLabel, &f.tooSmallLabel}) {
        EXPECT_EQ(widget(*c)->palette().color(QPalette::Active, QPalette::WindowText), Qt::red) << c->name;
        EXPECT_FALSE(widget(*c)->isEnabled()) << c->name;
        EXPECT_NE(widget(*c)->palette().color(QPalette::Disabled, QPalette::WindowText), Qt::red) << c->name;
    }
    enableControls(s, true);
    view->syncAll();

    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(tooSmall);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), tooSmall->text());
    auto tabToIt = [&] {  // from the extent box
        edit(f.extentText)->setFocus();
        for (int i = 0; i < 60 && QApplication::focusWidget() != tooSmall; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        return QApplication::focusWidget() == tooSmall;
    };
    ASSERT_TRUE(tabToIt());
    const QImage focused = tooSmall->grab().toImage();
    edit(f.extentText)->setFocus();
    EXPECT_NE(focused, tooSmall->grab().toImage());
    ASSERT_TRUE(tabToIt());
    QTest::keyClick(tooSmall, Qt::Key_Space);
    EXPECT_NE(f.extentText.text, "1");  // rescaled, as a click does
    EXPECT_FALSE(f.tooSmallLabel.visible);
}

// Each window's picture as PNG (what the screen shows, pixel for pixel), as
// SVG that reads back whole, and on the clipboard in both forms.
TEST_F(DesktopTest, PicturesSaveAsPngAndSvgAndCopy) {
    LevelWindowLink levels(s, view.get(), [this] { view->syncAll(); });
    SpectrumWindowLink spectrum(s, view.get());
    TempDir out;
    auto check = [&](QWidget* picture, const QString& name) {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(picture->window()));
        EXPECT_EQ(picture->contextMenuPolicy(), Qt::ActionsContextMenu) << name.toStdString();
        const QString png = QString::fromStdString(out.file(name.toStdString() + ".png"));
        const QString svg = QString::fromStdString(out.file(name.toStdString() + ".SVG"));
        EXPECT_EQ(savePicture(picture, png, name), "");
        EXPECT_EQ(savePicture(picture, svg, name), "");
        EXPECT_EQ(QImage(png).convertToFormat(QImage::Format_RGB32),
                  picture->grab().toImage().convertToFormat(QImage::Format_RGB32)) << name.toStdString();
        QSvgRenderer drawing(svg);
        EXPECT_TRUE(drawing.isValid()) << name.toStdString();
        EXPECT_EQ(drawing.viewBox(), QRect(QPoint(0, 0), picture->size()));

        copyPicture(picture, name);
        const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
        ASSERT_NE(copied, nullptr);
        EXPECT_EQ(qvariant_cast<QImage>(copied->imageData()).size(), picture->size() * picture->devicePixelRatio());
        EXPECT_TRUE(copied->data("image/svg+xml").startsWith("<?xml")) << name.toStdString();
    };
    check(view->plot(), QStringLiteral("radial-plot"));
    view->actionFor(f.compareEnergiesMenuItem)->trigger();
    check(levels.window().area(), QStringLiteral("energy-levels"));
    view->actionFor(f.spectrumMenuItem)->trigger();
    ASSERT_NE(spectrum.openView(), nullptr);
    check(spectrum.openView(), QStringLiteral("hydrogen-spectrum"));
}

// F1, Ctrl+Q, Ctrl+S and Ctrl+O; Ctrl+O reaches "&Load" from a text box.
TEST_F(DesktopTest, UsualShortcuts) {
    QStringList keys;
    for (const QAction* a : view->findChildren<QAction*>()) keys << a->shortcut().toString();
    for (const QShortcut* k : view->findChildren<QShortcut*>()) keys << k->key().toString();
    for (const char* key : {"F1", "Ctrl+Q", "Ctrl+S", "Ctrl+O"}) EXPECT_TRUE(keys.contains(key)) << key;
    QSignalSpy loaded(button(f.loadButton), &QAbstractButton::clicked);
    button(f.loadButton)->setEnabled(true);  // whatever it then finds to load
    QTest::keyClick(widget(f.quantumText[0]), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(loaded.count(), 1);
}

// A long message and a question, the second with no window active any
// more: both centred on the main window, the long one's paths shown whole,
// and the button clicked is the answer; a cancelled input is no answer.
TEST_F(DesktopTest, DialogsAreCentredOnTheWindowShowPathsWholeAndAnswer) {
    view->placeAtRightEdge();
    QApplication::processEvents();
    QtDialogs boxes;
    boxes.setMainWindow(view.get());
    const std::string path = "/tmp/build-area/run-tests/scratch-" + std::string(40, 'x') + "/home_vantrel/files";
    const std::string longText = "The main directory for VANTREL is " + path.substr(0, path.size() - 6) +
                                 "\r\nThe directory in which HTML and XYZ files will be saved is " + path;
    for (auto [text, buttons, clicked, answer] : {tuple{longText, Buttons::OK, QMessageBox::Ok, Answer::OK},
                                                  {std::string("Go on?"), Buttons::YesNo, QMessageBox::No, Answer::No}}) {
        QPoint centre;
        QStringList lines;
        int widest = 0, room = 0, screenWidth = 0;
        bool wrapped = false;
        const QMessageBox::StandardButton click = clicked;  // clang 14 cannot capture a structured binding
        QTimer::singleShot(100, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            auto* label = box->findChild<QLabel*>("qt_msgbox_label");
            lines = label->text().split('\n');
            for (const QString& line : lines) widest = std::max(widest, label->fontMetrics().horizontalAdvance(line));
            room = label->contentsRect().width();
            wrapped = label->wordWrap();
            screenWidth = box->screen()->availableGeometry().width();
            centre = box->frameGeometry().center();
            box->button(click)->click();
        });
        EXPECT_EQ(boxes.messageBox(text, buttons, "", Icon::None), answer) << text;
        EXPECT_LE((centre - view->frameGeometry().center()).manhattanLength(), 4) << text;
        if (buttons == Buttons::OK) {
            const QString mainDir = QString::fromStdString(path.substr(0, path.size() - 6));
            EXPECT_EQ(lines.filter(mainDir).size(), 2) << lines.join(" | ").toStdString();
            EXPECT_GE(lines.size(), 3) << "broken at blanks";
            if (wrapped)  // only lines wider than the screen may wrap
                EXPECT_GT(widest + 100, screenWidth) << "wrapped although the lines fit the screen";
            else
                EXPECT_LE(widest, room) << "the box is narrower than its lines";
        }
    }
    QTimer::singleShot(0, [] {
        auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(input, nullptr);
        EXPECT_EQ(input->textValue(), "1");
        input->reject();
    });
    EXPECT_EQ(boxes.inputBox("Enter Z:", "Vantrel", "1"), std::nullopt);
}

}  // namespace
}  // namespace vantrel::test
