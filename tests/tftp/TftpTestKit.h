#pragma once
// What the TFTP suites share: file contents, files on disk, and a lock-step client on a
// ScriptedPeer that drives the server the way a well-behaved device does.
#include "ScriptedPeer.h"
#include "tftp/TftpPacket.h"
#include "tftp/frmTFTP.h"

#include <QDir>
#include <QFile>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QTimer>

namespace tftptest {

inline QByteArray contents(qint64 size, quint32 seed)
{
    QByteArray b(int(size), Qt::Uninitialized);
    QRandomGenerator g(seed);
    for (qint64 i = 0; i < size; ++i) b[int(i)] = char(g.bounded(256));
    return b;
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline QStringList listing(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// Runs the event loop until `done` holds or `ms` passes, without pausing between events (long
// lock-step transfers go at the sockets' pace).
inline bool runUntil(const std::function<bool()>& done, int ms)
{
    if (done()) return true;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) loop.quit();
    });
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    poll.start();
    loop.exec();
    return done();
}

// A transfer of `type` with the file at `path`: a reading device is served what the file holds now.
inline basTFTP::Transfer makeTransfer(int type, const QString& path)
{
    basTFTP::Transfer t;
    t.type = type;
    basTFTP::SetTransferFile(t.file, path);
    QFile f(path);
    if (t.deviceReads() && f.open(QIODevice::ReadOnly)) t.bytes = f.readAll();
    return t;
}

inline frmTFTP::Options serverOptions(int tickMs)
{
    frmTFTP::Options o;
    o.tickMs = tickMs;
    o.port = 0;
    return o;
}

// A client on loopback that acknowledges each DATA block in turn (a read), or sends the blocks
// of `upload` in turn after each ACK (a write).
struct LockStepClient {
    ScriptedPeer peer;
    QByteArray got;
    QByteArray upload;
    int expect = 1;
    bool finished = false;
    int errorCode = -1;
    // A careless reader: acknowledges every copy of a block it gets, each ACK this many times
    // (a network that duplicates), and may hold one block's ACK back until the block comes again.
    int ackCopies = 1;
    int lateAckOf = 0;
    bool lateAckHeld = false;

    LockStepClient()
    {
        peer.reply = [this](const ScriptedPeer::Datagram& d) -> QList<QByteArray> {
            using namespace basTFTP;
            const int block = PacketBlock(d.data);
            switch (PacketOpcode(d.data)) {
            case OpDATA: {
                const bool fresh = block == (expect & 0xFFFF);
                if (fresh) {
                    got.append(d.data.mid(4));
                    ++expect;
                    if (d.data.size() - 4 < 512) finished = true;
                }
                if (fresh && block == lateAckOf) {
                    lateAckHeld = true;
                    return {};
                }
                QList<QByteArray> acks;
                for (int i = 0; i < ackCopies; ++i) acks << MakeAck(quint16(block));
                if (lateAckHeld && block == lateAckOf) {
                    // The held ACK arrives right behind the one for the resent copy.
                    acks << MakeAck(quint16(lateAckOf));
                    lateAckHeld = false;
                }
                return acks;
            }
            case OpACK: {
                if (finished || block != ((expect - 1) & 0xFFFF)) return {};
                const QByteArray bytes = upload.mid((expect - 1) * 512, 512);
                if (bytes.size() < 512) finished = true;
                return {MakeData(quint16(expect++), bytes)};
            }
            case OpERROR: errorCode = block; finished = true; return {};
            default: return {};
            }
        };
    }
    void request(quint16 opcode, const QByteArray& name, quint16 serverPort)
    {
        expect = 1;
        peer.send(basTFTP::MakeRequest(opcode, name), QHostAddress::LocalHost, serverPort);
    }
    int countOf(quint16 opcode, int block = -1) const
    {
        int n = 0;
        for (const auto& d : peer.received)
            if (basTFTP::PacketOpcode(d.data) == opcode && (block < 0 || basTFTP::PacketBlock(d.data) == block)) ++n;
        return n;
    }
};

}  // namespace tftptest
