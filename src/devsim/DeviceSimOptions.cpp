#include "devsim/DeviceSimOptions.h"

#include "config/ConfigConversion.h"
#include "config/RecordSinks.h"
#include "link/basConv.h"
#include "shell/LocalInput.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// The simulator's input files are small texts: anything larger is a mistake, never read whole.
constexpr qint64 InputFileMax = 1024 * 1024;

bool readCapped(const QString& option, const QString& path, QByteArray& text, QString& error)
{
    QString why;
    if (!ReadRegularFile(path, InputFileMax + 1, text, &why)) {
        error = QStringLiteral("%1 %2: %3").arg(option, path, why);
        return false;
    }
    if (text.size() <= InputFileMax) return true;
    error = QStringLiteral("%1 %2: larger than %3 bytes").arg(option, path).arg(InputFileMax);
    return false;
}

// The device starts configured: the file is converted as Apply would, into one image.
bool EncodeStartConfiguration(const QString& path, QByteArray& image, QString& error)
{
    QByteArray text;
    if (!readCapped(QStringLiteral("--config"), path, text, error)) return false;
    config::ImageSink sink;
    const config::ConversionResult result = config::ConvertConfigBytes(text, sink);
    if (result.status != 0) {
        error = QStringLiteral("--config %1: %2").arg(path, config::ShownText(config::ConversionResultText(result)));
        return false;
    }
    image = sink.image();
    return true;
}

// The remote stations: one a line, as README.md describes.
bool ReadStationsFile(const QString& path, RadioTopology& topology, QString& error)
{
    QByteArray text;
    if (!readCapped(QStringLiteral("--stations"), path, text, error)) return false;
    QString why;
    if (!RadioTopology::Parse(text, topology, why)) {
        error = QStringLiteral("--stations %1: %2").arg(path, why);
        return false;
    }
    return true;
}

bool readShare(const QString& text, double& share)
{
    bool ok = false;
    share = text.toDouble(&ok);
    return ok && share >= 0.0 && share <= 1.0;
}
bool readUInt(const QString& text, quint32 max, quint32& value)
{
    bool ok = false;
    value = text.toUInt(&ok);
    return ok && value <= max;
}

// The tools' own address parser: QHostAddress would take "1.2.3" as 1.2.0.3.
bool readAddress(const QString& text, quint32& ip)
{
    int convError = 0;
    ip = quint32(basConv::ParseIPv4(text, convError));
    return convError == 0;
}

// What the command line says beyond one device's options.
struct FleetParts {
    QList<QHostAddress> addresses;
    struct Refusal {
        int code, status;
        QList<QHostAddress> only;
    };
    QList<Refusal> refuseAt;
    QString configDir;
};

