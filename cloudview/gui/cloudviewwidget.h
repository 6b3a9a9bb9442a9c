// The 3-D view on screen: shows the renderer's image at the screen's pixel
// ratio with its labels and legend, hands the mouse, wheel, pinch and keys
// to the plain state, and refreshes while points come in.
#pragma once

#include <QImage>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "cloudview/cloudviewstate.h"
#include "cloudview/gui/cloudpicture.h"
#include "output/cloudrender.h"

class QToolButton;

namespace vantrel {

class CloudViewWidget : public QWidget {
    Q_OBJECT
public:
    // The state and the renderer belong to the caller and outlive the widget.
    CloudViewWidget(CloudViewState& state, CloudRenderer& renderer, QWidget* parent = nullptr);

    CloudViewState& state() { return state_; }
    CloudRenderer& renderer() { return renderer_; }

    // The picture as saved: the view's size times the state's export factor.
    QImage exportImage();
    bool savePng(const QString& path);
    void copyToClipboard();
    // Where the last painted frame put its text, in logical pixels.
    const PictureText& lastText() const { return text_; }

    QSize sizeHint() const override { return {520, 520}; }
    QSize minimumSizeHint() const override { return {160, 160}; }

    static constexpr int refreshMilliseconds = 50;

public slots:
    // Repaints when the state, the size or the points changed since the last frame.
    void refresh();

signals:
    // A reaction of the view changed its state (the window mirrors it).
    void stateChanged();

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    CloudScene currentScene() const;
    void changed();
    void saveAs();

    CloudViewState& state_;
    CloudRenderer& renderer_;
    QTimer timer_;
    QPoint lastPos_;
    bool dragging_ = false;
    PictureText text_;
    QToolButton* buttons_[4] = {};
};

}  // namespace vantrel
