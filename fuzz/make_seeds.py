#!/usr/bin/env python3
"""Writes the seed corpora in fuzz/corpus/TARGET/ from rows of the test tables and
examples/sample.conf. Run from anywhere; the committed seeds are what scripts/fuzz.sh uses."""
import os
import shutil
import struct
import urllib.parse

here = os.path.dirname(os.path.abspath(__file__))
root = os.path.dirname(here)


def chunk(b):
    return struct.pack(">H", len(b)) + b


def write(target, seeds):
    d = os.path.join(here, "corpus", target)
    shutil.rmtree(d, ignore_errors=True)
    os.makedirs(d)
    for name, data in seeds.items():
        with open(os.path.join(d, name), "wb") as f:
            f.write(data)


def ip(text):
    return bytes(int(p) for p in text.split("."))


# ---- configuration files ------------------------------------------------------------------
with open(os.path.join(root, "examples", "sample.conf"), "rb") as f:
    sample = f.read()
write("config_text", {
    "sample.conf": sample,
    "lf": b"group_id 1\ngroup_id 2\nbad 1\n",
    "crlf": b"group_id 1\r\ngroup_id 2\r\nbad 1\r\n",
    "cr": b"group_id 1\rgroup_id 2\rbad 1\r",
    "nul-in-value": b"group_id 1\0\n",
    "tabs-and-comments": b";c1\n\tgroup_id\t7\t\ngroup_id 1 ;note\n\xFF\xFE\x80 1\n",
    "interfaces": b"ifconfig eth0 192.168.1.10\nifconfig eth1 10.0.0.5 broadcast 10.0.0.127 netmask 255.255.255.128\n"
                  b"rsconfig rs0 5\nroute default 192.168.1.1\nrsroute2 00:A0:C9:14:C8:29 00:A0:C9:14:C8:2A static\n",
})


# ---- configuration images: 64-byte records, 0xFF-filled, payload from offset 12 -------------
def record(code, payload, ident=0):
    r = bytearray(b"\xFF" * 64)
    r[0:8] = struct.pack(">hhi", 0, code, ident)
    r[12:12 + len(payload)] = payload
    return bytes(r[:64])


def longs(*values):
    return b"".join(struct.pack(">i", v) for v in values)


def ifconfig(last):
    return record(1, longs(1, 0, 0x0A000000 | last, 0, 0), 7)


group = lambda hexs: record(44, bytes.fromhex(hexs))
write("record_image", {
    "records-1-1-5-1": ifconfig(1) + ifconfig(2) + record(5, longs(1, 0, -1, 0, 0, 0x0A0000FE), 7) + ifconfig(3),
    "unknown-code-not-erased": record(13, bytes.fromhex("FFFF0000")) + group("0002"),
    "unknown-code-erased": record(13, bytes.fromhex("0000FFFF")) + group("0002"),
    "100-bytes": group("0003") + bytes.fromhex("00000017 00000000 FFFFFFFF FFFFFFFF FFFFFFFF FFFFFFFF 00000004 0A000001 0A000002".replace(" ", "")),
    "rip-snmp": record(37, bytes.fromhex("00000001 00000000 3031323334353637 3839616263646566 7A7A".replace(" ", "")))
                + record(66, bytes.fromhex("6162636465666768696A6B6C6D6E6F707172737475767778797A30313233343536"))
                + record(47, bytes.fromhex("8000")) + record(55, bytes.fromhex("0102FFFF8000")),
    "cut-mid-record": ifconfig(1)[:40],
})


# ---- status query replies: "STATUS OFFSET:Tvalue ..." as the check tests write them ---------
def reply(answer):
    r = bytearray(b"\0" * 12 + b"\xEE" * 68)
    tokens = answer.split()
    r[8:12] = struct.pack(">i", int(tokens[0]))
    length = len(r)
    for t in tokens[1:]:
        if t.startswith("n="):
            length = int(t[2:])
            continue
        off, v = t.split(":", 1)
        off, kind, v = 12 + int(off), v[0], v[1:]
        n = int.from_bytes(ip(v), "big", signed=True) if v.count(".") == 3 else None
        if kind in "LIB" and n is None:
            n = int(v, 0)
        if kind == "L":
            r[off:off + 4] = struct.pack(">i", n)
        elif kind == "I":
            r[off:off + 2] = struct.pack(">h", n)
        elif kind == "B":
            r[off] = n & 0xFF
        elif kind == "M":
            r[off:off + 6] = bytes.fromhex(v.replace(":", ""))
        elif kind == "S":
            s = urllib.parse.unquote_to_bytes(v)
            r[off:off] = s + b"\0"
            r = r[:80]
    return bytes(r[:length])


