#include "TrendChart.h"

#include <QChart>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRubberBand>
#include <QWheelEvent>
#include <cmath>

namespace tavolex {

namespace {

// A drag narrower than this is a click, not a span.
constexpr int kLeastDragPx = 4;
constexpr double kArrowPanShare = 0.25;
// One notch of a wheel, in eighths of a degree.
constexpr double kWheelStepDegrees = 120;

}  // namespace

TrendChart::TrendChart(QChart* chart, QWidget* parent) : QChartView(chart, parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setDragMode(QGraphicsView::NoDrag);
    setRubberBand(QChartView::NoRubberBand);
    m_band = new QRubberBand(QRubberBand::Rectangle, viewport());
}

std::int64_t TrendChart::timeAt(int x) const {
    const QPointF scene = mapToScene(QPoint(x, 0));
    return std::llround(chart()->mapToValue(chart()->mapFromScene(scene)).x());
}

void TrendChart::mousePressEvent(QMouseEvent* event) {
    const bool pan =
        event->button() == Qt::MiddleButton ||
        (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier));
    if (pan) {
        m_panFromX = event->position().toPoint().x();
    } else if (event->button() == Qt::LeftButton) {
        m_dragFrom = event->position().toPoint();
        m_band->setGeometry(QRect(*m_dragFrom, QSize()));
        m_band->show();
    }
    event->accept();
}

void TrendChart::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (m_panFromX) {
        const std::int64_t by = timeAt(*m_panFromX) - timeAt(at.x());
        m_panFromX = at.x();
        if (by != 0) emit panned(by);
    } else if (m_dragFrom) {
        const QRectF plot = chart()->plotArea();
        m_band->setGeometry(QRect(QPoint(m_dragFrom->x(), static_cast<int>(plot.top())),
                                  QPoint(at.x(), static_cast<int>(plot.bottom())))
                                .normalized());
    }
    const QPointF value = chart()->mapToValue(chart()->mapFromScene(mapToScene(at)));
    emit hovered(std::llround(value.x()), value.y());
    QChartView::mouseMoveEvent(event);
}

void TrendChart::mouseReleaseEvent(QMouseEvent* event) {
    m_panFromX.reset();
    if (m_dragFrom) {
        m_band->hide();
        const int from = m_dragFrom->x();
        const int to = event->position().toPoint().x();
        m_dragFrom.reset();
        if (std::abs(to - from) >= kLeastDragPx) {
            emit spanChosen(timeAt(std::min(from, to)), timeAt(std::max(from, to)));
        }
    }
    event->accept();
}

void TrendChart::mouseDoubleClickEvent(QMouseEvent* event) {
    m_dragFrom.reset();
    m_band->hide();
    emit wholeSpanAsked();
    event->accept();
}

void TrendChart::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / kWheelStepDegrees;
    if (steps == 0) return;
    emit zoomAbout(timeAt(event->position().toPoint().x()), std::pow(kWheelZoom, steps));
    event->accept();
}

void TrendChart::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
            emit pannedByShare(-kArrowPanShare);
            return;
        case Qt::Key_Right:
            emit pannedByShare(kArrowPanShare);
            return;
        default:
            QChartView::keyPressEvent(event);
    }
}

}  // namespace tavolex
