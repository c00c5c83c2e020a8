// The trend's chart as the operator handles it: dragging with the left button marks a time
// span to zoom into, the wheel zooms about the mouse, dragging with the middle button (or the
// left one with Shift) and the arrow keys pan, a double click returns to the whole span (Home
// does too, through the window's menu item), and moving the mouse asks for a readout of the
// point under it. The window decides what each means; the chart only turns input into times.
#pragma once

#include <QChartView>
#include <QPoint>
#include <cstdint>
#include <optional>

class QRubberBand;

namespace tavolex {

class TrendChart final : public QChartView {
    Q_OBJECT
public:
    // Each wheel step zooms by this factor.
    static constexpr double kWheelZoom = 0.8;

    TrendChart(QChart* chart, QWidget* parent);

    // The time on the time axis at a horizontal position of the view.
    std::int64_t timeAt(int x) const;

signals:
    void spanChosen(std::int64_t fromMs, std::int64_t toMs);
    void zoomAbout(std::int64_t centreMs, double factor);
    void panned(std::int64_t byMs);
    // Pan by a share of the span shown (arrow keys).
    void pannedByShare(double share);
    void wholeSpanAsked();
    void hovered(std::int64_t timeMs, double celsius);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRubberBand* m_band = nullptr;
    std::optional<QPoint> m_dragFrom;
    std::optional<int> m_panFromX;
};

}  // namespace tavolex
