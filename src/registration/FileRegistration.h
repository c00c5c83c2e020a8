// Registering a whole file of registration lines, one manual registration per line, from the
// first line to the end of the file or to the first line that fails.
#pragma once

#include <cstdint>
#include <filesystem>

#include "LinkContext.h"
#include "Operator.h"
#include "Transact.h"

namespace tavolex {

// What a run needs from the window besides its transactions.
class FileRegistrationWindow : public TransactionHost {
public:
    // Disables (or enables again) the controls that must not run during a registration run.
    virtual void setRunControlsEnabled(bool enabled) = 0;
    // Shows the success popup centred over the window, with the channel last registered when
    // one is given, repainted at once.
    virtual void showRegisteredPopup(std::optional<int> channel) = 0;
    virtual void hideRegisteredPopup() = 0;
};

inline constexpr const char* kRegistrationFileFilter = "Data Files (*.txt)";

// Refreshes the window, asks for the file (starting in `startDirectory`) and registers it with
// the window's device address. True when every line of the file was registered.
bool RegisterFromFile(FileRegistrationWindow& window, const LinkContext& link, Operator& person,
                      const std::filesystem::path& startDirectory);

}  // namespace tavolex
