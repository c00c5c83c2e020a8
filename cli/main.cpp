// tavolex-cli: every job of the KORVA VELTA-2 temperature scanner from a shell, a script or a
// service, on the same operations as the window.
#include <iostream>
#include <string_view>
#include <vector>

#include "CatalogueTranslator.h"
#include "Cli.h"

int main(int argc, char** argv) {
    tavolex::InstallCatalogue(tavolex::PreferredLanguage(tavolex::EnvironmentLanguages()));
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    return tavolex::cli::RunCli(arguments, std::cout, std::cerr);
}
