#pragma once

#include "editors/seams.h"

#include <QDialog>
#include <QString>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;

// Surname, first name and patronymic of one deputy.
class TDeputatRedaktForma : public QDialog {
    Q_OBJECT
public:
    explicit TDeputatRedaktForma(Dialogs *dialogs, QWidget *parent = nullptr);

    // Validation before an OK close: the first empty field gets the focus and its message.
    bool FormCloseQuery();
    void done(int result) override;

    QLabel *LabelFamilia = nullptr;
    QLineEdit *familia = nullptr;
    QLabel *LabelImya = nullptr;
    QLineEdit *imya = nullptr;
    QLabel *LabelOtchestvo = nullptr;
    QLineEdit *otchestvo = nullptr;
    QPushButton *KnopkaOk = nullptr;
    QPushButton *KnopkaOtmena = nullptr;

private:
    Dialogs *m_dialogs;
};

// The list of deputies by full name, with a search by the beginning of the name; add, edit
// and delete. The seat commands use it to choose the deputy for a seat.
class TMestoDeputatForma : public QDialog {
    Q_OBJECT
public:
    TMestoDeputatForma(DbConnection *db, Dialogs *dialogs, Platform *platform, QWidget *parent = nullptr);
    ~TMestoDeputatForma() override;

    // Re-reads the list, keeping the cursor on the same deputy. A failure is reported and
    // cleared; returns false then.
    bool reload();

    // Chooser for a seat: caption "Выбор депутата - Место " + seat number, name column as
    // wide as the grid allows.
    void setChooserSeat(const QString &seatNumber);
    // Puts the cursor on a deputy; false when the deputy is not listed.
    bool selectDeputat(int id);

    // The chosen deputy after the window closed with QDialog::Accepted; -1 / empty otherwise.
    int chosenDeputatId() const { return m_chosenId; }
    QString chosenFio() const { return m_chosenFio; }

    // The deputy under the cursor; -1 when the (filtered) list is empty.
    int currentId() const;

    void PoiskChange(const QString &text);
    void DobavitDeputataExecute();
    void RedaktDeputataExecute();
    void UdalitDeputataExecute();
    void SpisokDblClick();
    void KnopkaViborClick();
    // Name column = grid width less a scroll bar less 5.
    void SirinaKolonki();

    void done(int result) override;

    DataSet *Deputat = nullptr;
    DataSetModel *DeputatModel = nullptr;
    QLabel *PoiskLeibl = nullptr;
    QLineEdit *Poisk = nullptr;
    QTableView *Spisok = nullptr;
    QPushButton *KnopkaNoviy = nullptr;
    QPushButton *KnopkaUdalit = nullptr;
    QPushButton *KnopkaVibor = nullptr;
    QPushButton *KnopkaZakr = nullptr;
    QMenu *PopupMenu = nullptr;
    QAction *DobavitDeputata = nullptr;
    QAction *RedaktDeputata = nullptr;
    QAction *UdalitDeputata = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:

    DbConnection *m_db;
    Dialogs *m_dialogs;
    Platform *m_platform;
    int m_chosenId = -1;
    QString m_chosenFio;
};
