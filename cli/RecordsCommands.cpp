// The records the instrument logged by itself: count, download and deletion.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "AtomicFile.h"
#include "Channels.h"
#include "Commands.h"
#include "RecordDownload.h"
#include "RecordTexts.h"
#include "StopRequest.h"
#include "StopSignals.h"
#include "Translate.h"

namespace tavolex::cli {

namespace {

namespace fs = std::filesystem;

// The keys of a record's fields on standard output, in the order of RecordHeadings().
std::vector<std::string> RecordKeys() {
    std::vector<std::string> keys{"record", "time"};
    for (int channel = kPt100Channels; channel < kChannelCount; ++channel)
        keys.push_back(ChannelKey(channel));
    for (int channel = 0; channel < kPt100Channels; ++channel)
        keys.push_back(ChannelKey(channel));
    return keys;
}

// Why the file cannot be written, found before a long download rather than after it; an
// existing file keeps its bytes and a new one is removed again.
std::error_code WriteProblem(const fs::path& file) {
    std::error_code error;
    if (fs::is_directory(file, error)) return std::make_error_code(std::errc::is_a_directory);
    const bool existed = fs::exists(file, error);
    errno = 0;
    std::FILE* stream = std::fopen(file.string().c_str(), "ab");
    if (!stream) return {errno ? errno : EIO, std::generic_category()};
    std::fclose(stream);
    if (!existed) fs::remove(file, error);
    return {};
}

std::string FileProblemText(const fs::path& file, const std::error_code& error) {
    return Substitute(Translate("Cli", "cannot write '%1': %2"), {file.string(), error.message()});
}

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
          m_showProgress(showProgress),
          m_keys(RecordKeys()),
          m_headings(RecordHeadings()) {}

    void showRecord(int number, const std::optional<StoredRecord>& record) override {
        std::vector<std::string> fields = RecordFields(number, record);
        Row row;
        row.push_back({m_keys[0], std::to_string(number), true});
        for (std::size_t i = 1; i < fields.size(); ++i) {
            const bool temperature = static_cast<int>(i) >= kFirstChannelColumn;
            row.push_back({m_keys[i], fields[i], temperature});
        }
        m_output.write(row);
        m_rows.push_back(std::move(fields));
        if (!record) ++m_unreadable;
        if (m_showProgress) {
            m_progress = Substitute(Translate("Cli", "下载记录 %1/%2"),
                                    {std::to_string(number), std::to_string(m_total)});
            m_session.err << '\r' << m_progress << std::flush;
        }
    }

    // Blanks the progress line, so that what follows starts on a clean line.
    void endProgress() const {
        if (!m_showProgress || m_progress.empty()) return;
        m_session.err << '\r' << std::string(m_progress.size(), ' ') << '\r' << std::flush;
    }
    const std::vector<std::string>& headings() const { return m_headings; }
    const std::vector<std::vector<std::string>>& rows() const { return m_rows; }
    int unreadable() const { return m_unreadable; }

private:
    Session& m_session;
    DataOutput m_output;
    int m_total;
    bool m_showProgress;
    std::vector<std::string> m_keys;
    std::vector<std::string> m_headings;
    std::vector<std::vector<std::string>> m_rows;
    std::string m_progress;
    int m_unreadable = 0;
};

}  // namespace

int CountRecords(Session& session) {
    OperationContext context = session.operation();
    const Outcome<RecordCount> counted = CountStoredRecords(context);
    if (!counted) return ExitStatus(counted.kind);
    DataOutput(session.out, session.format)
        .write({{"records", std::to_string(counted->count), true}});
    return kExitSuccess;
}

int DownloadAllRecords(Session& session) {
    const std::optional<std::string> csvFile = session.args.option("csv");
    if (csvFile) {
        if (const std::error_code problem = WriteProblem(*csvFile))
            return session.usage(FileProblemText(*csvFile, problem));
    }
    RecordTransferState state;
    StopRequest stop;
    StopSignals signals([&stop] { stop.request(); });
    LinkContext link{session.watch, session.link.clock};
    link.stopRequested = [&signals] { return signals.stopped(); };
    link.stop = &stop;

    OperationContext context(session.host, link, session.person);
    Outcome<RecordCount> counted = CountStoredRecords(context);
    if (signals.stopped()) return kExitSignalBase + signals.signal();
    if (!counted) return ExitStatus(counted.kind);
    PortHandle port = std::move(counted->port);
    const int count = counted->count;
    state.total = count;

    RecordPrinter printer(session, count, ::isatty(STDERR_FILENO) == 1);
    if (count > 0 && !signals.stopped()) {
        DownloadRecords(std::move(port), session.settings.addressByte(), state, printer, link);
    }
    port.reset();
    printer.endProgress();

    // What was downloaded is saved even when a signal cut the download short.
    if (csvFile) {
        errno = 0;
        if (!WriteFileAtomically(*csvFile, CsvText(printer.headings(), printer.rows()))) {
            const std::error_code error(errno ? errno : EIO, std::generic_category());
            session.person.message(RecordsSaveFailedMessage() + "\n" +
                                   FileProblemText(*csvFile, error));
            return kExitFailed;
        }
    }
    if (signals.stopped()) return kExitSignalBase + signals.signal();
    return printer.unreadable() > 0 ? kExitFailed : kExitSuccess;
}

int DeleteRecords(Session& session) {
    if (!session.args.has("yes"))
        return session.usage(Translate("Cli", "records delete needs --yes to confirm"));
    OperationContext context = session.operation();
    return ExitStatus(DeleteStoredRecords(context).kind);
}

}  // namespace tavolex::cli
