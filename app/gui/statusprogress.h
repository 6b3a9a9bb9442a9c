// The run's progress in the main window's status bar: points, trials and
// time so far, and a bar filling up to the point quota. Hidden when no run
// is going.
#pragma once

#include <QObject>
#include <QTimer>

class QLabel;
class QProgressBar;

namespace vantrel {

class MainWindowView;
struct RunProgress;
struct Session;

class StatusProgress : public QObject {
    Q_OBJECT
public:
    // Feeds on the sampling run's progress until destroyed.
    explicit StatusProgress(MainWindowView& window);
    ~StatusProgress() override;

    void show(const RunProgress& progress, long long target);
    QLabel* label() const { return label_; }
    QProgressBar* bar() const { return bar_; }

private:
    void hideWhenIdle();

    Session& session_;
    QLabel* label_;
    QProgressBar* bar_;
    QTimer idleCheck_;
};

}  // namespace vantrel