bool parseOptions(const QStringList& arguments, DeviceSim::Options& o, FleetParts& fleet, bool& verbose, QString& error)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("A substitute Quillon device for the maintenance tools."));
    p.addHelpOption();
    const QCommandLineOption address(QStringLiteral("address"), QStringLiteral("Address to bind, or many: A-B, A..B, A,B,... one device each (default 127.0.0.2)."), QStringLiteral("IP"), QStringLiteral("127.0.0.2"));
    const QCommandLineOption uifPort(QStringLiteral("uif-port"), QStringLiteral("UIF port (default 8649)."), QStringLiteral("N"), QStringLiteral("8649"));
    const QCommandLineOption rcmpPort(QStringLiteral("rcmp-port"), QStringLiteral("RCMP port (default 8650)."), QStringLiteral("N"), QStringLiteral("8650"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed of the fault generator."), QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption drop(QStringLiteral("drop"), QStringLiteral("Share of requests left unanswered (0..1)."), QStringLiteral("SHARE"));
    const QCommandLineOption dup(QStringLiteral("duplicate"), QStringLiteral("Share of replies sent twice (0..1)."), QStringLiteral("SHARE"));
    const QCommandLineOption delay(QStringLiteral("delay"), QStringLiteral("Delay of every reply in ms."), QStringLiteral("MS"));
    const QCommandLineOption stale(QStringLiteral("stale"), QStringLiteral("Answer with a stale Ident first."));
    const QCommandLineOption mute(QStringLiteral("mute"), QStringLiteral("Answer nothing."));
    const QCommandLineOption refuse(QStringLiteral("refuse"), QStringLiteral("Answer command CODE with STATUS (repeatable); @ADDRESSES: on those devices only."), QStringLiteral("CODE=STATUS[@ADDRESSES]"));
    const QCommandLineOption rReorder(QStringLiteral("rcmp-reorder"), QStringLiteral("Share of the radio stations' RCMP answers sent after the next one (0..1)."), QStringLiteral("SHARE"));
    const QCommandLineOption verb(QStringLiteral("v"), QStringLiteral("Print one line per datagram."));
    const QCommandLineOption tDrop(QStringLiteral("tftp-drop"), QStringLiteral("Share of its TFTP packets never sent (0..1)."), QStringLiteral("SHARE"));
    const QCommandLineOption tDup(QStringLiteral("tftp-duplicate"), QStringLiteral("Share of its TFTP packets sent twice (0..1)."), QStringLiteral("SHARE"));
    const QCommandLineOption tReorder(QStringLiteral("tftp-reorder"), QStringLiteral("Share of its TFTP packets sent after the next one (0..1)."), QStringLiteral("SHARE"));
    const QCommandLineOption tDelay(QStringLiteral("tftp-delay"), QStringLiteral("Delay of every TFTP packet in ms."), QStringLiteral("MS"));
    const QCommandLineOption tNever(QStringLiteral("tftp-never-open"), QStringLiteral("Accept TFTP starts but never open the transfer."));
    const QCommandLineOption tReversed(QStringLiteral("tftp-reversed"), QStringLiteral("Send a write request where a read request is due, and the other way."));
    const QCommandLineOption tName(QStringLiteral("tftp-ask-name"), QStringLiteral("Request this file name instead of the one given."), QStringLiteral("NAME"));
    const QCommandLineOption tError(QStringLiteral("tftp-error-at"), QStringLiteral("Send ERROR CODE instead of the packet of block BLOCK."), QStringLiteral("BLOCK=CODE"));
    const QCommandLineOption tImage(QStringLiteral("tftp-image"), QStringLiteral("The configuration image sent: whole (default), short (1000 bytes) or garbled (record 0 scrambled)."), QStringLiteral("KIND"));
    const QCommandLineOption tTimeout(QStringLiteral("tftp-timeout"), QStringLiteral("TFTP client's wait for an answer in ms (default 1000)."), QStringLiteral("MS"));
    const QCommandLineOption tRetries(QStringLiteral("tftp-retries"), QStringLiteral("TFTP client's resends before it gives up (default 5)."), QStringLiteral("N"));
    const QCommandLineOption config(QStringLiteral("config"), QStringLiteral("Start with this configuration file in ROM, RAM and the running store; a folder: ADDRESS.conf from it for each device that has one."), QStringLiteral("FILE|DIR"));
    p.addOption(config);
    const QCommandLineOption stations(QStringLiteral("stations"), QStringLiteral("The remote radio stations, one a line (default: five, up to three hops away)."), QStringLiteral("FILE"));
    p.addOption(stations);
    const QCommandLineOption emptyTables(QStringLiteral("empty"), QStringLiteral("Start with these tables empty, comma-separated: %1.").arg(DeviceTables::EmptyNames().join(QStringLiteral(", "))), QStringLiteral("LIST"));
    const QCommandLineOption unsupported(QStringLiteral("unsupported"), QStringLiteral("Answer these command codes, comma-separated, with status 11 (not supported)."), QStringLiteral("CODES"));
    const QCommandLineOption versionText(QStringLiteral("version-text"), QStringLiteral("Firmware version text, at most 16 bytes (default 3.2.1)."), QStringLiteral("TEXT"));
    const QCommandLineOption uptime(QStringLiteral("uptime"), QStringLiteral("Seconds the device has been up at start (default 0)."), QStringLiteral("SECONDS"));
    p.addOptions(XferStreamCommandLineOptions());
    p.addOptions({address, uifPort, rcmpPort, seed, drop, dup, delay, stale, mute, refuse, rReorder, verb,
                  tDrop, tDup, tReorder, tDelay, tNever, tReversed, tName, tError, tImage, tTimeout, tRetries});
    const QCommandLineOption eth0Self(QStringLiteral("eth0-self"), QStringLiteral("eth0 has the device's own address, so its configuration names the address the tools talk to."));
    const QCommandLineOption alterCopy(QStringLiteral("alter-copy"), QStringLiteral("The first N copies into the running configuration change its last record."), QStringLiteral("N"));
    const QCommandLineOption refuseCopyAfter(QStringLiteral("refuse-copy-after"), QStringLiteral("Refuse (status 8) the copies into the running configuration after the first N."), QStringLiteral("N"));
    const QCommandLineOption muteAfterCopy(QStringLiteral("mute-after-copy"), QStringLiteral("After the first copy into the running configuration answer nothing; restart from ROM after SECONDS (0: never)."), QStringLiteral("SECONDS"));
    p.addOptions({emptyTables, unsupported, versionText, uptime, eth0Self, alterCopy, refuseCopyAfter, muteAfterCopy});
    if (!p.parse(arguments)) {
        error = p.errorText();
        return false;
    }
    if (p.isSet(QStringLiteral("help"))) {
        error = p.helpText();
        return false;
    }
    if (!p.positionalArguments().isEmpty())
        return error = QStringLiteral("unexpected argument '%1'").arg(p.positionalArguments().first()), false;
    if (!ParseAddressList(p.value(address), fleet.addresses, error)) return false;
    o.address = fleet.addresses.first();
    quint32 v = 0;
    if (!readUInt(p.value(uifPort), 65535, v)) return error = QStringLiteral("Invalid --uif-port"), false;
    o.uifPort = quint16(v);
    if (!readUInt(p.value(rcmpPort), 65535, v)) return error = QStringLiteral("Invalid --rcmp-port"), false;
    o.rcmpPort = quint16(v);
    if (!readUInt(p.value(seed), 0xFFFFFFFFu, o.seed)) return error = QStringLiteral("Invalid --seed"), false;
    if (p.isSet(drop) && !readShare(p.value(drop), o.faults.dropRate)) return error = QStringLiteral("Invalid --drop"), false;
    if (p.isSet(dup) && !readShare(p.value(dup), o.faults.duplicateRate)) return error = QStringLiteral("Invalid --duplicate"), false;
    if (p.isSet(delay)) {
        if (!readUInt(p.value(delay), 600000, v)) return error = QStringLiteral("Invalid --delay"), false;
        o.faults.delayMs = int(v);
    }
    if (p.isSet(rReorder) && !readShare(p.value(rReorder), o.faults.rcmpReorderRate)) return error = QStringLiteral("Invalid --rcmp-reorder"), false;
    o.faults.staleFirst = p.isSet(stale);
    o.faults.mute = p.isSet(mute);
    for (const QString& r : p.values(refuse)) {
        const int at = r.indexOf(QLatin1Char('@'));
        const QStringList kv = r.left(at).split('=');
        bool ok1 = false, ok2 = false;
        const int code = kv.value(0).toInt(&ok1);
        const int status = kv.value(1).toInt(&ok2);
        if (kv.size() != 2 || !ok1 || !ok2) return error = QStringLiteral("Invalid --refuse '%1'").arg(r), false;
        if (at < 0) {
            o.faults.refuse.insert(code, status);
            continue;
        }
        FleetParts::Refusal one{code, status, {}};
        if (!ParseAddressList(r.mid(at + 1), one.only, error)) return error = QStringLiteral("Invalid --refuse '%1'").arg(r), false;
        fleet.refuseAt << one;
    }
    for (const QString& name : p.values(emptyTables).join(',').split(',', Qt::SkipEmptyParts))
        if (!o.tables.empty(name.trimmed())) return error = QStringLiteral("Invalid --empty '%1'").arg(name), false;
    for (const QString& code : p.values(unsupported).join(',').split(',', Qt::SkipEmptyParts)) {
        if (!readUInt(code.trimmed(), 32767, v)) return error = QStringLiteral("Invalid --unsupported '%1'").arg(code), false;
        if (!o.faults.refuse.contains(int(v))) o.faults.refuse.insert(int(v), 11);  // --refuse has the last word
    }
    if (p.isSet(versionText)) {
        const QString text = p.value(versionText);
        o.tables.firmwareVersion = text.toLatin1();
        if (o.tables.firmwareVersion.size() > 16 || QString::fromLatin1(o.tables.firmwareVersion) != text)
            return error = QStringLiteral("Invalid --version-text '%1'").arg(text), false;
    }
    if (p.isSet(uptime) && !readUInt(p.value(uptime), 0xFFFFFFFFu, o.tables.uptimeBase))
        return error = QStringLiteral("Invalid --uptime"), false;
    o.eth0Self = p.isSet(eth0Self);
    if (p.isSet(alterCopy)) {
        if (!readUInt(p.value(alterCopy), 1000000, v)) return error = QStringLiteral("Invalid --alter-copy"), false;
        o.faults.alterRunningCopies = int(v);
    }
    if (p.isSet(refuseCopyAfter)) {
        if (!readUInt(p.value(refuseCopyAfter), 1000000, v)) return error = QStringLiteral("Invalid --refuse-copy-after"), false;
        o.faults.refuseRunningCopiesAfter = int(v);
    }
    if (p.isSet(muteAfterCopy)) {
        if (!readUInt(p.value(muteAfterCopy), 86400, v)) return error = QStringLiteral("Invalid --mute-after-copy"), false;
        o.faults.muteAfterRunningCopyMs = int(v) * 1000;
    }
    if (p.isSet(tDrop) && !readShare(p.value(tDrop), o.faults.tftpDropRate)) return error = QStringLiteral("Invalid --tftp-drop"), false;
    if (p.isSet(tDup) && !readShare(p.value(tDup), o.faults.tftpDuplicateRate)) return error = QStringLiteral("Invalid --tftp-duplicate"), false;
    if (p.isSet(tReorder) && !readShare(p.value(tReorder), o.faults.tftpReorderRate)) return error = QStringLiteral("Invalid --tftp-reorder"), false;
    if (p.isSet(tDelay)) {
        if (!readUInt(p.value(tDelay), 600000, v)) return error = QStringLiteral("Invalid --tftp-delay"), false;
        o.faults.tftpDelayMs = int(v);
    }
    o.faults.tftpNeverOpen = p.isSet(tNever);
    o.faults.tftpReversed = p.isSet(tReversed);
    if (p.isSet(tName)) {
        o.faults.tftpAskName = p.value(tName).toUtf8();
        if (o.faults.tftpAskName.isEmpty()) return error = QStringLiteral("Invalid --tftp-ask-name"), false;
    }
    if (p.isSet(tError)) {
        const QStringList kv = p.value(tError).split('=');
        quint32 block = 0, code = 0;
        if (kv.size() != 2 || !readUInt(kv[0], 65535, block) || block == 0 || !readUInt(kv[1], 65535, code))
            return error = QStringLiteral("Invalid --tftp-error-at '%1'").arg(p.value(tError)), false;
        o.faults.tftpErrorAtBlock = int(block);
        o.faults.tftpErrorCode = int(code);
    }
    if (p.isSet(tImage)) {
        const QStringList kinds{QStringLiteral("whole"), QStringLiteral("short"), QStringLiteral("garbled")};
        const int kind = kinds.indexOf(p.value(tImage));
        if (kind < 0) return error = QStringLiteral("Invalid --tftp-image '%1'").arg(p.value(tImage)), false;
        o.faults.tftpSentImage = DeviceFaults::SentImage(kind);
    }
    if (p.isSet(tTimeout)) {
        if (!readUInt(p.value(tTimeout), 600000, v) || v == 0) return error = QStringLiteral("Invalid --tftp-timeout"), false;
        o.faults.tftpTimeoutMs = int(v);
    }
    if (p.isSet(tRetries)) {
        if (!readUInt(p.value(tRetries), 1000, v)) return error = QStringLiteral("Invalid --tftp-retries"), false;
        o.faults.tftpRetries = int(v);
    }
    o.xfer.seed = o.seed;
    if (!ReadXferStreamOptions(p, o.xfer, error)) return false;
    if (p.isSet(config) && QFileInfo(p.value(config)).isDir())
        fleet.configDir = p.value(config);
    else if (p.isSet(config) && !EncodeStartConfiguration(p.value(config), o.initialImage, error))
        return false;
    if (p.isSet(stations) && !ReadStationsFile(p.value(stations), o.radio, error)) return false;
    verbose = p.isSet(verb);
    return true;
}

}  // namespace

