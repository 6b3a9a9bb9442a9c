// Pictures of the plot, the level diagram and the spectrum as files (PNG or
// SVG) and on the clipboard. The widget paints itself into the image or the
// SVG generator with its own paint code, so the file is what the screen shows.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

class QWidget;

namespace vantrel {

// The widget at its size on screen, at the screen's pixel ratio.
QImage pictureImage(QWidget* picture);
QByteArray pictureSvg(QWidget* picture, const QString& title);
// SVG when the name ends in .svg (any case), PNG otherwise. Returns "" or
// what went wrong.
QString savePicture(QWidget* picture, const QString& path, const QString& title);
// Both forms at once: programs that take SVG get the drawing, the others the image.
void copyPicture(QWidget* picture, const QString& title);

// "Save Picture As..." (Ctrl+S anywhere in the window) and "Copy Picture"
// in the context menu of `menuOwner`, for `picture`. `name` is the file's
// suggested name without suffix and the SVG's title.
void addPictureActions(QWidget* picture, QWidget* menuOwner, QWidget* window, const QString& name);

}  // namespace vantrel
