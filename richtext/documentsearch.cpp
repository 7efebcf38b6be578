#include "documentsearch.h"

#include "documentfile.h"
#include "richtext.h"
#include "softbreaks.h"

#include "core/textlines.h"

#include <QTextDocument>

#include <algorithm>
#include <mutex>
#include <thread>
#include <vector>

namespace tess::document_search {

QList<Hit> hitsIn(const QString& text, const search::Searcher& searcher, qsizetype limit, qsizetype* matches) {
    QList<Hit> hits;
    const search::Subject subject(text, searcher.options().widthInsensitive);
    const std::vector<search::Match> all = searcher.all(subject);
    if (matches) *matches = qsizetype(all.size());
    const size_t kept = limit < 0 ? all.size() : std::min(all.size(), size_t(limit));
    qsizetype line = 1, lineStart = 0;
    for (size_t i = 0; i < kept; ++i) {
        const search::Match& m = all[i];
        // Matches come in order: the line count goes on from the last one.
        for (qsizetype at = text.indexOf(u'\n', lineStart); at >= 0 && at < m.start; at = text.indexOf(u'\n', lineStart)) {
            ++line;
            lineStart = at + 1;
        }
        const qsizetype lineEnd = [&] {
            const qsizetype end = text.indexOf(u'\n', m.start);
            return end < 0 ? text.size() : end;
        }();
        qsizetype from = lineStart, to = lineEnd;
        if (to - from > kMaxHitLine) {
            from = std::max(lineStart, m.start - kHitLead);
            to = std::min(lineEnd, from + kMaxHitLine);
            // Never half a surrogate pair at either end.
            if (from > lineStart && text[from].isLowSurrogate()) --from;
            if (to < lineEnd && text[to].isLowSurrogate()) ++to;
        }
        Hit hit;
        hit.line = line;
        hit.text = text.sliced(from, to - from);
        hit.start = m.start - from;
        hit.length = std::min(m.end(), to) - m.start;
        hit.position = m.start;
        hits.append(std::move(hit));
    }
    return hits;
}

namespace {

// One document, read as the editor reads it (the pieces of a long line
// joined again, so that line numbers are the file's), and searched.
Result searchOne(const QString& path, const search::Searcher& searcher, qsizetype hitLimit) {
    Result result;
    QByteArray bytes;
    const LoadResult read = readDocumentBytes(path, bytes);
    if (!read.ok()) {
        result.error = read.error;
        return result;
    }
    QString text;
    if (isRichText(bytes)) {
        // A document of its own on this thread: no layout, no window.
        QTextDocument doc;
        readRichText(bytes, doc);
        text = soft_breaks::plainText(doc);
    } else {
        text = text::decodeDetected(bytes).text();
    }
    bytes = QByteArray();
    result.hits = hitsIn(text, searcher, hitLimit, &result.matches);
    return result;
}

} // namespace

void run(const QStringList& paths, const search::Searcher& searcher, int threads, const std::atomic<bool>& cancel,
         const std::function<void(const Result&)>& report, qsizetype hitLimit) {
    const int count = int(paths.size());
    std::vector<Result> done(static_cast<size_t>(count));
    std::vector<bool> finished(static_cast<size_t>(count), false);
    std::mutex lock;
    int next = 0;      // the next document to take
    int reported = 0;  // documents reported so far, in order
    const auto work = [&] {
        for (;;) {
            int mine;
            {
                const std::lock_guard<std::mutex> hold(lock);
                if (cancel.load() || next == count) return;
                mine = next++;
            }
            Result r = searchOne(paths[mine], searcher, hitLimit);
            r.document = mine;
            // Reported in order, under the lock, by whoever completes the
            // run of finished documents.
            const std::lock_guard<std::mutex> hold(lock);
            done[size_t(mine)] = std::move(r);
            finished[size_t(mine)] = true;
            while (reported < count && finished[size_t(reported)] && !cancel.load()) {
                report(done[size_t(reported)]);
                done[size_t(reported)] = Result();
                ++reported;
            }
        }
    };
    std::vector<std::thread> workers;
    for (int i = 1; i < std::max(1, threads); ++i) workers.emplace_back(work);
    work();
    for (std::thread& t : workers) t.join();
}

} // namespace tess::document_search
