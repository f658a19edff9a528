// Qt's answers to the platform layer. Dialogs are Qt's own widgets rather than the desktop's, so that
// the load dialog can show "Puzzles (*.e65)" while it also lists other spellings of the extension.
#include "ui/qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>
#include <algorithm>
#include <QGuiApplication>
#include <QMessageBox>

namespace korvane {

namespace {

QString Title() { return QGuiApplication::applicationDisplayName(); }

void ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, Title(), text, QMessageBox::Ok, parent);
    box.exec();
}

std::optional<QString> RunFileDialog(QWidget* parent, const FileDialogRequest& request,
                                     QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, request.title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite); // the commands ask their own question
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The last bracketed group is what the dialog matches; hiding the details shows the rest, which is
    // the filter as the user should read it.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilter(request.filter + QStringLiteral(" (") + request.patterns + QLatin1Char(')'));
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.currentFile.isEmpty()) dialog.selectFile(request.currentFile);
    // The detail view's columns wide enough for their French headers ("Dernière modification"), the
    // name column taking what is left.
    dialog.resize(std::max(dialog.sizeHint().width(), 720), std::max(dialog.sizeHint().height(), 420));
    for (QTreeView* view : dialog.findChildren<QTreeView*>()) {
        QHeaderView* header = view->header();
        const QFontMetrics metrics(header->font());
        for (int column = 1; column < header->count(); ++column) {
            const QString title = view->model()->headerData(column, Qt::Horizontal).toString();
            header->resizeSection(column, std::max(header->sectionSize(column), metrics.horizontalAdvance(title) + 32));
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

void QtPlatform::notice(const QString& text) { ShowBox(parent_, QMessageBox::NoIcon, text); }

void QtPlatform::information(const QString& text) { ShowBox(parent_, QMessageBox::Information, text); }

Platform::Answer QtPlatform::warningOkAbort(const QString& text) {
    QMessageBox box(QMessageBox::Warning, Title(), text, QMessageBox::Ok | QMessageBox::Abort, parent_);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok); // dismissing the box goes on, as OK does
    return box.exec() == QMessageBox::Abort ? Answer::Abort : Answer::Ok;
}

void QtPlatform::error(const QString& text) { ShowBox(parent_, QMessageBox::Critical, text); }

std::optional<QString> QtPlatform::saveFileName(const FileDialogRequest& request) {
    return RunFileDialog(parent_, request, QFileDialog::AcceptSave);
}

std::optional<QString> QtPlatform::openFileName(const FileDialogRequest& request) {
    return RunFileDialog(parent_, request, QFileDialog::AcceptOpen);
}

void QtPlatform::beep() { QApplication::beep(); }

void QtPlatform::setClipboardText(const QString& text) { QGuiApplication::clipboard()->setText(text); }

void QtPlatform::pump() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

} // namespace korvane
