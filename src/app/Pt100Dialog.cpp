#include "Pt100Dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "BusyCursor.h"
#include "ControlBuilder.h"
#include "ControlsHost.h"
#include "Pt100Operations.h"
#include "ScannerApp.h"
#include "Translate.h"
#include "Translations.h"
#include "UpDownControl.h"

namespace tavolex {

namespace {

constexpr int kPointSize = 9;
constexpr int kWidthUnits = 256;
constexpr int kHeightUnits = 311;

}  // namespace

Pt100Dialog::Pt100Dialog(ControlsHost& window)
    : DefaultActionDialog(&window.owner(), Qt::Dialog | Qt::WindowTitleHint |
                                               Qt::WindowSystemMenuHint |
                                               Qt::WindowCloseButtonHint),
      m_window(window) {
    const DialogUnits units = DialogUnits::ForPointSize(kPointSize);
    setFont(ScannerApp::DialogFont(kPointSize));
    setWindowTitle(Tr("Pt100Dialog", "PT100参数设置"));
    setFixedSize(units.size(kWidthUnits, kHeightUnits));
    buildControls();
    m_trace = std::make_unique<TraceListBox>(*control<QListWidget>(kLogList));
    control<QComboBox>(kChannelCombo)->setCurrentIndex(0);
    m_spin->setRange(kOffsetSpinMin, kOffsetSpinMax);
    m_spin->setPosition(kOffsetSpinStart);
}

Pt100Dialog::~Pt100Dialog() = default;

void Pt100Dialog::buildControls() {
    const DialogUnits units = DialogUnits::ForPointSize(kPointSize);
    ControlBuilder make(*this, units);
    make.text(Tr("Pt100Dialog", "通道"), {12, 12, 24, 8});
    make.combo(kChannelCombo, {40, 10, 40, 14}, Tr("Pt100Dialog", "通道"),
               {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")},
               true);
    make.button(kReadParametersButton, Tr("Pt100Dialog", "读取参数"), {90, 10, 50, 14});

    const struct {
        const char* label;
        int edit;
        int button;
        const char* caption;
    } rows[] = {{QT_TRANSLATE_NOOP("Pt100Dialog", "电路零位AD值"), kZeroPointEdit, kZeroPointButton,
                 QT_TRANSLATE_NOOP("Pt100Dialog", "校正")},
                {QT_TRANSLATE_NOOP("Pt100Dialog", "温度偏移量(℃)"), kOffsetEdit, kSetOffsetButton,
                 QT_TRANSLATE_NOOP("Pt100Dialog", "设置温度偏移量")},
                {QT_TRANSLATE_NOOP("Pt100Dialog", "电阻1的标定AD值"), kResistor1Edit,
                 kResistor1Button, QT_TRANSLATE_NOOP("Pt100Dialog", "校正")},
                {QT_TRANSLATE_NOOP("Pt100Dialog", "电阻2的标定AD值"), kResistor2Edit,
                 kResistor2Button, QT_TRANSLATE_NOOP("Pt100Dialog", "校正")}};
    int top = 32;
    for (const auto& row : rows) {
        const QString label = Tr("Pt100Dialog", row.label);
        make.text(label, {12, top + 2, 76, 8});
        make.edit(row.edit, {90, top, 50, 14}, label);
        const int buttonLeft = row.edit == kOffsetEdit ? 156 : 146;
        const int buttonWidth = row.edit == kOffsetEdit ? 88 : 40;
        make.button(row.button, Tr("Pt100Dialog", row.caption), {buttonLeft, top, buttonWidth, 14});
        top += 20;
    }
    m_spin = make.identified(new UpDownControl(this), kOffsetSpin, {141, 52, 10, 14},
                             Tr("Pt100Dialog", "温度偏移量(℃)调节"));

    for (int i = 0; i < 4; ++i) {
        const QString label = Tr("Pt100Dialog", "温度%1").arg(i + 1);
        const int left = i % 2 == 0 ? 12 : 104;
        const int rowTop = i < 2 ? 118 : 138;
        make.text(label, {left, rowTop + 2, 24, 8});
        make.edit(kTemperature1Edit + i, {left + 28, rowTop, 50, 14}, label);
    }
    make.button(kTemperaturesButton, Tr("Pt100Dialog", "读取温度"), {194, 127, 50, 14});

    make.text(Tr("Pt100Dialog", "日志"), {12, 160, 24, 8});
    make.listBox(kLogList, {12, 171, 232, 108}, Tr("Pt100Dialog", "日志"));
    make.button(kClearLogButton, Tr("Pt100Dialog", "清除日志"), {60, 287, 50, 14});
    make.button(kSaveLogButton, Tr("Pt100Dialog", "保存日志"), {146, 287, 50, 14});

    const auto onClick = [this](int id, auto action) {
        connect(control<QPushButton>(id), &QPushButton::clicked, this, action);
    };
    onClick(kReadParametersButton, [this] { readParameters(); });
    onClick(kZeroPointButton, [this] { calibrate(1); });
    onClick(kResistor1Button, [this] { calibrate(2); });
    onClick(kResistor2Button, [this] { calibrate(3); });
    onClick(kTemperaturesButton, [this] { readTemperatures(); });
    onClick(kClearLogButton, [this] { m_trace->clearAll(); });
    onClick(kSaveLogButton, [this] { saveLog(); });
    // "设置温度偏移量" sends nothing: the instrument has no command that writes a PT100 offset;
    // the edit and the spin only adjust a value on the screen.
    connect(control<QComboBox>(kChannelCombo)->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { m_typedChannel = text; });
    connect(m_spin, &UpDownControl::stepped, this, &Pt100Dialog::spinStepped);
    connect(control<QLineEdit>(kOffsetEdit), &QLineEdit::textChanged, this,
            &Pt100Dialog::offsetEdited);
}

std::uint8_t Pt100Dialog::channelByte() const {
    const QComboBox* combo = control<QComboBox>(kChannelCombo);
    // Text typed into the box selects no item; choosing one from the list replaces the text.
    if (m_typedChannel == combo->currentText()) return kNoPt100Channel;
    const int index = combo->currentIndex();
    return index < 0 ? kNoPt100Channel : static_cast<std::uint8_t>(index);
}

void Pt100Dialog::setText(int id, const std::string& text) {
    control<QLineEdit>(id)->setText(QString::fromStdString(text));
}

void Pt100Dialog::readParameters() {
    if (!m_window.takeSettings()) return;
    Outcome<Pt100Parameters> parameters;
    {
        const BusyCursor busy;
        OperationContext context = m_window.operation();
        parameters = ReadPt100Parameters(context, channelByte());
    }
    if (!parameters) return;
    setText(kZeroPointEdit, std::to_string(parameters->zeroPointAd));
    setText(kOffsetEdit, Pt100OffsetText(parameters->offsetTenths));
    setText(kResistor1Edit, std::to_string(parameters->resistor1Ad));
    setText(kResistor2Edit, std::to_string(parameters->resistor2Ad));
}

void Pt100Dialog::calibrate(int kind) {
    if (!m_window.takeSettings()) return;
    const auto step = static_cast<Pt100Calibration>(kind);
    Outcome<int> value;
    {
        const BusyCursor busy;
        OperationContext context = m_window.operation();
        value = CalibratePt100(context, step, channelByte());
    }
    if (!value) return;
    const int edit = step == Pt100Calibration::ZeroPoint   ? kZeroPointEdit
                     : step == Pt100Calibration::Resistor1 ? kResistor1Edit
                                                           : kResistor2Edit;
    setText(edit, std::to_string(*value));
}

void Pt100Dialog::readTemperatures() {
    if (!m_window.takeSettings()) return;
    Outcome<Pt100Temperatures> temperatures;
    {
        const BusyCursor busy;
        OperationContext context = m_window.operation();
        temperatures = ReadPt100Temperatures(context);
    }
    if (!temperatures) return;
    for (int i = 0; i < kPt100ChannelCount; ++i)
        setText(kTemperature1Edit + i, (*temperatures)[static_cast<std::size_t>(i)].text());
}

void Pt100Dialog::saveLog() {
    const auto file = m_window.person().chooseSaveFile({{}, m_window.workingDirectory(), {}});
    if (!file) return;
    if (!SaveTraceLog(*file, m_trace->lines()))
        m_window.person().message(Translate("Pt100Dialog", "保存日志失败!"));
}

void Pt100Dialog::spinStepped(int position) {
    if (m_syncGuard) return;
    m_syncGuard = true;
    setText(kOffsetEdit, OffsetTextOfSpin(position));
    m_syncGuard = false;
}

void Pt100Dialog::offsetEdited(const QString& text) {
    if (m_syncGuard) return;
    m_syncGuard = true;
    m_spin->setPosition(SpinOfOffsetText(text.toStdString()));
    m_syncGuard = false;
}

}  // namespace tavolex
