#pragma once

#include "core/kontekst.h"

#include <QObject>

class DataSet;
class QListView;
class QTableView;
class QToolButton;

// Speaker requests: the deputy's "ПРОШУ СЛОВА" button, the chairman's list of requests with
// its grid and buttons, and the button's sync with the request table.
class TProshuSlova : public QObject, public KontekstEkrana {
    Q_OBJECT
public:
    explicit TProshuSlova(const KontekstEkrana &k);

    void RazmestitSpisokZapis();       // the chairman's list, every poller tick
    void SinhronizaciyaProshuSlova();  // the deputy's button follows the request table
    void LeiblProshuSlovaClick();
    void OchistkaProshuSlovaClick();
    void SpisokVerhClick();
    void SpisokNisClick();

    DataSet *ZaprosZapis = nullptr;
    QListView *SpisokZapis = nullptr;
    QTableView *SpisokTabl = nullptr;
    QToolButton *SpisokVerh = nullptr;
    QToolButton *SpisokNis = nullptr;
    QToolButton *OchistkaProshuSlova = nullptr;
    bool ProshuSlovaProchitano = false;  // the own seat's pending request has been read back
};
