#pragma once

#include "editors/seams.h"

#include <QDialog>
#include <QString>

class QAction;
class QPushButton;
class QTableView;

// The voting rules offered for one agenda item, in the order the vote set-up lists them.
class TRegimPovestkaForma : public QDialog {
    Q_OBJECT
public:
    TRegimPovestkaForma(DbConnection *db, Dialogs *dialogs, Platform *platform, QWidget *parent = nullptr);

    // The item: sets the caption and opens its list. A failed open is reported and cleared.
    void setPovestka(int id, const QString &opisanie);
    int povestka() const { return m_povestka; }

    void RegimNoviyExecute();
    void RegimRedaktExecute();
    void RegimUdalitExecute();
    void RegimVerhExecute();
    void RegimNisExecute();
    void RegimTablDblClick();
    void FormActivate();
    void RaspolozhitKolonki();

    DataSet *RegimZapros = nullptr;
    DataSetModel *RegimModel = nullptr;
    QTableView *RegimTabl = nullptr;
    QPushButton *KnopkaNoviy = nullptr;
    QPushButton *KnopkaUdalit = nullptr;
    QPushButton *KnopkaVerh = nullptr;
    QPushButton *KnopkaNis = nullptr;
    QPushButton *KnopkaZakr = nullptr;
    QAction *RegimNoviy = nullptr;
    QAction *RegimRedakt = nullptr;
    QAction *RegimUdalit = nullptr;
    QAction *RegimVerh = nullptr;
    QAction *RegimNis = nullptr;

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // The picker, opened on `current` (a voting rule) or on its first row; false unless a
    // rule was chosen.
    bool pick(int current, int *regim, QString *opisanie);
    // Reports a failure with the fixed heading and clears the error list.
    // Count of the item's rows with that rule; -1 on failure.
    int countOf(int regim);
    bool mozhnoDobavit(int regim);
    void move(bool up);

    DbConnection *m_db;
    Dialogs *m_dialogs;
    Platform *m_platform;
    int m_povestka = -1;
};
