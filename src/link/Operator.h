// How operations speak to the person at the screen: messages, questions and file choices.
// The window passes its Operator down, so that operations stay free of any toolkit and tests
// can record what would have been shown and answer in the operator's place.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tavolex {

struct FileChoice {
    // Which files the chooser lists, e.g. "Data Files (*.txt)"; empty for every file.
    std::string filter;
    // Where the chooser starts; empty for the current directory. A save chooser given a file
    // there starts in its folder with its name suggested.
    std::filesystem::path startDirectory;
    // For a save chooser: the suffix ("csv") added to a name typed without one. The chooser
    // adds it before it asks whether to replace an existing file, so the question is about
    // the file that will be written.
    std::string defaultSuffix;
};

class Operator {
public:
    virtual ~Operator() = default;

    // A message with a single OK button; returns once the operator has closed it.
    virtual void message(std::string_view text) = 0;
    // A question; true when the operator answers OK.
    virtual bool confirm(std::string_view text) = 0;
    // An existing file the operator picks; none when the choice is cancelled.
    virtual std::optional<std::filesystem::path> chooseFile(const FileChoice& choice) = 0;
    // A file to write, new or existing, that the operator names, with the default suffix
    // added where the name had none; none when cancelled. Replacing an existing file has
    // been confirmed.
    virtual std::optional<std::filesystem::path> chooseSaveFile(const FileChoice& choice) = 0;
    // Puts the text on the desktop's clipboard, for the operator to paste elsewhere.
    virtual void copyToClipboard(std::string_view text) = 0;
};

}  // namespace tavolex
