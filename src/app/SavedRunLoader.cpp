#include "SavedRunLoader.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>

#include "Translations.h"
#include "WorkerThread.h"

namespace tavolex {

namespace {

constexpr int kPollMs = 50;
// A file read faster than this shows no progress window at all.
constexpr int kQuietMs = 300;
constexpr int kPermille = 1000;

}  // namespace

std::optional<SavedRun> LoadSavedRun(const std::filesystem::path& file, QWidget* parent) {
    const QString name = QString::fromStdU16String(file.filename().u16string());
    QProgressDialog progress(Tr("SavedRunLoader", "正在读取 %1 ...").arg(name),
                             Tr("SavedRunLoader", "取消"), 0, kPermille, parent);
    progress.setWindowTitle(Tr("SavedRunLoader", "打开数据文件"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(kQuietMs);
    progress.setAutoReset(false);
    progress.setAutoClose(false);

    std::atomic<int> permille{0};
    SavedRun run;
    WorkerThread worker(progress);
    QObject::connect(&progress, &QProgressDialog::canceled, &progress,
                     [&worker] { worker.requestStop(); });
    worker.start([&] {
        run = ReadSavedRun(file, [&](int done) {
            permille = done;
            return !worker.stop().requested();
        });
    });
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (worker.ended()) {
            loop.quit();
            return;
        }
        if (!progress.wasCanceled()) progress.setValue(permille);
    });
    poll.start(kPollMs);
    if (!worker.ended()) loop.exec();
    // Joining orders everything the reading wrote before what follows.
    worker.waitUntilEnded();
    if (run.fault == SavedRunFault::Cancelled) return std::nullopt;
    return run;
}

QString SavedRunFaultMessage(const SavedRun& run, const QString& fileName) {
    const QString line = QString::number(run.faultLine);
    switch (run.fault) {
        case SavedRunFault::None:
            if (run.history.size() > 0) return {};
            return Tr("SavedRunLoader", "%1: 文件中没有读数").arg(fileName);
        case SavedRunFault::Unreadable:
            return Tr("SavedRunLoader", "无法读取文件 %1").arg(fileName);
        case SavedRunFault::Empty:
            return Tr("SavedRunLoader", "%1: 文件中没有读数").arg(fileName);
        case SavedRunFault::UnknownKind:
            return Tr("SavedRunLoader", "%1: 不是数据文件、CSV文件或记录文件").arg(fileName);
        case SavedRunFault::NoDateInName:
            return Tr("SavedRunLoader", "%1: 文件名中没有开始的日期和时间").arg(fileName);
        case SavedRunFault::BadLine:
            return Tr("SavedRunLoader", "%1 第%2行无法读取; 之前的各行已载入").arg(fileName, line);
        case SavedRunFault::IncompleteLine:
            return Tr("SavedRunLoader", "%1 第%2行不完整; 之前的各行已载入").arg(fileName, line);
        case SavedRunFault::TooLong:
            return Tr("SavedRunLoader", "%1 读数太多: 从第%2行起未载入").arg(fileName, line);
        case SavedRunFault::Cancelled:
            break;
    }
    return {};
}

}  // namespace tavolex
