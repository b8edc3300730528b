#include "core/tpodklforma.h"
#include "core/vidzhety.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

TPodklForma::TPodklForma(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PodklForma"));
    setWindowTitle(QStringLiteral("Подключение к БД"));
    const QFont f = arialPx(13);
    setFont(f);
    setFixedSize(285, 348);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    QFont bold = f;
    bold.setBold(true);
    const struct {
        const char *name;
        const char *label;
    } fields[] = {{"Server", "Сервер:"}, {"Basa", "База данных:"}, {"Login", "Логин:"}, {"Parol", "Пароль:"}};
    QLineEdit *edits[4];
    for (int i = 0; i < 4; ++i) {
        auto *label = new QLabel(QString::fromUtf8(fields[i].label), this);
        label->setFont(bold);
        label->setGeometry(16, 14 + i * 64, 253, 18);
        edits[i] = new QLineEdit(this);
        edits[i]->setObjectName(QString::fromLatin1(fields[i].name));
        edits[i]->setGeometry(16, 34 + i * 64, 253, 25);
        label->setBuddy(edits[i]);
    }
    Server = edits[0];
    Basa = edits[1];
    Login = edits[2];
    Parol = edits[3];
    Parol->setEchoMode(QLineEdit::Password);
    Parol->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));  // '*'

    Knopka_Ok = new QPushButton(QStringLiteral("OK"), this);
    Knopka_Ok->setObjectName(QStringLiteral("Knopka_Ok"));
    Knopka_Ok->setGeometry(16, 298, 120, 30);
    Knopka_Ok->setDefault(true);
    connect(Knopka_Ok, &QPushButton::clicked, this, &QDialog::accept);

    Knopka_Otmena = new QPushButton(QStringLiteral("Отмена"), this);
    Knopka_Otmena->setObjectName(QStringLiteral("Knopka_Otmena"));
    Knopka_Otmena->setGeometry(149, 298, 120, 30);
    Knopka_Otmena->setAutoDefault(false);
    connect(Knopka_Otmena, &QPushButton::clicked, this, &QDialog::reject);

    // The password is what is usually missing: the cursor waits there.
    Parol->setFocus();
}

void TPodklForma::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (QScreen *s = screen())
        move(s->geometry().center() - rect().center());
    Parol->setFocus();
}
