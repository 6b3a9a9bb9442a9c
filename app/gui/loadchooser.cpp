#include "app/gui/loadchooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

#include <regex>

#include "app/gui/mainwindowview.h"
#include "app/orbitalcontrols.h"
#include "app/orbitalfiles.h"
#include "app/windowstate.h"
#include "app/appstate.h"
#include "app/ignoringerrors.h"
#include "app/platformhooks.h"
#include "app/session.h"

namespace vantrel {
namespace {

QString cacheDir(const std::string& mainDir) { return QString::fromStdString(mainDir + "/files"); }

}  // namespace

std::optional<PointFileName> parsePointFileName(const std::string& fileName) {
    // Doubled underscores were folded into one when the name was formed.
    static const std::regex form(R"(^(\d{1,4})_(\d{1,4})_(-?\d{1,4})_(xy|yz|xz)?_?(?:\(z_(\d{1,3})\))?_?(quick)?\.csv$)");
    std::smatch m;
    if (!std::regex_match(fileName, m, form)) return std::nullopt;
    PointFileName p;
    p.n = std::stoi(m[1]);
    p.l = std::stoi(m[2]);
    p.m = std::stoi(m[3]);
    p.plane = m[4];
    if (m[5].matched) p.z = std::stoi(m[5]);
    p.quick = m[6].matched;
    if (p.z < 1 || p.z > 120) return std::nullopt;
    return p;
}

QStringList recentPointFiles(const std::string& mainDir, int count) {
    QStringList paths;
    const QFileInfoList files = QDir(cacheDir(mainDir)).entryInfoList({"*.csv"}, QDir::Files, QDir::Time);
    for (const QFileInfo& file : files) {
        if (paths.size() >= count) break;
        if (parsePointFileName(file.fileName().toStdString())) paths << file.absoluteFilePath();
    }
    return paths;
}

bool loadPointFile(Session& s, const std::string& path) {
    const QFileInfo chosen(QString::fromStdString(path));
    const auto name = parsePointFileName(chosen.fileName().toStdString());
    if (!name) {
        s.dialogs->messageBox(chosen.fileName().toStdString() + " is not a point file of this program: its name does not give n, l and m.");
        return false;
    }
    if (chosen.absoluteDir() != QDir(cacheDir(s.mainDir))) {
        s.dialogs->messageBox("Point files are loaded from the cache folder " + cacheDir(s.mainDir).toStdString() + ".");
        return false;
    }
    auto& f = s.window;
    ignoringErrors([&] {
        f.regionOptions[0].select();
        for (Control& option : f.regionOptions)
            if (!name->plane.empty() && option.tag == name->plane) option.select();
        f.quickMenuItem.checked = name->quick;
        setOrbital(s, name->z, name->n, name->l, name->m, false);
    });
    if (QFileInfo(QString::fromStdString(s.orbital.csvFile)) != chosen) {
        s.dialogs->messageBox(chosen.fileName().toStdString() + " does not name an orbital this program can show.");
        return false;
    }
    ignoringErrors([&s] { loadClick(s); });
    return true;
}

LoadChooser::LoadChooser(MainWindowView& view) : QObject(&view), view_(view) {
    QMenu* file = view.menuFor(view.session().window.fileMenu);
    if (!file) return;
    QAction* first = file->actions().value(0);
    open_ = new QAction("Open Point File…", file);
    open_->setObjectName("openPointFileAction");
    connect(open_, &QAction::triggered, this, &LoadChooser::open);
    recent_ = new QMenu("Recent Point Files", file);
    recent_->setObjectName("recentPointFilesMenu");
    // A disabled submenu never shows: it is filled whenever the File menu opens.
    connect(file, &QMenu::aboutToShow, this, &LoadChooser::fillRecent);
    file->insertAction(first, open_);
    file->insertMenu(first, recent_);
    file->insertSeparator(first);
    fillRecent();
}

void LoadChooser::open() {
    QFileDialog chooser(&view_, "Open Point File", cacheDir(view_.session().mainDir), "Point files (*.csv)");
    chooser.setObjectName("pointFileDialog");
    chooser.setFileMode(QFileDialog::ExistingFile);
    // The same dialog everywhere, and one tests can answer.
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
    loadPointFile(view_.session(), chooser.selectedFiles().first().toStdString());
    view_.syncAll();
}

void LoadChooser::fillRecent() {
    recent_->clear();
    const QStringList files = recentPointFiles(view_.session().mainDir);
    for (const QString& path : files) {
        QAction* a = recent_->addAction(QFileInfo(path).fileName());
        connect(a, &QAction::triggered, this, [this, path] {
            loadPointFile(view_.session(), path.toStdString());
            view_.syncAll();
        });
    }
    recent_->setEnabled(!files.isEmpty());
}

}  // namespace vantrel
