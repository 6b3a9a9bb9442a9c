#include "cloudview/gui/cloudviewwidget.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QGestureEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QPinchGesture>
#include <QToolButton>
#include <QWheelEvent>

#include <cmath>
#include <functional>

#include "cloudview/gui/pngfile.h"

namespace vantrel {

CloudViewWidget::CloudViewWidget(CloudViewState& state, CloudRenderer& renderer, QWidget* parent)
    : QWidget(parent), state_(state), renderer_(renderer) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    grabGesture(Qt::PinchGesture);
    const char* captions[4] = {"x", "y", "z", "⟲"};
    const char* tips[4] = {"View Along x (the yz Plane)", "View Along y (the xz Plane)", "View Along z (the xy Plane)",
                           "Reset the View (Double Click)"};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QToolButton(this);
        b->setText(QString::fromUtf8(captions[i]));
        b->setToolTip(QString::fromUtf8(tips[i]));
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this, [this, i] {
            if (i < 3)
                state_.viewAlong(static_cast<ViewAxis>(i));
            else
                state_.resetCamera();
            changed();
        });
        buttons_[i] = b;
    }
    connect(&timer_, &QTimer::timeout, this, &CloudViewWidget::refresh);
    timer_.start(refreshMilliseconds);
}

CloudScene CloudViewWidget::currentScene() const {
    const double ratio = devicePixelRatioF();
    return state_.scene(static_cast<int>(std::lround(width() * ratio)), static_cast<int>(std::lround(height() * ratio)),
                        ratio);
}

void CloudViewWidget::refresh() {
    if (isVisible() && !renderer_.isCurrent(currentScene())) update();
}

void CloudViewWidget::changed() {
    update();
    emit stateChanged();
}

void CloudViewWidget::paintEvent(QPaintEvent*) {
    const CloudScene scene = currentScene();
    // The buttons' captions in the colour of the axes.
    const QColor ink = state_.blackBackground ? QColor(225, 225, 225) : QColor(30, 30, 30);
    if (buttons_[0]->palette().color(QPalette::ButtonText) != ink)
        for (QToolButton* b : buttons_) {
            QPalette pal = b->palette();
            pal.setColor(QPalette::ButtonText, ink);
            b->setPalette(pal);
        }
    renderer_.render(scene);
    QPainter p(this);
    text_ = paintCloudPicture(p, renderer_.image(), state_, scene);
}

void CloudViewWidget::resizeEvent(QResizeEvent*) {
    int x = width() - 4;
    for (int i = 3; i >= 0; --i) {
        const QSize s = buttons_[i]->sizeHint();
        x -= s.width();
        buttons_[i]->setGeometry(x, 4, s.width(), s.height());
    }
}

QImage CloudViewWidget::exportImage() {
    const ExportSize s = state_.exportSize(width(), height());
    const double factor = static_cast<double>(s.width) / std::max(1, width());
    QImage picture = cloudPicture(renderer_, state_, QSize(width(), height()), factor);
    picture.setDevicePixelRatio(1);  // a file has no screen to fit
    update();                        // the renderer now holds the picture, not the view
    return picture;
}

bool CloudViewWidget::savePng(const QString& path) { return writePngFile(exportImage(), path.toStdString()).empty(); }

void CloudViewWidget::copyToClipboard() { QApplication::clipboard()->setImage(exportImage()); }

void CloudViewWidget::saveAs() {
    const QString path = QFileDialog::getSaveFileName(this, "Save Picture", "orbital.png", "PNG Images (*.png)");
    if (path.isEmpty()) return;
    const std::string problem = writePngFile(exportImage(), path.toStdString());
    if (!problem.empty())
        QMessageBox::warning(this, "Save Picture",
                             "The picture could not be written to " + path + ": " + QString::fromStdString(problem) + ".");
}

void CloudViewWidget::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return QWidget::mousePressEvent(e);
    dragging_ = true;
    lastPos_ = e->position().toPoint();
}

void CloudViewWidget::mouseMoveEvent(QMouseEvent* e) {
    if (!dragging_) return;
    const QPoint pos = e->position().toPoint();
    state_.drag(pos.x() - lastPos_.x(), pos.y() - lastPos_.y());
    lastPos_ = pos;
    changed();
}

void CloudViewWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) dragging_ = false;
}

void CloudViewWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    state_.resetCamera();
    changed();
}

void CloudViewWidget::wheelEvent(QWheelEvent* e) {
    const int delta = e->angleDelta().y();
    if (delta == 0) return e->ignore();
    state_.wheel(delta);
    changed();
}

