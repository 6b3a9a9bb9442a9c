// The emission spectrum window on screen: the two state lists as combo
// boxes, the level diagram and the spectrum strip as surfaces that draw the
// window state in twips. Every user action goes into the state; the widgets
// follow it afterwards.
#pragma once

#include <QWidget>

#include <memory>

#include "spectrum/spectrumwindow.h"

class QComboBox;
class QLabel;

namespace vantrel {

class SpectrumSurface;

class SpectrumView : public QWidget {
    Q_OBJECT
public:
    // The window's inner area in twips.
    static constexpr double twipWidth = 5790, twipHeight = 7335;

    explicit SpectrumView(SpectrumLinks links, QWidget* parent = nullptr);
    ~SpectrumView() override;

    SpectrumWindow& state() { return *state_; }
    QComboBox* list(int index) const { return lists_[index]; }
    QWidget* diagram() const;
    QWidget* strip() const;
    QLabel* energyLevelsLink() const { return link_; }

    // Widgets from the state.
    void sync();
    // Off while a run or a sequence works on the main window's orbital:
    // levels cannot be clicked or dragged then, as in the level window.
    void setLevelPickingEnabled(bool enabled);
    // Left of the main window, as the level window.
    void placeBeside(const QWidget* mainWindow);
    // Pixels per twip at the current size.
    double scale() const { return scale_; }
    // Where a point given in twips lies on the diagram or the strip.
    QPoint diagramPixel(double x, double y) const;
    QPoint stripPixel(double x, double y) const;

signals:
    void closed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layoutChildren();
    bool arrowKey(QKeyEvent* key);
    SpectrumList focusedList() const;

    std::unique_ptr<SpectrumWindow> state_;
    QComboBox* lists_[2] = {nullptr, nullptr};
    SpectrumSurface* diagram_ = nullptr;
    SpectrumSurface* strip_ = nullptr;
    QLabel* instructions_ = nullptr;
    QLabel* upperCaption_ = nullptr;
    QLabel* lowerCaption_ = nullptr;
    QLabel* wavelengthLabel_ = nullptr;
    QLabel* frequencyLabel_ = nullptr;
    QLabel* link_ = nullptr;
    double scale_ = 1.0 / 15;
    bool syncing_ = false;
};

}  // namespace vantrel
