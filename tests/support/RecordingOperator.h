// An Operator that records what would have been shown and answers from a script.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "Operator.h"

namespace tavolex::testing {

class RecordingOperator final : public Operator {
public:
    void message(std::string_view text) override {
        messages.emplace_back(text);
        if (onMessage) onMessage(text);
    }
    bool confirm(std::string_view text) override {
        questions.emplace_back(text);
        if (answers.empty()) return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<std::filesystem::path> chooseFile(const FileChoice& choice) override {
        fileChoices.push_back(choice);
        return chosenFile;
    }
    std::optional<std::filesystem::path> chooseSaveFile(const FileChoice& choice) override {
        saveChoices.push_back(choice);
        return savedFile;
    }
    void copyToClipboard(std::string_view text) override { clipboard = text; }

    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::deque<bool> answers;
    std::vector<FileChoice> fileChoices;
    std::optional<std::filesystem::path> chosenFile;
    std::vector<FileChoice> saveChoices;
    std::optional<std::filesystem::path> savedFile;
    std::string clipboard;
    // Runs while a message is "on screen", to look at the window at that moment.
    std::function<void(std::string_view)> onMessage;
};

}  // namespace tavolex::testing
