#include "cli/CliProgress.h"

#include "tftp/WaitProgress.h"

void ProgressLine::show(const QString& text)
{
    if (!terminal_ || (text.isEmpty() && drawn_ == 0)) return;
    // Spaces wipe what a longer line left; a cleared line leaves the cursor at its start.
    const int wipe = drawn_ > text.size() ? drawn_ - text.size() : 0;
    err_ << '\r' << text << QString(wipe, QLatin1Char(' '));
    if (text.isEmpty() || wipe > 0) err_ << '\r' << text;
    err_.flush();
    drawn_ = int(text.size());
}

ProgressLine::~ProgressLine()
{
    QObject::disconnect(followed_);
    show(QString());
}

void ProgressLine::follow(WaitProgress& waits)
{
    followed_ = QObject::connect(&waits, &WaitProgress::changed, &waits, [this](const QString& text) { show(text); });
}
