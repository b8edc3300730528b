#pragma once

#include "editors/seams.h"

#include <QDialog>
#include <QString>

class QPushButton;
class QTableView;

// The picker of voting rules: every rule of regim_golos, in display order.
class TRegimRedaktForma : public QDialog {
    Q_OBJECT
public:
    TRegimRedaktForma(DbConnection *db, Dialogs *dialogs, Platform *platform, QWidget *parent = nullptr);

    // Opens the list (the constructor does); false with the error pending on failure.
    bool reload();
    // Puts the cursor on a voting rule; false when it is not listed.
    bool selectRegim(int id);

    // The rule under the cursor: its id (-1 when the list is empty) and name.
    int chosenId() const;
    QString chosenOpisanie() const;

    void RaspolozhitKolonki();

    DataSet *RegimZapros = nullptr;
    DataSetModel *RegimModel = nullptr;
    QTableView *RegimTabl = nullptr;
    QPushButton *KnopkaVibor = nullptr;
    QPushButton *KnopkaZakr = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    Platform *m_platform;
};
