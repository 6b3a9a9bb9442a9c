#include "app/gui/aboutbox.h"

#include <QMessageBox>
#include <QPointer>

#include "app/about.h"
#include "app/mainwindow.h"

namespace vantrel {

void installAboutBox(WindowHooks& hooks, QWidget* mainView) {
    QPointer<QWidget> owner(mainView);
    hooks.showAbout = [owner] {
        QMessageBox box(owner);
        box.setWindowTitle(QString::fromUtf8(aboutTitle));
        box.setTextFormat(Qt::PlainText);
        box.setText(QString::fromStdString(aboutText("Qt " + std::string(qVersion()))).replace("\r\n", "\n"));
        if (owner) box.setIconPixmap(owner->windowIcon().pixmap(64, 64));
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
    };
}

}  // namespace vantrel
