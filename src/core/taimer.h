#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

// A timer of the main window. Its enabled state is part of the workstation's state (the
// poller looks at it); firing can be switched off so that tests tick the handler by hand
// while the enabled state keeps its meaning.
class Taimer : public QObject {
    Q_OBJECT
public:
    Taimer(const QString &name, int intervalMs, QObject *parent);

    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }
    int interval() const { return m_timer.interval(); }
    void setFiring(bool on);

Q_SIGNALS:
    void timeout();

private:
    void apply();

    QTimer m_timer;
    bool m_enabled = false;
    bool m_firing = true;
};
