// The port chooser: the serial devices present with their port numbers, descriptions and
// states. Choosing a device for a number links that number to the device's stable name, so
// that the number keeps naming the adapter when it is unplugged and plugged in again.
#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "PortDiscovery.h"

class QPushButton;
class QSpinBox;
class QTableWidget;

namespace tavolex {

class Operator;

class PortDialog final : public QDialog {
    Q_OBJECT
public:
    // Columns of the port list.
    enum Column : int { kNumberColumn, kDeviceColumn, kDescriptionColumn, kStateColumn };

    // Lists the devices of `tree`, with the row of `currentPort` selected where there is one.
    // Questions and failures go to `person`.
    PortDialog(DeviceTree tree, Operator& person, int currentPort, QWidget* owner);

    // The port number chosen, once the dialog was accepted.
    std::optional<int> chosenPort() const { return m_chosen; }
    const std::vector<PortEntry>& entries() const { return m_entries; }

    QTableWidget& list() const { return *m_list; }
    QSpinBox& numberBox() const { return *m_number; }
    QPushButton& unbindButton() const { return *m_unbind; }

public slots:
    // Looks for the devices again.
    void refreshList();
    // "确定": makes the number open the selected device, then closes.
    void choose();
    // "解除绑定": removes the selected entry's link from the ports folder.
    void unbind();

private:
    void buildControls();
    void showEntries(std::optional<int> selectNumber);
    void selectionChanged();
    const PortEntry* selected() const;
    // The lowest number that no listed port uses.
    int freeNumber() const;
    // True when binding `entry` to `number` may go ahead: nothing else has the number, or the
    // operator agrees to take it from what has it.
    bool mayTakeNumber(const PortEntry& entry, int number);

    const DeviceTree m_tree;
    Operator& m_operator;
    std::vector<PortEntry> m_entries;
    std::optional<int> m_chosen;
    QTableWidget* m_list = nullptr;
    QSpinBox* m_number = nullptr;
    QPushButton* m_unbind = nullptr;
};

}  // namespace tavolex
