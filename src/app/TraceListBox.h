// A list box that shows the communication trace: each line as the trace wrote it, at most
// 900, the newest scrolled to the top.
#pragma once

#include "Trace.h"

class QListWidget;

namespace tavolex {

class TraceListBox final : public TraceLines {
public:
    explicit TraceListBox(QListWidget& view) : m_view(view) {}

    void addLine(const std::string& line) override;
    // Empties the lines and the view.
    void clearAll();

private:
    QListWidget& m_view;
};

}  // namespace tavolex
