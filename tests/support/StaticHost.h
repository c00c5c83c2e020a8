// Settings set by the test, counting how often an operation took them, and refusing them on
// demand as a window with a bad entry does.
#pragma once

#include "Transact.h"

namespace tavolex::testing {

class StaticHost final : public SettingsSource {
public:
    explicit StaticHost(LinkSettings linkSettings = {}) : settings(linkSettings) {}

    bool takeSettings() override {
        ++refreshes;
        return !refuses;
    }
    LinkSettings linkSettings() const override { return settings; }
    TraceTarget* traceTarget() const override { return trace; }

    LinkSettings settings;
    TraceTarget* trace = nullptr;
    int refreshes = 0;
    // Every refresh refuses a field, as a window with a bad entry does.
    bool refuses = false;
};

}  // namespace tavolex::testing
