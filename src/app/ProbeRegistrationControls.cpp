#include "ProbeRegistrationControls.h"

#include <QButtonGroup>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "BusyCursor.h"
#include "ControlBuilder.h"
#include "ControlsHost.h"
#include "ProbeRegistration.h"
#include "RegisteredDialog.h"
#include "RegistrationHelpDialog.h"
#include "Translations.h"

namespace tavolex {

namespace {

using Ids = MainControlIds;

// The part of the window's surface, in pixels at 96 dpi and inclusive, over which the
// registration help shows: about where the "帮助" label stands.
constexpr QPoint kHelpHotTopLeft(751, 590);
constexpr QPoint kHelpHotBottomRight(811, 600);

const QColor kHelpLabelColour(0, 64, 128);

}  // namespace

ProbeRegistrationControls::ProbeRegistrationControls(ControlsHost& host) : m_host(host) {}

ProbeRegistrationControls::~ProbeRegistrationControls() = default;

void ProbeRegistrationControls::buildSnReadRow(ControlBuilder& make) {
    make.text(Tr("MainDialog", "读取SN号:"), {6, 62, 46, 8});
    make.edit(Ids::kSnReadChannelEdit, {52, 60, 22, 14}, Tr("MainDialog", "读取SN号:"));
    QPushButton* read = make.button(Ids::kReadSnButton, Tr("MainDialog", "读取"), {77, 60, 28, 14});
    connect(read, &QPushButton::clicked, this, &ProbeRegistrationControls::readProbeSn);
}

void ProbeRegistrationControls::buildGroup(ControlBuilder& make) {
    QDialog& window = make.window();
    make.group(Tr("MainDialog", "探头注册"), {0, 79, 144, 133});
    m_modeGroup = new QButtonGroup(&window);
    // "Manual" is wider than its Chinese caption: in English the middle radio takes room
    // from the short "Semi" on its left.
    const bool english = InstalledLanguage() == Language::English;
    make.radio(Ids::kSemiAutomaticRadio, Tr("MainDialog", "半自动"), {8, 93, english ? 36 : 40, 10},
               *m_modeGroup, 0);
    make.radio(Ids::kManualRadio, Tr("MainDialog", "手动"),
               english ? Du{46, 93, 44, 10} : Du{52, 93, 34, 10}, *m_modeGroup, 1);
    make.radio(Ids::kFullyAutomaticRadio, Tr("MainDialog", "全自动"), {92, 93, 40, 10},
               *m_modeGroup, 2);
    make.text(Tr("MainDialog", "通道号:"), {8, 114, 28, 8});
    make.edit(Ids::kRegistrationChannelEdit, {38, 112, 22, 14}, Tr("MainDialog", "通道号:"));
    m_probePortGroup = new QButtonGroup(&window);
    make.radio(Ids::kPortARadio, Tr("MainDialog", "A端口"), {66, 113, 36, 10}, *m_probePortGroup,
               0);
    make.radio(Ids::kPortBRadio, Tr("MainDialog", "B端口"), {104, 113, 36, 10}, *m_probePortGroup,
               1);
    make.text(Tr("MainDialog", "SN号:"), {8, 134, 30, 8});
    for (int row = 0; row < 2; ++row) {
        const int top = row == 0 ? 147 : 166;
        make.text(row == 0 ? QStringLiteral("1-4") : QStringLiteral("5-8"), {8, top + 2, 14, 8});
        for (int i = 0; i < 4; ++i) {
            const int byte = row * 4 + i;
            QLineEdit* edit = make.edit(Ids::kSnEdits[byte], {24 + i * 29, top, 26, 14},
                                        Tr("MainDialog", "SN号: 第%1字节").arg(byte + 1));
            edit->setValidator(new UpperCaseValidator(edit));
        }
    }
    QPushButton* registerButton =
        make.button(Ids::kRegisterButton, Tr("MainDialog", "注册"), {14, 189, 50, 16});
    QPushButton* fileButton =
        make.button(Ids::kFileRegisterButton, Tr("MainDialog", "文件注册"), {80, 189, 50, 16});

    connect(registerButton, &QPushButton::clicked, this, &ProbeRegistrationControls::registerProbe);
    connect(fileButton, &QPushButton::clicked, this, &ProbeRegistrationControls::registerFromFile);
    connect(m_modeGroup, &QButtonGroup::idClicked, this, [this](int mode) {
        if (m_host.takeSettings()) {
            applyRegistrationMode(mode);
        } else {
            SetCheckedIndex(*m_modeGroup, m_host.values().registrationMode);
        }
    });
    setSnEditsEnabled(false);
}

void ProbeRegistrationControls::buildHelpLabel(ControlBuilder& make) {
    // The label lets the pointer through: the window itself watches the area it covers.
    m_helpLabel = make.text(Tr("MainDialog", "帮助"), {496, 395, 50, 8}, Qt::AlignHCenter);
    m_helpLabel->setObjectName(QString::number(Ids::kHelpLabel));
    m_helpLabel->setAccessibleName(m_helpLabel->text());
    QPalette palette = m_helpLabel->palette();
    palette.setColor(QPalette::WindowText, kHelpLabelColour);
    m_helpLabel->setPalette(palette);
    m_helpLabelBuiltAt = m_helpLabel->pos();
    m_helpArea = make.units().pixelRect(kHelpHotTopLeft, kHelpHotBottomRight);

    m_help = new RegistrationHelpDialog(&make.window());
    m_registeredPopup = new RegisteredDialog(&make.window());
    make.window().installEventFilter(this);
}

bool ProbeRegistrationControls::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove && watched == &m_host.owner()) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (m_helpArea.translated(m_helpLabel->pos() - m_helpLabelBuiltAt).contains(at)) {
            m_help->centreOverOwner();
            m_help->show();
        } else {
            m_help->hide();
        }
    }
    return QObject::eventFilter(watched, event);
}

