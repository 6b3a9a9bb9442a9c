#include "app/gui/statusprogress.h"

#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QStatusBar>

#include <algorithm>
#include <chrono>

#include "app/gui/mainwindowview.h"
#include "app/session.h"
#include "engine/samplerun.h"
#include "engine/textutil.h"

namespace vantrel {

StatusProgress::StatusProgress(MainWindowView& window) : QObject(&window), session_(window.session()) {
    label_ = new QLabel(&window);
    label_->setObjectName("runProgressLabel");
    bar_ = new QProgressBar(&window);
    bar_->setObjectName("runProgressBar");
    bar_->setMaximumWidth(240);
    window.statusBar()->addWidget(label_, 1);
    window.statusBar()->addPermanentWidget(bar_);
    label_->hide();
    bar_->hide();
    session_.samplingHooks.onProgress = [this](const RunProgress& p, long long target) { show(p, target); };
    // The run has no event of its own for its end; the window polls while it shows progress.
    idleCheck_.setInterval(250);
    connect(&idleCheck_, &QTimer::timeout, this, &StatusProgress::hideWhenIdle);
}

StatusProgress::~StatusProgress() { session_.samplingHooks.onProgress = nullptr; }

void StatusProgress::show(const RunProgress& progress, long long target) {
    const long long quota = std::max(1, session_.orbital.maxPoints);
    const long long done = std::clamp<long long>(progress.points - (target - quota), 0, quota);
    // The bar holds an int: large quotas count in thousandths.
    bar_->setRange(0, 1000);
    bar_->setValue(static_cast<int>(done * 1000 / quota));
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(progress.elapsed).count();
    label_->setText(QString::fromStdString(intText(progress.points) + " of " + intText(target) + " points, " +
                                           intText(progress.trials) + " trials, " + intText(seconds) + " s"));
    label_->show();
    bar_->show();
    if (!idleCheck_.isActive()) idleCheck_.start();
}

void StatusProgress::hideWhenIdle() {
    if (session_.run.running) return;
    idleCheck_.stop();
    label_->hide();
    bar_->hide();
}

}  // namespace vantrel
