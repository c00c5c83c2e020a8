// Registering a whole file of registration lines, one manual registration per line, from the
// first line to the end of the file or to the first line that fails.
#pragma once

#include <cstdint>
#include <filesystem>

#include "LinkContext.h"
#include "Operation.h"
#include "Operator.h"
#include "Transact.h"

namespace tavolex {

// Who follows a run: told when it starts, after each line the instrument took, and when it
// ends (on every way out). Following is optional: by default nothing happens.
class FileRegistrationProgress {
public:
    virtual ~FileRegistrationProgress() = default;
    virtual void runStarted() {}
    virtual void lineRegistered(int /*channel*/) {}
    virtual void runEnded() {}
};

inline constexpr const char* kRegistrationFileFilter = "Data Files (*.txt)";

// Takes the settings, asks for the file (starting in `startDirectory`) and registers it with
// the settings' device address. True when every line of the file was registered.
Outcome<> RegisterFromFile(OperationContext& context, FileRegistrationProgress& progress,
                           const std::filesystem::path& startDirectory);

}  // namespace tavolex
