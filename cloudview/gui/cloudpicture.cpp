#include "cloudview/gui/cloudpicture.h"

#include <QFontMetricsF>
#include <QString>

#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {

QColor qColour(Rgb c, int alpha = 255) { return QColor(c.r, c.g, c.b, alpha); }

// The legend in the bottom left corner, away from the z label and the
// buttons: a swatch and a text a line, or, for many classes, one strip of
// swatches numbered at its ends.
QRectF paintLegend(QPainter& p, const CloudLegend& legend, QColor ink, QColor paper, double viewHeight) {
    if (legend.entries.empty() && legend.notes.empty() && legend.title.empty()) return {};
    const QFontMetricsF fm(p.font());
    const double line = fm.height(), pad = 6, swatch = std::round(line * 0.8), gap = 6;
    const bool strip = legend.entries.size() > 4;
    double width = 0, height = 0;
    if (!legend.title.empty()) width = fm.horizontalAdvance(QString::fromStdString(legend.title)), height += line;
    if (strip) {
        width = std::max(width, swatch * legend.entries.size());
        height += swatch + line;
    } else {
        for (const auto& e : legend.entries)
            width = std::max(width, swatch + gap + fm.horizontalAdvance(QString::fromStdString(e.text)));
        height += line * legend.entries.size();
    }
    for (const auto& n : legend.notes) width = std::max(width, fm.horizontalAdvance(QString::fromStdString(n)));
    height += line * legend.notes.size();
    const QRectF box(8, viewHeight - 8 - height - 2 * pad, width + 2 * pad, height + 2 * pad);
    p.setPen(QColor(ink.red(), ink.green(), ink.blue(), 90));
    p.setBrush(QColor(paper.red(), paper.green(), paper.blue(), 215));
    p.drawRoundedRect(box, 4, 4);

    double y = box.top() + pad;
    const double x = box.left() + pad;
    auto text = [&](double at, const std::string& s, Qt::Alignment align = Qt::AlignLeft, double w = 0) {
        p.setPen(ink);
        p.drawText(QRectF(at, y, w > 0 ? w : box.right() - at, line), align | Qt::AlignVCenter, QString::fromStdString(s));
    };
    if (!legend.title.empty()) text(x, legend.title), y += line;
    if (strip) {
        p.setPen(Qt::NoPen);
        for (std::size_t i = 0; i < legend.entries.size(); ++i) {
            p.setBrush(qColour(legend.entries[i].colour));
            p.drawRect(QRectF(x + swatch * i, y, swatch, swatch));
        }
        y += swatch;
        const double stripWidth = swatch * legend.entries.size();
        text(x, legend.entries.front().text, Qt::AlignLeft, stripWidth);
        text(x, legend.entries.back().text, Qt::AlignRight, stripWidth);
        y += line;
    } else {
        for (const auto& e : legend.entries) {
            p.setPen(QColor(ink.red(), ink.green(), ink.blue(), 120));
            p.setBrush(qColour(e.colour));
            p.drawRect(QRectF(x, y + (line - swatch) / 2, swatch, swatch));
            text(x + swatch + gap, e.text);
            y += line;
        }
    }
    for (const auto& n : legend.notes) text(x, n), y += line;
    return box;
}

}  // namespace

PictureText paintCloudPicture(QPainter& p, const CloudImage& image, const CloudViewState& state, const CloudScene& scene) {
    PictureText where;
    const double ratio = scene.pixelRatio > 0 ? scene.pixelRatio : 1;
    QImage frame(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height,
                 static_cast<qsizetype>(image.width) * 4, QImage::Format_RGB32);
    frame.setDevicePixelRatio(ratio);
    p.drawImage(QPointF(0, 0), frame);

    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QColor ink = state.blackBackground ? QColor(225, 225, 225) : QColor(30, 30, 30);
    const QColor paper = state.blackBackground ? QColor(0, 0, 0) : QColor(255, 255, 255);
    const double logicalWidth = image.width / ratio, logicalHeight = image.height / ratio;

    where.legend = paintLegend(p, state.legend(scene), ink, paper, logicalHeight);
    // The labels last: nothing hides them.
    QFont labelFont = p.font();
    labelFont.setBold(true);
    labelFont.setItalic(true);
    labelFont.setPointSizeF(std::max(8.0, labelFont.pointSizeF() * 1.2));
    p.save();
    p.setFont(labelFont);
    p.setPen(ink);
    const QFontMetricsF fm(labelFont);
    for (const ScreenLabel& l : image.labels) {
        const QString s = QString::fromStdString(l.text);
        const double w = fm.horizontalAdvance(s) + 2, h = fm.height();
        const double cx = std::clamp(l.x / ratio, w / 2, std::max(w / 2, logicalWidth - w / 2));
        const double cy = std::clamp(l.y / ratio, h / 2, std::max(h / 2, logicalHeight - h / 2));
        const QRectF r(cx - w / 2, cy - h / 2, w, h);
        p.drawText(r, Qt::AlignCenter, s);
        where.labels.push_back(r);
    }
    p.restore();
    return where;
}

QImage cloudPicture(CloudRenderer& renderer, const CloudViewState& state, QSize size, double pixelRatio,
                    PictureText* text) {
    const CloudScene scene = state.scene(static_cast<int>(std::lround(size.width() * pixelRatio)),
                                         static_cast<int>(std::lround(size.height() * pixelRatio)), pixelRatio);
    renderer.render(scene);
    const CloudImage& image = renderer.image();
    QImage picture(image.width, image.height, QImage::Format_RGB32);
    picture.setDevicePixelRatio(pixelRatio);
    QPainter p(&picture);
    const PictureText where = paintCloudPicture(p, image, state, scene);
    if (text) *text = where;
    return picture;
}

}  // namespace vantrel
