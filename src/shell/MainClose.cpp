#include "shell/MainClose.h"

#include "shell/SetupSession.h"

#include <QTimer>

MainClose::MainClose(SetupSession& session, int tickMs, QObject* parent)
    : MainClose(
          session,
          [&session] {
              session.tfr.requestClose();
              session.uif.requestClose();
          },
          tickMs, parent)
{
}

MainClose::MainClose(ToolContext& ctx, std::function<void()> closeEngines, int tickMs, QObject* parent)
    : QObject(parent), ctx_(ctx), closeEngines_(std::move(closeEngines)), tmrCheck_(new QTimer(this))
{
    tmrCheck_->setObjectName(QStringLiteral("tmrCheck"));
    tmrCheck_->setInterval(tickMs);
    connect(tmrCheck_, &QTimer::timeout, this, &MainClose::tmrCheck_Timer);
    tmrCheck_->start();
}

bool MainClose::request()
{
    // Each engine defers its own unload; asking it ends its wait at once.
    closeEngines_();
    if (!open_) return true;
    pending_ = 1;
    return false;
}

void MainClose::unload() { ctx_.log.EndLog(); }

void MainClose::tmrCheck_Timer()
{
    if (pending_ == 0 || ++pending_ <= 2) return;
    pending_ = 0;
    open_ = false;
    tmrCheck_->stop();
    emit closeNow();
}
