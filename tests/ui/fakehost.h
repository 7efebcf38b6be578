#pragma once
// One fake main window for the dialog tests: the editor's document, the
// state, the registry, and the document steps the dialogs call.

#include "core/caption.h"
#include "core/editorstate.h"
#include "core/groupregistry.h"
#include "mainwindow/documenthost.h"
#include "richtext/documentfile.h"

#include <QStringList>
#include <QTextDocument>

#include <optional>

namespace tess::testing {

// Stands in for the main window: the editor's document, the state, the
// registry, and the document steps the dialog calls.
class FakeHost : public DocumentHost {
public:
    FakeHost(const QString& programFolder, PathStyle style = PathStyle::posix())
        : state_(style), registry_(style, programFolder), folder_(programFolder) {
        document.setPlainText(QStringLiteral("hello 日本語"));
        document.setModified(true);
        state_.LblUpdate = flag::kSet;
        caption = caption::kNewFile + caption::kModifiedMarker;
    }

    EditorState& state() override { return state_; }
    GroupRegistry& registry() override { return registry_; }
    QString programFolder() const override { return folder_; }

    WriteOutcome writeDocument(const QString& path, QString* error) override {
        writes << path;
        if (forced) {
            if (error) *error = QStringLiteral("forced: ") + path;
            return *forced;
        }
        const WriteResult r = WriteDocument(path, document, state_.style());
        switch (r.status) {
        case WriteResult::Status::Ok:
            return WriteOutcome::Written;
        case WriteResult::Status::Unencodable:
            return WriteOutcome::Declined;  // as if the user said No
        case WriteResult::Status::CannotCreate:
            if (error) *error = r.error;
            return WriteOutcome::CannotCreate;
        case WriteResult::Status::Failed:
            if (error) *error = r.error;
            return WriteOutcome::Failed;
        }
        return WriteOutcome::Failed;
    }
    void RirekiSet() override {
        state_.GrdR.RirekiSet(state_.LblFullName());
        caption = caption::forDocument(state_.LblGName(), state_.LblFullName(), state_.style());
        if (!state_.LblUpdate.isEmpty()) caption += caption::kModifiedMarker;
    }
    void GourpFileSet() override { groupFileSets << state_.LblGName(); }
    void MarkClean() override {
        document.setModified(false);
        state_.LblUpdate.clear();
        caption = caption::withoutMarker(caption);
    }

    QTextDocument document;
    QString caption;
    QStringList writes;
    QStringList groupFileSets;  // LblGName at each GourpFileSet
    std::optional<WriteOutcome> forced;  // answer this instead of writing

private:
    EditorState state_;
    GroupRegistry registry_;
    QString folder_;
};

} // namespace tess::testing