bool CloudViewWidget::event(QEvent* e) {
    if (e->type() == QEvent::NativeGesture) {
        auto* g = static_cast<QNativeGestureEvent*>(e);
        if (g->gestureType() == Qt::ZoomNativeGesture) {
            state_.pinch(1 + g->value());
            changed();
            return true;
        }
    } else if (e->type() == QEvent::Gesture) {
        if (auto* pinch = static_cast<QPinchGesture*>(static_cast<QGestureEvent*>(e)->gesture(Qt::PinchGesture))) {
            state_.pinch(pinch->scaleFactor());
            changed();
            return true;
        }
    }
    return QWidget::event(e);
}

void CloudViewWidget::keyPressEvent(QKeyEvent* e) {
    static const std::pair<int, ViewKey> keys[] = {
        {Qt::Key_Left, ViewKey::left},         {Qt::Key_Right, ViewKey::right},    {Qt::Key_Up, ViewKey::up},
        {Qt::Key_Down, ViewKey::down},         {Qt::Key_Plus, ViewKey::zoomIn},    {Qt::Key_Equal, ViewKey::zoomIn},
        {Qt::Key_Minus, ViewKey::zoomOut},     {Qt::Key_PageUp, ViewKey::cutForward},
        {Qt::Key_PageDown, ViewKey::cutBack}};
    for (auto [qtKey, key] : keys)
        if (e->key() == qtKey) {
            state_.key(key);
            return changed();
        }
    QWidget::keyPressEvent(e);
}

void CloudViewWidget::contextMenuEvent(QContextMenuEvent* e) {
    QMenu menu(this);
    auto check = [&](QMenu* m, const char* caption, bool on, std::function<void(bool)> set, QActionGroup* group = nullptr) {
        QAction* a = m->addAction(QString::fromUtf8(caption));
        a->setCheckable(true);
        a->setChecked(on);
        if (group) group->addAction(a);
        connect(a, &QAction::triggered, this, [this, set](bool v) {
            set(v);
            changed();
        });
    };
    auto* styles = new QActionGroup(&menu);
    check(&menu, "Density", state_.style == CloudStyle::density, [this](bool) { state_.style = CloudStyle::density; }, styles);
    check(&menu, "Dots", state_.style == CloudStyle::dots, [this](bool) { state_.style = CloudStyle::dots; }, styles);
    menu.addSeparator();
    auto* colourings = new QActionGroup(&menu);
    check(&menu, "Color by Sign of ψ", state_.colouring == CloudColouring::sign,
          [this](bool) { state_.colouring = CloudColouring::sign; }, colourings);
    check(&menu, "Color by Probability Class", state_.colouring == CloudColouring::probability,
          [this](bool) { state_.colouring = CloudColouring::probability; }, colourings);
    menu.addSeparator();
    QMenu* cut = menu.addMenu("Cutaway");
    auto* planes = new QActionGroup(&menu);
    const std::pair<const char*, CutPlane> cuts[] = {
        {"None", CutPlane::none}, {"xy Plane", CutPlane::xy}, {"yz Plane", CutPlane::yz}, {"xz Plane", CutPlane::xz}};
    for (auto [caption, plane] : cuts)
        check(cut, caption, state_.cut.plane == plane, [this, plane = plane](bool) { state_.cut.plane = plane; }, planes);
    cut->addSeparator();
    check(cut, "Hide the Lower Side", !state_.cut.hideAbove, [this](bool v) { state_.cut.hideAbove = !v; });
    cut->addAction("Through the Nucleus", this, [this] {
        state_.setCutOffset(0);
        changed();
    });
    menu.addSeparator();
    check(&menu, "Show Cloud", state_.showCloud, [this](bool v) { state_.showCloud = v; });
    if (renderer_.surfaceCount() > 0) check(&menu, "Show Surfaces", state_.showSurfaces, [this](bool v) { state_.showSurfaces = v; });
    check(&menu, "Include Axes", state_.axes, [this](bool v) { state_.axes = v; });
    check(&menu, "Include Bounding Box", state_.box, [this](bool v) { state_.box = v; });
    check(&menu, "Black Background", state_.blackBackground, [this](bool v) { state_.blackBackground = v; });
    menu.addSeparator();
    check(&menu, "Pictures at Twice the Size", state_.exportFactor == 2, [this](bool v) { state_.exportFactor = v ? 2 : 1; });
    menu.addAction("Save Picture...", this, &CloudViewWidget::saveAs);
    menu.addAction("Copy Picture", this, &CloudViewWidget::copyToClipboard);
    menu.exec(e->globalPos());
}

}  // namespace vantrel
