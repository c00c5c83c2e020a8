#include "ChannelSettingsDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "DialogUnits.h"
#include "Translate.h"
#include "Translations.h"

namespace tavolex {

namespace {

constexpr int kPointSize = 9;

QTableWidgetItem* TextItem(const std::string& text) {
    return new QTableWidgetItem(QString::fromStdString(text));
}

}  // namespace

ChannelSettingsDialog::ChannelSettingsDialog(const ChannelSettings& settings, Operator& person,
                                             QWidget* parent)
    : QDialog(parent), m_operator(person), m_settings(settings) {
    setWindowTitle(Tr("ChannelSettingsDialog", "通道设置"));
    const DialogUnits units = DialogUnits::ForPointSize(kPointSize);
    resize(units.size(260, 300));

    m_table = new QTableWidget(kChannelCount, 4, this);
    m_table->setAccessibleName(Tr("ChannelSettingsDialog", "通道名称和报警限"));
    m_table->setHorizontalHeaderLabels(
        {Tr("ChannelSettingsDialog", "通道"), Tr("ChannelSettingsDialog", "名称"),
         Tr("ChannelSettingsDialog", "下限(°C)"), Tr("ChannelSettingsDialog", "上限(°C)")});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const ChannelSetting& setting = settings[channel];
        auto* caption = new QTableWidgetItem(ShownChannelCaption(channel));
        caption->setFlags(Qt::ItemIsEnabled);
        m_table->setItem(channel, kChannelColumn, caption);
        m_table->setItem(channel, kNameColumn, TextItem(setting.name));
        m_table->setItem(channel, kLowColumn, TextItem(LimitText(setting.limits.lowTenths)));
        m_table->setItem(channel, kHighColumn, TextItem(LimitText(setting.limits.highTenths)));
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(Tr("ChannelSettingsDialog", "确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(Tr("ChannelSettingsDialog", "取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ChannelSettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ChannelSettingsDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(buttons);
}

void ChannelSettingsDialog::accept() {
    ChannelSettings taken;
    for (int row = 0; row < kChannelCount; ++row) {
        ChannelSetting& setting = taken[row];
        // One line per name: a name is shown in a list cell and a legend.
        setting.name = m_table->item(row, kNameColumn)->text().simplified().toStdString();
        const auto low = ParseLimit(m_table->item(row, kLowColumn)->text().toStdString());
        if (!low.valid) {
            refuse(row, kLowColumn, Translate("ChannelSettingsDialog", kBadLimit.data()));
            return;
        }
        const auto high = ParseLimit(m_table->item(row, kHighColumn)->text().toStdString());
        if (!high.valid) {
            refuse(row, kHighColumn, Translate("ChannelSettingsDialog", kBadLimit.data()));
            return;
        }
        if (low.tenths && high.tenths && *low.tenths > *high.tenths) {
            refuse(row, kLowColumn, Translate("ChannelSettingsDialog", kLowAboveHigh.data()));
            return;
        }
        setting.limits = {low.tenths, high.tenths};
    }
    m_settings = taken;
    QDialog::accept();
}

void ChannelSettingsDialog::refuse(int row, int column, std::string_view message) {
    m_operator.message(message);
    m_table->setCurrentCell(row, column);
    m_table->setFocus();
}

}  // namespace tavolex
