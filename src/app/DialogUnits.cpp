#include "DialogUnits.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QtMath>
#include <algorithm>

#include "ScannerApp.h"
#include "Translations.h"

namespace tavolex {

namespace {

constexpr double kReferenceDpi = 96.0;
// A dialog unit of the 9-point Song layout at 96 dpi, across and down.
constexpr double kSongPxPerUnit = 1.5;

}  // namespace

DialogUnits DialogUnits::ForPointSize(int pointSize) {
    if (InstalledLanguage() != Language::Chinese) return ForFont(ScannerApp::DialogFont(pointSize));
    // The Song face's average character is half as wide as the font is high; taken as a rule
    // rather than measured, so that the layout is the same whichever face stands in for it.
    const int heightPx = qRound(pointSize * kReferenceDpi / 72.0);
    const int widthPx = (heightPx + 1) / 2;
    return DialogUnits(widthPx, heightPx, PrimaryScreenScale());
}

DialogUnits DialogUnits::ForFont(const QFont& font) {
    const double scale = PrimaryScreenScale();
    const QFontMetricsF metrics(font);
    // The average width of the 52 Latin letters and the height of a line, at 96 dpi.
    const double letters = metrics.horizontalAdvance(QStringLiteral(
                               "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                           scale;
    const int widthPx = std::max(1, qRound(letters / 52.0));
    const int heightPx = std::max(1, qRound(metrics.height() / scale));
    return DialogUnits(widthPx, heightPx, scale);
}

DialogUnits::DialogUnits(int baseWidthPx, int baseHeightPx, double screenScale)
    : m_perUnitX(baseWidthPx / 4.0 * screenScale), m_perUnitY(baseHeightPx / 8.0 * screenScale) {}

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
    return qRound(px96 * m_perUnitX / kSongPxPerUnit);
}

QRect DialogUnits::pixelRect(QPoint topLeft96, QPoint bottomRight96) const {
    const auto down = [this](int px96) { return qRound(px96 * m_perUnitY / kSongPxPerUnit); };
    return QRect(QPoint(pixels(topLeft96.x()), down(topLeft96.y())),
                 QPoint(pixels(bottomRight96.x()), down(bottomRight96.y())));
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
