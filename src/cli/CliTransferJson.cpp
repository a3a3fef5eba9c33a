#include "cli/CliTransferJson.h"

#include "config/DiffFlow.h"
#include "config/RecordWalk.h"
#include "config/SafeApplyFlow.h"

#include <QJsonArray>

QJsonObject ReceiveDocument(const QString& device, const QString& store, const QStringList& lines, const QByteArray& image)
{
    QJsonArray records;
    for (const config::WalkedRecord& r : config::WalkImage(image))
        records.append(QJsonObject{{"index", r.index}, {"code", r.code}, {"lines", QJsonArray::fromStringList(r.lines)}});
    return QJsonObject{{"device", device},
                       {"store", store},
                       {"lines", QJsonArray::fromStringList(lines)},
                       {"records", records}};
}

QJsonObject DiffDocument(const QString& device, const QString& against, const QString& file, const config::DiffResult& r)
{
    // The diff's text: "---", "+++", then each hunk from its "@@" line.
    QJsonArray hunks;
    QJsonObject hunk;
    QStringList body;
    const auto close = [&] {
        if (hunk.isEmpty()) return;
        hunk.insert("lines", QJsonArray::fromStringList(body));
        hunks.append(hunk);
        hunk = QJsonObject();
        body.clear();
    };
    for (const QString& line : r.diff) {
        if (line.startsWith(QLatin1String("@@"))) {
            close();
            hunk.insert("header", line);
        } else if (!hunk.isEmpty()) {
            body << line;
        }
    }
    close();
    return QJsonObject{{"changed", r.status == config::DiffResult::Different},
                       {"device", device},
                       {"against", against},
                       {"file", file},
                       {"records", r.records},
                       {"differing_records", r.differing},
                       {"hunks", hunks}};
}

QJsonObject SafeApplyDocument(const QString& device, const QString& file, bool checkOnly, const config::SafeApplyResult& r)
{
    const auto textOrNull = [](const QString& text) { return text.isEmpty() ? QJsonValue() : QJsonValue(text); };
    return QJsonObject{{"device", device},
                       {"changed", checkOnly ? r.changed : r.applied && !r.rolledBack},
                       {"applied", r.applied},
                       {"verified", r.verified},
                       {"rolled_back", r.rolledBack},
                       {"saved", r.saved},
                       {"backup", textOrNull(r.backup)},
                       {"diff", r.compared ? QJsonValue(DiffDocument(device, QStringLiteral("running"), file, r.diff)) : QJsonValue()},
                       {"error", textOrNull(r.error)}};
}
