#pragma once
// What applying a configuration would change: two lists of lines as the unified diff that
// `diff -u` prints for two files holding them.
#include <QString>
#include <QStringList>

namespace config {

// The diff's lines, headers "--- " + fromLabel and "+++ " + toLabel (no dates) first, then hunks
// with `context` unchanged lines around each change; empty when the lists are equal. The edit
// script is a shortest one, and among those the one GNU diff settles on.
QStringList UnifiedDiff(const QStringList& from, const QStringList& to, const QString& fromLabel,
                        const QString& toLabel, int context = 3);

}  // namespace config
