#pragma once
// The JSON documents of `qln receive --json` and `qln diff --json`.
#include <QByteArray>
#include <QJsonObject>
#include <QStringList>

namespace config {
struct DiffResult;
}

// {"device", "store", "lines", "records": [{"index", "code", "lines"}]}
QJsonObject ReceiveDocument(const QString& device, const QString& store, const QStringList& lines, const QByteArray& image);

// {"changed", "device", "against", "file", "records", "differing_records", "hunks": [{"header", "lines"}]}
QJsonObject DiffDocument(const QString& device, const QString& against, const QString& file, const config::DiffResult& r);
