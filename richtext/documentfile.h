#pragma once
// Document files.  Reading: rich text (RTF) when the content is rich text,
// otherwise again from the start as Shift-JIS plain text.  Writing: rich text
// when the path's last three characters are "RTF" (letter case per the path
// style), otherwise Shift-JIS plain text with CR LF.  Writes are atomic.

#include "core/atomicfile.h"
#include "core/cp932.h"
#include "core/pathstyle.h"
#include "core/textencoding.h"
#include "richtext.h"

#include <QList>
#include <QString>

#include <optional>

class QTextDocument;

namespace tess {

// The largest document file the program opens: a larger one is refused with
// its size and this limit, before any of it is read.
constexpr qint64 kMaxDocumentBytes = qint64(512) * 1024 * 1024;

struct LoadResult {
    enum class Status {
        Ok,
        // Missing, unreadable, not a regular file (a pipe, a device, a
        // folder) or over the size limit; `error` names it and says why.
        CannotOpen,
    };
    Status status = Status::CannotOpen;
    bool missing = false;   // CannotOpen because there is no such file
    bool richText = false;  // the content was read as rich text
    text::Format format;    // plain text: its encoding and line ends
    qsizetype invalid = 0;  // plain text: byte sequences not valid in its encoding, kept as they are
    QString error;
    bool ok() const { return status == Status::Ok; }
};

// Loads the file into `into`, which the caller passes fresh (empty): on
// failure the caller simply discards it, so its own document is never touched.
LoadResult LoadDocument(const QString& path, QTextDocument& into);

// The two steps of a load, for a caller that wants the document in place
// before it is filled: reading the bytes is the only step that can fail;
// filling a fresh (empty) document from them never does, and releases the
// bytes as soon as they are decoded; it sets `result.richText` and, for plain
// text, `result.format` (in `encoding` when given, else the one detected).
// `limit` is the largest file read.  A document shown while it is filled
// can take a large plain-text file in parts (see readPlainText).
LoadResult readDocumentBytes(const QString& path, QByteArray& bytes, qint64 limit = kMaxDocumentBytes);
void fillDocument(QByteArray&& bytes, QTextDocument& into, LoadResult& result,
                  std::optional<text::Encoding> encoding = std::nullopt, TextFill how = TextFill::AtOnce);

struct WriteResult {
    enum class Status {
        Ok,
        Unencodable,   // plain text with characters its encoding cannot hold; nothing written
        CannotCreate,  // the file cannot be created there (missing folder, invalid name)
        Failed,        // created, but writing or replacing failed; the old file is intact
    };
    Status status = Status::Failed;
    QList<cp932::Unencodable> unencodable;  // for Unencodable
    QString error;                          // for CannotCreate and Failed: the reason, naming the path
    bool ok() const { return status == Status::Ok; }
};

enum class LossPolicy { Refuse, Replace };

// Writes the document to `path` in the format the path selects.  Plain text
// that CP932 cannot hold (no-break spaces included) is refused
// (LossPolicy::Refuse) or written with '?' in place of each lost character,
// a blank for a no-break space (LossPolicy::Replace).  Line breaks within a
// paragraph are written as line ends, like paragraph ends.
// Plain text goes out in `format`: Shift-JIS with CR LF unless the document
// came from a file in another encoding; the lines of such a file that were
// not edited go out as the bytes they were read from.
WriteResult WriteDocument(const QString& path, const QTextDocument& document,
                          const PathStyle& style, LossPolicy policy = LossPolicy::Refuse,
                          text::Format format = {});

enum class DocumentFormat { PlainText, RichText };

// Writes the document in the given format whatever the path: for files whose
// name does not choose the format (quick-save and clip-save files hold rich
// text under names without an extension).
WriteResult WriteDocumentAs(const QString& path, const QTextDocument& document,
                            DocumentFormat format, LossPolicy policy = LossPolicy::Refuse,
                            text::Format textFormat = {}, FileUse use = FileUse::Document);

} // namespace tess
