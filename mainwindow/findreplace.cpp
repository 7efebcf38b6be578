#include "findreplace.h"

#include "fonts.h"
#include "look.h"

#include "richtext/richtext.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

namespace tess {

namespace find_text {
QString notFound(const QString& pattern) {
    return QStringLiteral("「") + pattern + QStringLiteral("」が見つかりません");
}
QString replaced(int count) { return QString::number(count) + QStringLiteral(" 件置換しました"); }
QString badPattern(const QString& reason) { return QStringLiteral("正規表現ｴﾗｰ: ") + reason; }
} // namespace find_text

namespace {

constexpr int kPanelWidth = 380;
constexpr int kMargin = 4;       // from the editor area's edges
constexpr int kNoteMs = 4000;    // how long a status-bar note stays

// Enter finds (Shift+Enter backwards, in the replace field it replaces),
// Escape closes; anything else goes to the field.
class KeyFilter : public QObject {
public:
    KeyFilter(FindReplace* owner, QLineEdit* find, QLineEdit* replace)
        : QObject(owner), owner_(owner), find_(find), replace_(replace) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            owner_->close();
            return true;
        }
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
        if (watched == replace_) owner_->replaceOne();
        else if (key->modifiers() & Qt::ShiftModifier) owner_->findPrevious();
        else owner_->findNext();
        (void)find_;
        return true;
    }

private:
    FindReplace* owner_;
    QLineEdit* find_;
    QLineEdit* replace_;
};

} // namespace

FindReplace::FindReplace(QWidget* window, QPlainTextEdit* editor, QWidget* editorArea, QWidget* statusBar)
    : QObject(window), editor_(editor), area_(editorArea) {
    const QFont font = fonts::make(fonts::kMsPGothic, 12);

    panel_ = new QFrame(editorArea);
    panel_->setObjectName(QStringLiteral("PnlFind"));
    panel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel_->setAutoFillBackground(true);
    look::setColours(panel_, look::kSilver);
    panel_->setFont(font);

    auto* heading = new QLabel(find_text::kHeading, panel_);
    heading->setObjectName(QStringLiteral("LblFindHeading"));
    look::setColours(heading, look::kNavy, Qt::white);
    heading->setContentsMargins(4, 1, 4, 1);

    const auto button = [&](const QString& name, const QString& text) {
        auto* b = new QPushButton(text, panel_);
        b->setObjectName(name);
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::TabFocus);
        return b;
    };
    const auto check = [&](const QString& name, const QString& text) {
        auto* c = new QCheckBox(text, panel_);
        c->setObjectName(name);
        return c;
    };

    findEdit_ = new QLineEdit(panel_);
    findEdit_->setObjectName(QStringLiteral("EdtFind"));
    replaceEdit_ = new QLineEdit(panel_);
    replaceEdit_->setObjectName(QStringLiteral("EdtReplace"));
    QPushButton* next = button(QStringLiteral("BtnFindNext"), find_text::kNext);
    QPushButton* previous = button(QStringLiteral("BtnFindPrevious"), find_text::kPrevious);
    QPushButton* replace = button(QStringLiteral("BtnReplace"), find_text::kReplaceOne);
    QPushButton* replaceAll = button(QStringLiteral("BtnReplaceAll"), find_text::kReplaceAll);
    QPushButton* closeButton = button(QStringLiteral("BtnFindClose"), find_text::kClose);
    QPushButton* groupSearch = button(QStringLiteral("BtnGroupSearch"), find_text::kGroupSearch);
    matchCase_ = check(QStringLiteral("CBMatchCase"), find_text::kMatchCase);
    wholeWord_ = check(QStringLiteral("CBWholeWord"), find_text::kWholeWord);
    regex_ = check(QStringLiteral("CBRegex"), find_text::kRegex);
    width_ = check(QStringLiteral("CBWidth"), find_text::kWidth);
    panelNote_ = new QLabel(panel_);
    panelNote_->setObjectName(QStringLiteral("LblFindNote"));
    look::setColours(panelNote_, QColor(), look::kNavy);

    auto* grid = new QGridLayout;
    grid->setContentsMargins(6, 4, 6, 2);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);
    grid->addWidget(new QLabel(find_text::kFind, panel_), 0, 0);
    grid->addWidget(findEdit_, 0, 1);
    grid->addWidget(next, 0, 2);
    grid->addWidget(previous, 0, 3);
    replaceRow_ = new QWidget(panel_);
    auto* replaceLayout = new QHBoxLayout(replaceRow_);
    replaceLayout->setContentsMargins(0, 0, 0, 0);
    replaceLayout->setSpacing(4);
    auto* replaceLabel = new QLabel(find_text::kReplace, replaceRow_);
    replaceLabel->setFixedWidth(grid->itemAtPosition(0, 0)->widget()->sizeHint().width());
    replaceLayout->addWidget(replaceLabel);
    replaceEdit_->setParent(replaceRow_);
    replaceLayout->addWidget(replaceEdit_, 1);
    replace->setParent(replaceRow_);
    replaceAll->setParent(replaceRow_);
    replaceLayout->addWidget(replace);
    replaceLayout->addWidget(replaceAll);
    grid->addWidget(replaceRow_, 1, 0, 1, 4);

    auto* options = new QGridLayout;
    options->setContentsMargins(6, 0, 6, 4);
    options->setVerticalSpacing(0);
    options->addWidget(matchCase_, 0, 0);
    options->addWidget(wholeWord_, 0, 1);
    options->addWidget(regex_, 1, 0);
    options->addWidget(width_, 1, 1);
    options->addWidget(groupSearch, 2, 1, Qt::AlignRight);

    auto* headingRow = new QHBoxLayout;
    headingRow->setContentsMargins(0, 0, 0, 0);
    headingRow->addWidget(heading, 1);
    closeButton->setFixedHeight(heading->sizeHint().height() + 2);
    headingRow->addWidget(closeButton);

    auto* column = new QVBoxLayout(panel_);
    column->setContentsMargins(1, 1, 1, 1);
    column->setSpacing(0);
    column->addLayout(headingRow);
    column->addLayout(grid);
    column->addLayout(options);
    panelNote_->setContentsMargins(6, 0, 6, 3);
    column->addWidget(panelNote_);
    panel_->hide();

    auto* keys = new KeyFilter(this, findEdit_, replaceEdit_);
    findEdit_->installEventFilter(keys);
    replaceEdit_->installEventFilter(keys);

    connect(next, &QPushButton::clicked, this, &FindReplace::findNext);
    connect(previous, &QPushButton::clicked, this, &FindReplace::findPrevious);
    connect(replace, &QPushButton::clicked, this, &FindReplace::replaceOne);
    connect(replaceAll, &QPushButton::clicked, this, &FindReplace::replaceAll);
    connect(closeButton, &QPushButton::clicked, this, &FindReplace::close);
    connect(groupSearch, &QPushButton::clicked, this, &FindReplace::groupSearchRequested);

    // The note lies over the middle of the status bar for a few seconds.
    statusNote_ = new QLabel(statusBar);
    statusNote_->setObjectName(QStringLiteral("LblFindStatus"));
    statusNote_->setFont(fonts::make(fonts::kMsPGothic, 12, true));
    statusNote_->setAlignment(Qt::AlignCenter);
    statusNote_->setAutoFillBackground(true);
    look::setColours(statusNote_, statusBar->palette().color(QPalette::Window), look::kRed);
    statusNote_->hide();
    noteTimer_ = new QTimer(this);
    noteTimer_->setSingleShot(true);
    noteTimer_->setInterval(kNoteMs);
    connect(noteTimer_, &QTimer::timeout, statusNote_, &QWidget::hide);

    const auto shortcut = [&](QKeySequence keys, auto handler) {
        auto* s = new QShortcut(keys, window);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, handler);
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_F), &FindReplace::showFind);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_H), &FindReplace::showReplace);
    shortcut(QKeySequence(Qt::Key_F3), &FindReplace::findNext);
    shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), &FindReplace::findPrevious);

    // The panel keeps its corner when the editor area changes size.
    area_->installEventFilter(this);
}

