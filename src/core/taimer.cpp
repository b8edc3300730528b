#include "core/taimer.h"

Taimer::Taimer(const QString &name, int intervalMs, QObject *parent) : QObject(parent)
{
    setObjectName(name);
    m_timer.setInterval(intervalMs);
    // A coarse timer may fire up to 5 % late; the hall expects every terminal to follow the
    // mode row within one poller period.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Taimer::timeout);
}

void Taimer::setEnabled(bool on)
{
    m_enabled = on;
    apply();
}

void Taimer::setFiring(bool on)
{
    m_firing = on;
    apply();
}

void Taimer::apply()
{
    if (m_enabled && m_firing) {
        if (!m_timer.isActive())
            m_timer.start();
    } else {
        m_timer.stop();
    }
}
