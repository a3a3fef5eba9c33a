// dhcp server|relay|client|service ...
#include "config/ConfigCommands.h"
#include "config/ConfigParams.h"
#include "link/basMain.h"

namespace config {

namespace {

constexpr qint32 Bad = StatusInvalidParameter;

qint32 dhcpInterface(CommandContext& c, qint32 role)
{
    IfRef ifRef;
    if (!NextNetIf(c.tokens, ifRef)) return Bad;
    DhcpInterfaceRecord r;
    r.role = role;
    r.if_type = ifRef.if_type;
    r.if_num = ifRef.if_num;
    return c.Put(CodeDhcpInterface, r);
}

qint32 dhcpServerValue(CommandContext& c, qint16 code, bool isAddress)
{
    DhcpServerValueRecord r;
    if (!(isAddress ? NextIp(c.tokens, r.value) : NextNum32(c.tokens, r.value))) return Bad;
    return c.Put(code, r);
}

qint32 dhcpDnsServer(CommandContext& c)
{
    DhcpDnsRecord r;  // slots without an address hold 0.0.0.0
    for (int n = 0; n < 4; ++n) {
        // The device counts one more than the addresses given, up to four.
        r.count = n + 1;
        const QByteArray& token = c.tokens.NextToken();
        if (token.isEmpty()) break;
        if (basMain::StrToIPv4(token, r.servers[size_t(n)]) != 0) return Bad;
    }
    return c.Put(CodeDhcpServerDnsServer, r);
}

qint32 dhcpServer(CommandContext& c)
{
    const QByteArray word = c.tokens.NextToken();
    if (word == "interface") return dhcpInterface(c, DhcpServer);
    if (word == "netmask") return dhcpServerValue(c, CodeDhcpServerNetmask, true);
    if (word == "default-router") return dhcpServerValue(c, CodeDhcpServerDefaultRouter, true);
    if (word == "dns-server") return dhcpDnsServer(c);
    if (word == "lease") return dhcpServerValue(c, CodeDhcpServerLease, false);
    if (word == "scope") {
        DhcpScopeRecord r;
        if (!NextIp(c.tokens, r.first) || !NextIp(c.tokens, r.last)) return Bad;
        return c.Put(CodeDhcpServerScope, r);
    }
    return Bad;
}

qint32 dhcpRelay(CommandContext& c)
{
    const QByteArray word = c.tokens.NextToken();
    if (word == "interface") return dhcpInterface(c, DhcpRelay);
    if (word == "server") {
        DhcpValueRecord r;
        if (!NextIp(c.tokens, r.value)) return Bad;
        return c.Put(CodeDhcpRelayServer, r);
    }
    return Bad;
}

qint32 dhcpClient(CommandContext& c)
{
    const QByteArray word = c.tokens.NextToken();
    if (word == "interface") return dhcpInterface(c, DhcpClient);
    DhcpValueRecord r;
    if (word == "enable")
        r.value = 1;
    else if (word == "disable")
        r.value = 0;
    else
        return Bad;
    return c.Put(CodeDhcpClient, r);
}

qint32 dhcpService(CommandContext& c)
{
    const QByteArray word = c.tokens.NextToken();
    DhcpValueRecord r;
    if (word == "server")
        r.value = 1;
    else if (word == "relay")
        r.value = 2;
    else if (word == "off")
        r.value = 0;
    else
        return Bad;
    return c.Put(CodeDhcpService, r);
}

}  // namespace

qint32 ParseDhcp(CommandContext& c)
{
    const QByteArray role = c.tokens.NextToken();
    if (role == "server") return dhcpServer(c);
    if (role == "relay") return dhcpRelay(c);
    if (role == "client") return dhcpClient(c);
    if (role == "service") return dhcpService(c);
    return Bad;
}

}  // namespace config
