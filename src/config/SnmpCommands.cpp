// snmp state|read_only_community|read_write_community|trap|access ...
#include "config/AccessRestriction.h"
#include "config/ConfigCommands.h"
#include "config/ConfigParams.h"
#include "config/ConfigRecords.h"
#include "link/frmUIF.h"

namespace config {

namespace {

qint32 community(CommandContext& c, void (*build)(frmUIF&, const CommunityRecord&))
{
    CommunityRecord r;
    r.community = c.tokens.NextToken();  // the file's bytes as they stand
    if (r.community.size() > CommunityMax) return StatusInvalidParameter;
    build(c.uif, r);
    return c.uif.ExecUIF();
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
        BuildSnmpState(c.uif, r);
        return c.uif.ExecUIF();
    }
    if (sub == "read_only_community") return community(c, &BuildSnmpReadOnlyCommunity);
    if (sub == "read_write_community") return community(c, &BuildSnmpReadWriteCommunity);
    if (sub == "trap") {
        Long32Record r;
        if (!NextIp(c.tokens, r.value)) return StatusInvalidParameter;
        BuildSnmpTrap(c.uif, r);
        return c.uif.ExecUIF();
    }
    if (sub == "access") return ParseAccessRestriction(c, AccessSnmp);
    return StatusInvalidParameter;
}

}  // namespace config