void ProbeRegistrationControls::registerProbe() {
    if (!m_host.takeSettings()) return;
    WindowValues& values = m_host.values();
    RegistrationInputs inputs;
    inputs.mode = static_cast<RegistrationMode>(std::clamp(values.registrationMode, 0, 2));
    inputs.port = values.probePort == 1 ? ProbePort::B : ProbePort::A;
    inputs.channel = values.registrationChannel;
    inputs.snTexts = values.snTexts;
    Outcome<RegisterOutcome> registered;
    {
        const BusyCursor busy;
        OperationContext context = m_host.operation();
        registered = RegisterProbe(context, inputs);
    }
    if (registered->nextChannel) values.registrationChannel = *registered->nextChannel;
    if (registered->updateWindow) m_host.updateControls();
}

void ProbeRegistrationControls::readProbeSn() {
    if (!m_host.takeSettings()) return;
    WindowValues& values = m_host.values();
    Outcome<ReadSnOutcome> outcome;
    {
        const BusyCursor busy;
        OperationContext context = m_host.operation();
        outcome = ReadProbeSn(context, values.snReadChannel);
    }
    if (!outcome) return;
    values.probePort = outcome->port == ProbePort::A ? 0 : 1;
    values.snReadChannel = outcome->nextChannel;
    m_host.updateControls();
}

void ProbeRegistrationControls::registerFromFile() {
    const BusyCursor busy;
    OperationContext context = m_host.operation();
    RegisterFromFile(context, *this, m_host.workingDirectory());
}

void ProbeRegistrationControls::setSnEditsEnabled(bool enabled) {
    for (int id : Ids::kSnEdits)
        m_host.control<QLineEdit>(id)->setEnabled(enabled);
}

void ProbeRegistrationControls::applyRegistrationMode(int mode) {
    const bool fullyAutomatic = mode == static_cast<int>(RegistrationMode::FullyAutomatic);
    setSnEditsEnabled(mode == static_cast<int>(RegistrationMode::Manual));
    m_host.control<QLineEdit>(Ids::kRegistrationChannelEdit)->setEnabled(!fullyAutomatic);
    m_host.control<QRadioButton>(Ids::kPortARadio)->setEnabled(!fullyAutomatic);
    m_host.control<QRadioButton>(Ids::kPortBRadio)->setEnabled(!fullyAutomatic);
}

void ProbeRegistrationControls::runStarted() {
    m_runLock = m_host.lockControls(LockedDuring::FileRegistrationRun);
    showRegisteredPopup();
}

void ProbeRegistrationControls::lineRegistered(int channel) {
    m_registeredPopup->setChannelNumber(channel);
    showRegisteredPopup();
}

void ProbeRegistrationControls::showRegisteredPopup() {
    m_registeredPopup->centreOverOwner();
    m_registeredPopup->show();
    m_registeredPopup->repaintNow();
}

void ProbeRegistrationControls::runEnded() {
    m_registeredPopup->hide();
    m_runLock.reset();
}

}  // namespace tavolex
