#pragma once

#include <QString>

// The workstation's status file: a few "key=value" lines telling what the screen shows, for
// hall monitoring and the multi-process tests. The program only ever writes it, atomically,
// and only when its content changed.
class FailSostoyaniya {
public:
    void setPut(const QString &put) { m_put = put; }
    bool vklyuchen() const { return !m_put.isEmpty(); }
    // Writes the text unless it is what the file already holds. False when writing failed
    // (the workstation goes on: the file is an aid, not part of the hall's work).
    bool zapisat(const QString &tekst);

private:
    QString m_put;
    QString m_zapisano;
};
