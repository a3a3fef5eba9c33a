#pragma once
// Command codes of the configuration records (set commands are odd, their queries even).
#include <QtGlobal>

namespace config {

enum Code : qint16 {
    CodeIfconfig = 1,
    CodeRsconfig = 3,
    CodeRoute = 5,
    CodeRsroute = 7,
    CodeArp = 9,
    CodeRsarp = 11,
    CodeRsroute2 = 15,
    CodeRsarp2 = 17,
    CodeDhcpInterface = 19,
    CodeDhcpServerNetmask = 21,
    CodeDhcpServerDefaultRouter = 22,
    CodeDhcpServerDnsServer = 23,
    CodeDhcpServerScope = 24,
    CodeDhcpServerLease = 25,
    CodeDhcpRelayServer = 27,
    CodeDhcpClient = 29,
    CodeDhcpService = 31,
    CodeRipSend = 33,
    CodeRipReceive = 34,
    CodeRipTriggeredUpdate = 35,
    CodeRipConvergence = 36,
    CodeRipPassword = 37,
    CodeRipAuthentication = 38,
    CodeRipAdvertise = 39,
    CodeRipMetric = 40,
    CodeRipEnable = 41,
    CodeGroupId = 44,
    CodeRfchannel = 47,
    CodePortfilter = 49,
    CodeScramble = 51,
    CodeTestMode = 53,
    CodeTdmaparam = 55,
    CodeTdmatune = 57,
    CodeTxmethod = 59,
    CodeRipAdvertiseDefault = 61,
    CodeDuplex = 62,  // only ever received: no line produces it
    CodeSnmpState = 64,
    CodeSnmpReadOnlyCommunity = 66,
    CodeSnmpReadWriteCommunity = 68,
    CodeSnmpTrap = 70,
    CodeL2as = 71,
    CodeAccessList = 74,
    CodeAccess = 76,
};

// True for the codes a configuration image may hold (those with a record layout).
bool IsConfigurationCode(qint16 code);

}  // namespace config
