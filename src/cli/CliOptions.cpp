#include "cli/CliOptions.h"

#include <QHash>

namespace {
// What every command that talks to a device takes: the address, the link's ports, the log
// (--overwrite truncates it, and answers the commands' own overwrite questions). QLN_Set's
// commands all run on a session with its TFTP server, so a script may give them all its port.
const QString Device = QStringLiteral("device device-port local-port log overwrite ");
const QString Set = Device + QStringLiteral("tftp-port ");

const QHash<QString, QStringList>& Taken()
{
    static const QHash<QString, QStringList> table = [] {
        const QHash<QString, QString> extra{
            {"apply", "verify safe check save allow-address-change backup strict json"},
            {"receive", "output json strict"},
            {"diff", "against json strict"},
            {"interactive", ""},
            {"save", ""},
            {"echo", ""},
            {"check", "output json"},
            {"fw-update", ""},
            {"fw-read", ""},
            {"config-write", ""},
            {"config-read", ""},
            {"version", "json"},
            {"ping", "count packet-id json"},
            {"traceroute", "packet-id json"},
            // No --json: the transfer test's lines are its output.
            {"xfer", "packet-id interval limit host-ip host-port duration quiet count"},
        };
        static const QStringList rcmp{"ping", "traceroute", "xfer"};
        QHash<QString, QStringList> t;
        for (auto it = extra.begin(); it != extra.end(); ++it)
            t.insert(it.key(), ((rcmp.contains(it.key()) ? Device : Set) + it.value()).split(' ', Qt::SkipEmptyParts));
        t.insert(QStringLiteral("lint"), {"log", "overwrite", "strict"});
        t.insert(QStringLiteral("encode"), {"log", "overwrite", "output"});
        t.insert(QStringLiteral("decode"), {});
        return t;
    }();
    return table;
}
}  // namespace

QString CliOptionNotTaken(const QString& command, const QStringList& given)
{
    const auto it = Taken().find(command);
    if (it == Taken().end()) return QString();  // an unknown command is refused on its own
    for (QString name : given) {
        if (name == QLatin1String("o")) name = QStringLiteral("output");
        if (!it->contains(name)) return name;
    }
    return QString();
}
