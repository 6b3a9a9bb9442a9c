// The run's progress in the main window's status bar: points, trials and
// time so far, and a bar filling up to the point quota. Hidden when no run
// is going.
#pragma once

#include <QObject>
#include <QTimer>

class QLabel;
class QMainWindow;
class QProgressBar;

namespace vantrel {

struct RunProgress;

class StatusProgress : public QObject {
    Q_OBJECT
public:
    // Feeds on the sampling run's progress until destroyed.
    explicit StatusProgress(QMainWindow& window);
    ~StatusProgress() override;

    void show(const RunProgress& progress, long long target);
    QLabel* label() const { return label_; }
    QProgressBar* bar() const { return bar_; }

private:
    void hideWhenIdle();

    QLabel* label_;
    QProgressBar* bar_;
    QTimer idleCheck_;
};

}  // namespace vantrel
