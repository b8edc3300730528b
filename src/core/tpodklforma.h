#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// Connection dialog: server, database, login and password. OK accepts, "Отмена" rejects.
class TPodklForma : public QDialog {
    Q_OBJECT
public:
    explicit TPodklForma(QWidget *parent = nullptr);

    QLineEdit *Server;
    QLineEdit *Basa;
    QLineEdit *Login;
    QLineEdit *Parol;
    QPushButton *Knopka_Ok;
    QPushButton *Knopka_Otmena;

protected:
    void showEvent(QShowEvent *event) override;
};
