#include "MainDialog.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QValidator>
#include <algorithm>
#include <optional>
#include <system_error>

#include "AboutDialog.h"
#include "BusyCursor.h"
#include "ChannelLists.h"
#include "ClickableLabel.h"
#include "ContinuousAcquisition.h"
#include "ControlBuilder.h"
#include "DeviceClockControls.h"
#include "FileRegistration.h"
#include "IdWipeControl.h"
#include "LowTemperatureCalibration.h"
#include "PortChoice.h"
#include "PortOpenFailure.h"
#include "ProbeRegistration.h"
#include "Pt100Dialog.h"
#include "ReadTemperatures.h"
#include "RecordingIntervalControls.h"
#include "RecordsDialog.h"
#include "RegisteredDialog.h"
#include "RegistrationHelpDialog.h"
#include "ScannerApp.h"
#include "ShownText.h"
#include "SignalCountAndVersion.h"
#include "SystemMenu.h"
#include "TemperatureOffsets.h"
#include "Translate.h"
#include "Translations.h"
#include "TrendMonitor.h"
#include "WindowMenu.h"
#include "WindowWait.h"

namespace tavolex {

namespace {

constexpr int kPointSize = 9;

// A channel list column's width at 96 dpi: the caption (wider for "PT100通道n"), the values.
int ChannelColumnWidthPx(ChannelList list, int column) {
    if (column != kCaptionColumn) return 72;
    return list == ChannelList::Pt100 ? 70 : 55;
}
constexpr int kWidthUnits = 561;
constexpr int kHeightUnits = 411;

// The part of the window's surface, in pixels at 96 dpi and inclusive, over which the
// registration help shows: about where the "帮助" label stands.
constexpr QPoint kHelpHotTopLeft(751, 590);
constexpr QPoint kHelpHotBottomRight(811, 600);

const QColor kHelpLabelColour(0, 64, 128);

constexpr const char* kOpenPortFailed = TAVOLEX_TRANSLATABLE("MainDialog", "打开串口错误!");
constexpr const char* kBadReply = TAVOLEX_TRANSLATABLE("MainDialog", "返回数据错误!");

void SetRadioIndex(QButtonGroup& group, int index) {
    if (QAbstractButton* button = group.button(index)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group cannot be cleared button by button.
    group.setExclusive(false);
    for (QAbstractButton* button : group.buttons())
        button->setChecked(false);
    group.setExclusive(true);
}

}  // namespace

MainDialog::MainDialog(PortOpener& ports, Clock& clock, Operator& person, QWidget* parent)
    : DefaultActionDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                      Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                      Qt::WindowCloseButtonHint),
      m_units(DialogUnits::ForPointSize(kPointSize)),
      m_operator(person),
      m_link{ports,
             clock,
             [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); },
             {},
             WaitKeepingWindowPainted},
      m_helpHotArea(m_units.pixelRect(kHelpHotTopLeft, kHelpHotBottomRight)) {
    setFont(ScannerApp::DialogFont(kPointSize));
    setWindowTitle(Tr("MainDialog", "温度巡检仪  KORVA VELTA-2 Ver3.2"));
    setWindowIcon(ScannerApp::Icon());
    setFixedSize(m_units.size(kWidthUnits, kHeightUnits));
    setMouseTracking(true);

    buildControls();

    std::error_code error;
    m_workingDirectory = std::filesystem::current_path(error);

    m_aboutAction = new QAction(Tr("MainDialog", "关于 TAVOLEX(&A)..."), this);
    connect(m_aboutAction, &QAction::triggered, this, &MainDialog::openAboutBox);
    AddAboutToSystemMenu(*this, m_aboutAction->text());
    // The hidden button 1028 would open it; the menu makes the service window reachable.
    m_pt100Action = new QAction(Tr("MainDialog", "PT100参数设置(&P)..."), this);
    connect(m_pt100Action, &QAction::triggered, this, &MainDialog::openPt100Dialog);

    setUpChannelLists();

    m_registrationHelp = new RegistrationHelpDialog(this);
    m_registeredPopup = new RegisteredDialog(this);

    m_values.probePort = 0;
    control<QLineEdit>(kRecordPeriodEdit)->setText(QStringLiteral("30"));
    setSnEditsEnabled(false);
    m_trend = std::make_unique<TrendMonitor>(*this);
    m_acquisition = std::make_unique<ContinuousAcquisition>(*this);
    m_signalCountAndVersion = std::make_unique<SignalCountAndVersion>(*this);
    m_offsets = std::make_unique<TemperatureOffsets>(*this);
    m_calibration = std::make_unique<LowTemperatureCalibration>(*this);
    m_deviceClock = std::make_unique<DeviceClockControls>(*this);
    m_recordingInterval = std::make_unique<RecordingIntervalControls>(*this);
    m_idWipe = std::make_unique<IdWipeControl>(*this);
    m_portChoice = std::make_unique<PortChoice>(*this);
    m_menu = new WindowMenu(*this);
    m_helpHotArea.translate(0, m_menu->height());
    updateControls();
    control<QLineEdit>(kPortEdit)->setFocus();
}

