#pragma once
// The configuration records of a received image as the text lines an operator reads and saves.
#include <QByteArray>
#include <QStringList>
#include <array>

namespace config {

// One flag per section comment (";ifconfig", ";route", ...): set until the section's comment has
// been written, so a section that comes back after another one gets no second comment.
struct SectionFlags {
    static constexpr int Count = 21;
    std::array<bool, Count> pending;
    SectionFlags() { pending.fill(true); }
};

// The lines of one 64-byte record: an empty line and the section comment when the record opens
// its section, then the record's own line. A code that is no configuration code gives none.
QStringList FormatRecord(const QByteArray& record, SectionFlags& flags);

}  // namespace config
