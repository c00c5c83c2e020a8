#include "DialogUnits.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QtMath>

namespace tavolex {

namespace {

constexpr double kReferenceDpi = 96.0;

}  // namespace

DialogUnits DialogUnits::ForPointSize(int pointSize) {
    // The Song face's average character is half as wide as the font is high.
    const int heightPx = qRound(pointSize * kReferenceDpi / 72.0);
    const int widthPx = (heightPx + 1) / 2;
    return DialogUnits(widthPx, heightPx, PrimaryScreenScale());
}

DialogUnits::DialogUnits(int baseWidthPx, int baseHeightPx, double screenScale)
    : m_perUnitX(baseWidthPx / 4.0 * screenScale),
      m_perUnitY(baseHeightPx / 8.0 * screenScale),
      m_scale(screenScale) {}

int DialogUnits::x(int units) const {
    return qRound(units * m_perUnitX);
}

int DialogUnits::y(int units) const {
    return qRound(units * m_perUnitY);
}

QRect DialogUnits::rect(int left, int top, int width, int height) const {
    return QRect(x(left), y(top), x(width), y(height));
}

QSize DialogUnits::size(int width, int height) const {
    return QSize(x(width), y(height));
}

int DialogUnits::pixels(int px96) const {
    return qRound(px96 * m_scale);
}

QRect DialogUnits::pixelRect(QPoint topLeft96, QPoint bottomRight96) const {
    return QRect(QPoint(pixels(topLeft96.x()), pixels(topLeft96.y())),
                 QPoint(pixels(bottomRight96.x()), pixels(bottomRight96.y())));
}

double DialogUnits::PrimaryScreenScale() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return 1.0;
    const double dpi = screen->logicalDotsPerInchX();
    return dpi > 0 ? dpi / kReferenceDpi : 1.0;
}

void CentreOver(QWidget& window, const QWidget& owner) {
    // Client areas, not frames: a window not yet shown has no frame to measure.
    QRect area = window.geometry();
    area.moveCenter(owner.geometry().center());
    window.setGeometry(area);
}

}  // namespace tavolex
