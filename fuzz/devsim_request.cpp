// The simulator's handling of UIF requests: the input's chunks are request datagrams to one
// fresh device, taken as its UIF socket takes them (whole 64-byte requests only, the reply
// starting as their first 64 bytes). Nothing is sent: no event loop runs.
#include "FuzzInput.h"
#include "devsim/DeviceSim.h"
#include "link/basUIF.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::StartApp();
    fuzz::Input in(data, size);
    DeviceSim::Options o = DeviceSim::Options::OnFreePorts();
    DeviceSim sim(o);
    while (!in.atEnd()) {
        DeviceSim::Request r;
        r.bytes = in.chunk();
        r.from = QHostAddress(QHostAddress::LocalHost);
        r.fromPort = 9;  // nothing is ever sent there: transfers start from the event loop
        if (r.bytes.size() < basUIF::UIFPacketSize || basUIF::ReadUIFReply(r.bytes).ReplyFlag != 0) continue;
        QByteArray reply = r.bytes.left(basUIF::UIFPacketSize);
        (void)sim.handle(r, reply);
        if (reply.size() != basUIF::UIFPacketSize) std::abort();  // a reply is one 64-byte datagram
    }
    return 0;
}
