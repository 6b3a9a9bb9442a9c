// The "Compare Orbital Energies" window: the diagram area beside the
// species options, the picked state, the instructions and the "Spectrum"
// link; a thin view over the plain LevelDiagram.
#pragma once

#include <QWidget>

#include <array>
#include <functional>

class QLabel;
class QRadioButton;

namespace vantrel {

class Dialogs;
class LevelDiagram;
class LevelDiagramArea;

class LevelDiagramWindow : public QWidget {
public:
    // An exception an action throws is shown through dialogs.
    LevelDiagramWindow(LevelDiagram& diagram, Dialogs& dialogs, QWidget* parent = nullptr);

    // Runs after the diagram handed a state to the main window, so that
    // the main window can show it.
    std::function<void()> stateHandedOver;
    // The main window, for the icon and the placement beside it.
    QWidget* mainWindow = nullptr;

    // Loads the diagram and shows the window; brings it to the front when
    // it is open already.
    void open();
    // Every widget from the diagram's state.
    void sync();
    void setDiagramEnabled(bool enabled);
    // Left edge = screen width - twice the window's width, but not over
    // the main window when there is room beside it.
    void place();

    LevelDiagramArea* area() const { return area_; }
    QRadioButton* speciesButton(int option) const { return species_[option]; }
    QLabel* spectrumLink() const { return spectrumLink_; }
    QLabel* energyLabel() const { return energy_; }
    QLabel* pickedLabel() const { return picked_; }
    QLabel* belowAreaLabel() const { return belowArea_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void act(const std::function<void()>& action);

    LevelDiagram& diagram_;
    Dialogs& dialogs_;
    LevelDiagramArea* area_ = nullptr;
    std::array<QRadioButton*, 4> species_{};
    QLabel* spectrumLink_ = nullptr;
    QLabel* energy_ = nullptr;
    QLabel* picked_ = nullptr;
    QLabel* belowArea_ = nullptr;
};

}  // namespace vantrel
