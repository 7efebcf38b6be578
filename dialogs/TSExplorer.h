#pragma once
// The group file explorer `PnlExp`: a panel over the main window that shows
// the files registered to one group, reorders them by dragging a row by its
// count cell, unregisters one (`BB1`) or unregisters and deletes it (`BB2`).
// It reads the registry when it opens or a group is chosen and does not
// watch it in between.

#include "core/grouppanels.h"
#include "mainwindow/grouppanels.h"

#include <QFrame>
#include <QList>
#include <QString>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace tess {

class DocumentHost;
class KindIcon;
class Prompter;

namespace explorer_text {
inline const QString kCountHeading = QStringLiteral("ｶｳﾝﾄ");
inline const QString kFileHeading = QStringLiteral("登録ﾌｧｲﾙ");
inline const QString kNoColumn = QStringLiteral("グループ名参照エラー / frmTSMain.ComboBox1Change");
// "ﾌｧｲﾙ "F" を" CR LF "ｸﾞﾙｰﾌﾟ "G" から解除します"
QString unregisterQuestion(const QString& file, const QString& group);
// "ﾌｧｲﾙ "F" を" CR LF "ｸﾞﾙｰﾌﾟﾌｫﾙﾀﾞ "G" 内から削除します"
QString deleteQuestion(const QString& file, const QString& group);
} // namespace explorer_text

class TfrmExplorer : public QFrame, public GroupExplorer {
    Q_OBJECT
public:
    // Created over `window` (the main window); `editor` takes the focus when
    // the panel is closed by its button.
    TfrmExplorer(DocumentHost& host, Prompter& prompter, QWidget* window, QWidget* editor);

    QWidget* panel() override { return this; }
    void open() override;

    // The grid's data rows as shown.
    QList<ExplorerRow> rows() const;
    // The full path the last unregistration worked out.
    const QString& LblDelete() const { return lblDelete_; }

public slots:
    void ComboBox1Change();   // fill the grid for the chosen group
    void Grd1Select(int row); // a data row (1..) chosen
    // Moves data row `from` to the place of data row `to` (both 1..) and
    // stores the new order.
    void moveRow(int from, int to);
    void BB1Click();          // unregister
    void BB2Click();          // unregister and delete
    void BitBtn4Click();      // close

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showRows(const QList<ExplorerRow>& rows);
    QString chosenGroup() const;
    // Unregisters the selection after the question; true when the
    // registration was removed.
    bool unregister(const QString& question);

    DocumentHost& host_;
    Prompter& prompter_;
    QWidget* editor_;
    QString lblDelete_;
    int dragFrom_ = 0;  // data row pressed by its count cell, 0 when none

    QLabel* Label6;
    QLabel* Label7;
    KindIcon* P1;
    QComboBox* ComboBox1;
    QTableWidget* Grd1;
    QLabel* Label10;
    QLabel* Label9;
    QPushButton* BB1;
    QPushButton* BB2;
    QPushButton* BitBtn4;
};

} // namespace tess
