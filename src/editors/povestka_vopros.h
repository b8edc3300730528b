#pragma once

#include "editors/seams.h"

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTextEdit;

// The question editor: type, number, derived description and the formatted content of one
// agenda item, for adding and for editing. It lives for one add or edit.
class TVorposRedaktorForma : public QDialog {
    Q_OBJECT
public:
    TVorposRedaktorForma(DbConnection *db, Dialogs *dialogs, Platform *platform, QWidget *parent = nullptr);

    // A new item of the meeting with the proposed type, number and position; the
    // description follows at once.
    void startInsert(int idZasedanie, int tip, int nomer, int ord);
    // An existing item: its type, number and stored content (RTF or plain text).
    void startEdit(int id, int tip, int nomer, const QString &info);

    bool inserting() const { return m_id < 0; }
    int tip() const;
    int nomer() const;
    QString opisanie() const;
    // The content as RTF, as it is stored.
    QString infoRtf() const;

    // Writes the row: an insert for a new item, an update of type, number, description and
    // content for an existing one. A failure stays in the connection's error list.
    bool post();

    // The description rule: "Вопрос N" for a main question, "Доп. вопрос N" for an
    // additional one, whenever the type or the number changes.
    static QString opisanieFor(int tip, int nomer);
    void PrimenitOpisanie();

    // Validation before an OK close: false keeps the editor open (no description yet).
    bool FormCloseQuery();
    void done(int result) override;

    QLabel *LabelTip = nullptr;
    QRadioButton *Osn = nullptr;
    QRadioButton *Dop = nullptr;
    QLabel *LabelNomer = nullptr;
    QSpinBox *Nomer = nullptr;
    QLineEdit *VoprosTekst = nullptr;
    QLabel *LabelInfo = nullptr;
    QTextEdit *VoprosInfo = nullptr;
    QPushButton *KnopkaOK = nullptr;
    QPushButton *KnopkaOtmena = nullptr;

private:
    DbConnection *m_db;
    Dialogs *m_dialogs;
    int m_id = -1;
    int m_zasedanie = -1;
    int m_ord = 0;
};