queries = ["environment", "group-id", "ifconfig", "route", "rsroute", "arp", "rsarp", "dhcp", "rip", "rfchannel",
           "portfilter", "scramble", "txmethod", "fullduplex", "snmp", "l2as", "access-list", "access-limit"]


def query(name, answers):
    return bytes([queries.index(name)]) + b"".join(chunk(reply(a)) for a in answers)


eth0 = "0 0:L1 4:L0 8:L192.168.1.10 12:L255.255.255.0 16:L192.168.1.255"
write("check_reply", {
    "ifconfig": query("ifconfig", [eth0, "0 0:L1 4:L1 8:L10.0.0.1 12:L255.0.0.0 16:L10.255.255.255", "2",
                                   "0 0:L2 4:L0 8:L172.16.0.1 12:L255.255.0.0 16:L172.16.255.255", "2"]),
    "ifconfig-short": query("ifconfig", ["0 0:L1 4:L3 8:L1.2.3.4 n=22", "2", "2"]),
    "route": query("route", ["0 4:L10.1.0.0 8:L255.255.0.0 12:L1 16:L0 20:L192.168.1.1 24:L5 32:L2",
                             "0 4:L0 8:L0 12:L7 16:L3 20:L192.168.1.254 24:L0 32:L-1", "4"]),
    "rsroute": query("rsroute", ["0 4:L3 8:L3 16:I0 18:I1 20:M00:11:22:33:44:55 26:M66:77:88:99:AA:BB",
                                 "0 4:L9 8:L3 16:I15 18:I1 20:M00:11:22:33:44:66 26:M66:77:88:99:AA:CC", "4"]),
    "rsarp": query("rsarp", ["0 4:L9 12:L172.16.0.9 16:M02:00:00:00:00:09", "4"]),
    "dhcp": query("dhcp", ["0 4:L2 8:L0", "10", "0 4:L1 8:L1", "0 8:L10.0.0.5", "0 4:L1 8:L0", "0 8:L7", "0 8:L2"]),
    "rip": query("rip", ["0 0:L1 4:L0 8:L1 12:L1 16:L2 20:L0 24:L0 28:L30 32:L1 36:L5", "0 8:L1 12:Sp%E4ss", "10", "2",
                         "2"]),
    "environment": query("environment", ["0 0:SV1.2%5Cn3 32:M00:80:45:01:02:03 40:L273906"]),
    "snmp": query("snmp", ["0 0:L2 4:L10.0.0.9", "0 0:Sp%FAblic", "0 0:Sprivate"]),
    "access-list": query("access-list", ["0 0:L1 4:L192.168.1.1 8:L192.168.1.99", "0 0:L-2 4:L0 8:L-1", "12"]),
    "access-limit": query("access-limit", ["0 0:L0 4:L0", "0 0:L1 4:L-1", "0 0:L2 4:L2 8:L3 12:L12", "12"]),
    "check-all-short": bytes([18]) + b"".join(chunk(reply(a)) for a in
                                              ["0 0:SV1.2 32:M00:80:45:01:02:03 40:L273906", "0 0:I11", eth0, "2", "2",
                                               "4", "4", "4", "4", "0 4:L0 8:L0", "4"]),
})


# ---- TFTP datagrams: selector (0 idle, 1 read, 2 write), then (how, datagram) pairs --------
def dg(how, data):
    return bytes([how]) + chunk(data)


