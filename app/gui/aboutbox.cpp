#include "app/gui/aboutbox.h"

#include <QMessageBox>
#include <QPointer>

#include "app/about.h"
#include "app/session.h"

namespace vantrel {

void installAboutBox(Session& s, QWidget* mainView) {
    QPointer<QWidget> owner(mainView);
    s.windowHooks.showAbout = [&s, owner] {
        QMessageBox box(owner);
        box.setWindowTitle(QString::fromUtf8(aboutTitle));
        box.setTextFormat(Qt::PlainText);
        const std::string text = aboutText("Qt " + std::string(qVersion()), threeRevision(dataDir(s), s.threeDir));
        box.setText(QString::fromStdString(text).replace("\r\n", "\n"));
        if (owner) box.setIconPixmap(owner->windowIcon().pixmap(64, 64));
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
    };
}

}  // namespace vantrel
