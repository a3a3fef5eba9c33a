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
    QDateTime now() const override { return QDateTime::currentDateTime(); }
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
