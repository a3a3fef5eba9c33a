#pragma once
// Two configuration images compared slot by slot, as the device would execute them: the Ident
// a record was sent with is not part of what it sets.
#include <QByteArray>
#include <QList>

namespace config {

struct ImageComparison {
    int records = 0;       // slots holding a record in either image
    QList<int> differing;  // slots whose records differ
    bool identical() const { return differing.isEmpty(); }
};

// Compares the 448 slots of both images; missing bytes read as 0xFF (an erased slot), bytes
// past the last slot are not part of the configuration.
ImageComparison CompareImages(const QByteArray& expected, const QByteArray& actual);

}  // namespace config
