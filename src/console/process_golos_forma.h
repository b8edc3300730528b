#pragma once

#include <QDialog>

#include <functional>

class QPushButton;

// The small window the operator follows a registration in. It has no title-bar buttons and
// closes only when its button was pressed or the countdown has ended.
class TProcessGolosForma : public QDialog {
    Q_OBJECT
public:
    explicit TProcessGolosForma(QWidget *parent = nullptr);

    // Caption and button text for the run about to start; closing is refused from now on.
    void Podgotovit(const QString &zagolovok, const QString &tekstKnopki);

    bool MozhnoZakrit() const { return m_mozhnoZakrit; }
    void setMozhnoZakrit(bool on) { m_mozhnoZakrit = on; }
    // Allows closing and closes (the end of the countdown).
    void Zakryt();

    void KnopkaStopGolosClick();
    bool FormCloseQuery() const { return m_mozhnoZakrit; }

    void done(int result) override;

    QPushButton *KnopkaStopGolos = nullptr;

    // When set, the button asks the owner for the end instead of closing: the owner closes
    // the window once the end has reached the database, so the hall never stays in a run
    // that nobody counts down any more.
    std::function<void()> naZavershenie;

private:
    bool m_mozhnoZakrit = true;
};
