#include "support/testsupport.h"

#include "app/orbitalcontrols.h"

namespace vantrel::test {

void FreshState::SetUp() {
    s.dialogs = &dialogs;
    s.random.seed(12345);
    s.programDir = programCopy();
    setenv("XDG_DATA_HOME", dataHome.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", configHome.path().c_str(), 1);
}

void FreshState::TearDown() {
    unsetenv("XDG_DATA_HOME");
    unsetenv("XDG_CONFIG_HOME");
}

const std::string& programCopy() {
    static TempDir dir("program");
    static const bool copied = [] {
        const fs::path built = fs::path(VANTREL_EXE).parent_path();
        for (const char* name : {"vantrel", "frames.ht", "index.htm", "schroed.pdf"}) {
            std::error_code ec;
            fs::copy_file(built / name, fs::path(dir.path()) / name, fs::copy_options::overwrite_existing, ec);
        }
        return true;
    }();
    (void)copied;
    return dir.path();
}

std::string programCopyExe() { return programCopy() + "/vantrel"; }

void CacheState::choose(int n, int l, int m, int extent, int quota, int region) {
    f.maxPointsText.text = intText(quota);
    f.regionOptions[region].select();
    o.planeName = f.regionOptions[region].tag;
    typeQuantum(intText(n), intText(l), intText(m), intText(extent).c_str());
}

void FreshState::typeQuantum(const std::string& n, const std::string& l, const std::string& m, const char* extent) {
    f.quantumText[0].text = n, f.quantumText[1].text = l, f.quantumText[2].text = m;
    if (extent) f.extentText.text = extent;
    updateOrbital(s, true);
}

}  // namespace vantrel::test
