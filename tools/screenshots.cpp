// qln-screenshots FOLDER: each window in the state that shows what it is for, against a simulator
// in this process, saved as FOLDER/NAME.png. The device on 127.0.0.2 starts with the sample.
#include "check/frmCheck.h"
#include "devsim/DeviceSim.h"
#include "devsim/DeviceSimOptions.h"
#include "echotest/EchoTestSession.h"
#include "echotest/frmEchoMain.h"
#include "firmware/frmFW.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"
#include "shell/SetupSession.h"
#include "shell/frmMain.h"
#include "xfertest/XferTestSession.h"
#include "xfertest/frmXferMain.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <functional>

namespace {

// The windows answer from the event loop; a state that never comes is a failed shot.
bool waitFor(const std::function<bool()>& done, int ms = 20000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

template <class T = QPushButton>
T* child(QWidget* w, const char* name)
{
    T* c = w->findChild<T*>(QLatin1String(name));
    if (!c) std::fprintf(stderr, "qln-screenshots: no control %s\n", name);
    return c;
}

bool lastLineIs(QWidget* w, const char* list, const QString& end)
{
    auto* view = w->findChild<QListWidget*>(QLatin1String(list));
    return view && view->count() > 0 && view->item(view->count() - 1)->text().endsWith(end);
}

template <class W>
W* topLevel()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<W*>(w); found && found->isVisible()) return found;
    return nullptr;
}

bool shoot(QWidget* w, const QString& path)
{
    QApplication::processEvents();
    const bool ok = w->grab().save(path);
    std::printf("%s %s\n", ok ? "saved" : "could not save", qPrintable(path));
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (app.arguments().size() != 3) {
        std::fprintf(stderr, "usage: qln-screenshots FOLDER SAMPLE.conf\n");
        return 2;
    }
    const QDir out(app.arguments()[1]);
    QTemporaryDir scratch;
    SystemClock clock;
    ScriptedOperator op;
    MemoryClipboard clipboard;
    const QString device = QStringLiteral("127.0.0.2");

    DeviceSim::Options so;
    bool verbose = false;
    QString error;
    if (!ParseDeviceSimOptions({QStringLiteral("qln-devsim"), QStringLiteral("--address"), device, QStringLiteral("--uif-port"),
                                QStringLiteral("0"), QStringLiteral("--rcmp-port"), QStringLiteral("0"), QStringLiteral("--config"),
                                app.arguments()[2], QStringLiteral("--xfer-limit"), QStringLiteral("500"),
                                QStringLiteral("--xfer-gaps"), QStringLiteral("3")},
                               so, verbose, error)) {
        std::fprintf(stderr, "qln-screenshots: %s\n", qPrintable(error));
        return 1;
    }
    DeviceSim sim(so);
    if (!sim.start(&error)) {
        std::fprintf(stderr, "qln-screenshots: %s\n", qPrintable(error));
        return 1;
    }
    bool ok = true;

    // QLN_Set after Apply of the sample; then its check window after Check ALL, and the firmware
    // window after Version Check.
    SetupSession::Options setup;
    setup.uif.localPort = 0;
    setup.uif.remotePort = sim.uifPort();
    setup.tfr.tftp.port = 0;
    SetupSession session(clock, op, setup);
    frmMain main(session, op, clipboard, device);
    main.show();
    child<QLineEdit>(&main, "txtFile")->setText(app.arguments()[2]);
    child(&main, "cmdOK")->click();
    // Apply's own last line (Interactive Mode's "Setting Complete." never comes).
    ok = waitFor([&] { return lastLineIs(&main, "lstStatus", QStringLiteral("Current Configuration Update Complete.")); }) && ok;
    ok = shoot(&main, out.filePath(QStringLiteral("QLN_Set.png"))) && ok;

    child(&main, "cmdChk")->click();
    frmCheck* check = nullptr;
    ok = waitFor([&] { return (check = topLevel<frmCheck>()) != nullptr; }) && ok;
    if (check) {
        op.savePaths << scratch.filePath(QStringLiteral("check.txt"));
        child(check, "cmdCheckAll")->click();
        ok = waitFor([&] { return child(check, "cmdCheckAll")->isEnabled(); }, 60000) && ok;
        ok = shoot(check, out.filePath(QStringLiteral("frmCheck.png"))) && ok;
        check->close();
    }
    child(&main, "cmdFW")->click();
    frmFW* fw = nullptr;
    ok = waitFor([&] { return (fw = topLevel<frmFW>()) != nullptr; }) && ok;
    if (fw) {
        child(fw, "cmdVers")->click();
        ok = waitFor([&] { return child(fw, "cmdVers")->isEnabled(); }) && ok;
        ok = shoot(fw, out.filePath(QStringLiteral("frmFW.png"))) && ok;
        fw->close();
    }
    main.hide();

    // QLN_Test after a traceroute three hops away.
    EchoTestSession::Options echo;
    echo.rcmp.localPort = 0;
    echo.rcmp.remotePort = sim.rcmpPort();
    EchoTestSession test(clock, op, echo);
    frmEchoMain testWindow(test, op, clipboard);
    testWindow.show();
    child<QLineEdit>(&testWindow, "txt_IP")->setText(device);
    child<QComboBox>(&testWindow, "cmb_ID")->setEditText(QStringLiteral("00:80:45:01:00:03"));
    child(&testWindow, "cmdTR")->click();
    ok = waitFor([&] { return lastLineIs(&testWindow, "lstStatus", QStringLiteral("Trace complete.")); }) && ok;
    ok = shoot(&testWindow, out.filePath(QStringLiteral("QLN_Test.png"))) && ok;
    testWindow.hide();

    // QLN_Xfer counting the device's test stream, three packets lost on the way.
    XferTestSession::Options xo;
    xo.uif.localPort = 0;
    xo.uif.remotePort = sim.uifPort();
    // The window's own host port, 8601, as an operator sees it (run in a private network
    // namespace, as scripts/screenshots.sh does, so no program on the PC is in the way).
    xo.rcmp.remotePort = sim.rcmpPort();
    XferTestSession xfer(clock, op, xo);
    frmXferMain xferWindow(xfer, op, clipboard);
    xferWindow.show();
    child<QLineEdit>(&xferWindow, "txt_IP")->setText(device);
    child<QLineEdit>(&xferWindow, "txtHostIP")->setText(QStringLiteral("127.0.0.1"));
    child(&xferWindow, "cmdRecv")->click();
    ok = waitFor([&] { return child<QLabel>(&xferWindow, "lblCnt")->text() == QStringLiteral("3/497"); }) && ok;
    ok = shoot(&xferWindow, out.filePath(QStringLiteral("QLN_Xfer.png"))) && ok;
    return ok ? 0 : 1;
}
