#include "check/CheckTexts.h"

namespace check {

QString FixLen(const QString& text, int width)
{
    return text.size() < width ? text.leftJustified(width, QLatin1Char(' ')) : text;
}

QString ConvNetIf(int ifType, int ifNum)
{
    QString prefix;
    switch (ifType) {
    case 1: prefix = QStringLiteral("eth"); break;
    case 2: prefix = QStringLiteral("rs"); break;
    default: prefix = QStringLiteral("?\?\?(%1)").arg(ifType); break;
    }
    return prefix + QString::number(ifNum);
}

QString ConvExpMode(int value)
{
    static const char* const names[] = {"static", "primary", "secondary", "auto", "specify"};
    if (value >= 0 && value <= 4) return QString::fromLatin1(names[value]);
    return QStringLiteral("?\?\?(%1)").arg(value);
}

QString ConvStr_Intg(int value)
{
    const quint16 u = quint16(value);
    return QStringLiteral("0x%1(%2)").arg(QString::number(u, 16).toUpper().rightJustified(4, QLatin1Char('0'))).arg(u);
}

QString ConvStr_Intg_Num(int value) { return QString::number(quint16(value)); }

QString ConvStr_Long(qint64 value)
{
    const quint32 u = quint32(value);
    return QStringLiteral("0x%1(%2)").arg(QString::number(u, 16).toUpper().rightJustified(8, QLatin1Char('0'))).arg(u);
}

}  // namespace check
