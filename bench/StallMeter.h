#pragma once

// What the window benches share: a figure printed against its limit, and a meter of the longest
// time the event loop was held (a 5 ms timer measuring its own lateness).

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>

inline void ReportFigure(const char* what, double valueMs, double limitMs)
{
    std::printf("%-58s %8.1f ms  (limit %.0f ms) %s\n", what, valueMs, limitMs, valueMs <= limitMs ? "PASS" : "OVER");
}

class StallMeter final
{
public:
    StallMeter()
    {
        m_ticker.setInterval(IntervalMs);
        QObject::connect(&m_ticker, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, static_cast<double>(m_sinceTick.nsecsElapsed()) / 1e6 - IntervalMs);
            m_sinceTick.restart();
        });
        m_ticker.start();
        m_sinceTick.start();
    }
    void stop() { m_ticker.stop(); }
    double longestMs() const { return m_longest; }

private:
    static constexpr int IntervalMs = 5;
    QTimer m_ticker;
    QElapsedTimer m_sinceTick;
    double m_longest = 0;
};
