// The 3-D view's picture with its text: the rendered frame, the axis labels
// and the legend, painted with QPainter. Serves the widget, saved pictures
// and batch runs (any QGuiApplication, the offscreen platform too).
#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QSize>

#include <vector>

#include "cloudview/cloudviewstate.h"
#include "output/cloudrender.h"

namespace vantrel {

// Where the text went, in logical pixels.
struct PictureText {
    QRectF legend;               // null when there is nothing to explain
    std::vector<QRectF> labels;  // x, y, z
};

// Paints a frame rendered for `scene` and its text; the painter's logical
// pixels are scene.pixelRatio device pixels.
PictureText paintCloudPicture(QPainter& painter, const CloudImage& image, const CloudViewState& state,
                              const CloudScene& scene);

// A picture of `size` logical pixels, pixelRatio device pixels each.
QImage cloudPicture(CloudRenderer& renderer, const CloudViewState& state, QSize size, double pixelRatio,
                    PictureText* text = nullptr);

}  // namespace vantrel
