#include "groupsearch.h"

#include "documenthost.h"
#include "filelist.h"
#include "findreplace.h"
#include "fonts.h"
#include "look.h"

#include "core/settingsfile.h"
#include "richtext/richtext.h"
#include "richtext/softbreaks.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTextCursor>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tess {

namespace grep_text {
QString progress(int done, int total) {
    return QStringLiteral("検索中... %1 / %2 文書").arg(done).arg(total);
}
QString summary(qsizetype hits, int documents, int unreadable, bool cancelled) {
    QString s = QStringLiteral("%1 件（%2 文書）").arg(hits).arg(documents);
    if (unreadable > 0) s += QStringLiteral("、読めない文書 %1").arg(unreadable);
    return cancelled ? QStringLiteral("中止しました: ") + s : s;
}
QString listedOnly(qsizetype listed) { return QStringLiteral("（最初の %1 件を表示）").arg(listed); }
} // namespace grep_text

namespace {

constexpr int kThreads = 2;
constexpr int kWidth = 680;  // the window's size when the settings say nothing
constexpr int kHeight = 440;
constexpr int kLead = 24;    // characters shown before a match far into its line

enum Column { kDocument, kGroup, kLine, kText };
enum Role { kRowRole = Qt::UserRole, kStartRole, kLengthRole, kErrorRole };

const QString kKeyScope = QStringLiteral("SearchScope");
const QString kKeyWidth = QStringLiteral("SearchWidth");
const QString kKeyGroup = QStringLiteral("SearchGroup");
const QString kKeyHeight = QStringLiteral("SearchHeight");

const QColor kMatchBack(255, 226, 64);
const QColor kErrorText(192, 0, 0);

// The line with its match in bold on a marker colour; a match far into a
// long line is brought near the start, behind an ellipsis.
class HitDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem o(option);
        initStyleOption(&o, index);
        QString line = o.text;
        o.text.clear();
        const QWidget* view = o.widget;
        QStyle* style = view ? view->style() : nullptr;
        if (style) style->drawControl(QStyle::CE_ItemViewItem, &o, painter, view);

        const bool error = index.data(kErrorRole).toBool();
        qsizetype start = index.data(kStartRole).toLongLong();
        qsizetype length = index.data(kLengthRole).toLongLong();
        // Tabs and other controls would draw as boxes or jump.
        for (QChar& c : line)
            if (c.category() == QChar::Other_Control) c = u' ';
        if (error || length <= 0 || start < 0 || start >= line.size()) {
            // Nothing to mark: the text from its start.
            start = 0;
            length = 0;
        }
        QString before = line.left(start);
        const QString match = line.mid(start, length);
        const QString after = line.mid(start + length);
        if (before.size() > kLead) before = QStringLiteral("…") + before.right(kLead);

        const bool selected = o.state & QStyle::State_Selected;
        const QColor ink = error ? kErrorText
                                 : o.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        const QRect r = o.rect.adjusted(4, 0, -4, 0);
        painter->save();
        painter->setClipRect(r);
        painter->setFont(o.font);
        painter->setPen(ink);
        int x = r.left();
        const auto draw = [&](const QString& text, const QFont& font) {
            const QFontMetrics fm(font);
            const int w = fm.horizontalAdvance(text);
            painter->setFont(font);
            painter->drawText(QRect(x, r.top(), std::max(0, r.right() - x + 1), r.height()),
                              Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
            x += w;
            return w;
        };
        draw(before, o.font);
        if (!match.isEmpty()) {
            QFont bold = o.font;
            bold.setBold(true);
            const int w = QFontMetrics(bold).horizontalAdvance(match);
            painter->fillRect(QRect(x, r.top() + 1, w, r.height() - 2), kMatchBack);
            painter->setPen(Qt::black);
            draw(match, bold);
            painter->setPen(ink);
        }
        const QFontMetrics fm(o.font);
        painter->setFont(o.font);
        painter->drawText(QRect(x, r.top(), std::max(0, r.right() - x + 1), r.height()),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          fm.elidedText(after, Qt::ElideRight, std::max(0, r.right() - x + 1)));
        painter->restore();
    }
};

