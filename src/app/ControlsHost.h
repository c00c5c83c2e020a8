// What a controller of one group of the main window's controls sees of the window: the
// settings and values its fields hold, the link and the operator, its controls by ID, and
// locks on them while a run holds the port.
#pragma once

#include <QWidget>
#include <filesystem>
#include <memory>
#include <span>

#include "ControlLocks.h"
#include "LinkContext.h"
#include "MainControlIds.h"
#include "Operation.h"
#include "Operator.h"
#include "Transact.h"
#include "WindowValues.h"

namespace tavolex {

// The runs that keep other controls disabled while they hold the port.
enum class LockedDuring { ContinuousRun, FileRegistrationRun };

// The controls a run keeps disabled, by their IDs.
std::span<const int> LockedControls(LockedDuring run);

class ControlsHost : public SettingsSource, public MainControlIds {
public:
    // The window the controls stand on: the owner of the dialogs and boxes a controller opens.
    virtual QWidget& owner() = 0;
    virtual WindowValues& values() = 0;
    // Shows the values in their controls again.
    virtual void updateControls() = 0;
    // The link for operations run from the window (they keep it painting while they wait).
    virtual const LinkContext& link() const = 0;
    virtual Operator& person() = 0;
    // The directory the program was started in.
    virtual const std::filesystem::path& workingDirectory() const = 0;
    virtual QWidget* controlWidget(int id) const = 0;
    // Disables the run's controls until the lock is released or destroyed.
    virtual std::unique_ptr<ControlLock> lockControls(LockedDuring run) = 0;

    // A context for one operation run from the window.
    OperationContext operation() { return OperationContext(*this, link(), person()); }

    template <typename Control>
    Control* control(int id) const {
        return qobject_cast<Control*>(controlWidget(id));
    }
};

}  // namespace tavolex
