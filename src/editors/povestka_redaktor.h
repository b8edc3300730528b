#pragma once

#include "editors/seams.h"

#include <QDialog>
#include <QString>
#include <functional>

class QPushButton;
class QTableView;
class QTextEdit;
class QWidget;
class Tpovestka_freim;

// The agenda editor: the agenda frame on the left; on the right the content of the selected
// item and its documents (PDF files copied into the document store beside the program).
class TRedaktorPovestki : public QDialog {
    Q_OBJECT
public:
    TRedaktorPovestki(DbConnection *db, Dialogs *dialogs, Platform *platform, QWidget *parent = nullptr);

    // The meeting to edit and its description for the caption; loads its agenda.
    void setZasedanie(int id, const QString &opisanie);
    // The console's current meeting, which the meetings window must not delete.
    void setConsoleMeeting(int id);
    // Set by the console: re-read its agenda list after every change of agenda items.
    std::function<void()> onAgendaChanged;
    // Set by the console: open the protocol of a meeting from the meetings window.
    std::function<void(int meetingId)> openProtocol;

    // Agenda list events: the content box and the documents follow the current item.
    void PovestkaFreimPovestkaAfterOpen();
    void PovestkaFreimPovestkaAfterScroll();

    // Documents.
    void KnopkaDocNoviyClick();
    void DocTablDblClick();
    void KnopkaDocOpisanieClick();
    void KnopkaDocUdalitClick();
    void DocTablMouseUp(Qt::MouseButton button);
    void Button1Click();
    // Column widths of both grids, as on activation.
    void FormActivate();

    // The meeting date folder of the frame's meeting ("5.03.2014"); false with the error
    // pending when it could not be read.
    bool dateFolder(QString *folder);

    Tpovestka_freim *PovestkaFreim = nullptr;
    QWidget *PanelSprava = nullptr;
    QTextEdit *InfoPole = nullptr;
    QTableView *DocTabl = nullptr;
    QPushButton *KnopkaDocNoviy = nullptr;
    QPushButton *KnopkaDocUdalit = nullptr;
    QPushButton *KnopkaDocOpisanie = nullptr;
    QPushButton *Button1 = nullptr;
    DataSet *Faili = nullptr;
    DataSetModel *FailiModel = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void reloadDocuments();
    // Copies a chosen file into the item folder; an existing file is kept.
    void copyIntoItemFolder(const QString &source, const QString &put, const QString &fileName);
    // Asks for a PDF; the full path, empty when cancelled.
    QString chooseFile();
    bool vybratDokument(QString *file, QString *name, QString *put);

    DbConnection *m_db;
    Dialogs *m_dialogs;
    Platform *m_platform;
};
