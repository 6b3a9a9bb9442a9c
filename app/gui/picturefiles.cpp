#include "app/gui/picturefiles.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QString>

#include <cmath>

#include "cloudview/gui/cloudpicture.h"
#include "cloudview/gui/pngfile.h"
#include "output/cloudrender.h"

namespace vantrel {

namespace {

// Room around the plane: the title above, the up axis's name on the left,
// the scale bar and the across axis's name below, the colour scale right.
constexpr int leftMargin = 40, topMargin = 36, bottomMargin = 60, rightMargin = 150;
constexpr int colourBarGap = 24, colourBarWidth = 18;

const QColor ink(30, 30, 30);
const char* const psiUnit = "ψ (Å⁻³ᐟ²)";

QString number(double v) {
    if (v == 0) return "0";
    QString s = QString::number(std::abs(v), 'g', 3);
    return (v < 0 ? QString(QChar(0x2212)) : QString("+")) + s;
}

// An arrow from `from` to `to` with the axis's name beyond its head.
void axisArrow(QPainter& p, QPointF from, QPointF to, char name) {
    p.setPen(QPen(ink, 1.5));
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF n(-d.y(), d.x());
    p.drawLine(to, to - 7 * d + 4 * n);
    p.drawLine(to, to - 7 * d - 4 * n);
    QFont f = p.font();
    f.setItalic(true);
    f.setBold(true);
    p.save();
    p.setFont(f);
    const QPointF at = to + 12 * d;
    p.drawText(QRectF(at.x() - 10, at.y() - 10, 20, 20), Qt::AlignCenter, QString(QChar(name)));
    p.restore();
}

}  // namespace

QRect sliceArea(const SliceImage& slice) { return QRect(leftMargin, topMargin, slice.width, slice.height); }

QImage slicePicture(const SliceImage& slice, double scaleEnd, double offset) {
    const QRect area = sliceArea(slice);
    QImage picture(leftMargin + slice.width + rightMargin, topMargin + slice.height + bottomMargin,
                   QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QImage plane(slice.rgba.data(), slice.width, slice.height, slice.width * 4, QImage::Format_RGBA8888);
    p.drawImage(area.topLeft(), plane);
    // Frame and centre ticks outside the plane, which keeps its own pixels.
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.setBrush(Qt::NoBrush);
    const QRectF frame = QRectF(area).adjusted(-0.5, -0.5, 0.5, 0.5);
    p.drawRect(frame);
    const QPointF centre = QRectF(area).center();
    p.drawLine(QPointF(centre.x(), frame.bottom()), QPointF(centre.x(), frame.bottom() + 6));
    p.drawLine(QPointF(frame.left() - 6, centre.y()), QPointF(frame.left(), centre.y()));

    const char normal = 'x' + 'y' + 'z' - slice.across - slice.up;
    p.setPen(ink);
    p.drawText(QRectF(area.left(), 0, area.width(), topMargin), Qt::AlignCenter,
               QString(QChar(0x03C8)) + " in the " + QChar(slice.across) + QChar(slice.up) + " plane (" +
                   QChar(normal) + " = " + QString::number(offset, 'g', 3) + " " + QChar(0x00C5) + ")");
    axisArrow(p, QPointF(area.right() - 70, area.bottom() + 20), QPointF(area.right() - 20, area.bottom() + 20),
              slice.across);
    axisArrow(p, QPointF(leftMargin / 2.0, area.top() + 70), QPointF(leftMargin / 2.0, area.top() + 20), slice.up);

    // The scale bar under the plane's left end.
    const double barY = area.bottom() + 24;
    p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(area.left(), barY), QPointF(area.left() + slice.scaleBarPixels, barY));
    p.setPen(ink);
    p.drawText(QRectF(area.left() + slice.scaleBarPixels + 8, barY - 12, 120, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QString::number(slice.scaleBarAngstroms) + " " + QChar(0x00C5));

    // The colour scale: +scaleEnd at the top, 0 in the middle, -scaleEnd below.
    const int barX = area.right() + 1 + colourBarGap;
    for (int row = 0; row < area.height(); ++row) {
        const double t = 1 - 2 * (row + 0.5) / area.height();
        const Rgb c = sliceColour(t);
        p.setPen(QColor(c.r, c.g, c.b));
        p.drawLine(QPointF(barX, area.top() + row + 0.5), QPointF(barX + colourBarWidth, area.top() + row + 0.5));
    }
    p.setPen(QColor(150, 150, 150));
    p.drawRect(QRectF(barX - 0.5, area.top() - 0.5, colourBarWidth + 1, area.height() + 1));
    p.setPen(ink);
    const double labelX = barX + colourBarWidth + 6;
    const double labelH = QFontMetricsF(p.font()).height();
    const double ends[3] = {scaleEnd, 0, -scaleEnd};
    const double rows[3] = {area.top() + labelH / 2, centre.y(), area.bottom() - labelH / 2};
    for (int i = 0; i < 3; ++i)
        p.drawText(QRectF(labelX, rows[i] - labelH / 2, rightMargin - colourBarGap - colourBarWidth - 6, labelH),
                   Qt::AlignLeft | Qt::AlignVCenter, number(ends[i]));
    p.drawText(QRectF(barX - 4, 0, rightMargin, topMargin), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf8(psiUnit));
    return picture;
}

std::string QtPictureWriter::writeCloudPicture(const std::string& path, const CloudViewState& state,
                                               const std::vector<CloudPoint>& points,
                                               const std::vector<SurfaceMesh>& surfaces, int size) {
    CloudRenderer renderer;
    renderer.addPoints(points);
    renderer.setSurfaces(surfaces);
    QImage picture = cloudPicture(renderer, state, QSize(size, size), 1);
    picture.setDevicePixelRatio(1);
    return writePngFile(picture, path);
}

std::string QtPictureWriter::writeSlicePicture(const std::string& path, const SliceImage& slice, double scaleEnd) {
    return writePngFile(slicePicture(slice, scaleEnd), path);
}

}  // namespace vantrel
