// The point data file (".csv") and its conversion to an XYZ file.
#pragma once

namespace vantrel {

inline constexpr int headerlength = 50;

bool writexyzfile();
void readpointfile();

// "&Load" (Command2) click.
void loadclick();

}  // namespace vantrel
