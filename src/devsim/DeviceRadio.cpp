#include "devsim/DeviceRadio.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

bool parseStation(const QString& text, basConv::Mac& id)
{
    int convError = 0;
    basConv::ParseMAC(text.toLatin1(), id, convError);
    return convError == 0;
}

bool parseShare(const QString& text, double& share)
{
    bool ok = false;
    share = text.toDouble(&ok);
    return ok && share >= 0.0 && share <= 1.0;
}

const char DefaultStations[] =
    "self 00:80:45:01:00:00\n"
    "00:80:45:01:00:01\n"
    "00:80:45:01:00:02 via 00:80:45:01:00:01\n"
    "00:80:45:01:00:03 via 00:80:45:01:00:02\n"
    "00:80:45:01:00:11\n"
    "00:80:45:01:00:12 via 00:80:45:01:00:11\n";

}  // namespace

const RadioStation* RadioTopology::find(const basConv::Mac& id) const
{
    for (const RadioStation& s : stations)
        if (s.id == id) return &s;
    return nullptr;
}

bool RadioTopology::Parse(const QByteArray& text, RadioTopology& topology, QString& error)
{
    RadioTopology t;
    const QList<QByteArray> lines = text.split('\n');
    for (int n = 0; n < lines.size(); ++n) {
        QString line = QString::fromLatin1(lines[n]);
        const int hash = line.indexOf('#');
        if (hash >= 0) line.truncate(hash);
        const QStringList words = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (words.isEmpty()) continue;
        auto fail = [&](const QString& why) {
            error = QStringLiteral("line %1: %2").arg(n + 1).arg(why);
            return false;
        };
        if (words[0] == QLatin1String("self")) {
            if (words.size() != 2 || !parseStation(words[1], t.self)) return fail(QStringLiteral("self needs one station ID"));
            if (t.find(t.self)) return fail(QStringLiteral("self is also a remote station"));
            continue;
        }
        RadioStation s;
        if (!parseStation(words[0], s.id)) return fail(QStringLiteral("invalid station ID '%1'").arg(words[0]));
        if (t.find(s.id) || s.id == t.self) return fail(QStringLiteral("station %1 given twice").arg(words[0]));
        for (int i = 1; i < words.size(); i += 2) {
            const QString& key = words[i];
            if (i + 1 >= words.size()) return fail(QStringLiteral("'%1' needs a value").arg(key));
            const QString& value = words[i + 1];
            if (key == QLatin1String("via")) {
                basConv::Mac parent{};
                if (!parseStation(value, parent)) return fail(QStringLiteral("invalid station ID '%1'").arg(value));
                const RadioStation* p = t.find(parent);
                if (!p) return fail(QStringLiteral("via %1: not a station of an earlier line").arg(value));
                s.via = p->via;
                s.via.append(p->id);
            } else if (key == QLatin1String("loss")) {
                if (!parseShare(value, s.lossRate)) return fail(QStringLiteral("invalid loss '%1'").arg(value));
            } else if (key == QLatin1String("duplicate")) {
                if (!parseShare(value, s.duplicateRate)) return fail(QStringLiteral("invalid duplicate '%1'").arg(value));
            } else if (key == QLatin1String("delay")) {
                bool ok = false;
                s.delayMs = value.toInt(&ok);
                if (!ok || s.delayMs < 0 || s.delayMs > 600000) return fail(QStringLiteral("invalid delay '%1'").arg(value));
            } else {
                return fail(QStringLiteral("unknown word '%1'").arg(key));
            }
        }
        t.stations.append(s);
    }
    topology = t;
    return true;
}

RadioTopology RadioTopology::Default()
{
    RadioTopology t;
    QString error;
    Parse(QByteArray(DefaultStations), t, error);
    return t;
}

RCMPPacket RadioReply(const RadioTopology& topology, const RCMPPacket& request)
{
    RCMPPacket reply;
    reply.PacketID = request.PacketID;
    reply.SeqNo = request.SeqNo;
    reply.TimeStamp = request.TimeStamp;
    reply.TTL = request.TTL;
    if (request.StationID == topology.self) {
        reply.Result = basRCMP::ResultAnswered;
        reply.StationID = topology.self;
        return reply;
    }
    const RadioStation* dest = topology.find(request.StationID);
    if (!dest) {
        reply.Result = basRCMP::ResultUnreachable;
        reply.StationID = topology.self;
        return reply;
    }
    // The station at index i of the route is reached with TTL - i left.
    const int last = dest->hops() - 1;
    if (request.TTL < 0 || request.TTL >= last) {
        reply.Result = basRCMP::ResultAnswered;
        reply.StationID = dest->id;
        if (request.TTL >= 0) reply.TTL = qint16(request.TTL - last);
        return reply;
    }
    reply.Result = basRCMP::ResultTimeExceeded;
    reply.StationID = dest->via[request.TTL];
    reply.TTL = 0;
    return reply;
}
