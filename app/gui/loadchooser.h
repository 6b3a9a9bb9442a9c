// "Open Point File…" and "Recent Point Files" in the File menu: any point
// file of the cache, chosen by name, becomes the current orbital and is
// loaded as "&Load" loads it.
#pragma once

#include <QObject>
#include <QStringList>

#include <optional>
#include <string>

class QAction;
class QMenu;

namespace vantrel {

class MainWindowView;
struct Session;

// What a point file's name says, when the program formed it
// ("2_1_0_xy_(z_3)_quick.csv").
struct PointFileName {
    int n = 0, l = 0, m = 0;
    int z = 1;
    std::string plane;  // "", "xy", "yz" or "xz"
    bool quick = false;
};
std::optional<PointFileName> parsePointFileName(const std::string& fileName);

// The newest point files of the main directory's cache, newest first.
QStringList recentPointFiles(const std::string& mainDir, int count = 8);

// Makes the orbital the file names current and loads it; a file whose
// name names no orbital, or that is not in the cache, is refused with a
// message. True when it was loaded.
bool loadPointFile(Session& s, const std::string& path);

class LoadChooser : public QObject {
    Q_OBJECT
public:
    explicit LoadChooser(MainWindowView& view);

    // The file dialog on the cache, then the chosen file.
    void open();

    QAction* openAction() const { return open_; }
    QMenu* recentMenu() const { return recent_; }

private:
    void fillRecent();

    MainWindowView& view_;
    QAction* open_ = nullptr;
    QMenu* recent_ = nullptr;
};

}  // namespace vantrel
