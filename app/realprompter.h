#pragma once
// The prompter the program runs with: real message boxes, the file and font
// dialogs, and our own modal windows.

#include "mainwindow/prompter.h"

#include <QPointer>
#include <QWidget>

namespace tess {

class TfrmGSet;
class TfrmSave;
class TfrmTSAbout;

class RealPrompter : public Prompter {
public:
    // The windows are created after the main window, which needs the prompter
    // first; they are handed in once they exist.
    void setParentWindow(QWidget* w) { parent_ = w; }
    void setSaveAs(TfrmSave* d) { saveAs_ = d; }
    void setGroupRegistration(TfrmGSet* d) { groupSet_ = d; }
    void setAbout(TfrmTSAbout* d) { about_ = d; }
    // Where the open dialog starts until a file has been opened: the
    // program folder really used.
    void setStartFolder(const QString& folder) { startFolder_ = folder; }

    void message(const QString& text) override;
    bool askYesNo(const QString& text) override;
    Answer askYesNoCancel(const QString& text) override;
    bool askOkCancel(const QString& text) override;
    void errorBox(const QString& text) override;
    QString openFile(const QString& filter) override;
    std::optional<FontChoice> chooseFont(const FontChoice& initial) override;
    QString saveFile(const QString& filter, const QString& suggested) override;
    bool choosePrinter(QPrinter& printer) override;
    bool setUpPage(QPrinter& printer) override;
    void showSaveAs() override;
    void showGroupRegistration() override;
    void showAbout() override;

private:
    QWidget* parent() const;

    QPointer<QWidget> parent_;
    QString startFolder_;
    QPointer<TfrmSave> saveAs_;
    QPointer<TfrmGSet> groupSet_;
    QPointer<TfrmTSAbout> about_;
};

} // namespace tess
