#include "WindowMenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "ContinuousAcquisitionControls.h"
#include "MainDialog.h"
#include "PortChoice.h"
#include "Translations.h"
#include "TrendMonitor.h"

namespace tavolex {

WindowMenu::WindowMenu(MainDialog& window) : QObject(&window), m_window(window) {
    m_minimize = new QAction(Tr("MainDialog", "最小化(&N)"), this);
    connect(m_minimize, &QAction::triggered, &window, &QWidget::showMinimized);
    m_close = new QAction(Tr("MainDialog", "关闭(&C)"), this);
    connect(m_close, &QAction::triggered, &window, &QDialog::reject);
    buildBar();
    moveControlsDown();
}

QList<QAction*> WindowMenu::contextItems() const {
    return {m_minimize,
            m_close,
            nullptr,
            &m_window.portChoice().action(),
            &m_window.aboutAction(),
            &m_window.pt100Action(),
            &m_window.continuousAcquisition().recordOptionsAction(),
            &m_window.trend().trendAction(),
            &m_window.trend().settingsAction()};
}

void WindowMenu::showContextMenu(const QPoint& globalPosition) {
    QMenu menu(&m_window);
    for (QAction* item : contextItems()) {
        if (item) {
            menu.addAction(item);
        } else {
            menu.addSeparator();
        }
    }
    menu.exec(globalPosition);
}

void WindowMenu::buildBar() {
    m_bar = new QMenuBar(&m_window);
    m_bar->setObjectName(QStringLiteral("menuBar"));
    QMenu* window = m_bar->addMenu(Tr("WindowMenu", "窗口(&W)"));
    window->addActions({m_minimize, m_close});
    QMenu* tools = m_bar->addMenu(Tr("WindowMenu", "工具(&T)"));
    tools->addActions({&m_window.portChoice().action(), &m_window.pt100Action(),
                       &m_window.continuousAcquisition().recordOptionsAction()});
    tools->addSeparator();
    tools->addActions({&m_window.trend().trendAction(), &m_window.trend().settingsAction()});
    QMenu* help = m_bar->addMenu(Tr("WindowMenu", "帮助(&H)"));
    help->addAction(&m_window.aboutAction());
}

void WindowMenu::moveControlsDown() {
    m_height = m_bar->sizeHint().height();
    const QSize fixed = m_window.size();
    for (QWidget* control : m_window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control != m_bar && !control->isWindow())
            control->move(control->pos() + QPoint(0, m_height));
    }
    m_window.setFixedSize(fixed.width(), fixed.height() + m_height);
    m_bar->setGeometry(0, 0, fixed.width(), m_height);
}

}  // namespace tavolex
