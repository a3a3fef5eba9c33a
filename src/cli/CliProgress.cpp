#include "cli/CliProgress.h"

#include "cli/TerminalOutput.h"
#include "tftp/WaitProgress.h"

namespace {
// On a terminal that filters control characters the carriage return goes around the filter.
void carriageReturn(QTextStream& err)
{
    if (auto* terminal = dynamic_cast<TerminalOutput*>(err.device())) {
        err.flush();
        terminal->writeControl("\r");
    } else {
        err << '\r';
    }
}
}  // namespace

void ProgressLine::show(const QString& text)
{
    if (!terminal_ || (text.isEmpty() && drawn_ == 0)) return;
    // Spaces wipe what a longer line left; a cleared line leaves the cursor at its start.
    const int wipe = drawn_ > text.size() ? drawn_ - text.size() : 0;
    carriageReturn(err_);
    err_ << text << QString(wipe, QLatin1Char(' '));
    if (text.isEmpty() || wipe > 0) {
        carriageReturn(err_);
        err_ << text;
    }
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
