#pragma once
// The save-as dialog: saves the open document under a name into a group (or
// no group), registers it with the group and records it in the history.

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tess {

class DocumentHost;
class KindIcon;
class Prompter;

namespace save_text {
inline const QString kNoGroup = QStringLiteral("[グループ無し]");
inline const QString kNoName = QStringLiteral("ﾌｧｲﾙ名が記入されていません");
inline const QString kBadName = QStringLiteral("ﾌｧｲﾙ名に \\ や / は使えません");
inline const QString kBadNamePosix = QStringLiteral("ﾌｧｲﾙ名に / は使えません");
// Asked before another document of the same name is replaced.
QString replaceQuestion(const QString& fileName);
// "ｸﾞﾙｰﾌﾟ "ENTRY" に指定されたﾌｫﾙﾀﾞが存在しません"
QString folderMissing(const QString& entry);
// The four lines of the help text.
QStringList helpLines();
inline const QString kSaveRich = QStringLiteral("ﾘｯﾁﾃｷｽﾄﾌｧｲﾙ(．RTF)として保存");
inline const QString kSavePlain = QStringLiteral("通常ﾃｷｽﾄﾌｧｲﾙ(．TXT)として保存");
} // namespace save_text

class TfrmSave : public QDialog {
    Q_OBJECT
public:
    TfrmSave(DocumentHost& host, Prompter& prompter, QWidget* parent = nullptr);

    // Removes the cancel button's caption so only its symbol shows.
    void FormCreate();
    // Fills the group choice, preselects the current group and offers the
    // current file name.  Runs on every showing.
    void FormShow();
    // Shows the kind icon of the chosen group.
    void ComboBox1Change();

    void BitBtn1Click();  // save as rich text
    void BitBtn2Click();  // save as plain text

protected:
    void showEvent(QShowEvent* event) override;

private:
    void save(const QString& extension);
    // The chosen group's name; empty for "[グループ無し]".
    QString selectedGroup() const;
    void foldEdit1(const QString& text);

    DocumentHost& host_;
    Prompter& prompter_;

    QFrame* Panel1;
    QLabel* Image1;
    QLabel* Label2;
    QComboBox* ComboBox1;
    KindIcon* P1;
    QLabel* Label1;
    QLineEdit* Edit1;
    QPlainTextEdit* Memo1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;
};

} // namespace tess
