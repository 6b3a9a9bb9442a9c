#include "spectrum/gui/spectrumview.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "widgets/conversions.h"
#include "widgets/pictureexport.h"
#include "widgets/screenfit.h"

namespace vantrel {

namespace {

constexpr double twipsPerPixel = 15;
constexpr double captionTwips = 150;  // a small 8-point face: tags 400 apart stay apart

// Fonts sized in twips, for drawing through the twip transform.
QFont twipFont(double twips, bool bold = false) {
    QFont f = QApplication::font();
    f.setPixelSize(int(twips));
    f.setBold(bold);
    return f;
}

}  // namespace

// A drawing surface whose coordinates are twips, whatever its pixel size.
class SpectrumSurface : public QWidget {
public:
    SpectrumSurface(double twipWidth, double twipHeight, QColor background, QWidget* parent)
        : QWidget(parent), twipWidth_(twipWidth), twipHeight_(twipHeight), background_(background) {
        setMouseTracking(true);
        setFocusPolicy(Qt::ClickFocus);  // a click takes the focus from the lists
    }

    std::function<void(QPainter&)> draw;
    std::function<void(QEvent::Type, QPointF, bool buttonHeld)> pointer;

    QPointF toTwips(QPointF pixels) const {
        return {pixels.x() * twipWidth_ / std::max(1, width()), pixels.y() * twipHeight_ / std::max(1, height())};
    }
    QPoint toPixels(double x, double y) const {
        return QPoint(int(std::lround(x * width() / twipWidth_)), int(std::lround(y * height() / twipHeight_)));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        // Paler while it takes no clicks, as the level window during a run.
        p.fillRect(rect(), isEnabled() ? background_ : background_.lighter(150));
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(width() / twipWidth_, height() / twipHeight_);
        if (draw) draw(p);
    }
    void mousePressEvent(QMouseEvent* e) override { send(e, true); }
    void mouseMoveEvent(QMouseEvent* e) override { send(e, e->buttons() != Qt::NoButton); }
    void mouseReleaseEvent(QMouseEvent* e) override { send(e, false); }

private:
    void send(QMouseEvent* e, bool held) {
        if (pointer) pointer(e->type(), toTwips(e->position()), held);
    }

