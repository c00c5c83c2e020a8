#include "WaitDialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTimerEvent>

#include "ControlBuilder.h"
#include "RecordDownloadWorker.h"
#include "ScannerApp.h"
#include "Translations.h"

namespace tavolex {

namespace {

constexpr int kPointSize = 9;
constexpr int kWidthUnits = 152;
constexpr int kHeightUnits = 91;

}  // namespace

WaitDialog::WaitDialog(QWidget* owner, const RecordTransferState& state,
                       RecordDownloadWorker& worker)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_state(state),
      m_worker(worker) {
    const DialogUnits units = DialogUnits::ForPointSize(kPointSize);
    setFont(ScannerApp::DialogFont(kPointSize));
    setFixedSize(units.size(kWidthUnits, kHeightUnits));
    ControlBuilder make(*this, units);
    // "Please wait" is wider than its Chinese caption: in English it starts under the bar's
    // left end and still ends before the dots.
    const bool english = InstalledLanguage() == Language::English;
    make.text(Tr("WaitDialog", "请等待"), english ? Du{35, 51, 43, 8} : Du{48, 51, 28, 8});
    m_bar = make.identified(new QProgressBar(this), kProgressBar, {35, 31, 80, 14},
                            Tr("WaitDialog", "请等待"));
    m_bar->setTextVisible(false);
    // The count is a 16-bit value.
    m_bar->setRange(0, state.total & 0xFFFF);
    m_bar->setValue(0);
    make.identified(new QLabel(Tr("WaitDialog", "。。。"), this), kDotsLabel, {79, 51, 34, 8},
                    Tr("WaitDialog", "。。。"));
    m_timer.start(kPollMs, this);
}

void WaitDialog::reject() {
    m_worker.requestStop();
}

void WaitDialog::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_timer.timerId()) {
        QDialog::timerEvent(event);
        return;
    }
    m_bar->setValue(m_state.done);
    if (!m_worker.ended()) return;
    m_timer.stop();
    accept();
}

// Enter does nothing here: the window has no button to press.
void WaitDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return;
    QDialog::keyPressEvent(event);
}

}  // namespace tavolex
