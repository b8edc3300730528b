#include "hallsim/zaderzhka.h"

#include <QDateTime>
#include <QPointer>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <deque>
#include <memory>

namespace hallsim {

namespace {

// One direction of one connection: chunks wait in order until their time has come.
class Napravlenie : public QObject {
public:
    Napravlenie(QTcpSocket *iz, QTcpSocket *v, ZaderzhkaProksi *p, QObject *parent)
        : QObject(parent), m_iz(iz), m_v(v), m_p(p)
    {
        m_taimer.setSingleShot(true);
        m_taimer.setTimerType(Qt::PreciseTimer);
        connect(&m_taimer, &QTimer::timeout, this, &Napravlenie::otpravit);
        connect(iz, &QTcpSocket::readyRead, this, &Napravlenie::prinyat);
    }

    void prinyat()
    {
        if (!m_iz->isOpen())
            return;
        const QByteArray d = m_iz->readAll();
        if (d.isEmpty())
            return;
        const int ot = m_p->m_ot, do_ = m_p->m_do;
        const int z = do_ > ot ? ot + static_cast<int>(QRandomGenerator::global()->bounded(do_ - ot + 1)) : ot;
        // Never before a chunk that came earlier.
        qint64 kogda = QDateTime::currentMSecsSinceEpoch() + z;
        if (!m_ochered.empty())
            kogda = std::max(kogda, m_ochered.back().first);
        m_ochered.emplace_back(kogda, d);
        zaplanirovat();
    }

    void otpravit()
    {
        // The server side still connecting: its connected() signal comes back here.
        if (m_v->state() == QAbstractSocket::HostLookupState || m_v->state() == QAbstractSocket::ConnectingState)
            return;
        const qint64 n = QDateTime::currentMSecsSinceEpoch();
        while (!m_ochered.empty() && m_ochered.front().first <= n) {
            if (m_v->state() == QAbstractSocket::ConnectedState) {
                m_v->write(m_ochered.front().second);
                m_p->m_peredano += m_ochered.front().second.size();
            }
            m_ochered.pop_front();
        }
        zaplanirovat();
        if (m_ochered.empty() && m_zakryt)
            m_v->disconnectFromHost();
    }

    // The source closed: what is still held goes out first, then the other side is closed.
    void zakryt()
    {
        m_zakryt = true;
        prinyat();
        if (m_ochered.empty())
            m_v->disconnectFromHost();
    }

private:
    void zaplanirovat()
    {
        if (m_ochered.empty() || m_taimer.isActive())
            return;
        m_taimer.start(static_cast<int>(std::max<qint64>(0, m_ochered.front().first - QDateTime::currentMSecsSinceEpoch())));
    }

    QTcpSocket *m_iz, *m_v;
    ZaderzhkaProksi *m_p;
    QTimer m_taimer;
    std::deque<std::pair<qint64, QByteArray>> m_ochered;
    bool m_zakryt = false;
};

class Rabota : public QObject {
public:
    Rabota(ZaderzhkaProksi *p, QHostAddress cel, quint16 port) : m_p(p), m_server(this), m_cel(cel), m_port(port)
    {
        connect(&m_server, &QTcpServer::newConnection, this, &Rabota::novoe);
    }
    bool slushat(const QHostAddress &a) { return m_server.listen(a, 0); }
    quint16 port() const { return m_server.serverPort(); }

private:
    void novoe()
    {
        while (QTcpSocket *klient = m_server.nextPendingConnection()) {
            ++m_p->m_soedinenii;
            auto *para = new QObject(this);
            klient->setParent(para);
            auto *server = new QTcpSocket(para);
            server->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            klient->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            auto *tuda = new Napravlenie(klient, server, m_p, para);
            auto *obratno = new Napravlenie(server, klient, m_p, para);
            // What the client sends before the server side is up waits in the queue.
            connect(server, &QTcpSocket::connected, tuda, &Napravlenie::otpravit);
            connect(klient, &QTcpSocket::disconnected, tuda, &Napravlenie::zakryt);
            connect(server, &QTcpSocket::disconnected, obratno, &Napravlenie::zakryt);
            connect(server, &QTcpSocket::errorOccurred, para, [klient](QAbstractSocket::SocketError) { klient->abort(); });
            QPointer<QObject> p(para);
            auto konec = [p, klient, server] {
                if (p && klient->state() == QAbstractSocket::UnconnectedState && server->state() == QAbstractSocket::UnconnectedState)
                    p->deleteLater();
            };
            connect(klient, &QTcpSocket::disconnected, para, konec);
            connect(server, &QTcpSocket::disconnected, para, konec);
            server->connectToHost(m_cel, m_port);
        }
    }

    ZaderzhkaProksi *m_p;
    QTcpServer m_server;  // a child, so it moves to the proxy's thread with its owner
    QHostAddress m_cel;
    quint16 m_port;
};

}  // namespace

ZaderzhkaProksi::~ZaderzhkaProksi()
{
    ostanovit();
}

bool ZaderzhkaProksi::zapustit(const QHostAddress &adres, const QHostAddress &cel, quint16 port)
{
    auto *r = new Rabota(this, cel, port);
    if (!r->slushat(adres)) {
        delete r;
        return false;
    }
    m_port = r->port();
    r->moveToThread(&m_potok);
    QObject::connect(&m_potok, &QThread::finished, r, &QObject::deleteLater);
    m_rabota = r;
    m_potok.start();
    return true;
}

void ZaderzhkaProksi::ostanovit()
{
    if (!m_potok.isRunning())
        return;
    m_potok.quit();
    m_potok.wait(5000);
    m_rabota = nullptr;
}

}  // namespace hallsim
