#include "JsonDelta.h"

#include <QJsonArray>

namespace {

// The names of a list whose every entry is an object with a name, in order;
// empty for any other list.
QStringList namesOf(const QJsonArray &list)
{
    QStringList names;
    for (const QJsonValue &v : list) {
        const QString name = v.toObject().value(QStringLiteral("name")).toString();
        if (name.isEmpty())
            return {};
        names << name;
    }
    return names;
}

} // namespace

QJsonObject JsonDelta::between(const QJsonObject &before, const QJsonObject &after)
{
    QJsonObject change;
    for (auto it = after.begin(); it != after.end(); ++it) {
        const QJsonValue was = before.value(it.key());
        const QJsonValue now = it.value();
        if (was == now)
            continue;
        if (was.isObject() && now.isObject()) {
            change.insert(it.key(), between(was.toObject(), now.toObject()));
            continue;
        }
        const QStringList names = now.isArray() ? namesOf(now.toArray()) : QStringList();
        if (!names.isEmpty() && was.isArray() && namesOf(was.toArray()) == names) {
            // The same things in the same order: only what changed of each.
            QJsonObject byName;
            const QJsonArray wasList = was.toArray();
            const QJsonArray nowList = now.toArray();
            for (qsizetype i = 0; i < nowList.size(); ++i) {
                if (wasList[i] != nowList[i])
                    byName.insert(names[i], between(wasList[i].toObject(), nowList[i].toObject()));
            }
            change.insert(it.key(), byName);
            continue;
        }
        change.insert(it.key(), now);
    }
    // What has gone (the rules' fields, once they are no longer shown).
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (!after.contains(it.key()))
            change.insert(it.key(), QJsonValue::Null);
    }
    return change;
}

void JsonDelta::merge(QJsonObject &state, const QJsonObject &change)
{
    for (auto it = change.begin(); it != change.end(); ++it) {
        if (it.value().isNull()) {
            state.remove(it.key());
            continue;
        }
        const QJsonValue was = state.value(it.key());
        if (!it.value().isObject() || !(was.isObject() || was.isArray())) {
            state.insert(it.key(), it.value());
            continue;
        }
        const QJsonObject part = it.value().toObject();
        if (was.isObject()) {
            QJsonObject merged = was.toObject();
            merge(merged, part);
            state.insert(it.key(), merged);
            continue;
        }
        QJsonArray list = was.toArray();
        for (qsizetype i = 0; i < list.size(); ++i) {
            QJsonObject entry = list[i].toObject();
            const QString name = entry.value(QStringLiteral("name")).toString();
            if (part.contains(name)) {
                merge(entry, part.value(name).toObject());
                list[i] = entry;
            }
        }
        state.insert(it.key(), list);
    }
}
