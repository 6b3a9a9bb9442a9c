// The 3-D view in the main window: the cloud (and the surfaces) with the
// surfaces' label under it, and the window's menu of surfaces, slices and
// files for other programs.
#pragma once

#include <QDialog>
#include <QString>
#include <QWidget>

#include <functional>
#include <string>

#include "app/orbitalview.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QMenu;

namespace vantrel {

class CloudViewWidget;

// What the menu needs from the window; each has a default but `subject`.
struct OrbitalViewActions {
    std::function<ExportSubject()> subject;  // the current orbital, its cube and point file, the view's options
    std::function<std::string()> fileStem;   // suggested names: "3_1_0__n"
    // A path to write to; "" when the user cancelled.
    std::function<QString(const QString& caption, const QString& name, const QString& filter)> askPath;
    std::function<void(const std::string&)> warn;
    std::function<void()> keepResponsive;  // between the steps of a long export
};

class OrbitalViewPanel : public QWidget {
    Q_OBJECT
public:
    OrbitalViewPanel(OrbitalView& view, OrbitalViewActions actions, QWidget* parent = nullptr);
    ~OrbitalViewPanel() override;

    QSize sizeHint() const override { return {460, 460}; }
    CloudViewWidget* cloudView() const { return cloudView_; }
    QLabel* surfaceLabel() const { return label_; }
    OrbitalView& orbitalView() { return view_; }
    // Fills the window's menu: surfaces, slices and exports.
    void fillMenu(QMenu* menu);
    // The label and the picture from the state.
    void refresh();

    void showSurfaces(bool show);
    void exportCube();
    void exportSurfaces(MeshFormat format);
    void exportSlices();
    void exportView(int factor);
    void showSliceDialog();

private:
    // The surfaces of what the view shows, made when it shows none.
    const SignSurfaces* surfacesForExport(const ExportSubject& subject, SignSurfaces& made);

    OrbitalView& view_;
    OrbitalViewActions actions_;
    CloudViewWidget* cloudView_ = nullptr;
    QLabel* label_ = nullptr;
    QAction* surfacesAction_ = nullptr;
};

// psi in a plane of the current orbital, through the nucleus or offset
// along the plane's normal, with its scale bar and colour scale.
class SliceDialog : public QDialog {
    Q_OBJECT
public:
    SliceDialog(const OrbitalViewActions& actions, QWidget* parent = nullptr);
    // Draws the plane anew for the current orbital.
    void redraw();
    const QImage& picture() const { return picture_; }
    QComboBox* planeBox() const { return plane_; }
    QDoubleSpinBox* offsetBox() const { return offset_; }
    void save();

private:
    const OrbitalViewActions& actions_;
    QComboBox* plane_ = nullptr;
    QDoubleSpinBox* offset_ = nullptr;
    QLabel* image_ = nullptr;
    QImage picture_;
};

}  // namespace vantrel
