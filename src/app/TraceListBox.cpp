#include "TraceListBox.h"

#include <QListWidget>

namespace tavolex {

void TraceListBox::addLine(const std::string& line) {
    TraceLines::addLine(line);
    // Each line starts with a line break; the view shows a line as one row.
    QString shown = QString::fromStdString(line);
    if (shown.startsWith(QLatin1Char('\n'))) shown.remove(0, 1);
    m_view.addItem(shown);
    while (static_cast<std::size_t>(m_view.count()) > kMaxTraceLines)
        delete m_view.takeItem(0);
    m_view.scrollToItem(m_view.item(m_view.count() - 1), QAbstractItemView::PositionAtTop);
}

void TraceListBox::clearAll() {
    clear();
    m_view.clear();
}

}  // namespace tavolex
