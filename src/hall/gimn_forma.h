#pragma once

#include <QDialog>

class DbConnection;
class Dialogs;
class QPushButton;

// The anthem dialog the console opens after a registration: it puts the terminals into the
// anthem screen, takes the results or the anthem down, and opens the agenda, which is the
// only way it closes while its close flag is false.
class TGimnForm : public QDialog {
    Q_OBJECT
public:
    TGimnForm(DbConnection *db, Dialogs *dialogs, bool mozhnoZakrit, QWidget *parent = nullptr);

    void VklGimnClick();
    void ViklGimnClick();
    void ZakrGimnClick();
    bool FormCloseQuery() const { return m_mozhnoZakrit; }
    bool MozhnoZakrit() const { return m_mozhnoZakrit; }

    void done(int result) override;

    QPushButton *VklGimn = nullptr;
    QPushButton *ViklGimn = nullptr;
    QPushButton *ZakrGimn = nullptr;

private:
    // Sends one mode-row statement; a failure shows "Ошибка!" and stays pending.
    bool zapisat(const QString &statement);

    DbConnection *m_db;
    Dialogs *m_dialogs;
    bool m_mozhnoZakrit;
};
