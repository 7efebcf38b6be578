#include "groupdocuments.h"

#include "listentry.h"

namespace tess::group_documents {

namespace {

Document resolved(const QString& entry, bool history, const QString& group, const GroupRegistry& registry) {
    Document d;
    d.entry = entry;
    const ResolvedEntry r = ResolveListEntry(entry, history, group, registry);
    if (r.status == ResolvedEntry::Status::Path) d.path = r.path;
    d.group = history ? (d.path.isEmpty() ? QString() : groupOfOpenedFile(d.path, registry)) : group;
    return d;
}

struct Named {
    Scope scope;
    const char* value;
};
constexpr Named kNames[] = {
    {Scope::CurrentGroup, "CurrentGroup"},
    {Scope::ChosenGroup, "ChosenGroup"},
    {Scope::AllGroups, "AllGroups"},
    {Scope::History, "History"},
};

} // namespace

std::optional<QList<Document>> ofGroup(const GroupRegistry& registry, const QString& group) {
    if (group.isEmpty() || registry.columnOf(group) < 0) return std::nullopt;
    QList<Document> out;
    // The file list's group mode lists exactly these cells.
    for (const QString& entry : registry.filesOf(group)) out << resolved(entry, false, group, registry);
    return out;
}

QList<Document> ofAllGroups(const GroupRegistry& registry) {
    QList<Document> out;
    for (const QString& group : registry.groupList())
        if (const auto docs = ofGroup(registry, group)) out << *docs;
    return out;
}

QList<Document> ofHistory(const FileHistory& history, const GroupRegistry& registry) {
    QList<Document> out;
    for (const QString& entry : history.entries()) out << resolved(entry, true, QString(), registry);
    return out;
}

QString toSetting(Scope scope) {
    for (const Named& n : kNames)
        if (n.scope == scope) return QString::fromLatin1(n.value);
    return QString();
}

std::optional<Scope> fromSetting(const QString& value) {
    for (const Named& n : kNames)
        if (value == QLatin1String(n.value)) return n.scope;
    return std::nullopt;
}

} // namespace tess::group_documents
