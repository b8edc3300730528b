#include "editors/regim_redakt.h"

#include "core/platform.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/zaprosy/pravilo.h"
#include "editors/povestka_grid.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TRegimRedaktForma::TRegimRedaktForma(DbConnection *db, Dialogs *, Platform *platform, QWidget *parent)
    : QDialog(parent), m_platform(platform)
{
    setObjectName(QStringLiteral("RegimRedaktForma"));
    setWindowTitle(QStringLiteral("Выбор режима"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(350, 292);

    RegimZapros = new DataSet(db, this);
    RegimZapros->setObjectName(QStringLiteral("RegimZapros"));
    RegimZapros->setSql(zaprosy::pravilo::vybor());
    RegimModel = new DataSetModel(RegimZapros, this);
    RegimModel->setColumns({{QStringLiteral("opisanie"), QStringLiteral("Доступные режимы"), 0}});

    RegimTabl = new QTableView(this);
    RegimTabl->setObjectName(QStringLiteral("RegimTabl"));
    bindGridToDataSet(RegimTabl, RegimModel);
    zhirnyeZagolovki(RegimTabl);

    KnopkaVibor = new QPushButton(QStringLiteral("Выбрать"), this);
    KnopkaVibor->setObjectName(QStringLiteral("KnopkaVibor"));
    KnopkaVibor->setDefault(true);
    KnopkaZakr = new QPushButton(QStringLiteral("Закрыть"), this);
    KnopkaZakr->setObjectName(QStringLiteral("KnopkaZakr"));
    connect(KnopkaVibor, &QPushButton::clicked, this, &QDialog::accept);
    connect(KnopkaZakr, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(KnopkaVibor);
    buttons->addWidget(KnopkaZakr);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(RegimTabl, 1);
    layout->addLayout(buttons);

    reload();
}

bool TRegimRedaktForma::reload()
{
    return RegimZapros->requery();
}

bool TRegimRedaktForma::selectRegim(int id)
{
    return RegimZapros->locate(QStringLiteral("id"), id);
}

int TRegimRedaktForma::chosenId() const
{
    return RegimZapros->isEmpty() ? -1 : RegimZapros->field(QStringLiteral("id")).toInt();
}

QString TRegimRedaktForma::chosenOpisanie() const
{
    return RegimZapros->field(QStringLiteral("opisanie")).toString();
}

void TRegimRedaktForma::RaspolozhitKolonki()
{
    RegimTabl->setColumnWidth(0, qMax(20, RegimTabl->width() - m_platform->scrollBarWidth() - 5));
}

void TRegimRedaktForma::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    RaspolozhitKolonki();
}

void TRegimRedaktForma::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    RaspolozhitKolonki();
}
