// The plain layers' values as Qt takes them: UTF-8 texts, and colours kept
// as 0x00BBGGRR (red in the low byte).
#pragma once

#include <QColor>
#include <QString>

#include <cstdint>
#include <string>

namespace vantrel {

inline QString qs(const std::string& s) { return QString::fromStdString(s); }

inline QColor qColor(std::uint32_t bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

}  // namespace vantrel
