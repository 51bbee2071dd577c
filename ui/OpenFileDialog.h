#pragma once

#include <QObject>
#include <QString>

namespace ui {

// The open-file dialog component: it keeps a file name, opens a modal dialog on it that accepts
// only an existing file in an existing folder, with the filters "*.*" (every file, with or
// without a dot) and "*.rar", and on OK takes the chosen file's full path as its file name.
// Cancelling leaves the file name as it was.
class OpenFileDialog : public QObject {
    Q_OBJECT
public:
    explicit OpenFileDialog(QObject* parent = nullptr);

    QString fileName() const { return m_fileName; }
    void setFileName(const QString& fileName) { m_fileName = fileName; }

    // Shows the dialog over `owner` and returns when the user has closed it. The event loop
    // keeps running meanwhile.
    void exec(QWidget* owner);

private:
    QString m_fileName;
};

} // namespace ui
