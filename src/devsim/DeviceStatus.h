#pragma once
// The statuses the device answers a UIF request with (0: done).
#include <QtGlobal>

namespace devstatus {
constexpr qint32 Done = 0;
constexpr qint32 NoSuchNetIf = 2;
constexpr qint32 InvalidParameter = 3;
constexpr qint32 NoEntry = 4;
constexpr qint32 TableFull = 5;
constexpr qint32 InvalidCopy = 8;
constexpr qint32 NoObject = 10;
constexpr qint32 NotAccessList = 12;
}  // namespace devstatus
