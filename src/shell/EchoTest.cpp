#include "shell/EchoTest.h"

#include "shell/SetupSession.h"

qint32 RunEchoTest(SetupSession& s, const QString& addressText, bool* addressRejected)
{
    s.lstStatus.MesgDisp(QString());
    const int check = s.CheckIPAddress(addressText);
    if (addressRejected) *addressRejected = check != 0;
    if (check != 0) return -3;
    s.log.WriteLogRecord(LogFile::Send, QStringLiteral("Echo Test"));
    s.uif.UIFCollect = false;
    s.uif.BuildLongRequest(0, 0x12345678);
    const qint32 status = s.uif.ExecUIF();
    QString logText;
    if (status == 0) {
        logText = QStringLiteral("Echo Command Normal end.");
        s.show(logText);
    } else {
        const QString st = s.uif.UIFStatusText(status);
        s.show(QStringLiteral("Echo Command Error."));
        s.showIndented(QStringLiteral(" St: ") + st);
        logText = QStringLiteral("Echo Command Error.  St: ") + st;
    }
    s.log.WriteLogRecord(LogFile::Recv, logText);
    return status;
}