// Where a position in the document's text (as the search counts it) lies in
// the editor, whose long paragraphs are split at soft ends.  A match's end
// stays before a soft end that follows it directly.
int editorPosition(const std::vector<int>& softEnds, qsizetype position, bool end) {
    size_t k = 0;
    // Soft end k sits at editor position softEnds[k]; before it lie
    // softEnds[k] - k characters of the text.
    while (k < softEnds.size() &&
           (end ? softEnds[k] - qsizetype(k) < position : softEnds[k] - qsizetype(k) <= position))
        ++k;
    return int(position + qsizetype(k));
}

} // namespace

GroupSearch::GroupSearch(DocumentHost& host, FindReplace& find, QPlainTextEdit* editor,
                         std::function<bool(const QString&)> open, QWidget* parent)
    : QWidget(parent, Qt::Window), host_(host), find_(find), editor_(editor), open_(std::move(open)) {
    setObjectName(QStringLiteral("FrmGrep"));
    setWindowTitle(grep_text::kTitle);
    setAttribute(Qt::WA_DeleteOnClose, false);
    const QFont font = fonts::make(fonts::kMsPGothic, 12);
    setFont(font);

    pattern_ = new QLineEdit(this);
    pattern_->setObjectName(QStringLiteral("EdtGrep"));
    startButton_ = new QPushButton(grep_text::kStart, this);
    startButton_->setObjectName(QStringLiteral("BtnGrepStart"));
    cancelButton_ = new QPushButton(grep_text::kCancel, this);
    cancelButton_->setObjectName(QStringLiteral("BtnGrepCancel"));
    cancelButton_->setEnabled(false);
    for (QPushButton* b : {startButton_, cancelButton_}) b->setAutoDefault(false);

    const auto check = [&](const QString& name, const QString& text) {
        auto* c = new QCheckBox(text, this);
        c->setObjectName(name);
        return c;
    };
    // The find panel's options under its captions.
    matchCase_ = check(QStringLiteral("CBGrepMatchCase"), find_text::kMatchCase);
    wholeWord_ = check(QStringLiteral("CBGrepWholeWord"), find_text::kWholeWord);
    regex_ = check(QStringLiteral("CBGrepRegex"), find_text::kRegex);
    width_ = check(QStringLiteral("CBGrepWidth"), find_text::kWidth);

    scope_ = new QComboBox(this);
    scope_->setObjectName(QStringLiteral("CmbGrepScope"));
    scope_->addItem(grep_text::kScopeCurrent, int(Scope::CurrentGroup));
    scope_->addItem(grep_text::kScopeChosen, int(Scope::ChosenGroup));
    scope_->addItem(grep_text::kScopeAll, int(Scope::AllGroups));
    scope_->addItem(grep_text::kScopeHistory, int(Scope::History));
    group_ = new QComboBox(this);
    group_->setObjectName(QStringLiteral("CmbGrepGroup"));
    group_->setMinimumContentsLength(12);
    group_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("TrvGrep"));
    list_->setColumnCount(4);
    list_->setHeaderLabels({grep_text::kColumnDocument, grep_text::kColumnGroup, grep_text::kColumnLine,
                            grep_text::kColumnText});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setItemDelegateForColumn(kText, new HitDelegate(list_));
    list_->header()->setStretchLastSection(true);
    list_->setColumnWidth(kDocument, 150);
    list_->setColumnWidth(kGroup, 110);
    list_->setColumnWidth(kLine, 50);
    list_->headerItem()->setTextAlignment(kLine, Qt::AlignRight | Qt::AlignVCenter);

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("PrbGrep"));
    progress_->setRange(0, 1);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    progress_->setFixedWidth(160);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("LblGrepSummary"));

    auto* top = new QGridLayout;
    top->setHorizontalSpacing(6);
    top->setVerticalSpacing(4);
    top->addWidget(new QLabel(find_text::kFind, this), 0, 0);
    top->addWidget(pattern_, 0, 1, 1, 2);
    top->addWidget(startButton_, 0, 3);
    top->addWidget(cancelButton_, 0, 4);
    auto* options = new QGridLayout;
    options->setContentsMargins(0, 0, 0, 0);
    options->setVerticalSpacing(0);
    options->addWidget(matchCase_, 0, 0);
    options->addWidget(wholeWord_, 0, 1);
    options->addWidget(regex_, 1, 0);
    options->addWidget(width_, 1, 1);
    top->addLayout(options, 1, 1, 1, 4);
    top->addWidget(new QLabel(grep_text::kScope, this), 2, 0);
    top->addWidget(scope_, 2, 1);
    top->addWidget(group_, 2, 2);
    top->setColumnStretch(2, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(progress_);
    bottom->addWidget(summary_, 1);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 8, 8, 6);
    column->addLayout(top);
    column->addWidget(list_, 1);
    column->addLayout(bottom);

    resize(kWidth, kHeight);
    updateScopeChoice();

    connect(startButton_, &QPushButton::clicked, this, &GroupSearch::start);
    connect(cancelButton_, &QPushButton::clicked, this, &GroupSearch::cancel);
    connect(pattern_, &QLineEdit::returnPressed, this, &GroupSearch::start);
    connect(scope_, &QComboBox::currentIndexChanged, this, &GroupSearch::updateScopeChoice);
    // Double click and Enter.
    connect(list_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { openRow(item->data(kDocument, kRowRole).toInt()); });

    connect(&find_, &FindReplace::groupSearchRequested, this, &GroupSearch::showFromFindPanel);
    if (parent) {
        auto* keys = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), parent);
        keys->setContext(Qt::WindowShortcut);
        connect(keys, &QShortcut::activated, this, &GroupSearch::showFromFindPanel);
    }
}

