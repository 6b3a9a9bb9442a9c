// Pictures saved as PNG files that are replaced only once whole.
#pragma once

#include <QImage>

#include <string>

namespace vantrel {

// "" or the problem; a failed write leaves the target as it was.
std::string writePngFile(const QImage& image, const std::string& path);

}  // namespace vantrel
