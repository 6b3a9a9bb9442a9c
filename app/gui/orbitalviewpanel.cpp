#include "app/gui/orbitalviewpanel.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/gui/picturefiles.h"
#include "cloudview/gui/cloudviewwidget.h"
#include "cloudview/gui/pngfile.h"
#include "widgets/conversions.h"

namespace vantrel {

namespace {

OrbitalViewActions withDefaults(OrbitalViewActions a, QWidget* parent) {
    if (!a.fileStem) a.fileStem = [] { return std::string("orbital"); };
    if (!a.askPath)
        a.askPath = [parent](const QString& caption, const QString& name, const QString& filter) {
            return QFileDialog::getSaveFileName(parent, caption, name, filter);
        };
    if (!a.warn) a.warn = [parent](const std::string& text) { QMessageBox::warning(parent, "Vantrel", qs(text)); };
    return a;
}

const char* const planeNames[3] = {"xy", "yz", "xz"};

}  // namespace

OrbitalViewPanel::OrbitalViewPanel(OrbitalView& view, OrbitalViewActions actions, QWidget* parent)
    : QWidget(parent), view_(view), actions_(withDefaults(std::move(actions), this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    cloudView_ = new CloudViewWidget(view_.view, view_.renderer, this);
    cloudView_->setMinimumSize(200, 200);
    layout->addWidget(cloudView_, 1);
    label_ = new QLabel(this);
    label_->setAlignment(Qt::AlignCenter);
    layout->addWidget(label_);
    // The run's points reach the picture as events run during it, eleven
    // times a second: more would cost the run more than a tenth of its time.
    auto* feed = new QTimer(this);
    connect(feed, &QTimer::timeout, this, [this] {
        if (view_.takeNewPoints()) cloudView_->refresh();
    });
    feed->start(90);
    view_.shown = true;
    refresh();
}

OrbitalViewPanel::~OrbitalViewPanel() { view_.shown = false; }

void OrbitalViewPanel::refresh() {
    label_->setText(view_.surfacesShown() ? "Surfaces: " + qs(view_.surfaceLabel()) : QString());
    label_->setVisible(view_.surfacesShown());
    if (surfacesAction_) surfacesAction_->setChecked(view_.surfacesShown());
    // Painted again only when the picture changed: the window refreshes often during a run.
    cloudView_->refresh();
}

void OrbitalViewPanel::fillMenu(QMenu* menu) {
    surfacesAction_ = menu->addAction("Show &Surfaces");
    surfacesAction_->setCheckable(true);
    connect(surfacesAction_, &QAction::triggered, this, &OrbitalViewPanel::showSurfaces);
    menu->addAction("&Enclosed Probability...", this, [this] {
        bool ok = false;
        const int p = QInputDialog::getInt(this, "Enclosed Probability",
                                           "Per cent of the probability inside the surfaces:", view_.enclosedPercent(),
                                           minEnclosedPercent, maxEnclosedPercent, 1, &ok);
        if (!ok) return;
        const ExportSubject s = actions_.subject();
        view_.setEnclosedPercent(p, s.orbital, s.extent);
        refresh();
    });
    menu->addAction("S&lice in a Plane...", this, &OrbitalViewPanel::showSliceDialog);
    menu->addSeparator();
    menu->addAction("Save &Cube File...", this, &OrbitalViewPanel::exportCube);
    const std::pair<const char*, MeshFormat> meshes[] = {{"Save Surfaces as &glTF...", MeshFormat::glb},
                                                         {"Save Surfaces as S&TL...", MeshFormat::stl},
                                                         {"Save Surfaces as &PLY...", MeshFormat::ply},
                                                         {"Save Surfaces as &OBJ...", MeshFormat::obj}};
    for (auto [caption, format] : meshes)
        menu->addAction(caption, this, [this, format = format] { exportSurfaces(format); });
    menu->addAction("Save Sl&ice Pictures...", this, &OrbitalViewPanel::exportSlices);
    menu->addSeparator();
    menu->addAction("Save &View Picture...", this, [this] { exportView(1); });
    menu->addAction("Save View Picture at &Twice the Size...", this, [this] { exportView(2); });
    menu->addAction("Cop&y View", cloudView_, &CloudViewWidget::copyToClipboard);
}

void OrbitalViewPanel::showSurfaces(bool show) {
    if (!show) {
        view_.hideSurfaces();
    } else {
        const ExportSubject s = actions_.subject();
        const std::string problem = view_.showSurfaces(s.orbital, s.extent);
        if (!problem.empty()) actions_.warn("The surfaces could not be made: " + problem);
    }
    refresh();
}

void OrbitalViewPanel::exportCube() {
    const QString path = actions_.askPath("Save Cube File", qs(actions_.fileStem() + ".cube"), "Gaussian Cube Files (*.cube)");
    if (path.isEmpty()) return;
    const ExportSubject s = actions_.subject();
    const std::string problem = writeCubeOf(s.orbital, s.extent, path.toStdString());
    if (!problem.empty()) actions_.warn("Couldn't write " + path.toStdString() + ": " + problem);
}

const SignSurfaces* OrbitalViewPanel::surfacesForExport(const ExportSubject& subject, SignSurfaces& made) {
    if (view_.surfacesShown()) return &view_.surfaces();
    const PsiGridOutcome grid = evaluatePsiGrid(subject.orbital, subject.extent);
    OrbitalSurfaces s = grid.problem.empty() ? orbitalSurfaces(subject.orbital, grid.grid, view_.enclosedPercent())
                                             : OrbitalSurfaces{{}, "", grid.problem};
    if (!s.problem.empty()) {
        actions_.warn("The surfaces could not be made: " + s.problem);
        return nullptr;
    }
    made = std::move(s.surfaces);
    return &made;
}

void OrbitalViewPanel::exportSurfaces(MeshFormat format) {
    struct Kind {
        const char *ending, *filter;
    };
    const Kind kinds[] = {{".glb", "Binary glTF (*.glb)"}, {".stl", "STL, millimetres (*.stl)"},
                          {".ply", "PLY (*.ply)"}, {".obj", "Wavefront OBJ (*.obj)"}};
    const Kind& kind = kinds[static_cast<int>(format)];
    const QString path = actions_.askPath("Save Surfaces", qs(actions_.fileStem() + kind.ending), kind.filter);
    if (path.isEmpty()) return;
    SignSurfaces made;
    const SignSurfaces* surfaces = surfacesForExport(actions_.subject(), made);
    if (!surfaces) return;
    const std::string problem = writeSurfaceFile(*surfaces, format, path.toStdString());
    if (!problem.empty()) actions_.warn("Couldn't write " + path.toStdString() + ": " + problem);
}

void OrbitalViewPanel::exportSlices() {
    QString path = actions_.askPath("Save Slice Pictures (name.xy.png, name.yz.png, name.xz.png)",
                                    qs(actions_.fileStem() + ".png"), "PNG Images (*.png)");
    if (path.isEmpty()) return;
    if (path.endsWith(".png")) path.chop(4);
    ExportChoices slices;
    slices.slice = true;
    QtPictureWriter pictures;
    const ExportOutcome out = writeOrbitalExports(actions_.subject(), path.toStdString(), slices, &pictures, actions_.keepResponsive);
    for (const std::string& p : out.problems) actions_.warn(p);
}

void OrbitalViewPanel::exportView(int factor) {
    const QString path = actions_.askPath(factor == 2 ? "Save View Picture at Twice the Size" : "Save View Picture",
                                          qs(actions_.fileStem() + ".png"), "PNG Images (*.png)");
    if (path.isEmpty()) return;
    const int kept = view_.view.exportFactor;
    view_.view.exportFactor = factor;
    const std::string problem = writePngFile(cloudView_->exportImage(), path.toStdString());
    view_.view.exportFactor = kept;
    if (!problem.empty()) actions_.warn("Couldn't write " + path.toStdString() + ": " + problem);
}

void OrbitalViewPanel::showSliceDialog() {
    auto* dialog = findChild<SliceDialog*>();
    if (!dialog) dialog = new SliceDialog(actions_, this);
    dialog->redraw();
    dialog->show();
    dialog->raise();
}

SliceDialog::SliceDialog(const OrbitalViewActions& actions, QWidget* parent) : QDialog(parent), actions_(actions) {
    setWindowTitle("Slice in a Plane");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QHBoxLayout;
    plane_ = new QComboBox(this);
    for (const char* name : planeNames) plane_->addItem(QString(name) + " plane");
    offset_ = new QDoubleSpinBox(this);
    offset_->setSuffix(" Å");
    offset_->setDecimals(2);
    form->addWidget(new QLabel("Plane:", this));
    form->addWidget(plane_);
    form->addWidget(new QLabel("Offset:", this));
    form->addWidget(offset_);
    form->addStretch(1);
    auto* save = new QPushButton("&Save Picture...", this);
    save->setAutoDefault(false);
    form->addWidget(save);
    layout->addLayout(form);
    image_ = new QLabel(this);
    layout->addWidget(image_, 1);
    connect(plane_, &QComboBox::currentIndexChanged, this, &SliceDialog::redraw);
    connect(offset_, &QDoubleSpinBox::valueChanged, this, &SliceDialog::redraw);
    connect(save, &QPushButton::clicked, this, &SliceDialog::save);
}

void SliceDialog::redraw() {
    const ExportSubject s = actions_.subject();
    {
        const QSignalBlocker block(offset_);
        offset_->setRange(-s.extent, s.extent);
        offset_->setSingleStep(s.extent / 20);
    }
    SliceRequest request;
    request.plane = static_cast<SlicePlane>(plane_->currentIndex());
    request.offset = offset_->value();
    request.extent = s.extent;
    request.pixels = slicePixels;
    const SliceImage slice = psiSlice(s.orbital, request);
    if (!slice.problem.empty()) {
        picture_ = QImage();
        image_->setText(qs(slice.problem));
        return;
    }
    picture_ = slicePicture(slice, slice.maxAbsPsi * normalisedPsiFactor(s.orbital), request.offset);
    image_->setPixmap(QPixmap::fromImage(picture_));
}

void SliceDialog::save() {
    const QString path = actions_.askPath("Save Slice Picture",
                                          qs(actions_.fileStem() + "." + planeNames[plane_->currentIndex()] + ".png"),
                                          "PNG Images (*.png)");
    if (path.isEmpty()) return;
    const std::string problem = writePngFile(picture_, path.toStdString());
    if (!problem.empty()) actions_.warn("Couldn't write " + path.toStdString() + ": " + problem);
}

}  // namespace vantrel
