// Registration files from the fuzzer: the selector's low bit picks one line through the line
// parser, or a whole file through the reader and a complete registration run against an
// instrument that answers every line (bits 1-2 pick its answer: registered, channel too
// large, SN invalid, or no reply). Lines that parse are checked against the form they came
// from, and every line is also taken as GBK text, as the file's own code page.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "Commands.h"
#include "FileRegistration.h"
#include "FuzzInput.h"
#include "Gbk.h"
#include "RegistrationFile.h"

using namespace tavolex;

namespace {

class RunProgress final : public FileRegistrationProgress {
public:
    void runStarted() override { running = true; }
    void runEnded() override { running = false; }
    bool running = false;
};

void CheckLine(std::string_view line) {
    (void)GbkToUtf8(line);
    const auto parsed = ParseRegistrationLine(line);
    if (const auto* registration = std::get_if<FileRegistration>(&parsed)) {
        fuzz::Require(registration->sn[0] == kProbeFamilyByte);
        fuzz::Require(line.find(SnDisplayText(registration->sn)) != std::string_view::npos);
    }
}

// One file in memory for the whole fuzzing run, rewritten for every input; the reader opens
// it by its name like any other.
const std::filesystem::path& ScratchFile() {
    static const int fd = ::memfd_create("tavolex-fuzz-registration", MFD_CLOEXEC);
    static const std::filesystem::path path = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0) std::abort();
    return path;
}

void WriteScratch(ByteView bytes) {
    const int fd = std::stoi(ScratchFile().filename().string());
    if (::ftruncate(fd, 0) != 0 ||
        ::pwrite(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    const std::uint8_t selector = input.byte();
    const ByteView text = input.rest();
    if ((selector & 1) == 0) {
        CheckLine(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
        return 0;
    }

    WriteScratch(text);
    std::size_t lines = 0;
    for (auto reader = RegistrationFileReader::Open(ScratchFile());
         const auto line = reader->next();) {
        // A NUL byte ends the line's text there, as the C library reads it.
        fuzz::Require(line->size() <= 1023);
        CheckLine(*line);
        ++lines;
    }

    fuzz::Bench bench;
    const std::uint8_t answer = (selector >> 1) & 3;
    bench.line.responder = [answer](ByteView) {
        if (answer == 3) return std::vector<testing::Chunk>{};
        return std::vector<testing::Chunk>{
            {std::chrono::milliseconds(0), ReplyFrame(0, command::kRegisterManual, Bytes{answer})}};
    };
    FixedSettings settings;
    RunProgress progress;
    bench.person.chosenFile = ScratchFile();
    RegisterFromFile(OneCall({settings, bench.link.context, bench.person}), progress, {});
    // A run registers lines in order and stops at the first one that fails.
    fuzz::Require(bench.line.written.size() <= lines && !progress.running);
    fuzz::Require(!bench.line.held());
    return 0;
}
