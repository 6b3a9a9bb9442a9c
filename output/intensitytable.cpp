#include "output/intensitytable.h"

#include <string>

#include "engine/textutil.h"
#include "engine/wavefunction.h"
#include "output/platform.h"
#include "output/replacingfile.h"

namespace vantrel {

std::string getAllIntensities(int z, int binsPerAngstrom, const std::function<void()>& keepResponsive) {
    const std::string path = tempDir() + "/int.csv";
    std::string text;
    for (int i = 2; i <= 20; ++i) {
        for (int j = 1; j < i; ++j) {
            const double v = getIntensity(z, i, j, binsPerAngstrom);
            text += intText(i) + ',' + intText(j) + ',' + numText(v) + crlf;
            if (keepResponsive) keepResponsive();
        }
    }
    // A shared temporary folder: never written through a link left there.
    return replaceFile(path, text).empty() ? "" : "The file " + path + " could not be written.";
}

}  // namespace vantrel
