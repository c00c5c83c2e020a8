// The modal progress window of a record download: a progress bar over "请等待" that follows
// the download every 100 ms and closes once the download's thread has ended. Escape cancels
// the download; the window still waits for the record in hand before it closes.
#pragma once

#include <QBasicTimer>
#include <QDialog>

class QProgressBar;

namespace tavolex {

class RecordDownloadWorker;
struct RecordTransferState;

class WaitDialog final : public QDialog {
    Q_OBJECT
public:
    enum ControlId : int { kProgressBar = 1085, kDotsLabel = 1086 };
    static constexpr int kPollMs = 100;

    WaitDialog(QWidget* owner, const RecordTransferState& state, RecordDownloadWorker& worker);

    QProgressBar* progressBar() const { return m_bar; }
    // Escape: asks the download to stop; the window closes when it has.
    void reject() override;

protected:
    void timerEvent(QTimerEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    const RecordTransferState& m_state;
    RecordDownloadWorker& m_worker;
    QProgressBar* m_bar = nullptr;
    QBasicTimer m_timer;
};

}  // namespace tavolex
