#pragma once
// What Apply would change: the file converted as Apply converts it (nothing is sent), the
// device's configuration received, both compared record by record and shown as a unified diff
// of their lines.
#include <QString>
#include <QStringList>

class SetupSession;

namespace config {

struct DiffResult {
    enum Status { Identical = 0, Different = 1, Failed = 2 };
    Status status = Failed;
    QStringList diff;  // "--- device running", "+++ FILE", the hunks; empty when identical
    int records = 0;   // slots holding a record in either image
    int differing = 0;
    QStringList unknownRecords;  // UnknownRecordNotes of the device's image: compared as bytes only
};

// index: the store compared against (0 ROM, 1 running), as the receive buttons name them.
// The device's image against the file's, record by record, with the unified diff of their lines
// when they differ (`deviceName` heads the device's side: "device running").
DiffResult CompareWithDevice(const QByteArray& device, const QByteArray& wanted, const QString& deviceName, const QString& path);
DiffResult RunConfigDiff(SetupSession& s, const QString& addressText, const QString& path, int index);

}  // namespace config
