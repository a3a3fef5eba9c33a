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

// Every code that a configuration image may hold, in code order.
inline constexpr qint16 ConfigurationCodes[] = {
    1, 3, 5, 7, 9, 11, 15, 17, 19, 21, 22, 23, 24, 25, 27, 29, 31, 33, 34, 35, 36, 37, 38,
    39, 40, 41, 44, 47, 49, 51, 53, 55, 57, 59, 61, 62, 64, 66, 68, 70, 71, 74, 76};

bool IsConfigurationCode(qint16 code);

}  // namespace config
