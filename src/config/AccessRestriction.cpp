#include "config/AccessRestriction.h"

#include "config/ConfigParams.h"

namespace config {

namespace {
constexpr quint64 HighestList = 16;
}

bool ReadAccessRestriction(TokenCursor& t, AccessRecord& r)
{
    r.lists.fill(EmptySlot);
    const QByteArray first = t.NextToken();
    if (!IsDecimalNumber(first)) {
        if (first == "allow_all") {
            r.countOrMode = 0;
            return true;
        }
        if (first == "deny_all") {
            r.countOrMode = EmptySlot;
            return true;
        }
        return false;
    }
    if (DecimalValue(first) > HighestList) return false;
    r.lists[0] = qint32(DecimalValue(first));
    for (size_t i = 1; i < 4; ++i) {
        // A word that is not a number ends the list; it is read and dropped.
        const QByteArray& token = t.NextToken();
        if (!IsDecimalNumber(token)) break;
        if (DecimalValue(token) > HighestList) return false;
        r.lists[i] = qint32(DecimalValue(token));
    }
    RemoveDuplicateSlots(r.lists);
    r.countOrMode = 0;
    for (qint32 v : r.lists)
        if (v != EmptySlot) ++r.countOrMode;
    return true;
}

void RemoveDuplicateSlots(Slots& s)
{
    for (size_t i = 0; i < 4; ++i) {
        for (size_t j = 0; j < 4; ++j) {
            if (j == i || s[i] == EmptySlot || s[i] != s[j]) continue;
            if (j < 3 && s[j + 1] != EmptySlot) {
                s[j] = s[j + 1];
                s[j + 1] = EmptySlot;
            } else {
                s[j] = EmptySlot;
            }
        }
    }
}

qint32 ParseAccessRestriction(CommandContext& c, qint32 kind)
{
    AccessRecord r;
    r.kind = kind;
    if (!ReadAccessRestriction(c.tokens, r)) return StatusInvalidParameter;
    return c.Put(CodeAccess, r);
}

namespace {
qint32 serviceAccess(CommandContext& c, qint32 kind)
{
    if (c.tokens.NextToken() != "access") return StatusInvalidParameter;
    return ParseAccessRestriction(c, kind);
}
}  // namespace

qint32 ParseLogin(CommandContext& c) { return serviceAccess(c, AccessLogin); }
qint32 ParseConfig(CommandContext& c) { return serviceAccess(c, AccessConfig); }
qint32 ParseRstest(CommandContext& c) { return serviceAccess(c, AccessRstest); }

}  // namespace config
