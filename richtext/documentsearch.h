#pragma once
// A search through many documents at once, each read as the editor reads
// it: plain text in whatever encoding it is in, rich text as its text.  The
// documents are read and searched on worker threads; the results come back
// in the order of the documents, and a document that cannot be read comes
// back with the reason.

#include "core/textsearch.h"

#include <QList>
#include <QString>

#include <atomic>
#include <functional>

namespace tess::document_search {

// A line longer than this is cut to about this many characters around the
// match: a document of one huge line holds many matches, and each would
// otherwise carry a copy of all of it.
constexpr qsizetype kMaxHitLine = 1000;
// Of those, at most this many before the match.
constexpr qsizetype kHitLead = 200;

struct Hit {
    qsizetype line = 0;    // the line the match starts on, from 1
    QString text;          // that line as shown; of a very long line, the part around the match
    qsizetype start = 0;   // where the match is in it
    qsizetype length = 0;  // cut at the line's end
    qsizetype position = 0;  // where the match starts in the document's text
};

struct Result {
    int document = -1;  // its index in the list searched
    QList<Hit> hits;
    qsizetype matches = 0;  // every match, also those beyond the hits kept
    QString error;      // why it could not be read; empty when it was
};

// Searches the files `paths` with `searcher` on `threads` threads (at least
// one).  `report` is called once for every document, in their order, from
// whichever thread finished it last; the search stops, without reporting
// the rest, once `cancel` is set.  Returns when every worker has stopped.
// A document keeps at most `hitLimit` hits (all when negative): a pattern
// found at nearly every character of a large file would otherwise hold a
// line for each match; the rest are only counted.
void run(const QStringList& paths, const search::Searcher& searcher, int threads, const std::atomic<bool>& cancel,
         const std::function<void(const Result&)>& report, qsizetype hitLimit = -1);

// One document's hits in `text` (lines separated by '\n'), the first
// `limit` of them when it is not negative; `matches` gets the count of all.
QList<Hit> hitsIn(const QString& text, const search::Searcher& searcher, qsizetype limit = -1,
                  qsizetype* matches = nullptr);

} // namespace tess::document_search
