// Reading a saved run without freezing the window: the file is read on a worker thread while
// a progress window follows it (shown only when the reading takes a while); Escape or its
// button cancels.
#pragma once

#include <QString>
#include <filesystem>
#include <optional>

#include "SavedRun.h"

class QWidget;

namespace tavolex {

// None when the operator cancelled.
std::optional<SavedRun> LoadSavedRun(const std::filesystem::path& file, QWidget* parent);

// What the operator is told about a run read with a fault, naming the file and the line; empty
// when there is nothing to tell.
QString SavedRunFaultMessage(const SavedRun& run, const QString& fileName);

}  // namespace tavolex
