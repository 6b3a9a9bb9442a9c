#include "output/intensitytable.h"

#include <fstream>
#include <string>

#include "engine/globals.h"
#include "engine/textutil.h"
#include "engine/wavefunction.h"
#include "output/platform.h"

namespace vantrel {

std::string getAllIntensities() {
    const std::string path = tempDir() + "/int.csv";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (int i = 2; i <= 20 && out; ++i) {
        for (int j = 1; j < i; ++j) {
            double v;
            getIntensity(i, j, v);
            out << i << ',' << j << ',' << numText(v) << crlf;
            pumpEvents();
        }
    }
    out.close();
    return out ? "" : "The file " + path + " could not be written.";
}

}  // namespace vantrel
