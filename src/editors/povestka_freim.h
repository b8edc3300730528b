#pragma once

#include "editors/seams.h"

#include <QFrame>
#include <QString>
#include <functional>

class QAction;
class QLabel;
class QPushButton;
class QTableView;

// The agenda frame of the agenda editor: the meeting caption, the meeting's agenda items,
// adding, editing, deleting and moving them, and the item's voting rules.
class Tpovestka_freim : public QFrame {
    Q_OBJECT
public:
    Tpovestka_freim(DbConnection *db, Dialogs *dialogs, Platform *platform, QWidget *parent = nullptr);

    // The frame's meeting. setZasedanie puts the description into the caption and loads the
    // agenda; the meeting is otherwise changed only through the caption.
    void setZasedanie(int id, const QString &opisanie);
    int zasedanie() const { return m_zasedanie; }

    // Closes and re-opens the agenda for the frame's meeting; a failure is reported and
    // cleared. Returns whether the list opened.
    bool ZagruzitPovestku();

    // Passed on to the meetings window opened from the caption.
    void setConsoleMeeting(int id) { m_consoleMeeting = id; }
    std::function<void(int meetingId)> openProtocol;
    // Called after every change of agenda items so the console re-reads its agenda list.
    std::function<void()> onAgendaChanged;

    // Default type, number and position of a new item of the frame's meeting, as the add
    // action proposes them. False (error pending) when a query failed.
    bool noviyVoprosDefaults(int *tip, int *nomer, int *ord);

    void ZasedanieClick();
    void PovestkaTablDblClick();
    void VoprosDobavitExecute();
    void VoprosRedaktExecute();
    void VoprosUdalitExecute();
    void VoprosVerhExecute();
    void VoprosNisExecute();
    void KnopkaRegimClick();
    // The list's only column fills the grid less a scroll bar.
    void RaspolozhitKolonki();

    QFrame *PanelZasedanie = nullptr;
    QLabel *Zasedanie = nullptr;
    QTableView *PovestkaTabl = nullptr;
    QPushButton *KnopkaNoviy = nullptr;
    QPushButton *KnopkaUdalit = nullptr;
    QPushButton *KnopkaVerh = nullptr;
    QPushButton *KnopkaNis = nullptr;
    QPushButton *KnopkaRegim = nullptr;
    QAction *VoprosRedakt = nullptr;
    QAction *VoprosDobavit = nullptr;
    QAction *VoprosUdalit = nullptr;
    QAction *VoprosVerh = nullptr;
    QAction *VoprosNis = nullptr;

    DataSet *Povestka = nullptr;
    DataSetModel *PovestkaModel = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Adding and editing share the question editor, the post and the final report.
    void editVopros(bool adding);
    void moveVopros(bool up);
    void agendaChanged();

    DbConnection *m_db;
    Dialogs *m_dialogs;
    Platform *m_platform;
    int m_zasedanie = -1;
    int m_consoleMeeting = 0;
};
