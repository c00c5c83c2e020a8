#include "IdWipeControl.h"

#include <QPushButton>

#include "BusyCursor.h"
#include "DeleteAllConfirmDialog.h"
#include "IdWipe.h"
#include "MainDialog.h"

namespace tavolex {

IdWipeControl::IdWipeControl(MainDialog& window) : m_window(window) {
    QObject::connect(window.control<QPushButton>(MainDialog::kDeleteIdsButton),
                     &QPushButton::clicked, &window, [this] { press(); });
}

void IdWipeControl::press() {
    DeleteAllConfirmDialog confirmation(&m_window);
    if (confirmation.exec() != QDialog::Accepted) return;
    const BusyCursor busy;
    WipeRegisteredIds(m_window, m_window.link(), m_window.person());
}

}  // namespace tavolex