GroupSearch::~GroupSearch() { stopWorker(); }

void GroupSearch::showFromFindPanel() {
    // An empty find panel leaves what was typed here.
    if (!running_ && !find_.pattern().isEmpty()) {
        pattern_->setText(find_.pattern());
        const search::Options o = find_.options();
        matchCase_->setChecked(o.matchCase);
        wholeWord_->setChecked(o.wholeWord);
        regex_->setChecked(o.regex);
        width_->setChecked(o.widthInsensitive);
    }
    fillGroups();
    show();
    raise();
    activateWindow();
    pattern_->setFocus();
    pattern_->selectAll();
}

void GroupSearch::fillGroups() {
    // Groups come and go while the window is open; the choice stays when it can.
    const QString chosen = group_->count() > 0 ? group_->currentText() : keptGroup_;
    group_->clear();
    group_->addItems(host_.registry().groupList());
    const int keep = group_->findText(chosen);
    if (keep >= 0) group_->setCurrentIndex(keep);
    else if (const int current = group_->findText(host_.state().LblGName()); current >= 0)
        group_->setCurrentIndex(current);
}

void GroupSearch::setScope(Scope scope, const QString& group) {
    scope_->setCurrentIndex(scope_->findData(int(scope)));
    if (!group.isEmpty()) {
        fillGroups();
        group_->setCurrentIndex(group_->findText(group));
    }
}

GroupSearch::Scope GroupSearch::scope() const { return Scope(scope_->currentData().toInt()); }

void GroupSearch::updateScopeChoice() { group_->setEnabled(scope() == Scope::ChosenGroup); }

void GroupSearch::setRunning(bool running) {
    running_ = running;
    cancelButton_->setEnabled(running);
}

void GroupSearch::showSummary(const QString& text, bool error) {
    summary_->setText(text);
    look::setColours(summary_, QColor(), error ? kErrorText : palette().color(QPalette::WindowText));
}

