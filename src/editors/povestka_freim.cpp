#include "editors/povestka_freim.h"

#include "core/dialogs.h"
#include "core/oshibka.h"
#include "core/platform.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/zaprosy/dokument.h"
#include "db/zaprosy/obshee.h"
#include "db/zaprosy/povestka.h"
#include "db/zaprosy/pravilo.h"
#include "editors/povestka_grid.h"
#include "editors/povestka_vopros.h"
#include "editors/regim_povestka.h"
#include "editors/zasedanie_form.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const QString kNewLines = QStringLiteral("\n\r\n\r");
}

Tpovestka_freim::Tpovestka_freim(DbConnection *db, Dialogs *dialogs, Platform *platform, QWidget *parent)
    : QFrame(parent), m_db(db), m_dialogs(dialogs), m_platform(platform)
{
    setObjectName(QStringLiteral("PovestkaFreim"));

    Povestka = new DataSet(db, this);
    Povestka->setObjectName(QStringLiteral("Povestka"));
    Povestka->setSql(zaprosy::povestka::spisokRedaktora());
    PovestkaModel = new DataSetModel(Povestka, this);
    PovestkaModel->setColumns({{QStringLiteral("opisanie"), QStringLiteral("Вопрос повестки дня"), 0}});

    PanelZasedanie = new QFrame(this);
    PanelZasedanie->setObjectName(QStringLiteral("PanelZasedanie"));
    PanelZasedanie->setFrameShape(QFrame::StyledPanel);
    PanelZasedanie->setFixedHeight(41);
    PanelZasedanie->setCursor(Qt::PointingHandCursor);
    Zasedanie = new QLabel(QStringLiteral("Заседание не выбрано"), PanelZasedanie);
    Zasedanie->setObjectName(QStringLiteral("Zasedanie"));
    Zasedanie->setAlignment(Qt::AlignCenter);
    Zasedanie->setWordWrap(true);
    Zasedanie->setCursor(Qt::PointingHandCursor);
    QFont bold = Zasedanie->font();
    bold.setBold(true);
    Zasedanie->setFont(bold);
    auto *captionLayout = new QVBoxLayout(PanelZasedanie);
    captionLayout->setContentsMargins(4, 2, 4, 2);
    captionLayout->addWidget(Zasedanie);
    PanelZasedanie->installEventFilter(this);
    Zasedanie->installEventFilter(this);

    PovestkaTabl = new QTableView(this);
    PovestkaTabl->setObjectName(QStringLiteral("PovestkaTabl"));
    bindGridToDataSet(PovestkaTabl, PovestkaModel);
    zhirnyeZagolovki(PovestkaTabl);
    PovestkaTabl->horizontalHeader()->setHighlightSections(false);
    connect(PovestkaTabl, &QTableView::doubleClicked, this, [this] { PovestkaTablDblClick(); });

    VoprosRedakt = deistvie(this, "VoprosRedakt", QStringLiteral("Изменить вопрос повестки"), [this] { VoprosRedaktExecute(); });
    VoprosDobavit = deistvie(this, "VoprosDobavit", QStringLiteral("Добавить"), [this] { VoprosDobavitExecute(); });
    VoprosUdalit = deistvie(this, "VoprosUdalit", QStringLiteral("Удалить"), [this] { VoprosUdalitExecute(); });
    VoprosVerh = deistvie(this, "VoprosVerh", QString(), [this] { VoprosVerhExecute(); }, style()->standardIcon(QStyle::SP_ArrowUp));
    VoprosNis = deistvie(this, "VoprosNis", QString(), [this] { VoprosNisExecute(); }, style()->standardIcon(QStyle::SP_ArrowDown));

    KnopkaNoviy = knopkaDeistviya(this, "KnopkaNoviy", VoprosDobavit);
    KnopkaUdalit = knopkaDeistviya(this, "KnopkaUdalit", VoprosUdalit);
    KnopkaVerh = knopkaDeistviya(this, "KnopkaVerh", VoprosVerh);
    KnopkaNis = knopkaDeistviya(this, "KnopkaNis", VoprosNis);
    for (QPushButton *b : {KnopkaNoviy, KnopkaUdalit, KnopkaVerh, KnopkaNis})
        b->setFixedHeight(25);
    KnopkaVerh->setFixedWidth(40);
    KnopkaNis->setFixedWidth(40);
    KnopkaRegim = new QPushButton(QStringLiteral("Режимы голосования"), this);
    KnopkaRegim->setObjectName(QStringLiteral("KnopkaRegim"));
    KnopkaRegim->setFixedHeight(25);
    connect(KnopkaRegim, &QPushButton::clicked, this, [this] { KnopkaRegimClick(); });

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    buttons->addWidget(KnopkaNoviy);
    buttons->addWidget(KnopkaUdalit);
    buttons->addWidget(KnopkaVerh);
    buttons->addWidget(KnopkaNis);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(PanelZasedanie);
    layout->addWidget(PovestkaTabl, 1);
    layout->addLayout(buttons);
    layout->addWidget(KnopkaRegim);
}