MainDialog::~MainDialog() = default;

void MainDialog::buildControls() {
    ControlBuilder make(*this, m_units);

    // The link row.
    make.group(QString(), {0, 0, 219, 35});
    make.text(Tr("MainDialog", "串口号:"), {7, 12, 28, 8});
    make.edit(kPortEdit, {36, 10, 28, 14}, Tr("MainDialog", "串口号:"));
    make.text(Tr("MainDialog", "波特率:"), {70, 12, 28, 8});
    QComboBox* baud = make.combo(kBaudList, {99, 10, 44, 14}, Tr("MainDialog", "波特率:"),
                                 {QStringLiteral("1200"), QStringLiteral("9600"),
                                  QStringLiteral("19200"), QStringLiteral("38400")},
                                 false);
    make.text(Tr("MainDialog", "通信地址:"), {149, 12, 36, 8});
    make.edit(kAddressEdit, {186, 10, 26, 14}, Tr("MainDialog", "通信地址:"));

    // The device clock.
    make.group(Tr("MainDialog", "设备时间"), {222, 4, 329, 31});
    const QString timeUnits[] = {Tr("MainDialog", "年"), Tr("MainDialog", "月"),
                                 Tr("MainDialog", "日"), Tr("MainDialog", "时"),
                                 Tr("MainDialog", "分"), Tr("MainDialog", "秒")};
    int left = 228;
    for (int i = 0; i < 6; ++i) {
        const int width = i == 0 ? 26 : 18;
        make.edit(kYearEdit + i, {left, 15, width, 14}, timeUnits[i]);
        make.text(timeUnits[i], {left + width + 2, 17, 8, 8});
        left += width + 12;
    }
    make.button(kReadClockButton, Tr("MainDialog", "读取"), {422, 15, 30, 14});
    make.button(kSetClockButton, Tr("MainDialog", "设置当前系统时间"), {458, 15, 84, 14});

    // Channel count and SN reading.
    make.text(Tr("MainDialog", "设置信号数:"), {6, 43, 46, 8});
    make.edit(kSignalCountEdit, {52, 41, 22, 14}, Tr("MainDialog", "设置信号数:"));
    make.button(kSetSignalCountButton, Tr("MainDialog", "设置"), {77, 41, 28, 14});
    make.text(Tr("MainDialog", "读取SN号:"), {6, 62, 46, 8});
    make.edit(kSnReadChannelEdit, {52, 60, 22, 14}, Tr("MainDialog", "读取SN号:"));
    make.button(kReadSnButton, Tr("MainDialog", "读取"), {77, 60, 28, 14});

    // Probe registration.
    make.group(Tr("MainDialog", "探头注册"), {0, 79, 144, 133});
    m_modeGroup = new QButtonGroup(this);
    // "Manual" is wider than its Chinese caption: in English the middle radio takes room
    // from the short "Semi" on its left.
    const bool english = InstalledLanguage() == Language::English;
    make.radio(kSemiAutomaticRadio, Tr("MainDialog", "半自动"), {8, 93, english ? 36 : 40, 10},
               *m_modeGroup, 0);
    make.radio(kManualRadio, Tr("MainDialog", "手动"),
               english ? Du{46, 93, 44, 10} : Du{52, 93, 34, 10}, *m_modeGroup, 1);
    make.radio(kFullyAutomaticRadio, Tr("MainDialog", "全自动"), {92, 93, 40, 10}, *m_modeGroup, 2);
    make.text(Tr("MainDialog", "通道号:"), {8, 114, 28, 8});
    make.edit(kRegistrationChannelEdit, {38, 112, 22, 14}, Tr("MainDialog", "通道号:"));
    m_probePortGroup = new QButtonGroup(this);
    make.radio(kPortARadio, Tr("MainDialog", "A端口"), {66, 113, 36, 10}, *m_probePortGroup, 0);
    make.radio(kPortBRadio, Tr("MainDialog", "B端口"), {104, 113, 36, 10}, *m_probePortGroup, 1);
    make.text(Tr("MainDialog", "SN号:"), {8, 134, 30, 8});
    for (int row = 0; row < 2; ++row) {
        const int top = row == 0 ? 147 : 166;
        make.text(row == 0 ? QStringLiteral("1-4") : QStringLiteral("5-8"), {8, top + 2, 14, 8});
        for (int i = 0; i < 4; ++i) {
            const int byte = row * 4 + i;
            QLineEdit* edit = make.edit(kSnEdits[byte], {24 + i * 29, top, 26, 14},
                                        Tr("MainDialog", "SN号: 第%1字节").arg(byte + 1));
            edit->setValidator(new UpperCaseValidator(edit));
        }
    }
    make.button(kRegisterButton, Tr("MainDialog", "注册"), {14, 189, 50, 16});
    make.button(kFileRegisterButton, Tr("MainDialog", "文件注册"), {80, 189, 50, 16});

    // Low-temperature calibration.
    make.group(Tr("MainDialog", "校机"), {10, 217, 125, 43});
    make.text(Tr("MainDialog", "选择电阻"), {16, 227, 34, 8});
    make.combo(kResistorCombo, {52, 225, 50, 14}, Tr("MainDialog", "选择电阻"),
               {QStringLiteral("23"), QStringLiteral("100"), QStringLiteral("143")}, true);
    make.button(kCalibrateButton, Tr("MainDialog", "4路低温探头校机"), {16, 241, 110, 14});

    // Temperature offsets.
    make.group(Tr("MainDialog", "温度偏移量"), {10, 264, 125, 104});
    make.button(kReadOffsetsButton, Tr("MainDialog", "读出全部通道偏移量"), {16, 277, 110, 14});
    make.text(Tr("MainDialog", "探头类别："), {16, 299, 40, 8});
    make.combo(kProbeTypeCombo, {56, 297, 72, 14}, Tr("MainDialog", "探头类别："),
               {Tr("MainDialog", "铂电阻探头"), Tr("MainDialog", "数字温度传感器")}, true);
    make.text(Tr("MainDialog", "通道号："), {16, 315, 32, 8});
    make.combo(kOffsetChannelList, {56, 313, 40, 14}, Tr("MainDialog", "通道号："), {}, false);
    make.text(Tr("MainDialog", "偏移值："), {16, 331, 32, 8});
    make.edit(kOffsetEdit, {56, 329, 40, 14}, Tr("MainDialog", "偏移值："));
    make.text(QStringLiteral("℃"), {98, 331, 10, 8});
    make.button(kSetOffsetButton, Tr("MainDialog", "设置"), {56, 346, 40, 14});

    // Temperature acquisition.
    make.group(Tr("MainDialog", "温度采集"), {145, 37, 412, 347});
    make.text(Tr("MainDialog", "采集周期:"), {191, 50, 40, 8});
    make.edit(kPeriodEdit, {191, 61, 36, 13}, Tr("MainDialog", "采集周期:"));
    make.text(Tr("MainDialog", "毫秒"), {230, 63, 16, 8});
    make.button(kAcquireButton, Tr("MainDialog", "采集"), {259, 51, 62, 17});
    make.button(kContinuousButton, Tr("MainDialog", "连续采集"), {332, 51, 62, 17});
    make.group(Tr("MainDialog", "成功次数"), {414, 43, 54, 34});
    QLabel* successes = make.identified(new QLabel(this), kSuccessCountLabel, {420, 58, 42, 10},
                                        Tr("MainDialog", "成功次数"));
    successes->setAlignment(Qt::AlignCenter);
    SetValueCaption(successes, Tr("MainDialog", "成功次数"));
    make.group(Tr("MainDialog", "失败次数"), {480, 43, 54, 34});
    QLabel* failures = make.identified(new QLabel(this), kFailureCountLabel, {486, 58, 42, 10},
                                       Tr("MainDialog", "失败次数"));
    failures->setAlignment(Qt::AlignCenter);
    SetValueCaption(failures, Tr("MainDialog", "失败次数"));
    make.list(kLowChannelList, {145, 83, 135, 302}, Tr("MainDialog", "通道1-32"));
    make.list(kHighChannelList, {283, 83, 135, 302}, Tr("MainDialog", "通道33-64"));
    make.list(kPt100List, {421, 83, 135, 302}, Tr("MainDialog", "PT100通道1-4"));

    // The bottom rows.
    make.button(kDeleteIdsButton, Tr("MainDialog", "删除全部ID"), {11, 371, 50, 14});
    make.button(kViewRecordsButton, Tr("MainDialog", "查看记录"), {11, 391, 50, 14});
    make.text(Tr("MainDialog", "设备主动记录温度时间:"), {164, 394, 86, 8});
    make.edit(kIntervalEdit, {251, 392, 28, 14}, Tr("MainDialog", "设备主动记录温度时间:"));
    make.text(Tr("MainDialog", "分钟"), {281, 394, 16, 8});
    make.button(kReadIntervalButton, Tr("MainDialog", "读取"), {303, 391, 30, 14});
    make.button(kSetIntervalButton, Tr("MainDialog", "设置"), {337, 391, 30, 14});
    auto* version =
        make.identified(new ClickableLabel(Tr("MainDialog", "点击读取版本"), this), kVersionLabel,
                        {393, 395, 86, 8}, Tr("MainDialog", "点击读取版本"));
    version->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    version->setCursor(Qt::PointingHandCursor);
    // The help label lets the pointer through: the window itself watches the area it covers.
    QLabel* help = make.text(Tr("MainDialog", "帮助"), {496, 395, 50, 8}, Qt::AlignHCenter);
    help->setObjectName(QString::number(kHelpLabel));
    help->setAccessibleName(help->text());
    QPalette helpPalette = help->palette();
    helpPalette.setColor(QPalette::WindowText, kHelpLabelColour);
    help->setPalette(helpPalette);

    // Controls that the program never shows.
    make.button(kPt100Button, Tr("MainDialog", "PT100参数设置"), {115, 373, 21, 7})->hide();
    make.check(kSaveLogCheck, Tr("MainDialog", "保存日志"), {65, 373, 48, 10})->hide();
    make.button(kReadLogButton, Tr("MainDialog", "读取日志"), {118, 382, 15, 6})->hide();
    make.edit(kRecordPeriodEdit, {69, 385, 39, 14}, Tr("MainDialog", "秒/次自动记录当前温度"))
        ->hide();
    make.text(Tr("MainDialog", "秒/次自动记录当前温度"), {67, 399, 85, 8})->hide();

    connect(control<QPushButton>(kAcquireButton), &QPushButton::clicked, this,
            &MainDialog::acquireOnce);
    connect(control<QPushButton>(kRegisterButton), &QPushButton::clicked, this,
            &MainDialog::registerProbe);
    connect(control<QPushButton>(kReadSnButton), &QPushButton::clicked, this,
            &MainDialog::readProbeSn);
    connect(control<QPushButton>(kFileRegisterButton), &QPushButton::clicked, this,
            &MainDialog::registerFromFile);
    connect(control<QPushButton>(kPt100Button), &QPushButton::clicked, this,
            &MainDialog::openPt100Dialog);
    connect(control<QPushButton>(kViewRecordsButton), &QPushButton::clicked, this,
            [this] { RecordsDialog::Open(*this); });
    connect(m_modeGroup, &QButtonGroup::idClicked, this, [this](int mode) {
        if (refresh()) {
            applyRegistrationMode(mode);
        } else {
            SetRadioIndex(*m_modeGroup, m_values.registrationMode);
        }
    });
    connect(baud, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_updating) refresh();
    });
}

