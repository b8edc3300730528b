#pragma once

// A TCP proxy that holds every chunk of data for a random time before passing it on, each
// way, to stand in for a slow network link between a workstation and the server. It runs on
// its own thread, so the test's waiting does not add to the delay.

#include <QHostAddress>
#include <QObject>
#include <QThread>

#include <atomic>

namespace hallsim {

class ZaderzhkaProksi {
public:
    ZaderzhkaProksi() = default;
    ~ZaderzhkaProksi();
    ZaderzhkaProksi(const ZaderzhkaProksi &) = delete;
    ZaderzhkaProksi &operator=(const ZaderzhkaProksi &) = delete;

    // Listens on `adres` (port 0: any free one) and forwards each connection to `cel`:`port`.
    bool zapustit(const QHostAddress &adres, const QHostAddress &cel, quint16 port);
    void ostanovit();
    quint16 port() const { return m_port; }

    // Delay of each chunk, drawn evenly from [ot, do_] ms; 0, 0 passes data at once. Chunks
    // of one direction keep their order.
    void zaderzhka(int ot, int do_) { m_ot = ot; m_do = do_; }
    // Bytes passed each way and connections taken so far.
    qint64 peredano() const { return m_peredano; }
    int soedinenii() const { return m_soedinenii; }

    std::atomic<int> m_ot{0}, m_do{0};
    std::atomic<qint64> m_peredano{0};
    std::atomic<int> m_soedinenii{0};

private:
    QThread m_potok;
    QObject *m_rabota = nullptr;
    quint16 m_port = 0;
};

}  // namespace hallsim
