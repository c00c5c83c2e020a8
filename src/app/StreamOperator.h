// An Operator for runs without anyone at the screen (the screenshot run of the demo): every
// message is written to a stream, every question is answered Cancel and no file is chosen.
#pragma once

#include <ostream>
#include <string>

#include "Operator.h"

namespace tavolex {

class StreamOperator final : public Operator {
public:
    StreamOperator(std::ostream& out, std::string caption)
        : m_out(out), m_caption(std::move(caption)) {}

    void message(std::string_view text) override;
    bool confirm(std::string_view text) override;
    std::optional<std::filesystem::path> chooseFile(const FileChoice& choice) override;
    std::optional<std::filesystem::path> chooseSaveFile(const FileChoice& choice) override;
    void copyToClipboard(std::string_view text) override;

private:
    std::ostream& m_out;
    std::string m_caption;
};

}  // namespace tavolex
