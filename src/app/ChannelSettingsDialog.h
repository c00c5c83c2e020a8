// The table of channel names and alarm limits: a row per channel, its name and its low and high
// limit in °C, each of them optional.
#pragma once

#include <QDialog>

#include "ChannelSettings.h"
#include "Operator.h"
#include "Translate.h"

class QTableWidget;

namespace tavolex {

class ChannelSettingsDialog final : public QDialog {
    Q_OBJECT
public:
    enum Column : int { kChannelColumn, kNameColumn, kLowColumn, kHighColumn };

    static constexpr std::string_view kBadLimit =
        TAVOLEX_TRANSLATABLE("ChannelSettingsDialog", "报警限应为温度值(°C)，最多一位小数!");
    static constexpr std::string_view kLowAboveHigh =
        TAVOLEX_TRANSLATABLE("ChannelSettingsDialog", "下限不能高于上限!");

    ChannelSettingsDialog(const ChannelSettings& settings, Operator& person, QWidget* parent);

    QTableWidget& table() { return *m_table; }
    // What the operator confirmed; meaningful once the dialog was accepted.
    const ChannelSettings& settings() const { return m_settings; }

    // Takes the table when every limit is a temperature and no low limit lies above its high
    // one; otherwise says which, with the cell selected, and stays open.
    void accept() override;

private:
    void refuse(int row, int column, std::string_view message);

    Operator& m_operator;
    ChannelSettings m_settings;
    QTableWidget* m_table = nullptr;
};

}  // namespace tavolex
