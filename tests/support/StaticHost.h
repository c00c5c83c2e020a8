// A transaction host with settings set by the test, counting its refreshes.
#pragma once

#include "Transact.h"

namespace tavolex::testing {

class StaticHost final : public TransactionHost {
public:
    explicit StaticHost(LinkSettings linkSettings = {}) : settings(linkSettings) {}

    bool refresh() override {
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
