// rip access <restriction> | rip <ifname> <sub-command> ...
#include "config/AccessRestriction.h"
#include "config/ConfigCommands.h"
#include "config/ConfigParams.h"

namespace config {

namespace {

constexpr qint32 Bad = StatusInvalidParameter;

struct Word {
    const char* text;
    qint32 value;
};

// The value of the next token among `words`; false for any other token.
template <size_t N>
bool nextWord(TokenCursor& t, const Word (&words)[N], qint32& value)
{
    const QByteArray& token = t.NextToken();
    for (const Word& w : words)
        if (token == w.text) {
            value = w.value;
            return true;
        }
    return false;
}

const Word EnableWords[] = {{"enable", 1}, {"disable", 0}};
const Word SendWords[] = {{"version_1", 0}, {"version_1_compatible", 1}, {"version_2", 2}};
const Word ReceiveWords[] = {{"version_1", 0}, {"version_2", 1}, {"both", 2}};
const Word ConvergenceWords[] = {{"split_holizon", 0}, {"poisoned_reverse", 1}};

qint32 setting(CommandContext& c, qint16 code, RipValueRecord& r, const qint32 value)
{
    r.value = value;
    return c.Put(code, r);
}

template <size_t N>
qint32 wordSetting(CommandContext& c, qint16 code, RipValueRecord& r, const Word (&words)[N])
{
    qint32 value = 0;
    if (!nextWord(c.tokens, words, value)) return Bad;
    return setting(c, code, r, value);
}

qint32 numberSetting(CommandContext& c, qint16 code, RipValueRecord& r, quint32 low, quint32 high)
{
    if (!NextNum32(c.tokens, r.value) || quint32(r.value) < low || quint32(r.value) > high) return Bad;
    return c.Put(code, r);
}

}  // namespace

qint32 ParseRip(CommandContext& c)
{
    const QByteArray name = c.tokens.NextToken();
    if (name == "access") return ParseAccessRestriction(c, AccessRip);
    IfRef ifRef;
    if (!ParseNetIf(name, ifRef)) return Bad;
    RipValueRecord r;
    r.if_type = ifRef.if_type;
    r.if_num = ifRef.if_num;

    const QByteArray sub = c.tokens.NextToken();
    if (sub == "send") return wordSetting(c, CodeRipSend, r, SendWords);
    if (sub == "receive") return wordSetting(c, CodeRipReceive, r, ReceiveWords);
    if (sub == "triggered") {
        if (c.tokens.NextToken() != "update") return Bad;
        return wordSetting(c, CodeRipTriggeredUpdate, r, EnableWords);
    }
    if (sub == "convergence") return wordSetting(c, CodeRipConvergence, r, ConvergenceWords);
    if (sub == "authentication") return wordSetting(c, CodeRipAuthentication, r, EnableWords);
    if (sub == "advertise") return numberSetting(c, CodeRipAdvertise, r, 1, 3600);
    if (sub == "metric") return numberSetting(c, CodeRipMetric, r, 1, 64);
    if (sub == "enable") return setting(c, CodeRipEnable, r, 1);
    if (sub == "disable") return setting(c, CodeRipEnable, r, 0);
    if (sub == "advertise_default") return wordSetting(c, CodeRipAdvertiseDefault, r, EnableWords);
    if (sub == "password") {
        // The file's bytes as they stand; an empty token gives an empty password.
        RipPasswordRecord p;
        p.if_type = r.if_type;
        p.if_num = r.if_num;
        p.password = c.tokens.NextToken();
        if (p.password.size() > RipPasswordMax) return Bad;
        return c.Put(CodeRipPassword, p);
    }
    return Bad;
}

}  // namespace config