void Tpovestka_freim::setZasedanie(int id, const QString &opisanie)
{
    m_zasedanie = id;
    Zasedanie->setText(opisanie);
    ZagruzitPovestku();
}

bool Tpovestka_freim::ZagruzitPovestku()
{
    Povestka->close();
    Povestka->setParam(QStringLiteral("a"), m_zasedanie);
    const bool ok = Povestka->open();
    soobshitOshibku(m_dialogs, this, m_db, QStringLiteral("Ошибка запроса повестки ("), QStringLiteral(")!"));
    return ok;
}

bool Tpovestka_freim::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == PanelZasedanie || watched == Zasedanie) && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        ZasedanieClick();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void Tpovestka_freim::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    RaspolozhitKolonki();
}

void Tpovestka_freim::RaspolozhitKolonki()
{
    PovestkaTabl->setColumnWidth(0, qMax(20, PovestkaTabl->width() - m_platform->scrollBarWidth() - 5));
}

void Tpovestka_freim::ZasedanieClick()
{
    TZasedanieForm form(m_db, m_dialogs, m_platform, this);
    form.setConsoleMeeting(m_consoleMeeting);
    form.openProtocol = openProtocol;
    form.reload();
    form.selectMeeting(m_zasedanie);
    const int result = m_dialogs->exec(&form);
    if (result == QDialog::Accepted && form.chosenId() >= 0) {
        Zasedanie->setText(form.chosenOpisanie());
        m_zasedanie = form.chosenId();
        ZagruzitPovestku();
    }
    soobshitOshibku(m_dialogs, this, m_db, QStringLiteral("Ошибка запроса списка заседаний ("), QStringLiteral(")!"));
}

void Tpovestka_freim::PovestkaTablDblClick()
{
    VoprosRedaktExecute();
}

bool Tpovestka_freim::noviyVoprosDefaults(int *tip, int *nomer, int *ord)
{
    ResultSet rs;
    // The type of the item created last, so a run of additional questions continues.
    if (!m_db->query(zaprosy::povestka::tipPoslednego(m_zasedanie), &rs))
        return false;
    *tip = rs.isEmpty() ? 0 : rs.scalar().toInt();
    bool ok = false;
    const QVariant maxNomer = m_db->scalar(zaprosy::povestka::maxNomer(m_zasedanie, *tip), &ok);
    if (!ok)
        return false;
    *nomer = maxNomer.toInt() + 1;
    const QVariant maxOrd = m_db->scalar(zaprosy::povestka::maxPoryadok(m_zasedanie), &ok);
    if (!ok)
        return false;
    *ord = maxOrd.toInt() + 1;
    return true;
}

void Tpovestka_freim::VoprosDobavitExecute()
{
    editVopros(true);
}

void Tpovestka_freim::VoprosRedaktExecute()
{
    if (!Povestka->isOpen() || Povestka->isEmpty())
        return;
    editVopros(false);
}