void MainDialog::setUpChannelLists() {
    const std::pair<int, ChannelList> lists[] = {{kLowChannelList, ChannelList::Low},
                                                 {kHighChannelList, ChannelList::High},
                                                 {kPt100List, ChannelList::Pt100}};
    const int rowHeight = fontMetrics().height() + m_units.y(2);
    for (const auto& [id, which] : lists) {
        QTableWidget* list = control<QTableWidget>(id);
        const auto titles = ChannelColumnTitles();
        list->setColumnCount(kChannelListColumns);
        list->setRowCount(RowCountOf(which));
        for (int column = 0; column < kChannelListColumns; ++column) {
            list->setHorizontalHeaderItem(
                column, new QTableWidgetItem(Tr("ChannelLists", titles[column].data())));
            list->setColumnWidth(column, m_units.pixels(ChannelColumnWidthPx(which, column)));
        }
        for (int row = 0; row < list->rowCount(); ++row) {
            list->setItem(row, kCaptionColumn, new QTableWidgetItem(ShownRowCaption(which, row)));
            list->setItem(row, kTemperatureColumn, new QTableWidgetItem());
            list->setItem(row, kOffsetColumn, new QTableWidgetItem());
        }
        list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        list->horizontalHeader()->setStretchLastSection(false);
        list->horizontalHeader()->setHighlightSections(false);
        list->verticalHeader()->hide();
        list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        list->verticalHeader()->setDefaultSectionSize(rowHeight);
        list->setShowGrid(true);
        list->setSelectionBehavior(QAbstractItemView::SelectRows);
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        list->setWordWrap(false);
    }
}

