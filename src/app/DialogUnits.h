// Converts the dialog units of a window's layout into pixels. A dialog unit is a quarter of
// the layout font's average character width across and an eighth of its height down; for
// 9-point Song at 96 dpi (6 x 12 px) that is 1.5 px either way. The result is scaled by the
// screen, so that a window keeps its proportions on a high-density display.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QFont;
class QWidget;

namespace tavolex {

class DialogUnits {
public:
    // Units of a layout whose font has the given point size, on the primary screen: the Song
    // face's in Chinese, the desktop font's in English (which is wider, so the windows grow
    // with their texts).
    static DialogUnits ForPointSize(int pointSize);
    // Units from a font's measures: the average width of the Latin letters and the line height.
    static DialogUnits ForFont(const QFont& font);
    // Units for explicit base units (px at 96 dpi) and screen scale; used by tests.
    DialogUnits(int baseWidthPx, int baseHeightPx, double screenScale);

    int x(int units) const;
    int y(int units) const;
    QRect rect(int left, int top, int width, int height) const;
    QSize size(int width, int height) const;

    // A length given in pixels of the Song layout at 96 dpi, scaled like the dialog units
    // across (by the screen, and by the font where it is not the Song face).
    int pixels(int px96) const;
    // A rectangle of such pixels given by its inclusive corners, scaled likewise each way.
    QRect pixelRect(QPoint topLeft96, QPoint bottomRight96) const;

    // The screen's logical dots per inch relative to 96.
    static double PrimaryScreenScale();

private:
    double m_perUnitX;
    double m_perUnitY;
};

// Moves a top-level window so that its centre lies on the centre of its owner.
void CentreOver(QWidget& window, const QWidget& owner);

}  // namespace tavolex
