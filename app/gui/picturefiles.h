// PNG pictures of the cloud and of psi in a plane, drawn with QPainter and
// written whole or not at all. Any QGuiApplication serves, the offscreen
// platform of a batch run too.
#pragma once

#include <QImage>
#include <QRect>

#include <string>

#include "app/orbitalexports.h"

namespace vantrel {

// Where the plane itself lies in a slice picture (the rest holds its axes'
// names, the scale bar and the colour scale).
QRect sliceArea(const SliceImage& slice);
// scaleEnd: the colour scale's ends (normalised psi); offset: where the
// plane lies along its normal, for the title.
QImage slicePicture(const SliceImage& slice, double scaleEnd, double offset = 0);

class QtPictureWriter : public PictureWriter {
public:
    std::string writeCloudPicture(const std::string& path, const CloudViewState& state,
                                  const std::vector<CloudPoint>& points, const std::vector<SurfaceMesh>& surfaces,
                                  int size) override;
    std::string writeSlicePicture(const std::string& path, const SliceImage& slice, double scaleEnd) override;
};

}  // namespace vantrel
