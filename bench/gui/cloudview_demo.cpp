// The 3-D view alone, filled from a cloud sampled here: a window where the
// points arrive in portions as in a run, or a picture for the README.
//
//   cloudview_demo [N L M] [points=P] [dots] [probability] [black] [box]
//                  [cut=xy|yz|xz] [along=x|y|z] [size=S] [shot=FILE.png] [grab=FILE.png]
//
// shot= saves the picture as the view exports it; grab= the widget itself,
// buttons and all.
#include <QApplication>
#include <QString>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "cloudview/gui/cloudpicture.h"
#include "cloudview/gui/cloudviewwidget.h"
#include "cloudview/samplecloud.h"
#include "engine/wavefunction.h"

using namespace vantrel;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int numbers[3] = {3, 2, 0}, given = 0, size = 640;
    std::size_t points = 320000;
    std::string shot, grab;
    CloudViewState state;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&a] { return a.substr(a.find('=') + 1); };
        if (given < 3 && !a.empty() && (std::isdigit(static_cast<unsigned char>(a[0])) || a[0] == '-'))
            numbers[given++] = std::atoi(a.c_str());
        else if (a.rfind("points=", 0) == 0) points = std::strtoul(value().c_str(), nullptr, 10);
        else if (a == "dots") state.style = CloudStyle::dots;
        else if (a == "probability") state.colouring = CloudColouring::probability;
        else if (a == "black") state.blackBackground = true;
        else if (a == "box") state.box = true;
        else if (a.rfind("cut=", 0) == 0)
            state.cut.plane = value() == "xy" ? CutPlane::xy : value() == "yz" ? CutPlane::yz : CutPlane::xz;
        else if (a.rfind("along=", 0) == 0) state.viewAlong(value() == "x" ? ViewAxis::x : value() == "y" ? ViewAxis::y : ViewAxis::z);
        else if (a.rfind("size=", 0) == 0) size = std::atoi(value().c_str());
        else if (a.rfind("shot=", 0) == 0) shot = value();
        else if (a.rfind("grab=", 0) == 0) grab = value();
        else {
            std::fprintf(stderr, "unknown argument %s\n", a.c_str());
            return 2;
        }
    }
    Orbital orbital;
    orbital.setup(1, numbers[0], numbers[1], numbers[2]);
    const int n = numbers[0];
    state.extent = std::max(2, (n * n + 3 * n - 5) + (n < 3 ? 1 : 0));
    const SampledCloud cloud = sampleCloud(orbital, state.extent, points, 20240601);
    state.maxPsi2 = cloud.maxPsi2;
    CloudRenderer renderer;

    if (!shot.empty()) {
        renderer.addPoints(cloud.points);
        return cloudPicture(renderer, state, QSize(size, size), 1).save(QString::fromLocal8Bit(shot.c_str())) ? 0 : 1;
    }
    CloudViewWidget view(state, renderer);
    view.resize(size, size);
    view.setWindowTitle(QString("%1 %2 %3, %4 points").arg(numbers[0]).arg(numbers[1]).arg(numbers[2]).arg(cloud.points.size()));
    view.show();
    if (!grab.empty()) {
        renderer.addPoints(cloud.points);
        QApplication::processEvents();
        return view.grab().save(QString::fromLocal8Bit(grab.c_str())) ? 0 : 1;
    }
    // The points arrive in portions, as a run accepts them.
    std::size_t shown = 0;
    QTimer feed;
    QObject::connect(&feed, &QTimer::timeout, [&] {
        const std::size_t next = std::min(cloud.points.size(), shown + 5000);
        renderer.addPoints(std::span(cloud.points).subspan(shown, next - shown));
        shown = next;
        if (shown == cloud.points.size()) feed.stop();
    });
    feed.start(10);
    return app.exec();
}
