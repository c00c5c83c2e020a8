#include "FileRegistration.h"

#include <string>
#include <variant>

#include "Commands.h"
#include "ProbeRegistration.h"
#include "RegistrationFile.h"
#include "Translate.h"

namespace tavolex {

namespace {

std::string LineMessage(const std::string& what, std::size_t lineNumber) {
    return Substitute(Translate("FileRegistration", "第%1行%2,该行无注册,程序退出!"),
                      {std::to_string(lineNumber), what});
}

// Tells the run's start at once and its end on every way out.
class RunScope {
public:
    explicit RunScope(FileRegistrationProgress& progress) : m_progress(progress) {
        m_progress.runStarted();
    }
    ~RunScope() { m_progress.runEnded(); }
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

private:
    FileRegistrationProgress& m_progress;
};

enum class LineOutcome { Registered, Refused, Stop };

// Registers one line: the instrument took it or refused it (the run goes on), or the run
// must stop.
LineOutcome RegisterLine(SettingsSource& source, FileRegistrationProgress& progress,
                         const LinkContext& link, Operator& person, std::uint8_t address,
                         const std::string& text, std::size_t lineNumber) {
    const auto parsed = ParseRegistrationLine(text);
    if (const LineError* error = std::get_if<LineError>(&parsed)) {
        person.message(LineMessage(*error == LineError::Format
                                       ? Translate("FileRegistration", "格式错误")
                                       : Translate("FileRegistration", "SN号格式错误"),
                                   lineNumber));
        return LineOutcome::Stop;
    }
    const FileRegistration& line = std::get<FileRegistration>(parsed);
    const TransactResult result = TransactForRegistration(
        source, link, address, ManualRegistrationPayload(line.port, line.channel, line.sn),
        command::kRegisterManual);
    const ReplyStatus status = result.statusFor(8);
    // A refused field has had its one message; the run stops there.
    if (status == ReplyStatus::Refused) return LineOutcome::Stop;
    if (status != ReplyStatus::Received) {
        person.message(LineMessage(Translate("FileRegistration", "注册失败错误"), lineNumber));
        return LineOutcome::Stop;
    }
    const std::uint8_t answer = result.at(7);
    if (answer == 0) {
        progress.lineRegistered(line.channel);
        return LineOutcome::Registered;
    }
    person.message(
        RefusalMessage(answer).value_or(Translate("FileRegistration", "注册是否成功未知!")));
    return LineOutcome::Refused;
}

}  // namespace

static bool RegisterFromFileSteps(SettingsSource& source, FileRegistrationProgress& progress,
                                  const LinkContext& link, Operator& person,
                                  const std::filesystem::path& startDirectory) {
    if (!source.takeSettings()) return false;
    const std::uint8_t address = source.linkSettings().addressByte();
    const auto path = person.chooseFile({kRegistrationFileFilter, startDirectory, {}});
    if (!path) return false;
    std::optional<RegistrationFileReader> reader = RegistrationFileReader::Open(*path);
    if (!reader) return false;

    RunScope run(progress);
    std::size_t lineNumber = 0;
    bool everyLine = true;
    while (const std::optional<std::string> line = reader->next()) {
        const LineOutcome outcome =
            RegisterLine(source, progress, link, person, address, *line, ++lineNumber);
        if (outcome == LineOutcome::Stop) return false;
        everyLine = everyLine && outcome == LineOutcome::Registered;
    }
    person.message(Translate("FileRegistration", "注册成功!"));
    return everyLine;
}

Outcome<> RegisterFromFile(OperationContext& context, FileRegistrationProgress& progress,
                           const std::filesystem::path& startDirectory) {
    return context.finish(RegisterFromFileSteps(context.settings(), progress, context.link(),
                                                context.person(), startDirectory));
}

}  // namespace tavolex
