#pragma once

#include <QDate>
#include <QDateTime>

// The one source of "now": nothing else in the program asks the system for the time. The program runs on
// the system clock; tests install a FixedClock.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime currentDateTime() const = 0;

    static QDateTime now() { return instance().currentDateTime(); }
    static QDate today() { return now().date(); }

    static Clock& instance();
    // Installs a clock (not owned); nullptr goes back to the system clock.
    static void install(Clock* clock);
};

class SystemClock : public Clock {
public:
    QDateTime currentDateTime() const override { return QDateTime::currentDateTime(); }
};

// A clock that stands still until moved; installs itself for its lifetime.
class FixedClock : public Clock {
public:
    explicit FixedClock(const QDateTime& moment)
        : m_moment(moment) {
        Clock::install(this);
    }
    ~FixedClock() override { Clock::install(nullptr); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;

    QDateTime currentDateTime() const override { return m_moment; }
    void set(const QDateTime& moment) { m_moment = moment; }
    void advanceSeconds(qint64 s) { m_moment = m_moment.addSecs(s); }

private:
    QDateTime m_moment;
};
