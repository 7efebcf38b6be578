#pragma once
// The group registration dialog: folder groups (a name and a folder) on the
// left half, inner groups (a name only) on the right.  Its grids show the
// registry's folder group table and inner group table; its creation fills
// the registry from the group store when the last close wrote one.  Every
// showing starts with empty inputs and the action buttons disabled.

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tess {

class DocumentHost;
class Notifier;
class TextGrid;

class TfrmGSet : public QDialog {
    Q_OBJECT
public:
    TfrmGSet(DocumentHost& host, Notifier& notifier, QWidget* parent = nullptr);

    // Headings, column widths, empty inputs; then the group store into the
    // registry when the last close wrote one.
    void FormCreate();
    // Buttons disabled, inputs empty, focus in `Edit1`.
    void FormShow();
    // The kind code of the operation in progress: "FG" or "IG".
    const QString& LblG() const { return lblG_; }

public slots:
    void BB1Click();  // register a folder group
    void BB2Click();  // delete the selected folder group
    void BB3Click();  // register an inner group
    void BB4Click();  // delete the selected inner group
    // A data row (1..) of either grid chosen, by a mouse release or a key.
    void GrdFGSelect(int row);
    void GrdIGSelect(int row);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    // The grids again from the registry's tables.
    void refreshGrids();
    void fillGrid(QTableWidget* grid, const TextGrid& table);
    void folderInputChanged(QLineEdit* edit);
    void innerInputChanged();
    void clearInputs();
    bool enterPressed(QLineEdit* edit);

    DocumentHost& host_;
    Notifier& notifier_;
    QString lblG_;

    QLabel* Label6;
    QLabel* Label2;
    QLabel* Label4;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QPushButton* BB1;
    QPushButton* BB2;
    QTableWidget* GrdFG;
    QLabel* Label7;
    QLabel* Label8;
    QLineEdit* Edit3;
    QPushButton* BB3;
    QPushButton* BB4;
    QTableWidget* GrdIG;
    QPushButton* BitBtn6;
};

} // namespace tess
