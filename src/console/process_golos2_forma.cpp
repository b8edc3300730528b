#include "core/taimer.h"
#include "console/process_golos2_forma.h"

#include "core/tglavforma.h"
#include "core/vidzhety.h"

#include <QLabel>
#include <QPushButton>

TProcessGolos2Forma::TProcessGolos2Forma(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ProcessGolos2Forma"));
    // No title-bar buttons: the window ends only through its own button or the countdown.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(361, 246);
    setFont(arialPx(13));

    QLabel **leibly[] = {&RegimLeibl, &PrisutLeibl, &VsegoLeibl, &NuznoLeil, &ZaLeibl, &ProtivLeibl, &VosdLeibl};
    const char *imena[] = {"RegimLeibl", "PrisutLeibl", "VsegoLeibl", "NuznoLeil", "ZaLeibl", "ProtivLeibl", "VosdLeibl"};
    for (int i = 0; i < 7; ++i) {
        auto *l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(imena[i]));
        l->setFont(arialPx(16, true));
        ustanovitCvetTeksta(l, Qt::black);
        l->setGeometry(8, 8 + 25 * i, width() - 16, 22);
        *leibly[i] = l;
    }

    KnopkaStopGolos = new QPushButton(this);
    KnopkaStopGolos->setObjectName(QStringLiteral("KnopkaStopGolos"));
    KnopkaStopGolos->setFont(arialPx(13, true));
    KnopkaStopGolos->setGeometry((width() - 225) / 2, 8 + 25 * 7 + 12, 225, 33);
    connect(KnopkaStopGolos, &QPushButton::clicked, this, &TProcessGolos2Forma::KnopkaStopGolosClick);
}

void TProcessGolos2Forma::KnopkaStopGolosClick()
{
    if (naZavershenie)
        return naZavershenie();
    m_mozhnoZakrit = true;
    close();
}

void TProcessGolos2Forma::reject()
{
    // Escape and the close request both come here; closing waits for the vote's end.
    if (m_mozhnoZakrit)
        QDialog::reject();
}
