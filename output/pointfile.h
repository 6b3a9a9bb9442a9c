// The point data file (".csv") and its conversion to an XYZ file.
#pragma once

namespace vantrel {

inline constexpr int headerLength = 50;

bool writeXyzFile();
void readPointFile();

// "&Load" (loadButton) click.
void loadClick();

}  // namespace vantrel
