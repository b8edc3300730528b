#include "editors/regim_povestka.h"

#include "core/dialogs.h"
#include "core/oshibka.h"
#include "core/platform.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/zaprosy/pravilo.h"
#include "editors/povestka_grid.h"
#include "editors/regim_redakt.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const QString kAddError = QStringLiteral("Ошибка при добавлении режима голосования к повестке!");
const QString kReplaceError = QStringLiteral("Ошибка при заменене режима голосования к повестке!");
const QString kRemoveError = QStringLiteral("Ошибка при удалении режима голосования!");
const QString kMoveError = QStringLiteral("Ошибка при перемещении голосования к повестке!");
const QString kNewLines = QStringLiteral("\n\r\n\r");
const QString kDuplicate = QStringLiteral("Повторяющийся режим!");
}  // namespace

TRegimPovestkaForma::TRegimPovestkaForma(DbConnection *db, Dialogs *dialogs, Platform *platform, QWidget *parent)
    : QDialog(parent), m_db(db), m_dialogs(dialogs), m_platform(platform)
{
    setObjectName(QStringLiteral("RegimPovestkaForma"));
    setWindowTitle(QStringLiteral("Режимы голосования - "));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(492, 458);

    RegimZapros = new DataSet(db, this);
    RegimZapros->setObjectName(QStringLiteral("RegimZapros"));
    RegimZapros->setSql(zaprosy::pravilo::spisokVoprosa());
    RegimModel = new DataSetModel(RegimZapros, this);
    RegimModel->setColumns({{QStringLiteral("ord"), QStringLiteral("№ п/п"), 0},
                            {QStringLiteral("opisanie"), QStringLiteral("Режим"), 0}});

    RegimTabl = new QTableView(this);
    RegimTabl->setObjectName(QStringLiteral("RegimTabl"));
    bindGridToDataSet(RegimTabl, RegimModel);
    RegimTabl->setColumnHidden(0, true);
    zhirnyeZagolovki(RegimTabl);
    connect(RegimTabl, &QTableView::doubleClicked, this, [this] { RegimTablDblClick(); });

    RegimNoviy = deistvie(this, "RegimNoviy", QStringLiteral("Добавить"), [this] { RegimNoviyExecute(); });
    RegimRedakt = deistvie(this, "RegimRedakt", QStringLiteral("Заменить"), [this] { RegimRedaktExecute(); });
    RegimUdalit = deistvie(this, "RegimUdalit", QStringLiteral("Удалить"), [this] { RegimUdalitExecute(); });
    RegimVerh = deistvie(this, "RegimVerh", QString(), [this] { RegimVerhExecute(); }, style()->standardIcon(QStyle::SP_ArrowUp));
    RegimNis = deistvie(this, "RegimNis", QString(), [this] { RegimNisExecute(); }, style()->standardIcon(QStyle::SP_ArrowDown));

    KnopkaNoviy = knopkaDeistviya(this, "KnopkaNoviy", RegimNoviy);
    KnopkaUdalit = knopkaDeistviya(this, "KnopkaUdalit", RegimUdalit);
    KnopkaVerh = knopkaDeistviya(this, "KnopkaVerh", RegimVerh);
    KnopkaNis = knopkaDeistviya(this, "KnopkaNis", RegimNis);
    for (QPushButton *b : {KnopkaNoviy, KnopkaUdalit, KnopkaVerh, KnopkaNis})
        b->setFixedHeight(25);
    KnopkaVerh->setFixedWidth(40);
    KnopkaNis->setFixedWidth(40);
    KnopkaZakr = new QPushButton(QStringLiteral("Закрыть"), this);
    KnopkaZakr->setObjectName(QStringLiteral("KnopkaZakr"));
    KnopkaZakr->setFixedHeight(25);
    connect(KnopkaZakr, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(KnopkaNoviy);
    buttons->addWidget(KnopkaUdalit);
    buttons->addWidget(KnopkaVerh);
    buttons->addWidget(KnopkaNis);
    buttons->addStretch(1);
    buttons->addWidget(KnopkaZakr);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(RegimTabl, 1);
    layout->addLayout(buttons);
}

void TRegimPovestkaForma::setPovestka(int id, const QString &opisanie)
{
    m_povestka = id;
    setWindowTitle(QStringLiteral("Режимы голосования - ") + opisanie);
    RegimZapros->close();
    RegimZapros->setParam(QStringLiteral("a"), id);
    // No heading of its own: the failure's own text, as an unexpected error is shown.
    if (!RegimZapros->open())
        soobshitOshibku(m_dialogs, this, m_db);
}

bool TRegimPovestkaForma::pick(int current, int *regim, QString *opisanie)
{
    TRegimRedaktForma picker(m_db, m_dialogs, m_platform, this);
    if (!picker.RegimZapros->isOpen())
        return false;  // the rules could not be read; the caller reports it
    if (current >= 0)
        picker.selectRegim(current);
    if (m_dialogs->exec(&picker) != QDialog::Accepted || picker.chosenId() < 0)
        return false;
    *regim = picker.chosenId();
    *opisanie = picker.chosenOpisanie();
    return true;
}

int TRegimPovestkaForma::countOf(int regim)
{
    bool ok = false;
    const QVariant n = m_db->scalar(zaprosy::pravilo::kolichestvo(m_povestka, regim), &ok);
    return ok ? n.toInt() : -1;
}

// False, with the box shown, when rule r cannot go onto the item: it is there already, or the
// count failed.
bool TRegimPovestkaForma::mozhnoDobavit(int r)
{
    const int count = countOf(r);
    if (count < 0) {
        soobshitOshibku(m_dialogs, this, m_db, kAddError + kNewLines);
        return false;
    }
    if (count != 0) {
        m_dialogs->error(this, kDuplicate);
        return false;
    }
    return true;
}

void TRegimPovestkaForma::RegimNoviyExecute()
{
    int r = -1;
    QString name;
    if (!pick(-1, &r, &name)) {
        if (m_db->hasErrors())
            soobshitOshibku(m_dialogs, this, m_db, kAddError + kNewLines);
        return;
    }
    if (!mozhnoDobavit(r))
        return;
    bool ok = false;
    const QVariant maxOrd = m_db->scalar(zaprosy::pravilo::maxPoryadok(m_povestka), &ok);
    if (!ok) {
        soobshitOshibku(m_dialogs, this, m_db, kAddError + kNewLines);
        return;
    }
    if (!m_db->exec(zaprosy::pravilo::dobavit(maxOrd.toInt() + 1, m_povestka, r))) {
        soobshitOshibku(m_dialogs, this, m_db, kAddError + kNewLines);
        return;
    }
    if (!RegimZapros->requery()) {
        soobshitOshibku(m_dialogs, this, m_db, kAddError + kNewLines);
        return;
    }
    RegimZapros->last();
}

void TRegimPovestkaForma::RegimRedaktExecute()
{
    if (!RegimZapros->isOpen() || RegimZapros->isEmpty())
        return;
    const int i = RegimZapros->field(QStringLiteral("id")).toInt();
    const int g = RegimZapros->field(QStringLiteral("regim_id")).toInt();
    const QString current = RegimZapros->field(QStringLiteral("opisanie")).toString();
    int r = -1;
    QString name;
    if (!pick(g, &r, &name)) {
        if (m_db->hasErrors())
            soobshitOshibku(m_dialogs, this, m_db, kReplaceError + kNewLines);
        return;
    }
    // The same name counts as the same rule, even on another row of the rules.
    if (name == current)
        return;
    if (!mozhnoDobavit(r))
        return;
    if (!m_db->exec(zaprosy::pravilo::zamenit(i, r))) {
        soobshitOshibku(m_dialogs, this, m_db, kReplaceError + kNewLines);
        return;
    }
    if (!RegimZapros->requery()) {
        soobshitOshibku(m_dialogs, this, m_db, kReplaceError + kNewLines);
        return;
    }
    RegimZapros->locate(QStringLiteral("id"), i);
}

void TRegimPovestkaForma::RegimUdalitExecute()
{
    if (!RegimZapros->isOpen() || RegimZapros->isEmpty())
        return;
    if (!m_dialogs->question(this,
                             QStringLiteral("Вы уверены, что хотите удалить режим голосования [")
                                 + RegimZapros->field(QStringLiteral("opisanie")).toString() + QStringLiteral("]!"),
                             QStringLiteral("Удаление")))
        return;
    // The others keep their positions: gaps are harmless, the order is what counts.
    if (!m_db->exec(zaprosy::pravilo::udalit(RegimZapros->field(QStringLiteral("id")).toInt()))) {
        soobshitOshibku(m_dialogs, this, m_db, kRemoveError + kNewLines);
        return;
    }
    if (!RegimZapros->requery())
        soobshitOshibku(m_dialogs, this, m_db, kRemoveError + kNewLines);
}

void TRegimPovestkaForma::RegimVerhExecute()
{
    move(true);
}

void TRegimPovestkaForma::RegimNisExecute()
{
    move(false);
}

void TRegimPovestkaForma::move(bool up)
{
    if (!RegimZapros->isOpen() || RegimZapros->isEmpty())
        return;
    const int o = RegimZapros->field(QStringLiteral("ord")).toInt();
    const int i = RegimZapros->field(QStringLiteral("id")).toInt();
    const QString neighbourSql =
        up ? zaprosy::pravilo::sosedVyshe(m_povestka, o) : zaprosy::pravilo::sosedNizhe(m_povestka, o);
    ResultSet rs;
    if (!m_db->query(neighbourSql, &rs)) {
        soobshitOshibku(m_dialogs, this, m_db, kMoveError + kNewLines);
        return;
    }
    if (rs.isEmpty())
        return;
    const int neighbourOrd = rs.value(0, QStringLiteral("ord")).toInt();
    const int neighbourId = rs.value(0, QStringLiteral("id")).toInt();
    if (!m_db->exec(zaprosy::pravilo::zadatPoryadok(neighbourId, o))
        || !m_db->exec(zaprosy::pravilo::zadatPoryadok(i, neighbourOrd))) {
        soobshitOshibku(m_dialogs, this, m_db, kMoveError + kNewLines);
        RegimZapros->requery();
        return;
    }
    RegimZapros->requery();
    RegimZapros->locate(QStringLiteral("id"), i);
}

void TRegimPovestkaForma::RegimTablDblClick()
{
    RegimRedaktExecute();
}

void TRegimPovestkaForma::FormActivate()
{
    RaspolozhitKolonki();
    RegimTabl->setFocus();
}

void TRegimPovestkaForma::RaspolozhitKolonki()
{
    RegimTabl->setColumnWidth(1, qMax(20, RegimTabl->width() - m_platform->scrollBarWidth() - 5));
}

void TRegimPovestkaForma::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TRegimPovestkaForma::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    RaspolozhitKolonki();
}

void TRegimPovestkaForma::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    RaspolozhitKolonki();
}
