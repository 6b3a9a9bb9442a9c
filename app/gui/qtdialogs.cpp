#include "app/gui/qtdialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QScreen>
#include <QLayout>
#include <QMessageBox>

namespace vantrel {

namespace {

QString titleOf(const std::string& title) {
    return title.empty() ? QStringLiteral("Vantrel") : QString::fromStdString(title);
}

// Line ends written for the files (CR LF) show as one break.
QString plain(const std::string& text) {
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// Breaks lines at blanks only, at most `width` pixels where the words allow:
// a path is one word, shown whole however long.
QString breakAtBlanks(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        QString current;
        for (const QString& word : line.split(QLatin1Char(' '))) {
            const QString longer = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
            if (!current.isEmpty() && metrics.horizontalAdvance(longer) > width) {
                lines << current;
                current = word;
            } else {
                current = longer;
            }
        }
        lines << current;
    }
    return lines.join(QLatin1Char('\n'));
}

// A message box that keeps the lines it is given: its own wrapping of long
// lines breaks paths after any "/".
class UnbrokenMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    // Qt turns wrapping back on whenever it lays the box out again.
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        keepLinesWhole();
    }
    bool event(QEvent* event) override {
        const bool handled = QMessageBox::event(event);
        if (event->type() == QEvent::LayoutRequest) keepLinesWhole();
        return handled;
    }
    // Qt centres the box on its window before the box takes its final size:
    // centred again at each size, it stays where the questions are.
    void resizeEvent(QResizeEvent* event) override {
        QMessageBox::resizeEvent(event);
        if (QWidget* owner = parentWidget(); owner && isVisible())
            move(owner->frameGeometry().center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }

private:
    // Lines wider than the screen are left to Qt's wrapping.
    void keepLinesWhole() {
        auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        if (!label || !label->wordWrap() || tooWide_) return;
        label->setWordWrap(false);
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        layout()->activate();
        const QScreen* shown = screen();
        if (shown && sizeHint().width() > shown->availableGeometry().width()) {
            tooWide_ = true;
            label->setWordWrap(true);
            return;
        }
        setFixedSize(sizeHint());
    }
    bool tooWide_ = false;
};

}  // namespace

QWidget* QtDialogs::parentWindow() const {
    QWidget* active = QApplication::activeWindow();
    return active ? active : mainWindow_.data();
}

Answer QtDialogs::messageBox(const std::string& text, Buttons buttons, const std::string& title,
                             Icon icon) {
    if (closing_) {
        switch (buttons) {
        case Buttons::OK:
            return Answer::OK;
        case Buttons::YesNo:
            return Answer::No;
        default:
            return Answer::Cancel;
        }
    }
    UnbrokenMessageBox box(parentWindow());
    box.setWindowTitle(titleOf(title));
    box.setTextFormat(Qt::PlainText);
    // The box wraps long lines itself, after any "/" of a path; broken here
    // at blanks only, they are short enough to stay as they are.
    box.setText(breakAtBlanks(plain(text), box.fontMetrics(), 480));
    box.setIcon(icon == Icon::Question      ? QMessageBox::Question
                : icon == Icon::Information ? QMessageBox::Information
                                            : QMessageBox::NoIcon);
    switch (buttons) {
    case Buttons::OK:
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case Buttons::OKCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    }
    // A busy pointer must not hide that an answer is wanted.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int result = box.exec();
    if (busy) QApplication::restoreOverrideCursor();
    switch (result) {
    case QMessageBox::Ok:
        return Answer::OK;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        // Closing the box: Cancel where there is one, else the safe "No".
        if (buttons == Buttons::YesNo) return Answer::No;
        if (buttons == Buttons::OK) return Answer::OK;
        return Answer::Cancel;
    }
}

std::optional<std::string> QtDialogs::inputBox(const std::string& prompt, const std::string& title,
                                               const std::string& defaultAnswer) {
    if (closing_) return std::nullopt;
    bool ok = false;
    const QString answer = QInputDialog::getText(parentWindow(), titleOf(title), plain(prompt),
                                                 QLineEdit::Normal, QString::fromStdString(defaultAnswer), &ok);
    if (!ok) return std::nullopt;
    return answer.toStdString();
}

}  // namespace vantrel
