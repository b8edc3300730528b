#include "core/taimer.h"
#include "console/process_golos_forma.h"

#include "core/vidzhety.h"

#include <QPushButton>

TProcessGolosForma::TProcessGolosForma(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ProcessGolosForma"));
    // No title-bar buttons: the window ends only through its button or the countdown.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(302, 89);
    setFont(arialPx(13));

    KnopkaStopGolos = new QPushButton(this);
    KnopkaStopGolos->setObjectName(QStringLiteral("KnopkaStopGolos"));
    KnopkaStopGolos->setFont(arialPx(13, true));
    KnopkaStopGolos->setGeometry((302 - 225) / 2, (89 - 33) / 2, 225, 33);
    KnopkaStopGolos->setAutoDefault(false);
    connect(KnopkaStopGolos, &QPushButton::clicked, this, [this] { KnopkaStopGolosClick(); });
}

void TProcessGolosForma::Podgotovit(const QString &zagolovok, const QString &tekstKnopki)
{
    setWindowTitle(zagolovok);
    KnopkaStopGolos->setText(tekstKnopki);
    m_mozhnoZakrit = false;
    setResult(0);
}

void TProcessGolosForma::Zakryt()
{
    m_mozhnoZakrit = true;
    done(QDialog::Accepted);
}

void TProcessGolosForma::KnopkaStopGolosClick()
{
    if (naZavershenie)
        return naZavershenie();
    Zakryt();
}

void TProcessGolosForma::done(int result)
{
    // Escape and the system close end here too.
    if (!FormCloseQuery())
        return;
    QDialog::done(result);
}