void GroupSearch::start() {
    stopWorker();
    list_->clear();
    rows_.clear();
    searched_.clear();
    done_ = total_ = hitDocuments_ = unreadable_ = 0;
    hits_ = listedHits_ = 0;
    progress_->setRange(0, 1);
    progress_->setValue(0);

    const QString pattern = pattern_->text();
    if (pattern.isEmpty()) {
        showSummary(grep_text::kNoPattern, true);
        return;
    }
    const search::Searcher searcher(pattern, {matchCase_->isChecked(), wholeWord_->isChecked(),
                                              regex_->isChecked(), width_->isChecked()});
    if (!searcher.valid()) {
        showSummary(find_text::badPattern(searcher.error()), true);
        return;
    }

    const GroupRegistry& registry = host_.registry();
    QList<group_documents::Document> docs;
    const auto ofGroup = [&](const QString& group, const QString& none) {
        if (group.isEmpty()) {
            showSummary(none, true);
            return false;
        }
        const auto found = group_documents::ofGroup(registry, group);
        if (!found) {
            showSummary(list_text::kUnknownGroup, true);
            return false;
        }
        docs = *found;
        return true;
    };
    switch (scope()) {
    case Scope::CurrentGroup:
        if (!ofGroup(host_.state().LblGName(), grep_text::kNoCurrentGroup)) return;
        break;
    case Scope::ChosenGroup:
        if (!ofGroup(group_->currentText(), grep_text::kNoGroups)) return;
        break;
    case Scope::AllGroups:
        if (registry.groupList().isEmpty()) {
            showSummary(grep_text::kNoGroups, true);
            return;
        }
        docs = group_documents::ofAllGroups(registry);
        break;
    case Scope::History:
        docs = group_documents::ofHistory(host_.state().GrdR, registry);
        break;
    }
    if (docs.isEmpty()) {
        showSummary(grep_text::kNoDocuments, true);
        return;
    }

    QStringList paths;
    for (const group_documents::Document& d : docs) {
        if (d.path.isEmpty()) {
            // Never read: the entry would reach outside its folder.
            ++unreadable_;
            addRow({QString(), d.entry, d.group, 0, list_text::outsideFolder(d.entry), 0, 0, 0});
            continue;
        }
        searched_ << d;
        paths << d.path;
    }
    total_ = int(paths.size());
    progress_->setRange(0, std::max(1, total_));
    ++generation_;
    cancel_ = false;
    setRunning(true);
    showSummary(grep_text::progress(0, total_));
    const int generation = generation_;
    // The worker reaches this window only through queued calls, which are
    // dropped once it is gone; the window waits for the worker before it goes.
    worker_ = std::thread([this, paths, searcher, generation] {
        // Documents are reported one at a time, in order: no more hits than
        // the list takes are ever on their way to it.
        qsizetype room = kMaxListed;
        const auto report = [&](const document_search::Result& found) {
            if (workerHook_) workerHook_(found.document);
            document_search::Result r = found;
            if (r.hits.size() > room) r.hits.resize(room);
            room -= r.hits.size();
            QMetaObject::invokeMethod(
                this, [this, generation, r] { received(generation, r); }, Qt::QueuedConnection);
        };
        document_search::run(paths, searcher, kThreads, cancel_, report, kMaxListed);
        QMetaObject::invokeMethod(this, [this, generation] { ended(generation); }, Qt::QueuedConnection);
    });
}

void GroupSearch::received(int generation, const document_search::Result& result) {
    if (generation != generation_ || result.document < 0 || result.document >= searched_.size()) return;
    ++done_;
    const group_documents::Document& d = searched_[result.document];
    if (!result.error.isEmpty()) {
        ++unreadable_;
        addRow({d.path, d.entry, d.group, 0, result.error, 0, 0, 0});
    } else if (result.matches > 0) {
        ++hitDocuments_;
        hits_ += result.matches;
        list_->setUpdatesEnabled(false);
        for (const document_search::Hit& h : result.hits) {
            addRow({d.path, d.entry, d.group, h.line, h.text, h.start, h.length, h.position});
            ++listedHits_;
        }
        list_->setUpdatesEnabled(true);
    }
    progress_->setValue(done_);
    if (running_) showSummary(grep_text::progress(done_, total_));
}

void GroupSearch::ended(int generation) {
    if (generation != generation_) return;
    if (worker_.joinable()) worker_.join();
    setRunning(false);
    const bool cancelled = cancel_ && done_ < total_;
    showSummary(summaryText(cancelled));
    if (!cancelled) progress_->setValue(progress_->maximum());
    emit finished();
}

void GroupSearch::cancel() {
    if (running_) cancel_ = true;
}

void GroupSearch::stopWorker() {
    if (worker_.joinable()) {
        cancel_ = true;
        worker_.join();
    }
    if (!running_) return;
    // What the worker still had on its way is dropped with the old number.
    ++generation_;
    setRunning(false);
    showSummary(summaryText(done_ < total_));
    emit finished();
}

