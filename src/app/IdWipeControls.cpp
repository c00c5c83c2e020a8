#include "IdWipeControls.h"

#include <QDialog>
#include <QPushButton>

#include "BusyCursor.h"
#include "ControlBuilder.h"
#include "ControlsHost.h"
#include "DeleteAllConfirmDialog.h"
#include "IdWipe.h"
#include "Translations.h"

namespace tavolex {

void IdWipeControls::build(ControlBuilder& make) {
    QPushButton* wipe = make.button(ControlsHost::kDeleteIdsButton, Tr("MainDialog", "删除全部ID"),
                                    {11, 371, 50, 14});
    QObject::connect(wipe, &QPushButton::clicked, &make.window(), [this] { press(); });
}

void IdWipeControls::press() {
    DeleteAllConfirmDialog confirmation(&m_host.owner());
    if (confirmation.exec() != QDialog::Accepted) return;
    const BusyCursor busy;
    OperationContext context = m_host.operation();
    WipeRegisteredIds(context);
}

}  // namespace tavolex
