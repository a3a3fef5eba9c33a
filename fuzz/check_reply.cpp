// The status queries of the check window on the device's replies: the first byte picks one of
// the eighteen queries (or a whole Check All run), the chunks after it answer its requests in
// turn, each as the device's reply datagram to the request then asked. A chunk too short to
// hold a header is dropped as the link drops it; when the chunks run out the device is silent.
#include "FuzzInput.h"
#include "check/CheckQueries.h"
#include "link/basConv.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"
#include "shell/MessageList.h"
#include "shell/ToolContext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::StartApp();
    fuzz::Input in(data, size);
    const int selector = in.byte() % (check::QueryCount + 1);

    FixedClock clock(QDateTime(QDate(2026, 12, 8), QTime(12, 34, 56, 789)));
    ScriptedOperator op;
    ToolContext ctx(clock, op, QStringLiteral("CONF"));
    MessageList lstMsg;
    frmUIF uif(&op);
    check::CheckRun run{ctx, uif, lstMsg};
    run.answer = [&in](frmUIF& link) {
        frmUIF::UIFOutcome out;
        out.status = -1;
        QByteArray reply;
        while (reply.size() < basUIF::UIFHeaderSize && !in.atEnd()) reply = in.chunk().left(basUIF::UIFReplyMax);
        if (reply.size() < basUIF::UIFHeaderSize) {
            out.state = frmUIF::StateNoResponse;
            out.message = QStringLiteral("No Response");
            return out;
        }
        // The reply to the request asked: its flag, code and Ident; status and payload as given.
        reply.replace(0, 8, link.UIFRequestBuf.left(8));
        basConv::PutIntBE(1, reply, 0);
        out.state = frmUIF::StateMatched;
        out.reply = reply;
        out.header = basUIF::ReadUIFReply(reply);
        out.status = out.header.Status;
        return out;
    };
    if (selector == check::QueryCount)
        (void)check::RunCheckAll(run);
    else
        (void)check::RunQuery(check::QueryDefs()[size_t(selector)].id, run);
    return 0;
}
