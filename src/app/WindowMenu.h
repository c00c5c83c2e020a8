// The main window's menus: a menu bar at the top of the window, where a new user looks for
// what the program can do, and the same items in the context menu of the window's surface,
// which stands in for the title-bar menu that the window manager owns on Linux.
#pragma once

#include <QList>
#include <QObject>
#include <QPoint>

class QAction;
class QMenuBar;

namespace tavolex {

class MainDialog;

class WindowMenu final : public QObject {
public:
    // Puts the menu bar above the window's controls, which move down by its height, as the
    // window grows by it. Call once every item's owner exists.
    explicit WindowMenu(MainDialog& window);

    QMenuBar& bar() { return *m_bar; }
    // The context menu's items in order; null stands for a separator.
    QList<QAction*> contextItems() const;
    void showContextMenu(const QPoint& globalPosition);
    // How far the controls moved down.
    int height() const { return m_height; }

private:
    void buildBar();
    void moveControlsDown();

    MainDialog& m_window;
    QAction* m_minimize = nullptr;
    QAction* m_close = nullptr;
    QMenuBar* m_bar = nullptr;
    int m_height = 0;
};

}  // namespace tavolex
