#include "PortDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "ControlBuilder.h"
#include "DialogUnits.h"
#include "Operator.h"
#include "ScannerApp.h"
#include "Translate.h"
#include "Translations.h"

namespace tavolex {

namespace {

constexpr int kPointSize = 9;
constexpr int kLargestPortNumber = 999;

// A button as wide as the window's other buttons, or wider where its caption needs it.
QPushButton* MakeButton(QDialog& dialog, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, &dialog);
    button->setObjectName(name);
    button->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    button->setMinimumWidth(ButtonWidthFor(*button, DialogUnits::ForPointSize(kPointSize).x(50)));
    button->setAutoDefault(false);
    return button;
}

std::string Shown(const PortEntry& entry) {
    std::string text = entry.device.string();
    if (!entry.description.empty())
        text += "(" + Translate("PortDiscovery", entry.description.c_str()) + ")";
    return text;
}

}  // namespace

PortDialog::PortDialog(DeviceTree tree, Operator& person, int currentPort, QWidget* owner)
    : QDialog(owner), m_tree(std::move(tree)), m_operator(person) {
    setFont(ScannerApp::DialogFont(kPointSize));
    setWindowTitle(Tr("PortDialog", "选择串口"));
    buildControls();
    m_entries = DiscoverPorts(m_tree);
    showEntries(currentPort);
}

void PortDialog::buildControls() {
    const DialogUnits units = DialogUnits::ForPointSize(kPointSize);
    auto* hint = new QLabel(Tr("PortDialog",
                               "插上仪器的串口适配器,在下表中选中它,填好串口号后按"
                               "“确定”。以后这个串口号总是指向这个适配器。"),
                            this);
    hint->setWordWrap(true);

    m_list = new QTableWidget(0, 4, this);
    m_list->setObjectName(QStringLiteral("portList"));
    m_list->setAccessibleName(Tr("PortDialog", "串口列表"));
    m_list->setHorizontalHeaderLabels({Tr("PortDialog", "串口号"), Tr("PortDialog", "设备"),
                                       Tr("PortDialog", "说明"), Tr("PortDialog", "状态")});
    const int widths[] = {30, 70, 154, 36};
    for (int column = 0; column < 4; ++column)
        m_list->setColumnWidth(column, units.x(widths[column]));
    m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->verticalHeader()->hide();
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setWordWrap(false);

    auto* numberLabel = new QLabel(Tr("PortDialog", "串口号:"), this);
    m_number = new QSpinBox(this);
    m_number->setObjectName(QStringLiteral("portNumber"));
    m_number->setAccessibleName(numberLabel->text());
    m_number->setRange(1, kLargestPortNumber);
    m_number->setMinimumWidth(units.x(40));
    numberLabel->setBuddy(m_number);

    QPushButton* refresh =
        MakeButton(*this, QStringLiteral("refresh"), Tr("PortDialog", "刷新(&R)"));
    m_unbind = MakeButton(*this, QStringLiteral("unbind"), Tr("PortDialog", "解除绑定(&U)"));
    QPushButton* ok = MakeButton(*this, QStringLiteral("1"), Tr("PortDialog", "确定"));
    QPushButton* cancel = MakeButton(*this, QStringLiteral("2"), Tr("PortDialog", "取消"));
    ok->setDefault(true);

    // The list takes what the window grows by; the rows of controls keep their height.
    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(numberLabel);
    numberRow->addWidget(m_number);
    numberRow->addStretch();
    numberRow->addWidget(refresh);
    numberRow->addWidget(m_unbind);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(ok);
    buttonRow->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(m_list, 1);
    layout->addLayout(numberRow);
    layout->addLayout(buttonRow);
    resize(units.size(320, 184).expandedTo(layout->sizeHint()));

    connect(refresh, &QPushButton::clicked, this, &PortDialog::refreshList);
    connect(m_unbind, &QPushButton::clicked, this, &PortDialog::unbind);
    connect(ok, &QPushButton::clicked, this, &PortDialog::choose);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QTableWidget::itemSelectionChanged, this, &PortDialog::selectionChanged);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, &PortDialog::choose);
}

void PortDialog::refreshList() {
    const PortEntry* entry = selected();
    const std::optional<int> number = entry ? entry->portNumber : std::nullopt;
    m_entries = DiscoverPorts(m_tree);
    showEntries(number);
}

void PortDialog::showEntries(std::optional<int> selectNumber) {
    m_list->clearSelection();
    m_list->setRowCount(static_cast<int>(m_entries.size()));
    int selectRow = -1;
    for (int row = 0; row < m_list->rowCount(); ++row) {
        const PortEntry& entry = m_entries[static_cast<std::size_t>(row)];
        const QString texts[] = {entry.portNumber ? QString::number(*entry.portNumber) : QString(),
                                 QString::fromStdString(entry.device.string()),
                                 Tr("PortDiscovery", entry.description.c_str()),
                                 Tr("PortDiscovery", PortStateText(entry.state).data())};
        for (int column = 0; column < 4; ++column)
            m_list->setItem(row, column, new QTableWidgetItem(texts[column]));
        if (entry.portNumber && entry.portNumber == selectNumber) selectRow = row;
    }
    if (selectRow >= 0) {
        m_list->selectRow(selectRow);
    } else {
        selectionChanged();
    }
}

void PortDialog::selectionChanged() {
    const PortEntry* entry = selected();
    m_unbind->setEnabled(entry != nullptr && entry->bound);
    if (entry) m_number->setValue(entry->portNumber.value_or(freeNumber()));
}

const PortEntry* PortDialog::selected() const {
    const QList<QTableWidgetSelectionRange> ranges = m_list->selectedRanges();
    if (ranges.isEmpty()) return nullptr;
    const auto row = static_cast<std::size_t>(ranges.front().topRow());
    return row < m_entries.size() ? &m_entries[row] : nullptr;
}

int PortDialog::freeNumber() const {
    int number = 1;
    while (std::any_of(m_entries.begin(), m_entries.end(),
                       [number](const PortEntry& e) { return e.portNumber == number; }))
        ++number;
    return number;
}

bool PortDialog::mayTakeNumber(const PortEntry& entry, int number) {
    const auto holder = std::find_if(m_entries.begin(), m_entries.end(), [&](const PortEntry& e) {
        return e.portNumber == number && &e != &entry;
    });
    if (holder == m_entries.end()) return true;
    return m_operator.confirm(
        Substitute(Translate("PortDialog", "串口%1现在指向 %2,改为指向 %3 吗?"),
                   {std::to_string(number), Shown(*holder), Shown(entry)}));
}

void PortDialog::choose() {
    const PortEntry* entry = selected();
    if (entry == nullptr) {
        m_operator.message(Translate("PortDialog", "请先在列表中选中一个串口。"));
        return;
    }
    const int number = m_number->value();
    if (entry->portNumber != number) {
        if (!mayTakeNumber(*entry, number)) return;
        const std::string failure = BindPort(number, entry->stablePath, m_tree.portsDir);
        if (!failure.empty()) {
            m_operator.message(failure);
            return;
        }
    }
    m_chosen = number;
    accept();
}

void PortDialog::unbind() {
    const PortEntry* entry = selected();
    if (entry == nullptr || !entry->bound || !entry->portNumber) return;
    const std::string failure = UnbindPort(*entry->portNumber, m_tree.portsDir);
    if (!failure.empty()) m_operator.message(failure);
    m_entries = DiscoverPorts(m_tree);
    showEntries(std::nullopt);
}

}  // namespace tavolex
