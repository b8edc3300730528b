// Speaker requests: the deputy's "ПРОШУ СЛОВА" button, the chairman's list of requests with
// its grid and buttons, and the button's sync with the request table.
#include "hall/proshu_slova.h"
#include "db/zaprosy/zapis.h"

#include "core/cveta.h"
#include "core/gerb.h"
#include "core/platform.h"
#include "core/vidzhety.h"
#include "hall/zal_obshee.h"

#include <QHeaderView>
#include <QListView>
#include <QPainter>
#include <QPainterPath>
#include <QTableView>
#include <QToolButton>

namespace {

const QString kProshuSlova = QStringLiteral("ПРОШУ СЛОВА");
const QString kOtkazatsya = QStringLiteral("ОТКАЗАТЬСЯ \n\rОТ ВЫСТУПЛЕНИЯ");

// Pictures of the list's buttons: up, down, and a cross for clearing the list.
enum class Risunok { Verh, Nis, Ochistka };

QIcon risunok(Risunok vid)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (vid == Risunok::Ochistka) {
        p.setPen(QPen(QColor(200, 30, 30), 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(8, 8, 24, 24);
        p.drawLine(24, 8, 8, 24);
    } else {
        QPainterPath strelka;
        if (vid == Risunok::Verh) {
            strelka.moveTo(16, 5);
            strelka.lineTo(28, 20);
            strelka.lineTo(4, 20);
        } else {
            strelka.moveTo(16, 27);
            strelka.lineTo(28, 12);
            strelka.lineTo(4, 12);
        }
        strelka.closeSubpath();
        p.setPen(QPen(QColor(0, 70, 0), 1.5));
        p.setBrush(cvet::Za());
        p.drawPath(strelka);
    }
    return QIcon(pm);
}

QToolButton *knopka(QWidget *parent, const char *name, Risunok vid)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(risunok(vid));
    b->setIconSize(QSize(28, 28));
    b->setFocusPolicy(Qt::NoFocus);
    b->hide();
    return b;
}

// The deputy's button: no request (yellow) or a pending one.
void pokazatZapros(const KontekstEkrana &g, bool est)
{
    const QColor c = est ? cvet::SlovoPredostavleno() : cvet::ProshuSlova();
    if (cvetFona(g.ob().LeiblProshuSlova) != c)
        ustanovitCvet(g.ob().LeiblProshuSlova, c);
    const QString &tekst = est ? kOtkazatsya : kProshuSlova;
    if (g.ob().LeiblProshuSlova->text() != tekst)
        g.ob().LeiblProshuSlova->setText(tekst);
}

bool terminalDeputata(const KontekstEkrana &g)
{
    return !g->OknoPredsedatelya() && !g->RezhimNabludatelya();
}

// Requests of the own deputy's seat; -1 when the statement failed.
int svoiZaprosy(const KontekstEkrana &g)
{
    bool ok = false;
    const QVariant n = g.GlavBasa().scalar(
        zaprosy::zapis::svoiZaprosy(g.IdDeputata()),
        &ok);
    return ok ? n.toInt() : -1;
}

// The views follow the data set's current row.
void vydelit(TProshuSlova *g)
{
    const int row = g->ZaprosZapis->currentRow();
    for (QAbstractItemView *v : {static_cast<QAbstractItemView *>(g->SpisokZapis),
                                 static_cast<QAbstractItemView *>(g->SpisokTabl)}) {
        if (row < 0) {
            v->clearSelection();
            continue;
        }
        const QModelIndex idx = v->model()->index(row, 0);
        v->selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
}

}  // namespace

TProshuSlova::TProshuSlova(const KontekstEkrana &k) : KontekstEkrana(k)
{
    ZaprosZapis = new DataSet(&GlavBasa(), this, QStringLiteral("ZaprosZapis"), zaprosy::zapis::spisok());

    auto *model = new DataSetModel(ZaprosZapis, this);
    model->setColumns({{QStringLiteral("fio"), QString()}});
    const QFont shrift = arialPx(13, true);

    SpisokZapis = new QListView(ob().PanelSpravaVerh);
    SpisokZapis->setObjectName(QStringLiteral("SpisokZapis"));
    SpisokZapis->setModel(model);
    SpisokZapis->setFont(shrift);
    SpisokZapis->setFrameShape(QFrame::NoFrame);
    SpisokZapis->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SpisokZapis->setSelectionMode(QAbstractItemView::SingleSelection);
    SpisokZapis->setFocusPolicy(Qt::NoFocus);
    {
        QPalette p = SpisokZapis->palette();
        p.setColor(QPalette::Base, cvet::Zaregistrirovan());
        SpisokZapis->setPalette(p);
    }
    SpisokZapis->hide();
    // Under the voting panel (and the console frame), which cover it while they are up.
    SpisokZapis->stackUnder(ob().PanelGolosovanie);

    SpisokTabl = new QTableView(ob().PanelSpravaVerh);
    SpisokTabl->setObjectName(QStringLiteral("SpisokTabl"));
    SpisokTabl->setModel(model);
    SpisokTabl->setFont(shrift);
    SpisokTabl->horizontalHeader()->hide();
    SpisokTabl->verticalHeader()->hide();
    SpisokTabl->setShowGrid(false);
    SpisokTabl->setWordWrap(false);
    SpisokTabl->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SpisokTabl->setSelectionBehavior(QAbstractItemView::SelectRows);
    SpisokTabl->setSelectionMode(QAbstractItemView::SingleSelection);
    SpisokTabl->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SpisokTabl->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    {
        // The selected row stays highlighted when the grid has no focus.
        QPalette p = SpisokTabl->palette();
        p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
        p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
        SpisokTabl->setPalette(p);
    }
    SpisokTabl->hide();
    connect(SpisokTabl, &QAbstractItemView::clicked, this, [this](const QModelIndex &idx) {
        ZaprosZapis->setCurrentRow(idx.row());
        vydelit(this);
    });

    SpisokVerh = knopka(ob().PanelSpravaVerh, "SpisokVerh", Risunok::Verh);
    SpisokNis = knopka(ob().PanelSpravaVerh, "SpisokNis", Risunok::Nis);
    OchistkaProshuSlova = knopka(ob().PanelSpravaVerh, "OchistkaProshuSlova", Risunok::Ochistka);
    connect(SpisokVerh, &QToolButton::clicked, this, &TProshuSlova::SpisokVerhClick);
    connect(SpisokNis, &QToolButton::clicked, this, &TProshuSlova::SpisokNisClick);
    connect(OchistkaProshuSlova, &QToolButton::clicked, this, &TProshuSlova::OchistkaProshuSlovaClick);
}

// Every poller tick: the list re-read, placed under its heading and, on the chairman terminal
// outside a vote, shown as the grid with its buttons.
void TProshuSlova::RazmestitSpisokZapis()
{
    // A restarted deputy terminal shows the request its seat still has.
    if (!ProshuSlovaProchitano && GlavBasa().isOpen() && OknoDeputata()) {
        ProshuSlovaProchitano = true;
        if (terminalDeputata(*this) && svoiZaprosy(*this) > 0)
            pokazatZapros(*this, true);
    }

    const int stroka = QFontMetrics(SpisokZapis->font()).height() + 4;
    SpisokZapis->setGeometry(ob().LeiblProshuSlova->x(), ob().LeiblProshuSlova->y() + ob().LeiblProshuSlova->height() + 5,
                             ob().LeiblProshuSlova->width(), 5 * stroka);

    const QVariant id = ZaprosZapis->isOpen() && !ZaprosZapis->eof() ? ZaprosZapis->field(QStringLiteral("id"))
                                                                     : QVariant(-1);
    ZaprosZapis->close();
    if (!ZaprosZapis->open())
        return;
    ZaprosZapis->locate(QStringLiteral("id"), id);
    vydelit(this);

    const bool pokazat = !ZaprosZapis->isEmpty() && OknoPredsedatelya();
    SpisokZapis->setVisible(pokazat);
    if (!pokazat || !ob().AdminFrame->isHidden()
        || (ZaprosRegima()->isOpen() && RegimNomer() == rezhim::Golosovanie))
        return;

    SpisokTabl->setGeometry(SpisokZapis->x(), SpisokZapis->y(), SpisokZapis->width(),
                            ob().PanelSpravaVerh->height() - ob().Gerb->height() - 150);
    SpisokTabl->show();
    SpisokTabl->raise();
    SpisokTabl->setColumnWidth(0, SpisokTabl->width() - platform()->scrollBarWidth() - 5);

    const int verh = SpisokTabl->y() + SpisokTabl->height() + 4;
    const int shirina = (SpisokTabl->width() - 10) / 3;
    const int vysota = 40;
    SpisokVerh->setGeometry(SpisokTabl->x(), verh, shirina, vysota);
    SpisokNis->setGeometry(SpisokVerh->x() + shirina + 5, verh, shirina, vysota);
    OchistkaProshuSlova->setGeometry(SpisokTabl->x() + SpisokTabl->width() - shirina, verh, shirina, vysota);
    for (QToolButton *b : {SpisokVerh, SpisokNis, OchistkaProshuSlova}) {
        b->show();
        b->raise();
    }
}

// Clock, outside registration and votes: the button shows whether the seat has a request.
void TProshuSlova::SinhronizaciyaProshuSlova()
{
    if (!terminalDeputata(*this))
        return;
    const int n = svoiZaprosy(*this);
    if (n < 0)
        return;
    pokazatZapros(*this, n > 0);
}

void TProshuSlova::LeiblProshuSlovaClick()
{
    // On the chairman's screens the label is the list's heading; the watcher has no button.
    if (!terminalDeputata(*this))
        return;

    ResultSet mesto;
    if (!GlavBasa().query(zaprosy::zapis::mestoDeputata(IdDeputata()), &mesto)
        || mesto.isEmpty()) {
        zal::soobshenie(*this, QStringLiteral("Ошибка при запросе слова (1)!"));
        return;
    }
    const int idMesta = mesto.value(0, 0).toInt();

    const bool prosit = cvetFona(ob().LeiblProshuSlova) == cvet::ProshuSlova();
    bool ok;
    if (prosit) {
        // One request per seat: a second one would put the deputy twice in the list.
        const QVariant est =
            GlavBasa().scalar(zaprosy::zapis::estZapros(idMesta), &ok);
        if (ok && est.toInt() == 0)
            ok = GlavBasa().exec(zaprosy::zapis::poprosit(idMesta));
    } else {
        ok = GlavBasa().exec(zaprosy::zapis::snyat(idMesta));
    }
    if (!ok)
        zal::soobshenie(*this, QStringLiteral("Ошибка при запросе слова (2)!"));
    // Toggled in any case; the sync puts it right when the table says otherwise.
    pokazatZapros(*this, prosit);
}

void TProshuSlova::OchistkaProshuSlovaClick()
{
    if (!GlavBasa().exec(zaprosy::zapis::ochistit()))
        zal::soobshenie(*this, QStringLiteral("Ошибка при очистке списка записавшихся на выступление."));
}

void TProshuSlova::SpisokVerhClick()
{
    ZaprosZapis->prior();
    vydelit(this);
}

void TProshuSlova::SpisokNisClick()
{
    ZaprosZapis->next();
    if (ZaprosZapis->eof())
        ZaprosZapis->last();
    vydelit(this);
}
