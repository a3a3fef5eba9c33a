#pragma once
// The JSON documents of `qln receive --json`, `qln diff --json` and `qln apply --safe --json`.
#include <QByteArray>
#include <QJsonObject>
#include <QStringList>

namespace config {
struct DiffResult;
struct SafeApplyResult;
}

// {"device", "store", "lines", "records": [{"index", "code", "lines"}]}
QJsonObject ReceiveDocument(const QString& device, const QString& store, const QStringList& lines, const QByteArray& image);

// {"changed", "device", "against", "file", "records", "differing_records", "hunks": [{"header", "lines"}]}
QJsonObject DiffDocument(const QString& device, const QString& against, const QString& file, const config::DiffResult& r);

// {"device", "changed", "applied", "verified", "rolled_back", "saved", "backup", "diff", "error"}:
// "changed" the device's configuration changed (with `checkOnly`: would change); "backup" the
// text file written or null; "diff" the diff document against the running configuration, or null
// when none was received; "error" null or one line.
QJsonObject SafeApplyDocument(const QString& device, const QString& file, bool checkOnly, const config::SafeApplyResult& r);