bool ParseAddressList(const QString& text, QList<QHostAddress>& addresses, QString& error)
{
    constexpr int MaxDevices = 1024;
    addresses.clear();
    for (const QString& part : text.split(QLatin1Char(','))) {
        const bool dots = part.contains(QLatin1String(".."));
        const QStringList ends = dots ? part.split(QStringLiteral("..")) : part.split(QLatin1Char('-'));
        quint32 first = 0, last = 0;
        bool ok = ends.size() <= 2 && readAddress(ends.first(), first);
        if (ok && ends.size() == 2) {
            quint32 octet = 0;
            // "A-50" ends in the same /24 as A.
            if (!dots && readUInt(ends[1], 255, octet) && !ends[1].contains(QLatin1Char('.')))
                last = (first & 0xFFFFFF00u) | octet;
            else
                ok = readAddress(ends[1], last);
        } else {
            last = first;
        }
        if (!ok || last < first || addresses.size() + qint64(last - first) >= MaxDevices) {
            error = QStringLiteral("Invalid address '%1'").arg(part);
            addresses.clear();
            return false;
        }
        for (quint32 ip = first; ip <= last && ip >= first; ++ip) addresses << QHostAddress(ip);
    }
    return true;
}

bool ParseDeviceSimFleet(const QStringList& arguments, QList<DeviceSim::Options>& devices, bool& verbose, QString& error)
{
    DeviceSim::Options base;
    FleetParts fleet;
    if (!parseOptions(arguments, base, fleet, verbose, error)) return false;
    devices.clear();
    for (int i = 0; i < fleet.addresses.size(); ++i) {
        DeviceSim::Options o = base;
        o.address = fleet.addresses[i];
        o.seed = base.seed + quint32(i);
        o.xfer.seed = o.seed;
        for (const FleetParts::Refusal& r : fleet.refuseAt)
            if (r.only.contains(o.address)) o.faults.refuse.insert(r.code, r.status);  // the device's own has the last word
        if (!fleet.configDir.isEmpty()) {
            const QString path = QDir(fleet.configDir).filePath(o.address.toString() + QStringLiteral(".conf"));
            if (QFileInfo::exists(path) && !EncodeStartConfiguration(path, o.initialImage, error)) return false;
        }
        devices << o;
    }
    return true;
}

bool ParseDeviceSimOptions(const QStringList& arguments, DeviceSim::Options& o, bool& verbose, QString& error)
{
    QList<DeviceSim::Options> devices;
    if (!ParseDeviceSimFleet(arguments, devices, verbose, error)) return false;
    o = devices.first();
    return true;
}
