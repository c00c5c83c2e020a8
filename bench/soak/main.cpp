// The fault soak as a program. Run: build/bin/soak [readings] (default 100000), on the virtual
// clock; build/bin/soak --pty SECONDS runs through the pseudo-terminal in real time.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "Soak.h"

int main(int argc, char** argv) {
    using namespace tavolex::soak;
    SoakOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--pty" && i + 1 < argc) {
            options.realTime = std::chrono::seconds(std::stol(argv[++i]));
        } else if (arg == "--seed" && i + 1 < argc) {
            options.seed = std::stoull(argv[++i]);
        } else if (!arg.empty() && arg.find_first_not_of("0123456789") == std::string_view::npos) {
            options.readings = std::stoul(std::string(arg));
        } else {
            std::fprintf(stderr, "usage: soak [readings] [--seed N] [--pty SECONDS]\n");
            return 2;
        }
    }
    std::string folder = (std::filesystem::temp_directory_path() / "tavolex-soak-XXXXXX").string();
    if (!mkdtemp(folder.data())) return 2;
    options.directory = folder;
    options.progress = [](std::size_t done) { std::fprintf(stderr, "%zu readings\n", done); };

    const SoakReport report = RunSoak(options);
    std::fputs(ReportText(report).c_str(), stdout);
    std::filesystem::remove_all(folder);
    return report.passed() ? 0 : 1;
}