rrq = lambda name: b"\0\1" + name + b"\0octet\0"
wrq = lambda name: b"\0\2" + name + b"\0octet\0"
ack = lambda n: struct.pack(">HH", 4, n)
data = lambda n, b: struct.pack(">HH", 3, n) + b
err = lambda code: struct.pack(">HH", 5, code) + b"\0"
write("tftp_server", {
    "idle-rrq": bytes([0x80]) + dg(0, rrq(b"image.bin")) + dg(0, ack(1)) + dg(0, ack(2)) + dg(0, ack(3)),
    "idle-wrq": bytes([0]) + dg(0, wrq(b"upload.bin")) + dg(0, data(1, b"x" * 100)),
    "idle-wrong-name": bytes([0]) + dg(0, wrq(b"Config.bin")),
    "read-acks": bytes([1]) + dg(0, ack(1)) + dg(2, ack(1)) + dg(0, ack(2)) + dg(1, ack(2)) + dg(0, ack(3)),
    "read-error": bytes([1]) + dg(0, err(2)),
    "read-repeat-request": bytes([1]) + dg(0, rrq(b"image.bin")) + dg(0, ack(5)),
    "write-blocks": bytes([2]) + dg(0, data(1, b"\xAB" * 512)) + dg(0, data(1, b"\xAB" * 512)) + dg(0, data(2, b"end")),
    "write-bad-opcode": bytes([2]) + dg(0, b"\0\7junk") + dg(1, data(1, b"a")),
})


# ---- RCMP replies: selector (0-2 QLN_Test idle/echo/trace, 3-4 QLN_Xfer idle/echo) ---------
def rcmp(packet_id, seq, ttl, result, stamp=4529670, station="00:80:45:01:00:03", size=64):
    p = struct.pack(">BBBBhhihBBi", 0, 0, 0, 0, packet_id, seq, 0, ttl, result, 0, stamp)
    p += bytes.fromhex(station.replace(":", ""))
    return (p + b"\0" * 64)[:size]


write("rcmp_reply", {
    "echo-replies": bytes([1]) + dg(0, rcmp(0x1234, 0, 12, 0)) + dg(21, rcmp(0x1234, 0, 12, 0)) + dg(1, rcmp(0x1234, 1, -1, 0)),
    "echo-unreachable": bytes([1]) + dg(0, rcmp(0x1234, 0, 0, 1)) + dg(0, rcmp(0x1234, 0, 0, 2, size=26)),
    "trace-hops": bytes([2]) + dg(0, rcmp(0x1234, 0, 0, 2, station="00:80:45:01:00:01")) + dg(61, b"") + dg(1, rcmp(0x1234, 1, 0, 2))
                  + dg(1, rcmp(0x1234, 2, 0, 0)),
    "test-idle": bytes([0]) + dg(0, rcmp(0x1234, 0, 0, 0, size=25)),
    "xfer-stream": bytes([3]) + dg(0, rcmp(0, 0, 5, 0)) + dg(0, rcmp(0, 3, 5, 2)) + dg(0, rcmp(0x7F7F, 9, 5, 0, size=300)),
    "xfer-echo": bytes([4]) + dg(0, rcmp(0x1235, 0, -1, 0)) + dg(1, rcmp(0x1234, 1, 3, 1)) + dg(0, rcmp(0x1235, 1, 0, 2)),
})


# ---- UIF requests to the simulator: 64-byte requests as the tools build them ---------------
def request(code, payload=b"", ident=0):
    r = bytearray(b"\xFF" * 64)
    r[0:8] = struct.pack(">hhi", 0, code, ident)
    r[12:12 + len(payload)] = payload
    return bytes(r)


write("devsim_request", {
    "echo-and-queries": chunk(request(0)) + chunk(request(2, longs(1, 1), 1)) + chunk(request(6, longs(0), 2))
                        + chunk(request(16, longs(3, 0), 3)) + chunk(request(73, b"", 4)),
    "records": chunk(group("0001")) + chunk(ifconfig(9)) + chunk(request(42, longs(1, 0))) + chunk(request(43, longs(1, 0))),
    "transfers": chunk(request(13, longs(1) + struct.pack(">h", 8641) + b"\xFF\xFFwork.bin\0"))
                 + chunk(request(14, longs(1, 0))) + chunk(request(14, longs(2, 2))),
    "test-mode": chunk(request(53, longs(2) + struct.pack(">h", 0x10) + b"\xFF\xFF" + longs(10, 0x7F000001)
                               + struct.pack(">h", 8601) + b"\xFF\xFF" + longs(0))) + chunk(request(54)),
    "dhcp-rip": chunk(request(20, longs(0))) + chunk(request(26, longs(0, 0, 0))) + chunk(request(28, longs(0, 0)))
                + chunk(request(30, longs(0, 0))) + chunk(request(32, longs(0, 0))),
})