bool MainDialog::takeWholeNumber(int id, std::int32_t& value) {
    const std::optional<std::int32_t> number =
        ParseWholeNumber(control<QLineEdit>(id)->text().toStdString());
    if (!number) {
        refuseField(id, Translate("MainDialog", kNotAWholeNumber.data()));
        return false;
    }
    value = *number;
    return true;
}

void MainDialog::refuseField(int id, std::string_view message) {
    m_operator.message(message);
    QLineEdit* edit = control<QLineEdit>(id);
    edit->setFocus();
    edit->selectAll();
}

bool MainDialog::refresh() {
    if (!takeWholeNumber(kAddressEdit, m_values.deviceAddress)) return false;
    if (!takeWholeNumber(kPortEdit, m_values.portNumber)) return false;
    if (!takeWholeNumber(kRegistrationChannelEdit, m_values.registrationChannel)) return false;
    if (!takeWholeNumber(kSignalCountEdit, m_values.signalCount)) return false;
    m_values.baudRate = control<QComboBox>(kBaudList)->currentText().toStdString();
    if (!takeWholeNumber(kPeriodEdit, m_values.acquisitionPeriodMs)) return false;
    m_values.failureCount = control<QLabel>(kFailureCountLabel)->text().toStdString();
    m_values.successCount = control<QLabel>(kSuccessCountLabel)->text().toStdString();
    // The channel is taken before its range is checked, so a refused value stays in the values
    // as the field showed it.
    if (!takeWholeNumber(kSnReadChannelEdit, m_values.snReadChannel)) return false;
    if (m_values.snReadChannel < kMinSnReadChannel || m_values.snReadChannel > kMaxSnReadChannel) {
        refuseField(kSnReadChannelEdit, Translate("MainDialog", kSnReadChannelRange.data()));
        return false;
    }
    for (int i = 0; i < kSnBytes; ++i) {
        m_values.snTexts[i] = control<QLineEdit>(kSnEdits[i])->text().toStdString();
    }
    m_values.registrationMode = m_modeGroup->checkedId();
    m_values.probePort = m_probePortGroup->checkedId();
    return true;
}

