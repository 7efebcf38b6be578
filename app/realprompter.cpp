#include "realprompter.h"

#include "dialogs/TSGSet.h"
#include "dialogs/TSSave.h"
#include "mainwindow/TSAbout.h"
#include "mainwindow/openfilter.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace tess {

namespace {

const QString kConfirm = QStringLiteral("確認");
const QString kYes = QStringLiteral("はい(&Y)");
const QString kNo = QStringLiteral("いいえ(&N)");
const QString kCancel = QStringLiteral("ｷｬﾝｾﾙ");
const QString kFontTitle = QStringLiteral("フォント");
const QString kColour = QStringLiteral("色(&C)...");

QString title() { return QApplication::applicationName(); }

void paintSwatch(QPushButton* button, const QColor& colour) {
    QPixmap swatch(16, 16);
    swatch.fill(colour);
    button->setIcon(QIcon(swatch));
}

} // namespace

QWidget* RealPrompter::parent() const {
    if (QWidget* active = QApplication::activeModalWidget()) return active;
    return parent_.data();
}

void RealPrompter::message(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title(), text, QMessageBox::Ok, parent());
    box.exec();
}

bool RealPrompter::askYesNo(const QString& text) {
    QMessageBox box(QMessageBox::Question, kConfirm, text, QMessageBox::NoButton, parent());
    QPushButton* yes = box.addButton(kYes, QMessageBox::YesRole);
    QPushButton* no = box.addButton(kNo, QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

Prompter::Answer RealPrompter::askYesNoCancel(const QString& text) {
    QMessageBox box(QMessageBox::Question, kConfirm, text, QMessageBox::NoButton, parent());
    QPushButton* yes = box.addButton(kYes, QMessageBox::YesRole);
    QPushButton* no = box.addButton(kNo, QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(kCancel, QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes) return Answer::Yes;
    if (box.clickedButton() == no) return Answer::No;
    return Answer::Cancel;  // also a box closed without an answer
}

bool RealPrompter::askOkCancel(const QString& text) {
    QMessageBox box(QMessageBox::Question, kConfirm, text, QMessageBox::Ok | QMessageBox::Cancel,
                    parent());
    return box.exec() == QMessageBox::Ok;
}

void RealPrompter::errorBox(const QString& text) {
    QMessageBox box(QMessageBox::Critical, title(), text, QMessageBox::Ok, parent());
    box.exec();
}

QString RealPrompter::openFile(const QString& filter) {
    const QStringList filters = toQtFilters(filter, PathStyle::native());
    QString selected = filters.value(0);
    // Qt's own dialog speaks the program's Japanese; the filters show their
    // captions as written, not the patterns behind them again.
    const QString path = QFileDialog::getOpenFileName(
        parent(), QString(), startFolder_, filters.join(QStringLiteral(";;")), &selected,
        QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    if (path.isEmpty()) return QString();
    startFolder_ = QFileInfo(path).absolutePath();
    return QDir::toNativeSeparators(path);
}

std::optional<Prompter::FontChoice> RealPrompter::chooseFont(const FontChoice& initial) {
    // Qt's font dialog has underline and strike-out but no colour: add one.
    QDialog dialog(parent());
    dialog.setWindowTitle(kFontTitle);
    // A family that is not installed (the Windows names the program uses)
    // shows as the face it is drawn with, not as the dialog's first entry.
    QFont start = initial.font;
    if (!QFontDatabase::hasFamily(start.family())) start.setFamily(QFontInfo(start).family());
    auto* fonts = new QFontDialog(start, &dialog);
    fonts->setWindowFlags(Qt::Widget);
    fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts->setCurrentFont(start);

    QColor colour = initial.colour;
    auto* colourButton = new QPushButton(kColour, &dialog);
    paintSwatch(colourButton, colour);
    QObject::connect(colourButton, &QPushButton::clicked, &dialog, [&] {
        const QColor picked = QColorDialog::getColor(colour, &dialog);
        if (picked.isValid()) {
            colour = picked;
            paintSwatch(colourButton, colour);
        }
    });

    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(kCancel, QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    // Esc and Enter inside the font lists end the inner dialog: they answer
    // for the whole window, or it would stay open with the lists gone.
    QObject::connect(fonts, &QDialog::accepted, &dialog, &QDialog::accept);
    QObject::connect(fonts, &QDialog::rejected, &dialog, &QDialog::reject);

    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(fonts);
    auto* row = new QHBoxLayout;
    row->addWidget(colourButton);
    row->addStretch();
    row->addWidget(buttons);
    layout->addLayout(row);

    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return FontChoice{fonts->currentFont(), colour};
}

QString RealPrompter::saveFile(const QString& filter, const QString& suggested) {
    const QString start = QFileInfo(suggested).isAbsolute() ? suggested : QDir(startFolder_).filePath(suggested);
    const QString path = QFileDialog::getSaveFileName(parent(), QString(), start, filter, nullptr,
                                                      QFileDialog::DontUseNativeDialog);
    return path.isEmpty() ? QString() : QDir::toNativeSeparators(path);
}

bool RealPrompter::choosePrinter(QPrinter& printer) {
    QPrintDialog dialog(&printer, parent());
    return dialog.exec() == QDialog::Accepted;
}

bool RealPrompter::setUpPage(QPrinter& printer) {
    QPageSetupDialog dialog(&printer, parent());
    return dialog.exec() == QDialog::Accepted;
}

void RealPrompter::showSaveAs() {
    if (saveAs_) saveAs_->exec();
}

void RealPrompter::showGroupRegistration() {
    if (groupSet_) groupSet_->exec();
}

void RealPrompter::showAbout() {
    if (about_) about_->showModalAbout();
}

} // namespace tess
