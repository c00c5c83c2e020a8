// The records the instrument logged by itself: count, download and deletion.
#include <unistd.h>

#include "AtomicFile.h"
#include "Commands.h"
#include "InterruptibleClock.h"
#include "RecordDownload.h"
#include "RecordTexts.h"
#include "StopSignals.h"

namespace tavolex::cli {

namespace {

// The fields of a record's row, as the records window saves them: a readable time stamp as
// a date and time, anything else as the table shows it.
std::vector<std::string> RecordFields(int number, const std::optional<StoredRecord>& record) {
    std::vector<std::string> fields = RecordRowTexts(number, record);
    if (record && record->stamp.isRealDateTime()) {
        fields[kRecordTimeColumn] = record->stamp.dateTimeText();
    }
    return fields;
}

// Prints each record as it comes, keeps the rows for the CSV file, and shows the progress on
// a terminal.
class RecordPrinter final : public RecordSink {
public:
    RecordPrinter(Session& session, int total, bool showProgress)
        : m_session(session),
          m_output(session.out, session.format),
          m_total(total),
          m_showProgress(showProgress) {
        for (const RecordColumn& column : RecordColumns())
            m_headings.push_back(column.heading);
    }

    void showRecord(int number, const std::optional<StoredRecord>& record) override {
        std::vector<std::string> fields = RecordFields(number, record);
        Row row;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const bool temperature = static_cast<int>(i) >= kFirstChannelColumn;
            row.push_back({m_headings[i], fields[i], temperature});
        }
        m_output.write(row);
        m_rows.push_back(std::move(fields));
        if (!record) ++m_unreadable;
        if (m_showProgress) {
            m_session.err << "\r下载记录 " << number << "/" << m_total << std::flush;
        }
    }

    void endProgress() const {
        if (m_showProgress) m_session.err << '\n' << std::flush;
    }
    const std::vector<std::string>& headings() const { return m_headings; }
    const std::vector<std::vector<std::string>>& rows() const { return m_rows; }
    int unreadable() const { return m_unreadable; }

private:
    Session& m_session;
    DataOutput m_output;
    int m_total;
    bool m_showProgress;
    std::vector<std::string> m_headings;
    std::vector<std::vector<std::string>> m_rows;
    int m_unreadable = 0;
};

}  // namespace

int CountRecords(Session& session) {
    PortHandle port = OpenRecordsPort(session.link, session.settings, session.person);
    if (!port) return kExitNoPort;
    const auto count =
        ReadRecordCount(port, session.settings.addressByte(), session.link, session.person);
    if (!count) return kExitFailed;
    DataOutput(session.out, session.format).write({{"records", std::to_string(*count), true}});
    return kExitSuccess;
}

int DownloadAllRecords(Session& session) {
    RecordTransferState state;
    InterruptibleClock clock(session.link.clock);
    StopSignals signals([&state, &clock] {
        state.stop = true;
        clock.interrupt();
    });
    LinkContext link{session.watch, clock};
    link.stopRequested = [&signals] { return signals.stopped(); };

    PortHandle port = OpenRecordsPort(link, session.settings, session.person);
    if (!port) return kExitNoPort;
    const auto count = ReadRecordCount(port, session.settings.addressByte(), link, session.person);
    if (signals.stopped()) return kExitSignalBase + signals.signal();
    if (!count) return kExitFailed;
    state.total = *count;

    RecordPrinter printer(session, *count, ::isatty(STDERR_FILENO) == 1);
    if (*count > 0 && !signals.stopped()) {
        DownloadRecords(std::move(port), session.settings.addressByte(), state, printer, link);
    }
    port.reset();
    printer.endProgress();

    // What was downloaded is saved even when a signal cut the download short.
    if (const auto file = session.args.option("csv")) {
        if (!WriteFileAtomically(*file, CsvText(printer.headings(), printer.rows()))) {
            session.person.message("保存文件失败!");
            return kExitFailed;
        }
    }
    if (signals.stopped()) return kExitSignalBase + signals.signal();
    return printer.unreadable() > 0 ? kExitFailed : kExitSuccess;
}

int DeleteRecords(Session& session) {
    if (!session.args.has("yes")) return session.usage("deleting every record wants --yes");
    const bool deleted = DeleteStoredRecords(session.link, session.settings, session.person);
    return session.status(deleted);
}

}  // namespace tavolex::cli
