#pragma once

#include "editors/seams.h"

#include <QDialog>
#include <QString>
#include <functional>

class QAction;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

// Date and description of one meeting, for adding and for editing.
class TZasedanieRedaktForma : public QDialog {
    Q_OBJECT
public:
    explicit TZasedanieRedaktForma(Dialogs *dialogs, QWidget *parent = nullptr);

    // Validation before an OK close: false keeps the dialog open (an empty description).
    bool FormCloseQuery();
    void done(int result) override;

    // The date as the statements send it (yyyymmdd).
    QString dataText() const;

    QLabel *LabelData = nullptr;
    QDateEdit *ZasedanieData = nullptr;
    QLabel *LabelOpisanie = nullptr;
    QLineEdit *ZasedanieOpisanie = nullptr;
    QPushButton *KnopkaOK = nullptr;
    QPushButton *KnopkaOtmena = nullptr;

private:
    Dialogs *m_dialogs;
};

// The list of meetings, newest first: add, edit, delete, open the protocol of a closed
// meeting, and pick a meeting for the window that opened the list.
class TZasedanieForm : public QDialog {
    Q_OBJECT
public:
    TZasedanieForm(DbConnection *db, Dialogs *dialogs, Platform *platform, QWidget *parent = nullptr);
    ~TZasedanieForm() override;

    // Re-reads the list, keeping the cursor on the same meeting when it is still listed.
    // A failure is reported and cleared; returns false then.
    bool reload();

    // Picker: no adding, deleting or protocol; only meetings never opened are listed, and
    // "Выбрать" is hidden when none is left. The cursor goes to the first row.
    void setPickerMode(bool picker);
    bool pickerMode() const { return m_picker; }
    // The console's current meeting: it must not be deleted.
    void setConsoleMeeting(int id) { m_consoleMeeting = id; }
    // Puts the cursor on a meeting; false when it is not listed.
    bool selectMeeting(int id);

    // Opens the protocol window of a closed meeting (set by the opener).
    std::function<void(int meetingId)> openProtocol;

    // The chosen meeting after the window closed with QDialog::Accepted; -1 / empty otherwise.
    int chosenId() const { return m_chosenId; }
    QString chosenOpisanie() const { return m_chosenOpisanie; }

    // The selected meeting (current row of the list); -1 when there is none.
    int currentId() const;

    void ZasedanieDobavitExecute();
    void ZasedanieRedaktExecute();
    void ZasedanieUdalitExecute();
    void KnopkaProtokolClick();
    void KnopkaOKClick();
    void ZasedaniaTablDblClick();
    // Description column fills what the date column and a scroll bar leave.
    void FormResize();

    void done(int result) override;

    DataSet *Zasedania = nullptr;
    DataSetModel *ZasedaniaModel = nullptr;
    QTableView *ZasedaniaTabl = nullptr;
    QPushButton *KnopkaNoviy = nullptr;
    QPushButton *KnopkaUdalit = nullptr;
    QPushButton *KnopkaProtokol = nullptr;
    QPushButton *KnopkaOK = nullptr;
    QPushButton *KnopkaOtmena = nullptr;
    QAction *ZasedanieDobavit = nullptr;
    QAction *ZasedanieRedakt = nullptr;
    QAction *ZasedanieUdalit = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Adding and editing share the dialog and the report of a failed statement.
    void editMeeting(bool adding);
    void updatePickerButtons();

    DbConnection *m_db;
    Dialogs *m_dialogs;
    Platform *m_platform;
    bool m_picker = false;
    int m_consoleMeeting = 0;
    int m_chosenId = -1;
    QString m_chosenOpisanie;
};
