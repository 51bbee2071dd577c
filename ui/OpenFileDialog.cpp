#include "ui/OpenFileDialog.h"

#include <QFileDialog>
#include <QPointer>

namespace ui {

OpenFileDialog::OpenFileDialog(QObject* parent)
    : QObject(parent)
{
}

void OpenFileDialog::exec(QWidget* owner)
{
    QPointer<QFileDialog> dialog = new QFileDialog(owner);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    // Each filter is described by its own pattern; "*.*" means every file, as users expect.
    dialog->setNameFilters({ QStringLiteral("*.* (*)"), QStringLiteral("*.rar (*.rar)") });
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    if (!m_fileName.isEmpty())
        dialog->selectFile(m_fileName);
    bool accepted = dialog->exec() == QDialog::Accepted;
    // The owner may have gone while the dialog ran its loop; the dialog went with it.
    if (!dialog)
        return;
    if (accepted && !dialog->selectedFiles().isEmpty())
        m_fileName = dialog->selectedFiles().constFirst();
    delete dialog;
}

} // namespace ui
