#include "cloudview/gui/pngfile.h"

#include <QBuffer>
#include <QByteArray>

#include <string_view>

#include "output/replacingfile.h"

namespace vantrel {

std::string writePngFile(const QImage& image, const std::string& path) {
    if (image.isNull()) return "there is no picture to write";
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return "the picture could not be encoded as PNG";
    return replaceFile(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace vantrel
