#pragma once
// QLN_Set's session against a simulator in this process: free ports, short ticks, a fixed clock,
// a scripted operator, and a fresh current folder (Config.bin and relative paths go there).
#include "FreePortSim.h"
#include "devsim/DeviceTransfers.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

struct SetupFlowRig {
    QTemporaryDir dir;
    QString previousFolder = QDir::currentPath();
    FixedClock clock{QDateTime(QDate(2024, 1, 1), QTime(10, 0))};
    ScriptedOperator op;
    std::unique_ptr<DeviceSim> sim;
    std::unique_ptr<SetupSession> s;

    explicit SetupFlowRig(const QHash<int, int>& refuse = {}, quint16 tftpPort = 0)
    {
        DeviceSim::Options so = FreePortSimOptions();
        so.faults.refuse = refuse;
        so.faults.tftpTimeoutMs = 50;
        sim = std::make_unique<DeviceSim>(so);
        sim->start();
        SetupSession::Options o = SessionOptionsFor(*sim, 5);
        o.tfr.tickMs = 5;
        o.tfr.tftp.port = tftpPort;
        o.tfr.tftp.tickMs = 20;
        s = std::make_unique<SetupSession>(clock, op, o);
        s->load();
        QDir::setCurrent(dir.path());
    }
    ~SetupFlowRig() { QDir::setCurrent(previousFolder); }
    QString path(const QString& name) const { return dir.filePath(name); }
    int transfers() { return sim->findChild<DeviceTransfers*>()->transfersStarted; }
    void write(const QString& name, const QByteArray& bytes)
    {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    QByteArray read(const QString& name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
};
