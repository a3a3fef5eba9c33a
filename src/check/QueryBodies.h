#pragma once
// The query procedures, one per button; RunQuery dispatches to them.
#include "check/CheckOutput.h"

namespace check {

QueryResult QueryEnvironment(CheckOutput& out);
QueryResult QueryGroupId(CheckOutput& out);
QueryResult QueryIfconfig(CheckOutput& out);
QueryResult QueryRoute(CheckOutput& out);
QueryResult QueryRsRoute(CheckOutput& out);
QueryResult QueryArp(CheckOutput& out);
QueryResult QueryRsArp(CheckOutput& out);
QueryResult QueryDhcp(CheckOutput& out);
QueryResult QueryRip(CheckOutput& out);
QueryResult QueryRfChannel(CheckOutput& out);
QueryResult QueryPortFilter(CheckOutput& out);
QueryResult QueryScramble(CheckOutput& out);
QueryResult QueryTxMethod(CheckOutput& out);
QueryResult QueryFullDuplex(CheckOutput& out);
QueryResult QuerySnmpSetup(CheckOutput& out);
QueryResult QueryL2as(CheckOutput& out);
QueryResult QueryAccessList(CheckOutput& out);
QueryResult QueryAccessLimit(CheckOutput& out);

// The up-time text of "show environment": "[Y year(s)  ][M month  ]D day(s), hh:mm:ss", the
// days broken into months by walking back from the given month.
QString UpTimeText(quint32 seconds, int year, int month);

}  // namespace check
