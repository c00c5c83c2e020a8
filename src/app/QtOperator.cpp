#include "QtOperator.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <memory>

#include "BusyCursor.h"
#include "ShownText.h"
#include "Translations.h"

namespace tavolex {

namespace {

int RunBox(QWidget* owner, std::string_view text, QMessageBox::StandardButtons buttons) {
    // The operator is asked with the normal pointer, even in the middle of an operation that
    // shows the busy cursor while it waits for the instrument.
    const OverrideCursor arrow(Qt::ArrowCursor);
    const std::unique_ptr<QMessageBox> box(
        QtOperator::MakeBox(QtOperator::Caption(), text, buttons, owner));
    return box->exec();
}

// The save chooser, starting at `start`; the name chosen, with the default suffix added where
// it had none, or empty when cancelled.
QString RunSaveChooser(QWidget* owner, const QString& start, const FileChoice& choice) {
    const OverrideCursor arrow(Qt::ArrowCursor);
    QFileDialog chooser(owner, QString(), start, QString::fromStdString(choice.filter));
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setFileMode(QFileDialog::AnyFile);
    chooser.setDefaultSuffix(QString::fromStdString(choice.defaultSuffix));
    chooser.setOption(QFileDialog::DontConfirmOverwrite);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return {};
    return chooser.selectedFiles().constFirst();
}

}  // namespace

QString QtOperator::Caption() {
    return QCoreApplication::applicationName();
}

QMessageBox* QtOperator::MakeBox(const QString& title, std::string_view text,
                                 QMessageBox::StandardButtons buttons, QWidget* owner) {
    auto* box = new QMessageBox(QMessageBox::NoIcon, title, FromUtf8(text), buttons, owner);
    box->setAccessibleName(box->text());
    if (QAbstractButton* ok = box->button(QMessageBox::Ok)) ok->setText(Tr("QtOperator", "确定"));
    if (QAbstractButton* cancel = box->button(QMessageBox::Cancel)) {
        cancel->setText(Tr("QtOperator", "取消"));
    }
    return box;
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
    QString start = QString::fromStdString(choice.startDirectory.string());
    for (;;) {
        const QString chosen = RunSaveChooser(m_owner, start, choice);
        if (chosen.isEmpty()) return std::nullopt;
        // The question is asked here, about the name with its suffix: a chooser asks before
        // it adds the suffix, and a platform's own chooser may not ask at all.
        const QFileInfo file(chosen);
        if (!file.exists() ||
            confirm(
                Tr("QtOperator", "%1 已存在。\n要替换它吗?").arg(file.fileName()).toStdString())) {
            return std::filesystem::path(chosen.toStdString());
        }
        start = chosen;  // not replaced: the chooser again, at the name given
    }
}

// Unicode text, so that any program the operator pastes into reads it as shown.
void QtOperator::copyToClipboard(std::string_view text) {
    QGuiApplication::clipboard()->setText(FromUtf8(text));
}

}  // namespace tavolex
