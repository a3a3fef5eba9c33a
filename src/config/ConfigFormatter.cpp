#include "config/ConfigFormatter.h"

#include "check/CheckTexts.h"
#include "config/ConfigRecords.h"

#include <algorithm>
#include <initializer_list>

namespace config {

namespace {

using basConv::FormatIPv4;
using basConv::FormatMAC;
using check::ConvNetIf;
using check::FixLen;

struct Section {
    qint16 first, last;
    const char* comment;
};

// Codes 74 and 76 and the read-only 61 belong to no section.
constexpr std::array<Section, SectionFlags::Count> Sections = {{
    {1, 1, ";ifconfig"},     {3, 3, ";rsaddr"},      {5, 5, ";route"},         {7, 7, ";rsroute"},
    {9, 9, ";arp"},          {11, 11, ";rsarp"},     {15, 15, ";rsroute2"},    {17, 17, ";rsarp2"},
    {19, 31, ";dhcp"},       {33, 41, ";rip"},       {44, 44, ";group_id"},    {47, 47, ";rfchannel"},
    {49, 49, ";portfilter"}, {51, 51, ";scramble"},  {53, 53, ";testmode"},    {55, 55, ";tdmaparam"},
    {57, 57, ";tdmatune"},   {59, 59, ";txmethod"},  {62, 62, ";fullduplex"},  {64, 70, ";snmpsetup"},
    {71, 71, ";L2AS"},
}};

// The word of a value in a list of words indexed from 0, else the fallback.
QString word(qint64 value, std::initializer_list<const char*> words, const char* other = "unknown")
{
    if (value >= 0 && value < qint64(words.size())) return QString::fromLatin1(words.begin()[value]);
    return QString::fromLatin1(other);
}

QString switchWord(qint32 value) { return word(value, {"disable", "enable"}); }
QString dec(qint64 value) { return QString::number(value); }
QString udec16(qint16 value) { return QString::number(quint16(value)); }
QString udec32(qint32 value) { return QString::number(quint32(value)); }
QString hex(quint32 pattern, int digits)
{
    return QStringLiteral("0x") + QString::number(pattern, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}
// Text fields are the device's bytes, one character each.
QString text(const QByteArray& bytes) { return QString::fromLatin1(bytes); }

QString ifconfigLine(const IfconfigRecord& r)
{
    return QStringLiteral("ifconfig  ") + FixLen(ConvNetIf(r.if_type, r.if_num), 5) +
           FixLen(FormatIPv4(r.address), 16) + QStringLiteral(" netmask   ") + FixLen(FormatIPv4(r.netmask), 16) +
           QStringLiteral(" broadcast ") + FormatIPv4(r.broadcast);
}

QString routeLine(const RouteRecord& r)
{
    if (r.destination == 0 && r.netmask == 0) return QStringLiteral("route default ") + FormatIPv4(r.gateway);
    return QStringLiteral("route ") + FixLen(FormatIPv4(r.destination), 16) + FixLen(FormatIPv4(r.netmask), 16) +
           FormatIPv4(r.gateway);
}

QString rsroute2Line(const Rsroute2Record& r)
{
    return QStringLiteral("rsroute2 ") + FixLen(FormatMAC(r.first), 20) + FixLen(FormatMAC(r.second), 20) +
           word(r.kind, {" static", " primary", " secondary"}, "");
}

QString dnsLine(const DhcpDnsRecord& r)
{
    // The record has four slots whatever its count says.
    QString line = QStringLiteral("dhcp server dns-server ");
    for (qint32 i = 0; i < std::min<qint32>(r.count, 4); ++i) line += FormatIPv4(r.servers[size_t(i)]) + ' ';
    return line;
}

QString ripLine(qint16 code, const RipValueRecord& r)
{
    const QString head = QStringLiteral("rip ") + ConvNetIf(r.if_type, r.if_num) + ' ';
    switch (code) {
    case CodeRipSend: return head + "send " + word(r.value, {"version_1", "version_1_compatible", "version_2"});
    case CodeRipReceive: return head + "receive " + word(r.value, {"version_1", "version_2", "both"});
    case CodeRipTriggeredUpdate: return head + "triggered update " + switchWord(r.value);
    case CodeRipConvergence: return head + "convergence " + word(r.value, {"split_holizon", "poisoned_reverse"});
    case CodeRipAuthentication: return head + "authentication " + switchWord(r.value);
    case CodeRipAdvertise: return head + "advertise " + dec(r.value);
    case CodeRipMetric: return head + "metric " + dec(r.value);
    case CodeRipEnable: return head + switchWord(r.value);
    default: return head + "advertise_default " + switchWord(r.value);  // 61
    }
}

QString testModeLine(const TestModeRecord& r)
{
    switch (r.mode) {
    case TestDisable: return QStringLiteral("test_mode desable");
    case TestSend: return QStringLiteral("test_mode send ") + udec16(r.first) + ' ' + udec32(r.count);
    case TestReceive:
        return QStringLiteral("test_mode receive ") + udec16(r.first) + ' ' + FormatIPv4(r.address) + ' ' +
               udec16(r.second);
    default: return QStringLiteral("test_mode unknown");
    }
}

QString tdmaLine(const char* keyword, const uint8_t* bytes, int byteCount, const qint16* words, int wordCount)
{
    QString line = QString::fromLatin1(keyword);
    for (int i = 0; i < byteCount; ++i) line += ' ' + dec(bytes[i]);
    for (int i = 0; i < wordCount; ++i) line += ' ' + dec(words[i]);
    return line;
}

QString accessLine(const AccessRecord& r)
{
    QString line = word(r.kind, {"login access", "config access", "snmp access", "rstest access", "rip access"}, "");
    if (r.countOrMode == AllOnes) return line + " deny_all";
    if (r.countOrMode == 0) return line + " allow_all";
    for (qint32 i = 0; i < std::min<qint32>(r.countOrMode, 4); ++i) line += ' ' + dec(r.lists[size_t(i)]);
    return line;
}

// The record's line; the code picks the words, the record's layout the fields.
QString recordLine(qint16 code, const AnyRecord& any)
{
    const auto dhcp = [&any] { return std::get<DhcpServerValueRecord>(any).value; };
    const auto value32 = [&any] { return std::get<Long32Record>(any).value; };
    const auto value16 = [&any] { return std::get<Word16Record>(any).value; };
    const auto byte8 = [&any] { return qint32(std::get<Byte8Record>(any).value); };
    const auto dhcpValue = [&any] { return std::get<DhcpValueRecord>(any).value; };
    const auto community = [&any] { return text(std::get<CommunityRecord>(any).community); };
    switch (code) {
    case CodeIfconfig: return ifconfigLine(std::get<IfconfigRecord>(any));
    case CodeRsconfig: return QStringLiteral("rsconf rs0 ") + dec(std::get<RsconfigRecord>(any).station);
    case CodeRoute: return routeLine(std::get<RouteRecord>(any));
    case CodeRsroute: {
        const auto& r = std::get<RsrouteRecord>(any);
        return QStringLiteral("rsroute  ") + dec(r.first) + ' ' + dec(r.second);
    }
    case CodeArp:
    case CodeRsarp2: {
        const auto& r = std::get<ArpRecord>(any);
        return QString::fromLatin1(code == CodeArp ? "arp " : "rsarp2 ") + FixLen(FormatIPv4(r.address), 18) +
               FormatMAC(r.mac);
    }
    case CodeRsarp: {
        const auto& r = std::get<RsarpRecord>(any);
        return QStringLiteral("rsarp ") + FixLen(FormatIPv4(r.address), 18) + dec(r.station);
    }
    case CodeRsroute2: return rsroute2Line(std::get<Rsroute2Record>(any));
    case CodeDhcpInterface: {
        const auto& r = std::get<DhcpInterfaceRecord>(any);
        return QStringLiteral("dhcp ") +
               word(r.role, {"server interface ", "relay interface ", "client interface "}, "??? ") +
               ConvNetIf(r.if_type, r.if_num);
    }
    case CodeDhcpServerNetmask: return QStringLiteral("dhcp server netmask ") + FormatIPv4(dhcp());
    case CodeDhcpServerDefaultRouter: return QStringLiteral("dhcp server default-router ") + FormatIPv4(dhcp());
    case CodeDhcpServerDnsServer: return dnsLine(std::get<DhcpDnsRecord>(any));
    case CodeDhcpServerScope: {
        const auto& r = std::get<DhcpScopeRecord>(any);
        return QStringLiteral("dhcp server scope ") + FormatIPv4(r.first) + ' ' + FormatIPv4(r.last);
    }
    case CodeDhcpServerLease: return QStringLiteral("dhcp server lease ") + udec32(dhcp());
    case CodeDhcpRelayServer: return QStringLiteral("dhcp relay server ") + FormatIPv4(dhcpValue());
    case CodeDhcpClient: return QStringLiteral("dhcp client ") + switchWord(dhcpValue());
    case CodeDhcpService: return QStringLiteral("dhcp service ") + word(dhcpValue(), {"off", "server", "relay"});
    case CodeRipPassword: {
        const auto& r = std::get<RipPasswordRecord>(any);
        return QStringLiteral("rip ") + ConvNetIf(r.if_type, r.if_num) + " password " + text(r.password);
    }
    case CodeGroupId: return QStringLiteral("group_id ") + hex(quint16(value16()), 4);
    case CodeRfchannel: return QStringLiteral("rfchannel ") + dec(value16());
    case CodePortfilter: {
        const auto& r = std::get<PortfilterRecord>(any);
        if (r.enabled == 0) return QStringLiteral("portfilter disable");
        return QStringLiteral("portfilter enable ") + udec16(r.first) + ' ' + udec16(r.last);
    }
    case CodeScramble: return QStringLiteral("scramble ") + hex(quint32(value32()), 8);
    case CodeTestMode: return testModeLine(std::get<TestModeRecord>(any));
    case CodeTdmaparam: {
        const auto& r = std::get<TdmaparamRecord>(any);
        return tdmaLine("tdma_param", r.bytes.data(), 3, &r.word, 1);
    }
    case CodeTdmatune: {
        const auto& r = std::get<TdmatuneRecord>(any);
        return tdmaLine("tdma_tune", r.bytes.data(), 4, r.words.data(), 3);
    }
    case CodeTxmethod:
        return QStringLiteral("txmethod ") + word(qint64(byte8()) - 1, {"csma", "dtdma1", "dtdma2", "bidir"});
    case CodeDuplex: return QStringLiteral("ethernet ") + word(byte8(), {"half_duplex", "full_duplex"});
    case CodeSnmpState:
        return QStringLiteral("snmp state ") + word(qint64(value32()) - 1, {"read_only", "read_write", "disable"});
    case CodeSnmpReadOnlyCommunity: return QStringLiteral("snmp read_only_community ") + community();
    case CodeSnmpReadWriteCommunity: return QStringLiteral("snmp read_write_community ") + community();
    case CodeSnmpTrap: return QStringLiteral("snmp trap ") + FormatIPv4(value32());
    case CodeL2as: return QString::fromLatin1(byte8() == 1 ? "l2as enable" : "l2as disable");
    case CodeAccessList: {
        const auto& r = std::get<AccessListRecord>(any);
        return QStringLiteral("access_list ") + dec(r.index) + ' ' + FormatIPv4(r.address) + ' ' + FormatIPv4(r.mask);
    }
    case CodeAccess: return accessLine(std::get<AccessRecord>(any));
    default: return ripLine(code, std::get<RipValueRecord>(any));
    }
}

}  // namespace

QStringList FormatRecord(const QByteArray& record, SectionFlags& flags)
{
    const std::optional<AnyRecord> any = ReadAnyRecord(record);
    if (!any) return {};
    const qint16 code = HeadOf(*any).code;
    QStringList lines;
    for (size_t i = 0; i < Sections.size(); ++i) {
        if (code < Sections[i].first || code > Sections[i].last) continue;
        if (flags.pending[i]) lines << QString() << QString::fromLatin1(Sections[i].comment);
        flags.pending[i] = false;
        break;
    }
    lines << recordLine(code, *any);
    return lines;
}

}  // namespace config
