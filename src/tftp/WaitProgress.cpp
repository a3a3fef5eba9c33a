#include "tftp/WaitProgress.h"

#include "link/frmUIF.h"
#include "tftp/frmTFR.h"

void WaitProgress::watch(frmUIF& uif)
{
    connect(&uif, &frmUIF::waiting, this, [this](int send) {
        send_ = send;
        update();
    });
    connect(&uif, &frmUIF::waitEnded, this, [this] {
        send_ = 0;
        update();
    });
}

void WaitProgress::watch(frmTFR& tfr)
{
    connect(&tfr, &frmTFR::transferWaiting, this, [this](bool waiting) {
        transfer_ = waiting;
        blocks_ = 0;
        bytes_ = 0;
        update();
    });
    connect(&tfr.server(), &frmTFTP::progress, this, [this](bool receiving, int blocks, qint64 bytes) {
        receiving_ = receiving;
        blocks_ = blocks;
        bytes_ = bytes;
        update();
    });
}

QString WaitProgress::text() const
{
    if (transfer_ && blocks_ == 0) return QStringLiteral("Waiting for the device's transfer");
    if (transfer_)
        return QStringLiteral("%1: %2 blocks, %3 bytes")
            .arg(receiving_ ? QStringLiteral("Receiving") : QStringLiteral("Sending"))
            .arg(blocks_)
            .arg(bytes_);
    if (send_ == 1) return QStringLiteral("Waiting for the device's answer");
    if (send_ > 1) return QStringLiteral("Waiting for the device's answer (attempt %1 of %2)").arg(send_).arg(frmUIF::UIFSends);
    return QString();
}

void WaitProgress::update()
{
    const QString now = text();
    if (now == shown_) return;
    shown_ = now;
    emit changed(now);
}