void MainDialog::updateControls() {
    m_updating = true;
    const auto showNumber = [this](int id, std::int32_t value) {
        control<QLineEdit>(id)->setText(QString::number(value));
    };
    showNumber(kAddressEdit, m_values.deviceAddress);
    showNumber(kPortEdit, m_values.portNumber);
    showNumber(kRegistrationChannelEdit, m_values.registrationChannel);
    showNumber(kSignalCountEdit, m_values.signalCount);
    QComboBox* baud = control<QComboBox>(kBaudList);
    const int baudIndex = baud->findText(FromUtf8(m_values.baudRate), Qt::MatchExactly);
    if (baudIndex >= 0) baud->setCurrentIndex(baudIndex);
    showNumber(kPeriodEdit, m_values.acquisitionPeriodMs);
    ShowValue(control<QLabel>(kFailureCountLabel), FromUtf8(m_values.failureCount));
    ShowValue(control<QLabel>(kSuccessCountLabel), FromUtf8(m_values.successCount));
    showNumber(kSnReadChannelEdit, m_values.snReadChannel);
    for (int i = 0; i < kSnBytes; ++i) {
        control<QLineEdit>(kSnEdits[i])->setText(FromUtf8(m_values.snTexts[i]));
    }
    SetRadioIndex(*m_modeGroup, m_values.registrationMode);
    SetRadioIndex(*m_probePortGroup, m_values.probePort);
    m_updating = false;
}