FindReplace::~FindReplace() = default;

bool FindReplace::eventFilter(QObject* watched, QEvent* event) {
    if (watched == area_ && event->type() == QEvent::Resize && panel_->isVisible()) place();
    return QObject::eventFilter(watched, event);
}

QString FindReplace::note() const { return statusNote_->isVisibleTo(statusNote_->parentWidget()) ? statusNote_->text() : QString(); }

void FindReplace::showFind() { open(false); }
void FindReplace::showReplace() { open(true); }

void FindReplace::open(bool replacing) {
    // A selection within one line is what the user wants to find.
    const QString selected = editor_->textCursor().selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator) && !selected.contains(u'\n'))
        findEdit_->setText(selected);
    replaceRow_->setVisible(replacing);
    panelNote_->clear();
    panel_->show();
    panel_->raise();
    place();
    QLineEdit* focus = replacing && !findEdit_->text().isEmpty() ? replaceEdit_ : findEdit_;
    focus->setFocus();
    focus->selectAll();
}

void FindReplace::close() {
    panel_->hide();
    editor_->setFocus();
}

void FindReplace::place() {
    panel_->adjustSize();
    const int w = std::min(kPanelWidth, std::max(0, area_->width() - 2 * kMargin));
    const int h = panel_->sizeHint().height();
    // At the top right of the editor, or at the bottom when the found text
    // would lie under it.
    const int y = atBottom_ ? std::max(kMargin, area_->height() - h - kMargin) : kMargin + 13;
    panel_->setGeometry(area_->width() - w - kMargin, y, w, h);
}

