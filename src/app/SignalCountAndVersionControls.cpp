#include "SignalCountAndVersionControls.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "BusyCursor.h"
#include "ChannelCount.h"
#include "ClickableLabel.h"
#include "ControlBuilder.h"
#include "ControlsHost.h"
#include "ShownText.h"
#include "Translations.h"

namespace tavolex {

void SignalCountAndVersionControls::buildCountRow(ControlBuilder& make) {
    make.text(Tr("MainDialog", "设置信号数:"), {6, 43, 46, 8});
    make.edit(ControlsHost::kSignalCountEdit, {52, 41, 22, 14}, Tr("MainDialog", "设置信号数:"));
    QPushButton* set = make.button(ControlsHost::kSetSignalCountButton, Tr("MainDialog", "设置"),
                                   {77, 41, 28, 14});
    connect(set, &QPushButton::clicked, this, &SignalCountAndVersionControls::setSignalCount);
}

void SignalCountAndVersionControls::buildVersionLabel(ControlBuilder& make) {
    auto* version = make.identified(
        new ClickableLabel(Tr("MainDialog", "点击读取版本"), &make.window()),
        ControlsHost::kVersionLabel, {393, 395, 86, 8}, Tr("MainDialog", "点击读取版本"));
    version->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    version->setCursor(Qt::PointingHandCursor);
    connect(version, &ClickableLabel::clicked, this, &SignalCountAndVersionControls::readVersion);
}

void SignalCountAndVersionControls::setSignalCount() {
    if (!m_host.takeSettings()) return;
    const BusyCursor busy;
    OperationContext context = m_host.operation();
    SetSignalCount(context, m_host.values().signalCount);
}

void SignalCountAndVersionControls::readVersion() {
    // The request goes to the address the window shows now, not to the last one taken.
    if (!m_host.takeSettings()) return;
    Outcome<std::string> version;
    {
        const BusyCursor busy;
        OperationContext context = m_host.operation();
        version = ReadFirmwareVersion(context);
    }
    if (version) {
        ShowValue(m_host.control<QLabel>(ControlsHost::kVersionLabel),
                  QString::fromStdString(*version));
    }
}

}  // namespace tavolex
