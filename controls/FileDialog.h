// The open and save dialog of the main window.
#pragma once

#include "FileTypeByName.h"

#include <QObject>
#include <QString>
#include <stdexcept>

class QFileDialog;
class QWidget;

namespace quillomatic {

// Keeps its settings between showings, as one dialog object does: Filter (in
// the stored form of FileFilter), DialogTitle, FontName, InitDir, and
// FileName, the full path of the last choice. A cancelled dialog raises
// Cancelled and leaves FileName as it was, so a command that shows it ends
// where it stands. The save dialog does not ask about overwriting; the
// program asks that itself.
//
// The dialog opens in InitDir until a file has been chosen, then in the
// folder of the last choice. The open dialog proposes that file again; the
// save dialog proposes its name with DefaultExt, where that is set, in place
// of its own extension (index.html becomes index.php), so accepting what it
// offers never writes over the page the script came from.
// Browsing never opens a file: types and icons come from the names alone.
class FileDialog : public QObject {
    Q_OBJECT

public:
    class Cancelled : public std::runtime_error {
    public:
        Cancelled() : std::runtime_error("Cancel was selected.") {}
    };

    explicit FileDialog(QWidget* owner);

    [[nodiscard]] QString Filter() const { return m_Filter; }
    void SetFilter(const QString& sNewValue) { m_Filter = sNewValue; }
    [[nodiscard]] QString DialogTitle() const { return m_DialogTitle; }
    void SetDialogTitle(const QString& sNewValue) { m_DialogTitle = sNewValue; }
    [[nodiscard]] QString FontName() const { return m_FontName; }
    void SetFontName(const QString& sNewValue) { m_FontName = sNewValue; }
    [[nodiscard]] QString InitDir() const { return m_InitDir; }
    void SetInitDir(const QString& sNewValue) { m_InitDir = sNewValue; }
    [[nodiscard]] QString FileName() const { return m_FileName; }
    void SetFileName(const QString& sNewValue) { m_FileName = sNewValue; }
    // The extension a saved file gets, without the dot; empty for none.
    [[nodiscard]] QString DefaultExt() const { return m_DefaultExt; }
    void SetDefaultExt(const QString& sNewValue) { m_DefaultExt = sNewValue; }

    void ShowOpen();
    void ShowSave();

signals:
    // The dialog is up; tests answer it through the real widget.
    void Shown(QFileDialog* dialog);

private:
    void Show(bool forSaving);

    QWidget* m_Owner;
    FileTypeByName m_FileTypes;
    QString m_Filter;
    QString m_DialogTitle;
    QString m_FontName;
    QString m_InitDir;
    QString m_FileName;
    QString m_DefaultExt;
};

} // namespace quillomatic
