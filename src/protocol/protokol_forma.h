#pragma once

#include "protocol/text/protocol_text.h"

#include <QDialog>

class DataSet;
class DbConnection;
class Dialogs;
class Platform;
class QFrame;
class QPushButton;
class QRadioButton;
class QTextEdit;

// The protocol (minutes) of one closed meeting in the electronic or the edited layout;
// the operator may edit the text and save it as an RTF file. Opened modally by the meetings
// window: create, setMeeting(id), dialogs->exec(window).
class TProtokolForma : public QDialog {
    Q_OBJECT
public:
    TProtokolForma(DbConnection *db, Dialogs *dialogs, Platform *platform, QWidget *parent = nullptr);

    // Opens the protocol of a meeting modally and releases it when it closes; what the
    // meetings window's protocol callback does.
    static int showFor(int meetingId, DbConnection *db, Dialogs *dialogs, Platform *platform, QWidget *parent);

    // Closes the two queries and sets the meeting whose protocol is made; the queries are
    // opened when the window is shown.
    void setMeeting(int id);
    int meeting() const;

    // Re-reads both queries and builds the electronic layout.
    void FormActivate();
    // Copies the meeting id from the vote list query to the meeting query.
    void Otchet2BeforeOpen();
    // Rebuild the text from the open query results (no database access).
    void ElectronniyClick();
    void RedaktClick();
    // Asks for a file name and writes the text box's content there as RTF.
    void KnopkaVFailClick();
    // Prints the text box's content through the print dialog, on the RTF's page.
    void KnopkaPechatClick();
    // Asks for a file name and writes the text box's content there as PDF, on the RTF's page.
    void KnopkaPdfClick();
    // The file name proposed for the protocol: "Протокол", the meeting's date and description.
    QString predlozhenieImeni() const;

    // Width of `count` spaces of the text box's font in pixels on this window.
    int spaceWidth(int count) const;
    protocol::IndentWidths indentWidths() const;

    QTextEdit *OtchetText = nullptr;
    QFrame *PanelNis = nullptr;
    QRadioButton *Electronniy = nullptr;
    QRadioButton *Redakt = nullptr;
    QPushButton *KnopkaVFail = nullptr;
    QPushButton *KnopkaPechat = nullptr;
    QPushButton *KnopkaPdf = nullptr;
    QPushButton *KnopkaZakr = nullptr;
    DataSet *Otchet1 = nullptr;
    DataSet *Otchet2 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void rebuild(bool edited);
    void display(const protocol::Paragraphs &paragraphs);
    bool queriesOpen() const;
    QString settingsPath() const;

    DbConnection *m_db;
    Dialogs *m_dialogs;
    Platform *m_platform;
};
