#include "QtOperator.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

#include "BusyCursor.h"
#include "Translations.h"

namespace tavolex {

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A box without an icon, its text also given as its accessible name so that a screen reader
// announces the message itself.
int RunBox(QWidget* owner, std::string_view text, QMessageBox::StandardButtons buttons) {
    // The operator is asked with the normal pointer, even in the middle of an operation that
    // shows the busy cursor while it waits for the instrument.
    const OverrideCursor arrow(Qt::ArrowCursor);
    QMessageBox box(QMessageBox::NoIcon, QtOperator::Caption(), ToQString(text), buttons, owner);
    box.setAccessibleName(box.text());
    if (QAbstractButton* ok = box.button(QMessageBox::Ok)) ok->setText(Tr("QtOperator", "确定"));
    if (QAbstractButton* cancel = box.button(QMessageBox::Cancel)) {
        cancel->setText(Tr("QtOperator", "取消"));
    }
    return box.exec();
}

}  // namespace

QString QtOperator::Caption() {
    return QCoreApplication::applicationName();
}

void QtOperator::message(std::string_view text) {
    RunBox(m_owner, text, QMessageBox::Ok);
}

bool QtOperator::confirm(std::string_view text) {
    return RunBox(m_owner, text, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

std::optional<std::filesystem::path> QtOperator::chooseFile(const FileChoice& choice) {
    const OverrideCursor arrow(Qt::ArrowCursor);
    const QString start = QString::fromStdString(choice.startDirectory.string());
    const QString chosen = QFileDialog::getOpenFileName(m_owner, QString(), start,
                                                        QString::fromStdString(choice.filter));
    if (chosen.isEmpty()) return std::nullopt;
    return std::filesystem::path(chosen.toStdString());
}

std::optional<std::filesystem::path> QtOperator::chooseSaveFile(const FileChoice& choice) {
    const OverrideCursor arrow(Qt::ArrowCursor);
    const QString start = QString::fromStdString(choice.startDirectory.string());
    const QString chosen = QFileDialog::getSaveFileName(m_owner, QString(), start,
                                                        QString::fromStdString(choice.filter));
    if (chosen.isEmpty()) return std::nullopt;
    return std::filesystem::path(chosen.toStdString());
}

// Unicode text, so that any program the operator pastes into reads it as shown.
void QtOperator::copyToClipboard(std::string_view text) {
    QGuiApplication::clipboard()->setText(ToQString(text));
}

}  // namespace tavolex
