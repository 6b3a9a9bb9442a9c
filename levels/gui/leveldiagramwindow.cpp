#include "levels/gui/leveldiagramwindow.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "levels/gui/leveldiagramarea.h"
#include "levels/leveldiagram.h"
#include "widgets/conversions.h"
#include "widgets/guardedaction.h"
#include "widgets/pictureexport.h"
#include "widgets/screenfit.h"

namespace vantrel {

namespace {

constexpr int panelWidth = 230;

}  // namespace

LevelDiagramWindow::LevelDiagramWindow(LevelDiagram& diagram, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), diagram_(diagram), dialogs_(dialogs) {
    setWindowTitle(qs(levelWindowTitle));
    setAttribute(Qt::WA_QuitOnClose, false);

    area_ = new LevelDiagramArea(diagram_, dialogs_, this);
    area_->changed = [this] {
        sync();
        if (stateHandedOver) stateHandedOver();
    };

    auto* speciesBox = new QGroupBox(this);
    auto* speciesLayout = new QVBoxLayout(speciesBox);
    for (int option : {1, 2, 3, 0}) {
        species_[option] = new QRadioButton(speciesBox);
        speciesLayout->addWidget(species_[option]);
        connect(species_[option], &QRadioButton::clicked, this, [this, option] {
            // Only a change of species is a choice; a click on the one
            // selected already changes nothing.
            if (diagram_.selectedOption() == option) return;
            act([this, option] { diagram_.chooseSpecies(option); });
        });
    }

    spectrumLink_ = new QLabel(QStringLiteral("Spectrum"), this);
    QFont linkFont = spectrumLink_->font();
    linkFont.setItalic(true);
    linkFont.setUnderline(true);
    spectrumLink_->setFont(linkFont);
    spectrumLink_->setStyleSheet(QStringLiteral("color: #0000ff"));
    spectrumLink_->setCursor(Qt::PointingHandCursor);
    spectrumLink_->installEventFilter(this);

    energy_ = new QLabel(this);
    energy_->setWordWrap(true);
    picked_ = new QLabel(this);
    picked_->setWordWrap(true);
    picked_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    belowArea_ = new QLabel(this);
    belowArea_->setWordWrap(true);
    belowArea_->setStyleSheet(QStringLiteral("color: #a00000"));
    auto* instructions = new QLabel(qs(levelInstructions), this);
    instructions->setWordWrap(true);

    auto* panel = new QVBoxLayout;
    panel->addWidget(speciesBox);
    panel->addWidget(spectrumLink_);
    panel->addSpacing(6);
    panel->addWidget(energy_);
    panel->addWidget(picked_);
    panel->addWidget(belowArea_);
    panel->addStretch(1);
    panel->addWidget(instructions);
    auto* panelWidget = new QWidget(this);
    panelWidget->setLayout(panel);
    panelWidget->setFixedWidth(panelWidth);
    panel->setContentsMargins(0, 0, 0, 0);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(area_, 1);
    layout->addWidget(panelWidget);

    addPictureActions(area_, area_, this, QStringLiteral("energy-levels"));
    diagram_.hooks.textWidth = [this](const std::string& text) { return area_->textWidth(qs(text)); };
    diagram_.hooks.closeWindow = [this] { close(); };
}

void LevelDiagramWindow::act(const std::function<void()>& action) {
    runGuarded(dialogs_, action);
    sync();
    if (stateHandedOver) stateHandedOver();
}

void LevelDiagramWindow::sync() {
    for (int option = 0; option < 4; ++option) {
        QSignalBlocker block(species_[option]);
        species_[option]->setText(qs(diagram_.speciesOptions[option].caption));
        species_[option]->setChecked(diagram_.speciesOptions[option].checked);
    }
    spectrumLink_->setVisible(diagram_.spectrumLinkVisible);
    QString energy = qs(diagram_.energyText).trimmed();
    energy.replace(QStringLiteral("\r\n\r\n"), QStringLiteral("\n"));
    energy.replace(QStringLiteral("attoJoule = "), QStringLiteral("attoJoule\n    = "));
    energy_->setText(energy);
    energy_->setStyleSheet(QStringLiteral("color: %1").arg(qColor(diagram_.energyColor).name()));
    QString picked = qs(diagram_.pickedTag);
    picked.replace(QStringLiteral("--->"), QStringLiteral(" ---> "));
    picked_->setText(picked);
    const std::string note = diagram_.belowAreaNote();
    belowArea_->setText(qs(note));
    belowArea_->setVisible(!note.empty());
    setEnabled(diagram_.enabled);
    area_->update();
}

void LevelDiagramWindow::setDiagramEnabled(bool enabled) {
    diagram_.enabled = enabled;
    setEnabled(enabled);
    area_->update();
}

void LevelDiagramWindow::open() {
    if (!isVisible()) {
        if (mainWindow) setWindowIcon(mainWindow->windowIcon());
        act([this] { diagram_.load(); });
        adjustSize();
        place();
        show();
        // The frame is known only now.
        place();
        area_->setFocus(Qt::OtherFocusReason);
    }
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
}

void LevelDiagramWindow::place() { placeBesideMainWindow(this, mainWindow); }

void LevelDiagramWindow::closeEvent(QCloseEvent* e) {
    diagram_.unload();
    e->accept();
}

bool LevelDiagramWindow::eventFilter(QObject* watched, QEvent* e) {
    if (watched == spectrumLink_ && e->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton && spectrumLink_->rect().contains(
            static_cast<QMouseEvent*>(e)->position().toPoint())) {
        act([this] { diagram_.spectrumLinkClicked(); });
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

}  // namespace vantrel
