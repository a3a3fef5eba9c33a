#pragma once
// The walk over a received configuration image ("work.bin") that turns it into text lines.
#include <QByteArray>
#include <QStringList>

namespace config {

// The lines of records 0 to 70, with fresh section flags. A record of an unknown code is passed
// over, unless its bytes 14-15 are 0xFF 0xFF: that is an erased slot and ends the walk. Bytes
// missing from a short image read as 0xFF; bytes past record 70 are never read.
QStringList FormatImage(const QByteArray& image);

// The same walk, record by record: where each record lies, its code and the lines it gave.
struct WalkedRecord {
    int index = 0;
    int code = 0;
    QStringList lines;
};
QList<WalkedRecord> WalkImage(const QByteArray& image);

// What makes an image no whole copy of a store, for callers that keep it as a backup: "" when it
// is the store's 28672 bytes and, with unknownIsFault, every record the walk reads before the
// erased end is one it knows; else what is wrong ("the image is 1000 bytes, not 28672",
// "record 3 has unknown code 41545").
QString ImageFault(const QByteArray& image, bool unknownIsFault = true);

// One line for each record the walk passes over because its code is unknown to this tool (a
// newer device's record, or a garbled one): "record 2 has code 78, which this tool does not
// know; left out".
QStringList UnknownRecordNotes(const QByteArray& image);

}  // namespace config
