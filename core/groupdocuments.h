#pragma once
// Which documents a search through a group's documents reads: the files a
// group lists (as the file list shows them in group mode), every group's, or
// the file history's, each resolved to its file as an open from the list
// resolves it.

#include "filehistory.h"
#include "groupregistry.h"

#include <QList>
#include <QString>

#include <optional>

namespace tess::group_documents {

enum class Scope {
    CurrentGroup,  // the group the document was opened under
    ChosenGroup,   // a registered group the user picks
    AllGroups,     // every registered group, in the group list's order
    History,       // the file history, newest first
};

struct Document {
    QString entry;  // as the list shows it
    QString group;  // the group it is listed under; for the history, its own group (may be empty)
    QString path;   // its file; empty when the entry would reach outside its folder
};

// A group's documents; nullopt when `group` is not registered.
std::optional<QList<Document>> ofGroup(const GroupRegistry& registry, const QString& group);
// Every registered group's documents, group after group.
QList<Document> ofAllGroups(const GroupRegistry& registry);
// The history's documents, with the group each would open under.
QList<Document> ofHistory(const FileHistory& history, const GroupRegistry& registry);

// The scope as the settings file keeps it, and back (nullopt for a value
// that names none).
QString toSetting(Scope scope);
std::optional<Scope> fromSetting(const QString& value);

} // namespace tess::group_documents