QString GroupSearch::summaryText(bool cancelled) const {
    QString text = grep_text::summary(hits_, hitDocuments_, unreadable_, cancelled);
    if (hits_ > listedHits_) text += grep_text::listedOnly(listedHits_);
    return text;
}

void GroupSearch::addRow(Row row) {
    auto* item = new QTreeWidgetItem;
    item->setText(kDocument, row.path.isEmpty() ? row.document : host_.registry().style().fileName(row.path));
    item->setToolTip(kDocument, row.path.isEmpty() ? row.document : row.path);
    item->setText(kGroup, row.group);
    item->setToolTip(kGroup, row.group);
    if (row.line > 0) item->setText(kLine, QString::number(row.line));
    item->setTextAlignment(kLine, Qt::AlignRight | Qt::AlignVCenter);
    item->setText(kText, row.text);
    // A long reason is cut in the list.
    if (row.line == 0) item->setToolTip(kText, row.text);
    item->setData(kText, kStartRole, qlonglong(row.start));
    item->setData(kText, kLengthRole, qlonglong(row.length));
    item->setData(kText, kErrorRole, row.line == 0);
    item->setData(kDocument, kRowRole, int(rows_.size()));
    rows_.append(std::move(row));
    list_->addTopLevelItem(item);
}

void GroupSearch::openRow(int index) {
    if (index < 0 || index >= rows_.size()) return;
    const Row row = rows_[index];
    // A document that could not be read has no match to go to; opening it
    // gives the program's usual message about it all the same.
    if (row.path.isEmpty()) return;
    if (!open_(row.path)) return;
    if (row.line > 0) selectMatch(row);
    editor_->window()->raise();
    editor_->window()->activateWindow();
    editor_->setFocus();
}

void GroupSearch::selectMatch(const Row& row) {
    QTextDocument* doc = editor_->document();
    // A large file goes in in parts: the match may lie beyond them.
    completeText(*doc);
    const std::vector<int> soft = soft_breaks::positions(*doc);
    const int last = std::max(0, doc->characterCount() - 1);
    // The file may have changed since it was searched.
    const int from = std::clamp(editorPosition(soft, row.position, false), 0, last);
    const int to = std::clamp(editorPosition(soft, row.position + row.length, true), from, last);
    QTextCursor c(doc);
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    editor_->setTextCursor(c);
    editor_->ensureCursorVisible();
}

void GroupSearch::closeEvent(QCloseEvent* event) {
    stopWorker();
    QWidget::closeEvent(event);
}

bool GroupSearch::event(QEvent* event) {
    // Groups registered or removed meanwhile show when the window comes back.
    if (event->type() == QEvent::WindowActivate) fillGroups();
    return QWidget::event(event);
}

void GroupSearch::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        if (running_) cancel();
        else close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void GroupSearch::readSettings(const SettingsFile& settings) {
    if (const SettingValue v = settings.read(ini::kTessarine, kKeyScope, ini::kShortLimit); v.found)
        if (const auto s = group_documents::fromSetting(v.value)) setScope(*s);
    // A group name is text: read whole.
    if (const SettingValue v = settings.read(ini::kTessarine, kKeyGroup, ini::kWhole); v.found) keptGroup_ = v.value;
    const auto number = [&](const QString& key) -> std::optional<int> {
        const SettingValue v = settings.read(ini::kTessarine, key, ini::kShortLimit);
        return v.found ? toInteger(v.value) : std::nullopt;
    };
    // A size that is no number, or too small to use, leaves the default.
    const std::optional<int> w = number(kKeyWidth), h = number(kKeyHeight);
    if (w && h && *w >= minimumSizeHint().width() && *h >= minimumSizeHint().height()) resize(*w, *h);
}

void GroupSearch::writeSettings(SettingsFile& settings) const {
    settings.write(ini::kTessarine, kKeyScope, group_documents::toSetting(scope()));
    const QString group = group_->count() > 0 ? group_->currentText() : keptGroup_;
    if (!group.isEmpty()) settings.write(ini::kTessarine, kKeyGroup, group);
    settings.write(ini::kTessarine, kKeyWidth, QString::number(width()));
    settings.write(ini::kTessarine, kKeyHeight, QString::number(height()));
}

} // namespace tess
