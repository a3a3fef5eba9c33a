#pragma once
// The text conversions of the status lines; the configuration formatter uses them too.
#include <QString>

namespace check {

// Pads with blanks up to width; a longer text is returned whole.
QString FixLen(const QString& text, int width);
// "eth" for type 1, "rs" for type 2, else "???(type)", then the number: eth0, rs1, ???(7)3.
QString ConvNetIf(int ifType, int ifNum);
// 0 static, 1 primary, 2 secondary, 3 auto, 4 specify, else "???(value)".
QString ConvExpMode(int value);
// "0x000B(11)": the 16-bit pattern in hex, then read unsigned.
QString ConvStr_Intg(int value);
QString ConvStr_Intg_Num(int value);
// "0xFFFFFFFF(4294967295)".
QString ConvStr_Long(qint64 value);

}  // namespace check
