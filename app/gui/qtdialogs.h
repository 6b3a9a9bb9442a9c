// Message boxes and input boxes as Qt dialogs.
#pragma once

#include <QPointer>
#include <QWidget>

#include "app/platformhooks.h"

namespace vantrel {

class QtDialogs : public Dialogs {
public:
    // Once the main window is closed no more questions are shown: the
    // answer is the one that stops (Cancel, No; OK where that is all).
    void setClosing(bool closing) { closing_ = closing; }
    // Boxes are centred on the active window of the program, or on this
    // one when none is active (after another box closed, say).
    void setMainWindow(QWidget* window) { mainWindow_ = window; }

    Answer messageBox(const std::string& text, Buttons buttons, const std::string& title,
                      Icon icon) override;
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultAnswer) override;

private:
    QWidget* parentWindow() const;

    bool closing_ = false;
    QPointer<QWidget> mainWindow_;
};

}  // namespace vantrel
