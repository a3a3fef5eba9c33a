// snmp state|read_only_community|read_write_community|trap|access ...
#include "config/AccessRestriction.h"
#include "config/ConfigCommands.h"
#include "config/ConfigParams.h"

namespace config {

namespace {

qint32 community(CommandContext& c, qint16 code)
{
    CommunityRecord r;
    r.community = c.tokens.NextToken();  // the file's bytes as they stand
    if (r.community.size() > CommunityMax) return StatusInvalidParameter;
    return c.Put(code, r);
}

}  // namespace

qint32 ParseSnmp(CommandContext& c)
{
    const QByteArray sub = c.tokens.NextToken();
    if (sub == "state") {
        Long32Record r;
        const QByteArray& word = c.tokens.NextToken();
        // An unknown state word still makes a record, with state 0.
        r.value = word == "read_only" ? 1 : word == "read_write" ? 2 : word == "disable" ? 3 : 0;
        return c.Put(CodeSnmpState, r);
    }
    if (sub == "read_only_community") return community(c, CodeSnmpReadOnlyCommunity);
    if (sub == "read_write_community") return community(c, CodeSnmpReadWriteCommunity);
    if (sub == "trap") {
        Long32Record r;
        if (!NextIp(c.tokens, r.value)) return StatusInvalidParameter;
        return c.Put(CodeSnmpTrap, r);
    }
    if (sub == "access") return ParseAccessRestriction(c, AccessSnmp);
    return StatusInvalidParameter;
}

}  // namespace config
