// Converting and reading back a large point data file: a 3-D run of
// 320 000 points should turn into its XYZ file in well under half a second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/session.h"
#include "engine/orbital.h"
#include "app/platformhooks.h"
#include "output/pointfile.h"
#include "engine/random.h"
#include "app/orbitalcontrols.h"
#include "app/orbitalfiles.h"

namespace {

using namespace vantrel;

constexpr int pointCount = 320000;

struct Scratch {
    std::string dir;
    Scratch() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-bench-XXXXXX").string();
        dir = mkdtemp(pattern.data()) ? pattern : "/tmp";
        std::filesystem::create_directory(dir + "/files");
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

// A 2p orbital with extent 10 and a synthetic cloud of points in its cube.
void prepareFile(Session& session, const std::string& mainDir) {
    auto& f = session.window;
    // Whole strings: GCC 12 takes a literal assigned here for an overlapping copy.
    for (int i = 0; i < 3; ++i) f.quantumText[i].text = std::string(1, "210"[i]);
    f.extentText.text = "10";
    auto& o = session.orbital;
    session.mainDir = mainDir;
    o.currentN = 2;
    o.currentL = 1;
    o.extent = 10;
    o.axisMax = 20;
    o.baseName = "2_1_0_";
    o.csvFile = mainDir + "/files/2_1_0_.csv";
    o.xyzFile = mainDir + "/files/2_1_0_.xyz";
    updateOrbital(session, false);

    std::FILE* out = std::fopen(o.csvFile.c_str(), "wb");
    if (!out) std::abort();
    std::fprintf(out, "%-50s\r\n", (std::to_string(pointCount) + ",10,0.0123456789012345").c_str());
    Random r(42);
    for (int i = 0; i < pointCount; ++i) {
        const double x = (r.uniform() - 0.5) * 20, y = (r.uniform() - 0.5) * 20, z = (r.uniform() - 0.5) * 20;
        const double psi = z * std::exp(-std::sqrt(x * x + y * y + z * z) / 2) * 0.01;
        std::fprintf(out, "%.15G,%.15G,%.15G,%.15G\r\n", x, y, z, psi);
    }
    std::fclose(out);
}

void BM_WriteXyzFile(benchmark::State& state) {
    Scratch scratch;
    Session session;
    prepareFile(session, scratch.dir);
    for (auto _ : state) benchmark::DoNotOptimize(writeXyzFile(session));
    state.SetItemsProcessed(state.iterations() * pointCount);
}
BENCHMARK(BM_WriteXyzFile)->Unit(benchmark::kMillisecond);

void BM_ReadPointFile(benchmark::State& state) {
    Scratch scratch;
    Session session;
    prepareFile(session, scratch.dir);
    for (auto _ : state) readPointFile(session);
    state.SetItemsProcessed(state.iterations() * pointCount);
}
BENCHMARK(BM_ReadPointFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
