// Ties the emission spectrum window to the main window: the window is built
// afresh at each opening and destroyed when it closes. A level clicked in
// it becomes the main window's n; its "Energy Levels" link does what the
// main window's "&Energy Level Diagram" does; runs turn level picking off.
// One link for the program's life.
#pragma once

#include <QPointer>

class QWidget;

namespace vantrel {

class SpectrumView;
struct Session;

class SpectrumWindowLink {
public:
    SpectrumWindowLink(Session& s, QWidget* mainView);
    ~SpectrumWindowLink();  // closes the window
    SpectrumWindowLink(const SpectrumWindowLink&) = delete;
    SpectrumWindowLink& operator=(const SpectrumWindowLink&) = delete;

    // The open window, or nullptr.
    SpectrumView* openView() const;

private:
    void show();
    void create();
    void setLevelPicking(bool enabled);

    Session& session_;
    QPointer<QWidget> mainView_;
    QPointer<SpectrumView> view_;
    bool levelPicking_ = true;  // no run is going
};

}  // namespace vantrel
