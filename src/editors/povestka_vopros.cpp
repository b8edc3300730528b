#include "editors/povestka_vopros.h"

#include "core/dialogs.h"
#include "core/richtext.h"
#include "db/connection.h"
#include "db/zaprosy/povestka.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTextEdit>
#include <climits>

TVorposRedaktorForma::TVorposRedaktorForma(DbConnection *db, Dialogs *dialogs, Platform *, QWidget *parent)
    : QDialog(parent), m_db(db), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("VorposRedaktorForma"));
    setWindowTitle(QStringLiteral("Редактирование вопроса повестки"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(675, 442);

    LabelTip = new QLabel(QStringLiteral("Тип вопроса:"), this);
    LabelTip->setObjectName(QStringLiteral("LabelTip"));
    LabelTip->setGeometry(17, 10, 200, 17);
    Osn = new QRadioButton(QStringLiteral("Основной"), this);
    Osn->setObjectName(QStringLiteral("Osn"));
    Osn->setGeometry(17, 30, 100, 22);
    Osn->setChecked(true);
    Dop = new QRadioButton(QStringLiteral("Дополнительный"), this);
    Dop->setObjectName(QStringLiteral("Dop"));
    Dop->setGeometry(125, 30, 140, 22);

    LabelNomer = new QLabel(QStringLiteral("Номер вопроса:"), this);
    LabelNomer->setObjectName(QStringLiteral("LabelNomer"));
    LabelNomer->setGeometry(290, 10, 120, 17);
    Nomer = new QSpinBox(this);
    Nomer->setObjectName(QStringLiteral("Nomer"));
    // The number has no limits of its own: 0 makes the whole-agenda item.
    Nomer->setRange(INT_MIN, INT_MAX);
    Nomer->setValue(1);
    Nomer->setGeometry(290, 30, 90, 22);

    VoprosTekst = new QLineEdit(this);
    VoprosTekst->setObjectName(QStringLiteral("VoprosTekst"));
    VoprosTekst->setReadOnly(true);
    VoprosTekst->setGeometry(400, 30, 258, 22);

    LabelInfo = new QLabel(QStringLiteral("Содержание вопроса повестки дня:"), this);
    LabelInfo->setObjectName(QStringLiteral("LabelInfo"));
    LabelInfo->setGeometry(17, 64, 400, 17);
    VoprosInfo = new QTextEdit(this);
    VoprosInfo->setObjectName(QStringLiteral("VoprosInfo"));
    VoprosInfo->setAcceptRichText(true);
    VoprosInfo->setGeometry(17, 84, 641, 299);

    KnopkaOK = new QPushButton(QStringLiteral("ОК"), this);
    KnopkaOK->setObjectName(QStringLiteral("KnopkaOK"));
    KnopkaOK->setGeometry(478, 400, 85, 27);
    KnopkaOK->setDefault(true);
    KnopkaOtmena = new QPushButton(QStringLiteral("Отмена"), this);
    KnopkaOtmena->setObjectName(QStringLiteral("KnopkaOtmena"));
    KnopkaOtmena->setGeometry(573, 400, 85, 27);

    connect(Osn, &QRadioButton::toggled, this, [this] { PrimenitOpisanie(); });
    connect(Nomer, &QSpinBox::valueChanged, this, [this] { PrimenitOpisanie(); });
    connect(KnopkaOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(KnopkaOtmena, &QPushButton::clicked, this, &QDialog::reject);
}

QString TVorposRedaktorForma::opisanieFor(int tip, int nomer)
{
    return (tip == 0 ? QStringLiteral("Вопрос ") : QStringLiteral("Доп. вопрос ")) + QString::number(nomer);
}

void TVorposRedaktorForma::PrimenitOpisanie()
{
    VoprosTekst->setText(opisanieFor(tip(), nomer()));
}

void TVorposRedaktorForma::startInsert(int idZasedanie, int tip, int nomer, int ord)
{
    m_id = -1;
    m_zasedanie = idZasedanie;
    m_ord = ord;
    (tip == 1 ? Dop : Osn)->setChecked(true);
    Nomer->setValue(nomer);
    VoprosInfo->clear();
    PrimenitOpisanie();
}

void TVorposRedaktorForma::startEdit(int id, int tip, int nomer, const QString &info)
{
    m_id = id;
    (tip != 0 ? Dop : Osn)->setChecked(true);
    Nomer->setValue(nomer);
    richtext::loadRtf(VoprosInfo, info);
    PrimenitOpisanie();
}

int TVorposRedaktorForma::tip() const
{
    return Dop->isChecked() ? 1 : 0;
}

int TVorposRedaktorForma::nomer() const
{
    return Nomer->value();
}

QString TVorposRedaktorForma::opisanie() const
{
    return VoprosTekst->text();
}

QString TVorposRedaktorForma::infoRtf() const
{
    // Nothing typed stores nothing, rather than an RTF shell around no text.
    if (VoprosInfo->document()->isEmpty())
        return QString();
    return richtext::rtfOf(VoprosInfo);
}

bool TVorposRedaktorForma::post()
{
    // The stored description always follows the type and number shown.
    if (inserting())
        return m_db->exec(zaprosy::povestka::vstavit(m_zasedanie, tip(), nomer(), m_ord, opisanie(), infoRtf()));
    return m_db->exec(zaprosy::povestka::izmenit(m_id, tip(), nomer(), opisanie(), infoRtf()));
}

bool TVorposRedaktorForma::FormCloseQuery()
{
    if (opisanie().isEmpty()) {
        m_dialogs->error(this, QStringLiteral("Вы не заполнили поле [Вопрос повестки дня]!"));
        return false;
    }
    return true;
}

void TVorposRedaktorForma::done(int result)
{
    if (result == QDialog::Accepted && !FormCloseQuery())
        return;
    QDialog::done(result);
}