    double twipWidth_, twipHeight_;
    QColor background_;
};

namespace {

void drawSegment(QPainter& p, const LineMark& m, double widthPixels) {
    if (!m.visible) return;
    QPen pen(qColor(m.color));
    pen.setCosmetic(true);
    pen.setWidthF(widthPixels);
    p.setPen(pen);
    // A smoothed 1-pixel line spreads over two pixels at half strength: the
    // red of H-alpha would show maroon.
    p.setRenderHint(QPainter::Antialiasing, widthPixels > 1);
    p.drawLine(QPointF(m.x1, m.y1), QPointF(m.x2, m.y2));
    p.setRenderHint(QPainter::Antialiasing);
}

// A transition arrow: the line with a head where the electron lands.
void drawArrow(QPainter& p, const LineMark& m) {
    if (!m.visible) return;
    drawSegment(p, m, 2);
    // Levels closer than the arrow's insets leave a stub with no room for a head.
    if (m.y2 <= m.y1) return;
    QPainterPath head;
    head.moveTo(m.x2, m.y2);
    head.lineTo(m.x2 - 45, m.y2 - 110);
    head.lineTo(m.x2 + 45, m.y2 - 110);
    head.closeSubpath();
    p.fillPath(head, qColor(m.color));
}

void drawText(QPainter& p, const TextMark& m, const QColor& color) {
    if (!m.visible) return;
    p.setPen(color);
    p.drawText(QRectF(m.left, m.top, 4000, 400), Qt::AlignLeft | Qt::AlignTop, qs(m.caption));
}

// The level tags of close levels would run together ("n=18n=17"): a tag
// that would come closer than a blank to one drawn before it is left out.
void drawTags(QPainter& p, std::initializer_list<const TextMark*> tags) {
    const QFontMetricsF metrics(p.font());
    const double gap = metrics.horizontalAdvance(QLatin1Char(' '));
    std::vector<QRectF> drawn;
    for (const TextMark* m : tags) {
        if (!m->visible) continue;
        const QRectF box = metrics.boundingRect(QRectF(m->left, m->top, 4000, 400), Qt::AlignLeft | Qt::AlignTop,
                                                qs(m->caption)).adjusted(0, 0, gap, 0);
        if (std::any_of(drawn.begin(), drawn.end(), [&](const QRectF& r) { return r.intersects(box); })) continue;
        drawn.push_back(box);
        drawText(p, *m, Qt::black);
    }
}

}  // namespace

SpectrumView::SpectrumView(SpectrumLinks links, QWidget* parent) : QWidget(parent) {
    setWindowTitle("Hydrogen Atom Emission Spectrum");
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    links.textWidth = [](const std::string& s) {
        return QFontMetricsF(twipFont(captionTwips)).horizontalAdvance(qs(s));
    };
    state_ = std::make_unique<SpectrumWindow>(std::move(links));

    instructions_ = new QLabel(
        "Select an upper and a lower energy level, or click on an upper energy level and drag to a lower level, "
        "or click on one of the spectral lines.",
        this);
    instructions_->setWordWrap(true);
    upperCaption_ = new QLabel("Upper Energy State", this);
    lowerCaption_ = new QLabel("Lower Energy State", this);
    wavelengthLabel_ = new QLabel("Wavelength", this);
    frequencyLabel_ = new QLabel("Frequency", this);
    for (SpectrumList i : {upperList, lowerList}) {
        lists_[i] = new QComboBox(this);
        lists_[i]->installEventFilter(this);
        connect(lists_[i], &QComboBox::currentIndexChanged, this, [this, i](int position) {
            if (syncing_) return;
            state_->selectListPosition(i, position);
            sync();
        });
    }

    diagram_ = new SpectrumSurface(diagramWidth, diagramHeight, QColor(255, 255, 0), this);
    diagram_->draw = [this](QPainter& p) {
        const SpectrumWindow& s = *state_;
        p.setFont(twipFont(captionTwips));
        for (const LineMark& m : s.levelLines) drawSegment(p, m, 1);
        for (const LineMark& m : s.axisTicks) drawSegment(p, m, 1);
        for (const TextMark& m : s.axisCaptions) drawText(p, m, Qt::black);
        drawArrow(p, s.mainArrow);
        drawArrow(p, s.magnifiedArrow);
        drawSegment(p, s.dragLine, 2);
        drawTags(p, {&s.upperTag, &s.upperMagnifiedTag, &s.lowerTag, &s.lowerMagnifiedTag});
        if (s.transitionText.visible) {
            p.setPen(Qt::black);
            p.drawText(QRectF(s.transitionText.left, s.transitionText.top, 2540, 375),
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, qs(s.transitionText.caption));
        }
        drawText(p, s.hoverTag, Qt::red);  // in front of everything
    };
    diagram_->pointer = [this](QEvent::Type type, QPointF t, bool held) {
        const float x = float(t.x()), y = float(t.y());
        if (type == QEvent::MouseButtonPress)
            state_->diagramPressed(x, y);
        else if (type == QEvent::MouseButtonRelease)
            state_->diagramReleased(x, y);
        else
            state_->diagramMoved(x, y, held);
        sync();
    };
    diagram_->installEventFilter(this);

    strip_ = new SpectrumSurface(stripWidth, stripHeight, Qt::black, this);
    strip_->draw = [this](QPainter& p) {
        const SpectrumWindow& s = *state_;
        const auto& lines = s.tables().lines;
        for (int k = 1; k <= lineCount; ++k)
            drawSegment(p, {double(lines[k].x), lineTop, double(lines[k].x), lineBottom, true, lines[k].color}, 1);
        for (const LineMark* m : {&s.pointerAbove, &s.pointerBelow, &s.pointerAcross}) drawSegment(p, *m, 1);
        p.setFont(twipFont(captionTwips));
        drawText(p, s.wavelengthCaption, Qt::white);
        drawText(p, s.frequencyCaption, Qt::white);
    };
    strip_->pointer = [this](QEvent::Type type, QPointF t, bool held) {
        if (type == QEvent::MouseButtonRelease)
            state_->stripReleased(float(t.x()));
        else if (type == QEvent::MouseMove)
            state_->stripMoved(float(t.x()), held);
        sync();
    };
    strip_->installEventFilter(this);

    link_ = new QLabel("<a href=\"levels\" style=\"color:#0000ff\"><i>Energy Levels</i></a>", diagram_);
    link_->setTextFormat(Qt::RichText);
    link_->setCursor(Qt::PointingHandCursor);
    connect(link_, &QLabel::linkActivated, this, [this] {
        state_->energyLevelsClicked();
        sync();
    });

    resize(int(std::lround(twipWidth / twipsPerPixel)), int(std::lround(twipHeight / twipsPerPixel)));
    setMinimumSize(int(twipWidth / twipsPerPixel / 2), int(twipHeight / twipsPerPixel / 2));
    setFocusPolicy(Qt::StrongFocus);
    // The whole window is the picture: the lists and captions say what it shows.
    addPictureActions(this, this, this, QStringLiteral("hydrogen-spectrum"));
    layoutChildren();
    sync();
}

SpectrumView::~SpectrumView() = default;

QWidget* SpectrumView::diagram() const { return diagram_; }
QWidget* SpectrumView::strip() const { return strip_; }

QPoint SpectrumView::diagramPixel(double x, double y) const { return diagram_->toPixels(x, y); }
QPoint SpectrumView::stripPixel(double x, double y) const { return strip_->toPixels(x, y); }

void SpectrumView::layoutChildren() {
    scale_ = std::min(width() / twipWidth, height() / twipHeight);
    auto at = [this](double left, double top, double w, double h) {
        return QRect(int(std::lround(left * scale_)), int(std::lround(top * scale_)), int(std::lround(w * scale_)),
                     int(std::lround(h * scale_)));
    };
    QFont font = QApplication::font();
    font.setPixelSize(std::max(6, int(std::lround(captionTwips * scale_))));
    for (QWidget* w : std::initializer_list<QWidget*>{instructions_, upperCaption_, lowerCaption_, wavelengthLabel_,
                                                      frequencyLabel_, lists_[0], lists_[1], link_})
        w->setFont(font);

    instructions_->setGeometry(at(600, 240, 4575, 615));
    upperCaption_->setGeometry(at(1080, 960, 2000, 240));
    lowerCaption_->setGeometry(at(3120, 960, 2000, 240));
    lists_[upperList]->setGeometry(at(1080, 1200, 2055, 315));
    lists_[lowerList]->setGeometry(at(3120, 1200, 2055, 315));
    diagram_->setGeometry(at(1080, 1440, diagramWidth, diagramHeight));
    strip_->setGeometry(at(1080, 5880, stripWidth, stripHeight));
    wavelengthLabel_->setGeometry(at(120, 6030, 960, 240));
    frequencyLabel_->setGeometry(at(120, 6860, 960, 240));
    // The link lives on the diagram, in its coordinates.
    const double d = diagram_->width() / diagramWidth;
    link_->setGeometry(QRect(int(std::lround(2640 * d)), int(std::lround(4080 * d)), int(std::lround(1400 * d)),
                             int(std::lround(300 * d))));
}

void SpectrumView::sync() {
    syncing_ = true;
    for (int i : {upperList, lowerList}) {
        const StateList& l = state_->lists[i];
        QComboBox* box = lists_[i];
        bool same = box->count() == int(l.items.size());
        for (int k = 0; same && k < box->count(); ++k) same = box->itemText(k).toStdString() == l.items[k];
        if (!same) {
            box->clear();
            for (const std::string& item : l.items) box->addItem(qs(item));
        }
        box->setCurrentIndex(l.position);
    }
    syncing_ = false;
    diagram_->update();
    strip_->update();
}

void SpectrumView::setLevelPickingEnabled(bool enabled) {
    diagram_->setEnabled(enabled);
    diagram_->update();
}

void SpectrumView::placeBeside(const QWidget* mainWindow) { placeBesideMainWindow(this, mainWindow); }

void SpectrumView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutChildren();
}

