#pragma once
// The command parsers: each reads its parameters from the line's tokens, makes its record and
// hands it to the sink, returning the sink's status, or -3 at the first bad or missing parameter.
#include "config/ConfigTokens.h"
#include "config/RecordSinks.h"

namespace config {

enum ParseStatus : qint32 {
    StatusConverted = 0,
    StatusInvalidCommand = -2,
    StatusInvalidParameter = -3,
};

struct CommandContext {
    TokenCursor& tokens;
    RecordSink& sink;

    qint32 Put(qint16 code, AnyRecord record)
    {
        HeadOf(record).code = code;
        return sink.Put(record);
    }
};

using CommandParser = qint32 (*)(CommandContext& c);

// The parser for a keyword (compared exactly), or nullptr.
CommandParser FindCommand(const QByteArray& keyword);

qint32 ParseIfconfig(CommandContext& c);
qint32 ParseRsconfig(CommandContext& c);
qint32 ParseRoute(CommandContext& c);
qint32 ParseRsroute(CommandContext& c);
qint32 ParseRsroute2(CommandContext& c);
qint32 ParseArp(CommandContext& c);
qint32 ParseRsarp(CommandContext& c);
qint32 ParseRsarp2(CommandContext& c);
qint32 ParseDhcp(CommandContext& c);
qint32 ParseRip(CommandContext& c);
qint32 ParseGroupId(CommandContext& c);
qint32 ParseRfchannel(CommandContext& c);
qint32 ParseTestMode(CommandContext& c);
qint32 ParseTdmaparam(CommandContext& c);
qint32 ParseTdmatune(CommandContext& c);
qint32 ParsePortfilter(CommandContext& c);
qint32 ParseScramble(CommandContext& c);
qint32 ParseTxmethod(CommandContext& c);
qint32 ParseSnmp(CommandContext& c);
qint32 ParseL2as(CommandContext& c);
qint32 ParseAccessList(CommandContext& c);
qint32 ParseLogin(CommandContext& c);
qint32 ParseConfig(CommandContext& c);
qint32 ParseRstest(CommandContext& c);

}  // namespace config
