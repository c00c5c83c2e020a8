// One shape for every operation: it runs in an OperationContext (where its settings come from,
// the link, the operator) and returns an Outcome that says what happened and what the operator
// was told. The context watches the settings, the opens, the writes and the messages, so that
// every operation tells its outcome the same way:
//   Done          the operation did what was asked (with its value, if it has one);
//   Refused       nothing was sent: the settings or the input were refused;
//   PortNotOpened the port could not be opened;
//   Failed        a request went out and the instrument did not answer as it should.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "LinkContext.h"
#include "Operator.h"
#include "Transact.h"

namespace tavolex {

enum class OutcomeKind { Done, Refused, PortNotOpened, Failed };

template <typename Value = std::monostate>
struct Outcome {
    OutcomeKind kind = OutcomeKind::Refused;
    std::optional<Value> value;
    // The last message the operator was given during the operation; empty when none.
    std::string told;

    bool done() const { return kind == OutcomeKind::Done; }
    explicit operator bool() const { return done(); }
    const Value& operator*() const { return *value; }
    const Value* operator->() const { return &*value; }
    Value& operator*() { return *value; }
    Value* operator->() { return &*value; }
};

class OperationContext {
public:
    // All three must outlive the context; it is made for one operation at a time.
    OperationContext(SettingsSource& settings, const LinkContext& link, Operator& person);
    ~OperationContext();
    OperationContext(const OperationContext&) = delete;
    OperationContext& operator=(const OperationContext&) = delete;

    SettingsSource& settings();
    // The link as the operation uses it: its opens are watched.
    const LinkContext& link() const { return m_link; }
    // The operator as the operation uses it: its messages are remembered.
    Operator& person();
    // The device address of the settings as they stand.
    std::uint8_t address();

    // The outcome of an operation that gave `value` (none when it did not succeed).
    template <typename Value>
    Outcome<Value> finish(std::optional<Value> value) {
        Outcome<Value> outcome{kindAfter(value.has_value()), std::move(value), told()};
        if (!outcome.done()) outcome.value.reset();
        return outcome;
    }
    // The outcome of an operation whose value the caller needs whatever happened.
    template <typename Value>
    Outcome<Value> finish(bool succeeded, Value value) {
        return {kindAfter(succeeded), std::move(value), told()};
    }
    // The outcome of an operation that only succeeds or not.
    Outcome<> finish(bool succeeded) {
        return finish(succeeded ? std::optional<std::monostate>(std::monostate{}) : std::nullopt);
    }

private:
    class Watch;

    OutcomeKind kindAfter(bool succeeded) const;
    std::string told() const;

    std::unique_ptr<Watch> m_watch;
    LinkContext m_link;
};

// The context of an operation called within one expression:
// `ReadDeviceClock(OneCall({settings, link, person}))`.
inline OperationContext& OneCall(OperationContext&& context) {
    return context;
}

}  // namespace tavolex
