// A transaction host with settings set by the test, counting its refreshes.
#pragma once

#include "Transact.h"

namespace tavolex::testing {

class StaticHost final : public TransactionHost {
public:
    explicit StaticHost(LinkSettings linkSettings = {}) : settings(linkSettings) {}

    bool refresh() override {
        ++refreshes;
        return true;
    }
    LinkSettings linkSettings() const override { return settings; }
    TraceTarget* traceTarget() const override { return trace; }

    LinkSettings settings;
    TraceTarget* trace = nullptr;
    int refreshes = 0;
};

}  // namespace tavolex::testing