void SpectrumView::closeEvent(QCloseEvent* event) {
    emit closed();
    QWidget::closeEvent(event);
}

SpectrumList SpectrumView::focusedList() const {
    for (SpectrumList i : {upperList, lowerList})
        if (lists_[i]->hasFocus()) return i;
    return noList;
}

bool SpectrumView::arrowKey(QKeyEvent* key) {
    SpectrumKey code;
    switch (key->key()) {
    case Qt::Key_Left: code = SpectrumKey::Left; break;
    case Qt::Key_Up: code = SpectrumKey::Up; break;
    case Qt::Key_Right: code = SpectrumKey::Right; break;
    case Qt::Key_Down: code = SpectrumKey::Down; break;
    default: return false;
    }
    const SpectrumList before = focusedList();
    state_->focusedList = before;
    state_->keyDown(code);
    if (state_->focusedList != before && state_->focusedList != noList) lists_[state_->focusedList]->setFocus();
    sync();
    // A focused list still gets its own step through the items.
    return before == noList;
}

void SpectrumView::keyPressEvent(QKeyEvent* event) {
    // Only keys sent to the window itself; a child's unused keys were seen already.
    if (QApplication::focusWidget() == this || !QApplication::focusWidget()) {
        if (arrowKey(event)) return;
    }
    QWidget::keyPressEvent(event);
}

bool SpectrumView::eventFilter(QObject* watched, QEvent* event) {
    // Keys are seen here before the lists and surfaces get them.
    if (event->type() == QEvent::KeyPress) return arrowKey(static_cast<QKeyEvent*>(event));
    return QWidget::eventFilter(watched, event);
}

}  // namespace vantrel
