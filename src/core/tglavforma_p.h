#pragma once

// The main window's state apart from its connection and regions; seen by the window and by
// the screens' context only.

#include "core/rezhim.h"
#include "core/sostoyanie.h"
#include "core/taimer.h"
#include "core/tglavforma.h"
#include "db/dataset.h"

#include <QColor>
#include <QHash>
#include <QString>

class TGlavForma::Chast {
public:
    QString m_versiaProgrammy = QStringLiteral("1.1.6");
    QColor m_cvetMolchaniya = QColor(255, 128, 64);
    bool m_zapuskUspeshen = true;
    bool m_rezhimAdmin = false;
    bool m_rezhimNabludatelya = false;
    QString m_loginMesta;
    int m_idSessii = -1;
    int m_idDeputata = 1;
    int m_idZasedania = 0;
    int m_idPovestki = 1;
    bool m_dopusk = false;
    int m_vibranoeMesto = 0;
    bool m_perezapusk = false;

    Taimer *TaimerOperaziy = nullptr;
    Taimer *TaimerVremya = nullptr;
    Taimer *TaimerProverkaPodklucheniy = nullptr;

    rezhim::ZaprosRegimaNabor *ZaprosRegima = nullptr;
    DataSet *ZaprosRegistracia = nullptr;  // parameter a: the period
    DataSet *Sostav = nullptr;
    DataSet *KolGolosov = nullptr;  // scratch query whose text is replaced before each use
    DataSet *Zapros = nullptr;      // scratch query (the seat's chairman flag at start-up)
    DataSet *ProverkaPorklucheniy = nullptr;

    // The active item's stored text last parsed into InfoBack.
    QString m_infoRtf;
    bool m_infoRtfProchitan = false;
    int m_dnevnikKod = 0, m_dnevnikParam1 = 0;  // the mode last written to the log

    bool m_tikUvedomleniyaZhdet = false;  // one queued tick takes any number of announcements
    bool m_vTikeOperaziy = false;         // a nested event loop inside a tick must not start another

    FailSostoyaniya m_failSostoyaniya;
    qint64 m_zapushen = 0;     // process start, ms since the epoch
    int m_videnNomer = 0;      // the mode last acted on (code, param1) and since when
    int m_videnParam1 = 0;
    qint64 m_videnS = 0;
    QString m_sutSostoyaniya;  // the status as last written, without the statement counter
    qint64 m_sostoyanieZapisano = 0;
};