void FindReplace::setQuery(const QString& pattern, const QString& replacement, const search::Options& options) {
    findEdit_->setText(pattern);
    replaceEdit_->setText(replacement);
    matchCase_->setChecked(options.matchCase);
    wholeWord_->setChecked(options.wholeWord);
    regex_->setChecked(options.regex);
    width_->setChecked(options.widthInsensitive);
}

QString FindReplace::pattern() const { return findEdit_->text(); }

search::Options FindReplace::options() const {
    return {matchCase_->isChecked(), wholeWord_->isChecked(), regex_->isChecked(), width_->isChecked()};
}

std::optional<search::Searcher> FindReplace::searcher() {
    const search::Options options = this->options();
    if (findEdit_->text().isEmpty()) {
        // Nothing to look for yet: F3 opens the panel.
        open(replaceRow_->isVisible());
        return std::nullopt;
    }
    search::Searcher s(findEdit_->text(), options);
    if (!s.valid()) {
        showNote(find_text::badPattern(s.error()));
        return std::nullopt;
    }
    return s;
}

const search::Subject& FindReplace::subject(const search::Options& options) {
    QTextDocument* doc = editor_->document();
    if (!subject_ || subjectDoc_ != doc || subjectRevision_ != doc->revision() ||
        subject_->folded() != options.widthInsensitive) {
        subject_ = std::make_unique<search::Subject>(documentPlainText(*doc), options.widthInsensitive);
        subjectDoc_ = doc;
        subjectRevision_ = doc->revision();
    }
    return *subject_;
}

bool FindReplace::findNext() { return find(true); }
bool FindReplace::findPrevious() { return find(false); }

bool FindReplace::find(bool forward) {
    const std::optional<search::Searcher> s = searcher();
    if (!s) return false;
    const search::Subject& text = subject(s->options());
    const QTextCursor cursor = editor_->textCursor();
    search::Match m = forward ? s->next(text, cursor.selectionEnd()) : s->previous(text, cursor.selectionStart());
    QString note;
    if (!m.found()) {
        m = forward ? s->next(text, 0) : s->previous(text, text.text().size() + 1);
        note = forward ? find_text::kWrappedToStart : find_text::kWrappedToEnd;
    }
    if (!m.found()) {
        showNote(find_text::notFound(findEdit_->text()));
        QApplication::beep();
        return false;
    }
    select(m);
    if (!note.isEmpty()) showNote(note);
    else panelNote_->clear();
    return true;
}

void FindReplace::select(const search::Match& match) {
    QTextCursor c(editor_->document());
    c.setPosition(int(match.start));
    c.setPosition(int(match.end()), QTextCursor::KeepAnchor);
    editor_->setTextCursor(c);
    editor_->ensureCursorVisible();
    if (!panel_->isVisible()) return;
    // Keep the found text out from under the panel.
    QRect found = editor_->cursorRect(c);
    found.moveTopLeft(editor_->viewport()->mapTo(area_, found.topLeft()));
    if (found.intersects(panel_->geometry())) {
        atBottom_ = !atBottom_;
        place();
    }
}

void FindReplace::replaceOne() {
    const std::optional<search::Searcher> s = searcher();
    if (!s) return;
    const search::Subject& text = subject(s->options());
    QTextCursor cursor = editor_->textCursor();
    if (cursor.hasSelection()) {
        const search::Match m = s->at(text, cursor.selectionStart());
        if (m.found() && m.end() == cursor.selectionEnd()) {
            cursor.insertText(s->replacement(text, m, replaceEdit_->text()));
            editor_->setTextCursor(cursor);
        }
    }
    find(true);
}

int FindReplace::replaceAll() {
    const std::optional<search::Searcher> s = searcher();
    if (!s) return 0;
    const search::Subject& text = subject(s->options());
    const std::vector<search::Match> matches = s->all(text);
    if (matches.empty()) {
        showNote(find_text::notFound(findEdit_->text()));
        return 0;
    }
    std::vector<QString> replacements;
    replacements.reserve(matches.size());
    for (const search::Match& m : matches) replacements.push_back(s->replacement(text, m, replaceEdit_->text()));

    // One undo step; from the end, so the positions before stay right.
    QTextCursor c(editor_->document());
    c.beginEditBlock();
    for (size_t i = matches.size(); i-- > 0;) {
        c.setPosition(int(matches[i].start));
        c.setPosition(int(matches[i].end()), QTextCursor::KeepAnchor);
        c.insertText(replacements[i]);
    }
    c.endEditBlock();
    const int count = int(matches.size());
    showNote(find_text::replaced(count));
    return count;
}

void FindReplace::showNote(const QString& text) {
    panelNote_->setText(text);
    QWidget* bar = statusNote_->parentWidget();
    const int w = std::min(bar->width(), statusNote_->fontMetrics().horizontalAdvance(text) + 16);
    statusNote_->setText(text);
    statusNote_->setGeometry((bar->width() - w) / 2, 1, w, std::max(0, bar->height() - 2));
    statusNote_->show();
    statusNote_->raise();
    noteTimer_->start();
}

} // namespace tess
