#pragma once
// Where the tools read the time: local date-time with milliseconds, time of day in hundredths.
#include <QDateTime>

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // Hundredths of a second since local midnight.
    virtual qint64 hundredthsOfDay() const
    {
        return now().time().msecsSinceStartOfDay() / 10;
    }
};

class SystemClock : public Clock {
public:
    // Asking the zone rules for the local time costs over a microsecond, and QLN_Xfer stamps
    // hundreds of thousands of packets a second: the offset from UTC is looked up once a second.
    // Zones change their offset only on whole seconds, so the time is the same as the rules give.
    QDateTime now() const override
    {
        const qint64 ms = QDateTime::currentMSecsSinceEpoch();
        const qint64 second = ms / 1000;
        if (second != second_) {
            offset_ = QDateTime::fromMSecsSinceEpoch(second * 1000).offsetFromUtc();
            second_ = second;
        }
        return QDateTime::fromMSecsSinceEpoch(ms, Qt::OffsetFromUTC, offset_);
    }

private:
    mutable qint64 second_ = -1;
    mutable int offset_ = 0;
};

// A clock that stands still until moved: for tests and repeatable runs.
class FixedClock : public Clock {
public:
    explicit FixedClock(QDateTime t) : t_(std::move(t)) {}
    QDateTime now() const override { return t_; }
    void set(const QDateTime& t) { t_ = t; }
    void advanceMs(qint64 ms) { t_ = t_.addMSecs(ms); }

private:
    QDateTime t_;
};