void Tpovestka_freim::editVopros(bool adding)
{
    int tip = 0;
    int nomer = 1;
    int ord = 1;
    if (!adding || noviyVoprosDefaults(&tip, &nomer, &ord)) {
        TVorposRedaktorForma editor(m_db, m_dialogs, m_platform, this);
        const int id = Povestka->field(QStringLiteral("id")).toInt();
        if (adding)
            editor.startInsert(m_zasedanie, tip, nomer, ord);
        else
            editor.startEdit(id, Povestka->field(QStringLiteral("tip")).toInt(),
                             Povestka->field(QStringLiteral("nomer")).toInt(),
                             Povestka->field(QStringLiteral("info")).toString());
        if (m_dialogs->exec(&editor) == QDialog::Accepted) {
            const bool posted = editor.post();
            Povestka->requery();
            if (adding) {
                // The list's re-read leaves the insert's key in place on both engines.
                const QVariant newId = m_db->scalar(zaprosy::noviyKlyuch());
                if (posted && !newId.isNull())
                    Povestka->locate(QStringLiteral("id"), newId);
            } else {
                Povestka->locate(QStringLiteral("id"), id);
            }
            if (posted)
                agendaChanged();
        }
    }
    soobshitOshibku(m_dialogs, this, m_db,
                    QStringLiteral("Ошибка работы с базой данных при редактировании вопроса повестки дня ["),
                    QStringLiteral("]!"));
}

void Tpovestka_freim::VoprosUdalitExecute()
{
    if (!Povestka->isOpen() || Povestka->isEmpty())
        return;
    const QString opisanie = Povestka->field(QStringLiteral("opisanie")).toString();
    if (!m_dialogs->question(this,
                             QStringLiteral("Вы уверены, что хотите удалить вопрос повестки дня [") + opisanie
                                 + QStringLiteral("]!"),
                             QStringLiteral("Удаление")))
        return;
    // Its documents and voting rules go with it, or nothing goes.
    const int id = Povestka->field(QStringLiteral("id")).toInt();
    const bool deleted = m_db->inTransaction([&] {
        return m_db->exec(zaprosy::dokument::udalitVoprosa(id)) && m_db->exec(zaprosy::pravilo::udalitVoprosa(id))
               && m_db->exec(zaprosy::povestka::udalit(id));
    });
    if (!deleted)
        m_db->clearErrors();  // a refused delete is passed over without a message
    Povestka->requery();
    if (deleted)
        agendaChanged();
}

void Tpovestka_freim::VoprosVerhExecute()
{
    moveVopros(true);
}

void Tpovestka_freim::VoprosNisExecute()
{
    moveVopros(false);
}

void Tpovestka_freim::moveVopros(bool up)
{
    if (!Povestka->isOpen() || Povestka->isEmpty())
        return;
    const int o = Povestka->field(QStringLiteral("ord")).toInt();
    const int i = Povestka->field(QStringLiteral("id")).toInt();
    // Items with equal positions are not neighbours: the next distinct position is.
    const QString neighbourSql =
        up ? zaprosy::povestka::sosedVyshe(m_zasedanie, o) : zaprosy::povestka::sosedNizhe(m_zasedanie, o);
    ResultSet rs;
    bool ok = m_db->query(neighbourSql, &rs);
    if (ok && rs.isEmpty())
        return;
    if (ok) {
        const int neighbourOrd = rs.value(0, QStringLiteral("ord")).toInt();
        const int neighbourId = rs.value(0, QStringLiteral("id")).toInt();
        ok = m_db->exec(zaprosy::povestka::zadatPoryadok(neighbourId, o))
            && m_db->exec(zaprosy::povestka::zadatPoryadok(i, neighbourOrd));
    }
    if (!ok) {
        soobshitOshibku(m_dialogs, this, m_db, QStringLiteral("Ошибка при перемещении вопроса повестки!") + kNewLines);
        // Half a swap may have been written: show what the database now holds.
        Povestka->requery();
        return;
    }
    Povestka->requery();
    Povestka->locate(QStringLiteral("id"), i);
    agendaChanged();
}

void Tpovestka_freim::KnopkaRegimClick()
{
    if (!Povestka->isOpen() || Povestka->isEmpty())
        return;
    TRegimPovestkaForma form(m_db, m_dialogs, m_platform, this);
    form.setPovestka(Povestka->field(QStringLiteral("id")).toInt(),
                     Povestka->field(QStringLiteral("opisanie")).toString());
    m_dialogs->exec(&form);
}

void Tpovestka_freim::agendaChanged()
{
    if (onAgendaChanged)
        onAgendaChanged();
}
