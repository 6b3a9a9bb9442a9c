// The main window on screen: one widget per control of the session's
// window, kept in step with that state. User actions go into the state
// (and its reactions); after each of them, and whenever the program asks
// for a refresh, the widgets are brought up to date again.
#pragma once

#include <QMainWindow>

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <unordered_map>

class QAction;
class QLabel;
class QMenu;

namespace vantrel {

struct Control;
struct Session;
class RadialPlotWidget;
class OrbitalViewPanel;

class MainWindowView : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindowView(Session& session, QWidget* parent = nullptr);
    ~MainWindowView() override;

    // Plugs the window into the program: refresh, event processing, busy
    // pointer, opening documents, and the radial plot surface.
    void installHooks();

    // Every widget from the state.
    void syncAll();
    // The same, once, when events next run.
    void requestSync();
    // Left edge = screen width - window width.
    void placeAtRightEdge();
    // Gives a control the keyboard focus; a text box gets its whole text
    // selected. Controls that cannot take the focus now are left alone.
    void focusControl(Control& c);

    Session& session() const { return session_; }
    RadialPlotWidget* plot() const { return plot_; }
    OrbitalViewPanel* orbitalView() const { return viewPanel_; }
    QWidget* widgetFor(const Control& c) const;
    QAction* actionFor(const Control& c) const;
    QMenu* menuFor(const Control& c) const;
    bool closed() const { return closed_; }

signals:
    void windowClosed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // One control of the state and the widget that shows it, with what the
    // widget shows now, as last written (saves text conversions).
    struct Binding {
        Control* c = nullptr;
        QWidget* w = nullptr;
        QAction* a = nullptr;
        QMenu* menu = nullptr;
        std::string caption, text;
        std::uint32_t color = 0;
        bool bold = false;
        bool enabled = true;
        bool fresh = true;
    };

    void buildMenus();
    // The 3-D view beside the controls and the plot, and its menu.
    void buildOrbitalView();
    QWidget* buildCalculationFrame();
    QWidget* buildPlotOptions();
    QWidget* buildDisplayFrame();
    void sync(Binding& b);
    // Runs a user action on the state, then brings the widgets up to date.
    void act(const std::function<void()>& action);
    Binding& bind(Control& c, QWidget* w, QAction* a = nullptr);
    QLabel* makeLabel(Control& c, QWidget* parent);
    void connectControl(Binding& b);
    void step(Control& spinner, QWidget* w, int delta);
    bool keyPress(Binding& b, QKeyEvent* key);
    void focusIn(Binding& b);

    Session& session_;
    std::deque<Binding> bindings_;
    std::unordered_map<const Control*, Binding*> byControl_;
    std::unordered_map<const QObject*, Binding*> byWidget_;
    RadialPlotWidget* plot_ = nullptr;
    OrbitalViewPanel* viewPanel_ = nullptr;
    Control* lastActive_ = nullptr;  // the active control the view last saw
    bool syncing_ = false;
    bool syncPending_ = false;
    bool closed_ = false;
    bool busy_ = false;
    bool hooksInstalled_ = false;
    bool activatedOnce_ = false;
    bool fromOtherWindow_ = false;  // last deactivation went to a window of ours
    // A box that a mouse press gave the focus: the press unselected its text,
    // the release selects it again.
    QWidget* selectOnRelease_ = nullptr;
};

}  // namespace vantrel
