#include "widgets/pictureexport.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QSaveFile>
#include <QStandardPaths>
#include <QSvgGenerator>
#include <QWidget>

namespace vantrel {

QImage pictureImage(QWidget* picture) {
    const qreal ratio = picture->devicePixelRatioF();
    QImage image(picture->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    picture->render(&image);
    return image;
}

QByteArray pictureSvg(QWidget* picture, const QString& title) {
    QBuffer buffer;
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(picture->size());
    svg.setViewBox(QRect(QPoint(0, 0), picture->size()));
    svg.setResolution(96);  // a CSS pixel: browsers show it at its size on screen
    svg.setTitle(title);
    svg.setDescription(QStringLiteral("Drawn by Vantrel %1").arg(QStringLiteral(VANTREL_VERSION)));
    QPainter painter(&svg);
    picture->render(&painter);
    painter.end();
    return buffer.data();
}

QString savePicture(QWidget* picture, const QString& path, const QString& title) {
    // Written whole or not at all: a failed save leaves an older file as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        file.write(pictureSvg(picture, title));
    } else if (!pictureImage(picture).save(&file, "PNG")) {
        file.cancelWriting();
        return QStringLiteral("The picture could not be made");
    }
    if (!file.commit()) return file.errorString();
    return {};
}

void copyPicture(QWidget* picture, const QString& title) {
    auto* data = new QMimeData;
    data->setImageData(pictureImage(picture));
    data->setData(QStringLiteral("image/svg+xml"), pictureSvg(picture, title));
    QGuiApplication::clipboard()->setMimeData(data);
}

namespace {

QString lastFolder() {
    static QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
    return folder;
}

void askAndSave(QWidget* picture, QWidget* window, const QString& name) {
    const QString png = QStringLiteral("PNG image (*.png)"), svg = QStringLiteral("SVG drawing (*.svg)");
    QString filter = png;
    QString path = QFileDialog::getSaveFileName(window, QStringLiteral("Save Picture As"),
                                                lastFolder() + QLatin1Char('/') + name + QStringLiteral(".png"),
                                                png + QStringLiteral(";;") + svg, &filter);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += filter == svg ? QStringLiteral(".svg") : QStringLiteral(".png");
    const QString problem = savePicture(picture, path, name);
    if (!problem.isEmpty())
        QMessageBox::warning(window, QStringLiteral("Save Picture As"),
                             QStringLiteral("%1 saving %2").arg(problem, QDir::toNativeSeparators(path)));
}

}  // namespace

void addPictureActions(QWidget* picture, QWidget* menuOwner, QWidget* window, const QString& name) {
    auto* save = new QAction(QStringLiteral("&Save Picture As..."), window);
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    save->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(save, &QAction::triggered, picture, [picture, window, name] { askAndSave(picture, window, name); });
    auto* copy = new QAction(QStringLiteral("&Copy Picture"), window);
    QObject::connect(copy, &QAction::triggered, picture, [picture, name] { copyPicture(picture, name); });
    window->addAction(save);
    menuOwner->setContextMenuPolicy(Qt::ActionsContextMenu);
    menuOwner->addAction(save);
    menuOwner->addAction(copy);
}

}  // namespace vantrel
