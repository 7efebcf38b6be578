#include "TSSave.h"

#include "kindicon.h"
#include "savepath.h"

#include "core/editorstate.h"
#include "core/listentry.h"
#include "core/groupregistry.h"
#include "core/textfold.h"
#include "mainwindow/documenthost.h"
#include "mainwindow/fonts.h"
#include "mainwindow/look.h"
#include "mainwindow/pictures.h"
#include "mainwindow/prompter.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>

namespace tess {

namespace save_text {

QString folderMissing(const QString& entry) {
    return QStringLiteral("ｸﾞﾙｰﾌﾟ \"") + entry + QStringLiteral("\" に指定されたﾌｫﾙﾀﾞが存在しません");
}

QString replaceQuestion(const QString& fileName) {
    return QStringLiteral("ﾌｧｲﾙ \"") + fileName + QStringLiteral("\" は既にあります。\n置き換えますか？");
}

QStringList helpLines() {
    return {
        QStringLiteral("　ﾌｫﾙﾀﾞｸﾞﾙｰﾌﾟを選択すると 自動的に登録されたﾌｫﾙﾀﾞ"),
        QStringLiteral("に保存されます。"),
        QStringLiteral("　ｲﾝﾅｰｸﾞﾙｰﾌﾟ及び \"ｸﾞﾙｰﾌﾟ 無し\" の場合は すべてソ"),
        QStringLiteral("フトの起動ﾌｫﾙﾀﾞ内に保存されます。"),
    };
}

} // namespace save_text

namespace {

QFont gothic(int pixels, bool bold) { return fonts::make(fonts::kMsPGothic, pixels, bold); }

// The same file, also when reached through another spelling of its path.
bool sameFile(const QString& a, const QString& b) {
    if (a == b) return true;
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

} // namespace

TfrmSave::TfrmSave(DocumentHost& host, Prompter& prompter, QWidget* parent)
    : QDialog(parent, Qt::Tool), host_(host), prompter_(prompter) {
    pictures::ensureLoaded();
    setObjectName(QStringLiteral("frmSave"));
    setWindowTitle(QStringLiteral("名前を付けて保存"));
    setModal(true);
    setFont(gothic(15, true));
    setFixedSize(323, 197);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setGeometry(0, 0, 20, 197);
    Image1 = new QLabel(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(1, 1, 18, 195);
    Image1->setPixmap(pictures::pixmap(pictures::kSaveStrip, QSize(18, 195)));

    Label2 = new QLabel(QStringLiteral("グループ："), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    look::setTextColour(Label2, look::kNavy);
    Label2->setGeometry(28, 9, 76, 20);

    P1 = new KindIcon(QStringLiteral("P1"), QStringLiteral("ImgI1"), QStringLiteral("ImgF"), this);
    P1->move(105, 8);

    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(false);
    ComboBox1->setGeometry(129, 6, 186, 24);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] { ComboBox1Change(); });

    Label1 = new QLabel(QStringLiteral("ファイル名："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    look::setTextColour(Label1, look::kNavy);
    Label1->setGeometry(28, 38, 96, 20);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(129, 36, 186, 24);
    connect(Edit1, &QLineEdit::textChanged, this, &TfrmSave::foldEdit1);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFont(gothic(11, false));
    Memo1->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setPlainText(save_text::helpLines().join(u'\n'));
    Memo1->setEnabled(false);
    {
        // Disabled, yet it must stay readable.
        QPalette p = Memo1->palette();
        p.setColor(QPalette::Disabled, QPalette::Text, QColor(64, 64, 64));
        Memo1->setPalette(p);
    }
    Memo1->setGeometry(28, 65, 287, 72);

    BitBtn1 = new QPushButton(save_text::kSaveRich, this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    look::setTextColour(BitBtn1, look::kPurple);
    BitBtn1->setGeometry(28, 141, 240, 25);
    connect(BitBtn1, &QPushButton::clicked, this, &TfrmSave::BitBtn1Click);

    BitBtn2 = new QPushButton(save_text::kSavePlain, this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    look::setTextColour(BitBtn2, look::kBlue);
    BitBtn2->setGeometry(28, 168, 240, 25);
    connect(BitBtn2, &QPushButton::clicked, this, &TfrmSave::BitBtn2Click);

    BitBtn3 = new QPushButton(QStringLiteral("キャンセル"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    BitBtn3->setIconSize(QSize(20, 20));
    BitBtn3->setGeometry(275, 141, 40, 52);
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::reject);

    // No default button: Enter in the name field must not save.
    for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn3}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    FormCreate();
}

void TfrmSave::FormCreate() { BitBtn3->setText(QString()); }

void TfrmSave::foldEdit1(const QString& text) {
    const QString folded = host_.state().style().foldPath(text);
    if (folded == text) return;
    // Folding keeps the length, so the caret stays where it was.
    const int caret = Edit1->cursorPosition();
    QSignalBlocker block(Edit1);
    Edit1->setText(folded);
    Edit1->setCursorPosition(caret);
}

void TfrmSave::FormShow() {
    const EditorState& state = host_.state();
    const QStringList groups = host_.registry().groupList();
    {
        QSignalBlocker block(ComboBox1);
        ComboBox1->clear();
        ComboBox1->addItem(save_text::kNoGroup);
        ComboBox1->addItems(groups);
        // A current group that is no longer registered falls back to no group.
        const int at = state.LblGName().isEmpty() ? -1 : groups.indexOf(state.LblGName());
        ComboBox1->setCurrentIndex(at < 0 ? 0 : at + 1);
    }
    Edit1->setText(state.LblFName());
    ComboBox1Change();
}

void TfrmSave::ComboBox1Change() {
    if (ComboBox1->currentIndex() <= 0) {
        P1->setKind(KindIcon::Kind::None);
        return;
    }
    P1->setKind(host_.registry().isFolderGroup(ComboBox1->currentText()) ? KindIcon::Kind::Folder
                                                                          : KindIcon::Kind::Inner);
}

QString TfrmSave::selectedGroup() const {
    return ComboBox1->currentIndex() <= 0 ? QString() : ComboBox1->currentText();
}

void TfrmSave::BitBtn1Click() { save(QStringLiteral(".RTF")); }
void TfrmSave::BitBtn2Click() { save(QStringLiteral(".TXT")); }

void TfrmSave::save(const QString& extension) {
    EditorState& state = host_.state();
    const PathStyle& style = state.style();
    const QString name = Edit1->text();
    const QString group = selectedGroup();

    // A name that is only blanks, or only the endings we add ourselves, names
    // no file.
    if (isBlank(stripDocumentExtensions(name, style))) {
        Edit1->clear();
        prompter_.message(save_text::kNoName);
        Edit1->setFocus();
        return;
    }
    // A separator would put the file beside or below the group's folder while
    // the group registered only its last part.
    if (nameHasSeparator(name, style)) {
        prompter_.message(style.isWindows() ? save_text::kBadName : save_text::kBadNamePosix);
        Edit1->setFocus();
        return;
    }

    const QString programFolder = host_.programFolder();
    const QString path =
        BuildSavePath(name, group, host_.registry(), programFolder) + saveExtension(name, extension);
    const QString fileName = style.fileName(path);

    // Another document under the chosen name is replaced only when the user
    // says so; saving the open document under its own name again is not a
    // question.
    const QString ownPath = fileOfDocumentPath(state.LblFullName(), programFolder, style);
    if (QFileInfo::exists(path) && !(!ownPath.isEmpty() && sameFile(ownPath, path)) &&
        !prompter_.askYesNo(save_text::replaceQuestion(fileName))) {
        Edit1->setFocus();
        return;
    }

    state.setLblFName(fileName);
    Edit1->setText(state.LblFName());

    QString error;
    switch (host_.writeDocument(path, &error)) {
    case DocumentHost::WriteOutcome::Written:
        break;
    case DocumentHost::WriteOutcome::Declined:
        // The user kept the document rather than lose characters.
        return;
    case DocumentHost::WriteOutcome::CannotCreate:
        prompter_.message(save_text::folderMissing(ComboBox1->currentText()));
        return;
    case DocumentHost::WriteOutcome::Failed:
        // The place was fine but the write was not (a full disk, say): the
        // system's own words say more than a missing folder would.
        prompter_.errorBox(error);
        return;
    }

    if (!group.isEmpty()) host_.registry().FileGroupSet(group, state.LblFName());
    state.setLblFullName(documentPathOf(path, programFolder, style));
    state.setLblGName(group);
    host_.RirekiSet();
    host_.MarkClean();
    accept();
}

void TfrmSave::showEvent(QShowEvent* event) {
    FormShow();
    look::centreOnScreen(this);
    QDialog::showEvent(event);
}

} // namespace tess