std::unique_ptr<ControlLock> MainDialog::lockControls(std::span<const int> ids) {
    std::vector<QWidget*> controls;
    for (int id : ids)
        controls.push_back(control<QWidget>(id));
    return std::make_unique<ControlLock>(m_controlLocks, std::move(controls));
}

void MainDialog::setSnEditsEnabled(bool enabled) {
    for (int id : kSnEdits)
        control<QLineEdit>(id)->setEnabled(enabled);
}

void MainDialog::showTemperatures() {
    const TemperatureColumnTexts texts = TemperatureColumnOf(m_temperatureReply);
    const auto fill = [this](int id, const auto& column) {
        QTableWidget* list = control<QTableWidget>(id);
        for (int row = 0; row < static_cast<int>(column.size()); ++row) {
            list->item(row, kTemperatureColumn)->setText(FromUtf8(column[row]));
        }
    };
    fill(kLowChannelList, texts.low);
    fill(kHighChannelList, texts.high);
    fill(kPt100List, texts.pt100);
    m_trend->takeReading(m_temperatureReply);
}

void MainDialog::acquireOnce() {
    MainPort main = OpenMainPort(*this, m_link);
    if (main.refused) return;
    if (!main.port) {
        m_operator.message(OpenFailureMessage(Translate("MainDialog", kOpenPortFailed),
                                              m_link.ports, linkSettings()));
        return;
    }
    // While this reading waits, the window serves a running acquisition's results, which
    // write the window's reply: read into a buffer of our own and show only what came here.
    TemperatureReply reply;
    ReadOutcome read;
    {
        const BusyCursor busy;
        read = ReadTemperatureReply(*main.port, linkSettings().addressByte(), reply, m_link);
        main.port.reset();
    }
    if (read.ok()) {
        m_temperatureReply = reply;
        showTemperatures();
        return;
    }
    m_trend->takeFailure();
    const std::string message = Translate("MainDialog", kBadReply);
    // Not a byte back: the line or the device the port number means is the likely cause.
    m_operator.message(read.received == 0 ? NoReplyMessage(message, m_link.ports, linkSettings())
                                          : message);
}

namespace {

// The window as a file registration run sees it: its values and link, the controls a run
// keeps disabled, and the success popup.
class FileRunWindow final : public FileRegistrationWindow {
public:
    FileRunWindow(MainDialog& window, RegisteredDialog& popup) : m_window(window), m_popup(popup) {}

    bool refresh() override { return m_window.refresh(); }
    LinkSettings linkSettings() const override { return m_window.linkSettings(); }
    TraceTarget* traceTarget() const override { return m_window.traceTarget(); }

