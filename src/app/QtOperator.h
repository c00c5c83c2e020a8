// The Operator on screen: modal message boxes and file choosers owned by a window, captioned
// with the application's name.
#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "Operator.h"

namespace tavolex {

class QtOperator final : public Operator {
public:
    explicit QtOperator(QWidget* owner = nullptr) : m_owner(owner) {}

    // The window that owns the boxes; they are centred over it and block it while open.
    void setOwner(QWidget* owner) { m_owner = owner; }

    void message(std::string_view text) override;
    bool confirm(std::string_view text) override;
    std::optional<std::filesystem::path> chooseFile(const FileChoice& choice) override;
    std::optional<std::filesystem::path> chooseSaveFile(const FileChoice& choice) override;
    void copyToClipboard(std::string_view text) override;

    // The caption of every box: the application's name, which is the program file's name.
    static QString Caption();
    // A message box of the program's: no icon, the program's own button captions, and its text
    // also its accessible name, so that a screen reader announces the message itself.
    static QMessageBox* MakeBox(const QString& title, std::string_view text,
                                QMessageBox::StandardButtons buttons, QWidget* owner);

private:
    QPointer<QWidget> m_owner;
};

}  // namespace tavolex
