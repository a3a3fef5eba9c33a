#include "config/ConfigRecords.h"

#include "link/basUIF.h"

#include <algorithm>
#include <vector>

namespace config {

using basUIF::UIFHeaderSize;
using basUIF::UIFPacketSize;

namespace {

// Fields go through the UIF payload writers and readers, which count from the payload.
class FieldWriter final : public FieldVisitor {
public:
    explicit FieldWriter(QByteArray& b) : b_(b) {}
    void Long(int at, qint32& v) override { basUIF::PutUIFLong(b_, v, at - UIFHeaderSize); }
    void Int(int at, qint16& v) override { basUIF::PutUIFInt(b_, v, at - UIFHeaderSize); }
    void Byte(int at, uint8_t& v) override { basUIF::PutUIFByte(b_, v, at - UIFHeaderSize); }
    void MAC(int at, Mac& v) override { basUIF::PutUIFMac(b_, v, at - UIFHeaderSize); }
    void String(int at, QByteArray& v, int max) override { basUIF::PutUIFString(b_, v.left(max), at - UIFHeaderSize); }
    void Const(int at, qint32 v) override { basUIF::PutUIFLong(b_, v, at - UIFHeaderSize); }
    void ConstInt(int at, qint16 v) override { basUIF::PutUIFInt(b_, v, at - UIFHeaderSize); }

private:
    QByteArray& b_;
};

class FieldReader final : public FieldVisitor {
public:
    explicit FieldReader(const QByteArray& b) : b_(b) {}
    void Long(int at, qint32& v) override { v = basUIF::GetUIFLong(b_, at - UIFHeaderSize); }
    void Int(int at, qint16& v) override { v = basUIF::GetUIFInt(b_, at - UIFHeaderSize); }
    void Byte(int at, uint8_t& v) override { v = basUIF::GetUIFByte(b_, at - UIFHeaderSize); }
    void MAC(int at, Mac& v) override { v = basUIF::GetUIFMac(b_, at - UIFHeaderSize); }
    void String(int at, QByteArray& v, int max) override { v = basUIF::GetUIFString(b_, at - UIFHeaderSize, max); }
    void Const(int, qint32) override {}
    void ConstInt(int, qint16) override {}

private:
    const QByteArray& b_;
};

QByteArray padded(const QByteArray& bytes)
{
    QByteArray b = bytes.left(UIFPacketSize);
    if (b.size() < UIFPacketSize) b.append(QByteArray(UIFPacketSize - b.size(), char(0xFF)));
    return b;
}

struct Kind {
    qint16 code;
    AnyRecord layout;
};

// Every configuration code and the layout of its records, in code order.
const std::vector<Kind>& kinds()
{
    static const std::vector<Kind> table = {
        {CodeIfconfig, IfconfigRecord{}},
        {CodeRsconfig, RsconfigRecord{}},
        {CodeRoute, RouteRecord{}},
        {CodeRsroute, RsrouteRecord{}},
        {CodeArp, ArpRecord{}},
        {CodeRsarp, RsarpRecord{}},
        {CodeRsroute2, Rsroute2Record{}},
        {CodeRsarp2, ArpRecord{}},
        {CodeDhcpInterface, DhcpInterfaceRecord{}},
        {CodeDhcpServerNetmask, DhcpServerValueRecord{}},
        {CodeDhcpServerDefaultRouter, DhcpServerValueRecord{}},
        {CodeDhcpServerDnsServer, DhcpDnsRecord{}},
        {CodeDhcpServerScope, DhcpScopeRecord{}},
        {CodeDhcpServerLease, DhcpServerValueRecord{}},
        {CodeDhcpRelayServer, DhcpValueRecord{}},
        {CodeDhcpClient, DhcpValueRecord{}},
        {CodeDhcpService, DhcpValueRecord{}},
        {CodeRipSend, RipValueRecord{}},
        {CodeRipReceive, RipValueRecord{}},
        {CodeRipTriggeredUpdate, RipValueRecord{}},
        {CodeRipConvergence, RipValueRecord{}},
        {CodeRipPassword, RipPasswordRecord{}},
        {CodeRipAuthentication, RipValueRecord{}},
        {CodeRipAdvertise, RipValueRecord{}},
        {CodeRipMetric, RipValueRecord{}},
        {CodeRipEnable, RipValueRecord{}},
        {CodeGroupId, Word16Record{}},
        {CodeRfchannel, Word16Record{}},
        {CodePortfilter, PortfilterRecord{}},
        {CodeScramble, Long32Record{}},
        {CodeTestMode, TestModeRecord{}},
        {CodeTdmaparam, TdmaparamRecord{}},
        {CodeTdmatune, TdmatuneRecord{}},
        {CodeTxmethod, Byte8Record{}},
        {CodeRipAdvertiseDefault, RipValueRecord{}},
        {CodeDuplex, Byte8Record{}},
        {CodeSnmpState, Long32Record{}},
        {CodeSnmpReadOnlyCommunity, CommunityRecord{}},
        {CodeSnmpReadWriteCommunity, CommunityRecord{}},
        {CodeSnmpTrap, Long32Record{}},
        {CodeL2as, Byte8Record{}},
        {CodeAccessList, AccessListRecord{}},
        {CodeAccess, AccessRecord{}},
    };
    return table;
}

const Kind* kindOf(qint16 code)
{
    const auto& t = kinds();
    const auto it = std::find_if(t.begin(), t.end(), [code](const Kind& k) { return k.code == code; });
    return it == t.end() ? nullptr : &*it;
}

}  // namespace

RecordHead& HeadOf(AnyRecord& record)
{
    return std::visit([](auto& r) -> RecordHead& { return r.head; }, record);
}

const RecordHead& HeadOf(const AnyRecord& record)
{
    return std::visit([](const auto& r) -> const RecordHead& { return r.head; }, record);
}

QByteArray BuildAnyRecord(const AnyRecord& record, qint32 ident)
{
    QByteArray b;
    basUIF::UIFHeader h;
    h.ReplyFlag = 0;
    h.CmdCode = HeadOf(record).code;
    h.Ident = ident;
    basUIF::MakeUIFHeader(b, h);
    AnyRecord fields = record;  // the walk takes the fields by reference
    FieldWriter writer(b);
    std::visit([&writer](auto& r) { r.Fields(writer); }, fields);
    return b;
}

RecordHead ReadRecordHead(const QByteArray& bytes)
{
    const basUIF::UIFHeader h = basUIF::ReadUIFReply(padded(bytes));
    return RecordHead{h.CmdCode, h.Ident};
}

void ReadRecordInto(const QByteArray& bytes, AnyRecord& record)
{
    const QByteArray b = padded(bytes);
    FieldReader reader(b);
    HeadOf(record) = ReadRecordHead(b);
    std::visit([&reader](auto& r) { r.Fields(reader); }, record);
}

std::optional<AnyRecord> ReadAnyRecord(const QByteArray& bytes)
{
    const Kind* kind = kindOf(ReadRecordHead(bytes).code);
    if (!kind) return std::nullopt;
    AnyRecord record = kind->layout;
    ReadRecordInto(bytes, record);
    return record;
}

bool IsConfigurationCode(qint16 code) { return kindOf(code) != nullptr; }

}  // namespace config