    void setRunControlsEnabled(bool enabled) override {
        if (!enabled) {
            m_lock = m_window.lockControls(kRunControls);
        } else {
            m_lock.reset();
        }
    }
    void showRegisteredPopup(std::optional<int> channel) override {
        if (channel) m_popup.setChannelNumber(*channel);
        m_popup.centreOverOwner();
        m_popup.show();
        m_popup.repaintNow();
    }
    void hideRegisteredPopup() override { m_popup.hide(); }

private:
    // Locked for the run.
    static constexpr std::array<int, 12> kRunControls = {
        MainDialog::kSaveLogCheck,       MainDialog::kRecordPeriodEdit,
        MainDialog::kSetClockButton,     MainDialog::kReadClockButton,
        MainDialog::kSetOffsetButton,    MainDialog::kReadOffsetsButton,
        MainDialog::kDeleteIdsButton,    MainDialog::kViewRecordsButton,
        MainDialog::kReadIntervalButton, MainDialog::kSetIntervalButton,
        MainDialog::kContinuousButton,   MainDialog::kAcquireButton};

    MainDialog& m_window;
    RegisteredDialog& m_popup;
    std::unique_ptr<ControlLock> m_lock;
};

}  // namespace

void MainDialog::registerProbe() {
    if (!refresh()) return;
    RegistrationInputs inputs;
    inputs.mode = static_cast<RegistrationMode>(std::clamp(m_values.registrationMode, 0, 2));
    inputs.port = m_values.probePort == 1 ? ProbePort::B : ProbePort::A;
    inputs.channel = m_values.registrationChannel;
    inputs.snTexts = m_values.snTexts;
    RegisterOutcome outcome;
    {
        const BusyCursor busy;
        outcome = RegisterProbe(*this, m_link, m_operator, linkSettings().addressByte(), inputs);
    }
    if (outcome.nextChannel) m_values.registrationChannel = *outcome.nextChannel;
    if (outcome.updateWindow) updateControls();
}

void MainDialog::readProbeSn() {
    if (!refresh()) return;
    std::optional<ReadSnOutcome> outcome;
    {
        const BusyCursor busy;
        outcome = ReadProbeSn(*this, m_link, m_operator, linkSettings().addressByte(),
                              m_values.snReadChannel);
    }
    if (!outcome) return;
    m_values.probePort = outcome->port == ProbePort::A ? 0 : 1;
    m_values.snReadChannel = outcome->nextChannel;
    updateControls();
}

void MainDialog::registerFromFile() {
    FileRunWindow run(*this, *m_registeredPopup);
    const BusyCursor busy;
    RegisterFromFile(run, m_link, m_operator, m_workingDirectory);
}

void MainDialog::applyRegistrationMode(int mode) {
    const bool fullyAutomatic = mode == static_cast<int>(RegistrationMode::FullyAutomatic);
    setSnEditsEnabled(mode == static_cast<int>(RegistrationMode::Manual));
    control<QLineEdit>(kRegistrationChannelEdit)->setEnabled(!fullyAutomatic);
    control<QRadioButton>(kPortARadio)->setEnabled(!fullyAutomatic);
    control<QRadioButton>(kPortBRadio)->setEnabled(!fullyAutomatic);
}

bool MainDialog::acquiring() const {
    return m_acquisition->acquiring();
}

void MainDialog::openAboutBox() {
    AboutDialog about(this);
    about.exec();
}

void MainDialog::openPt100Dialog() {
    Pt100Dialog dialog(*this);
    setTraceTarget(&dialog.trace());
    dialog.exec();
    setTraceTarget(nullptr);
}

void MainDialog::done(int result) {
    m_acquisition->end();
    m_trend->closeTrend();
    QDialog::done(result);
}

// Enter outside a push button takes the values and closes when they are all valid.
void MainDialog::defaultAction() {
    if (refresh()) accept();
}

void MainDialog::mouseMoveEvent(QMouseEvent* event) {
    if (m_helpHotArea.contains(event->position().toPoint())) {
        m_registrationHelp->centreOverOwner();
        m_registrationHelp->show();
    } else {
        m_registrationHelp->hide();
    }
    QDialog::mouseMoveEvent(event);
}

// The title-bar menu belongs to the window manager here, so the window's own surface offers
// what that menu would hold.
void MainDialog::contextMenuEvent(QContextMenuEvent* event) {
    m_menu->showContextMenu(event->globalPos());
}

bool MainDialog::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    if (!IsSystemMenuAbout(eventType, message))
        return QDialog::nativeEvent(eventType, message, result);
    openAboutBox();
    *result = 0;
    return true;
}

}  // namespace tavolex
