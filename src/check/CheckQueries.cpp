#include "check/CheckQueries.h"

#include "check/QueryBodies.h"

namespace check {

const std::array<QueryDef, QueryCount>& QueryDefs()
{
    static const std::array<QueryDef, QueryCount> defs{{
        {QueryId::Environment, "cmd_environment", "environment", "environment", "show environment"},
        {QueryId::GroupId, "cmdComp", "Group ID", "group-id", "show Group ID"},
        {QueryId::Ifconfig, "cmdIfconf", "ifconfig", "ifconfig", "show ifconfig"},
        {QueryId::Route, "cmdRoute", "route", "route", "show route"},
        {QueryId::RsRoute, "cmdRsRoute", "rsroute", "rsroute", "show rsroute"},
        {QueryId::Arp, "cmdArp", "arp", "arp", "show arp"},
        {QueryId::RsArp, "cmdRsArp", "rsarp", "rsarp", "show rsarp"},
        {QueryId::Dhcp, "cmdDHCP", "DHCP", "dhcp", "show DHCP"},
        {QueryId::Rip, "cmdRIP", "RIP", "rip", "show RIP"},
        {QueryId::RfChannel, "cmdRFCh", "RF channel", "rfchannel", "show rfchannel"},
        {QueryId::PortFilter, "cmdFilter", "portfilter", "portfilter", "show portfilter"},
        {QueryId::Scramble, "cmdScramble", "scramble", "scramble", "show scramble"},
        {QueryId::TxMethod, "cmdTxMethod", "txmethod", "txmethod", "show txmethod"},
        {QueryId::FullDuplex, "cmdEthFulDup", "full duplex", "fullduplex", "show fullduplex"},
        {QueryId::SnmpSetup, "cmdSnmpSetup", "snmp setup", "snmp", "show snmp setup"},
        {QueryId::L2as, "CmdL2AS", "L2AS", "l2as", "show l2as"},
        {QueryId::AccessList, "cmd_accesslist", "access list", "access-list", "show access list"},
        {QueryId::AccessLimit, "cmd_accesslimit", "access limit", "access-limit", "show access list number"},
    }};
    return defs;
}

const QueryDef* FindQuery(const QString& cliName)
{
    for (const QueryDef& d : QueryDefs())
        if (cliName == QLatin1String(d.cliName)) return &d;
    return nullptr;
}

QueryResult RunQuery(QueryId id, const CheckRun& run)
{
    using Body = QueryResult (*)(CheckOutput&);
    static const Body bodies[QueryCount] = {
        QueryEnvironment, QueryGroupId, QueryIfconfig, QueryRoute, QueryRsRoute, QueryArp,
        QueryRsArp, QueryDhcp, QueryRip, QueryRfChannel, QueryPortFilter, QueryScramble,
        QueryTxMethod, QueryFullDuplex, QuerySnmpSetup, QueryL2as, QueryAccessList, QueryAccessLimit,
    };
    CheckOutput out(run);
    QueryResult result = bodies[int(id)](out);
    if (result.status != 0 && !out.lastError().isEmpty()) result.values.insert(QStringLiteral("error"), out.lastError());
    return result;
}

}  // namespace check
