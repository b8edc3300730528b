#include "core/rezhim.h"
#include "console/admin_interfeis.h"
#include "console/konsol_ekran.h"

#include "console/konsol_obshee.h"
#include "console/registr_forma.h"
#include "core/cveta.h"
#include "core/dialogs.h"
#include "core/oshibka.h"
#include "core/platform.h"
#include "core/richtext.h"
#include "core/tglavforma.h"
#include "core/vidzhety.h"
#include "db/dataset.h"
#include "db/zaprosy/povestka.h"
#include "db/zaprosy/sessia.h"
#include "db/zaprosy/zapis.h"
#include "db/zaprosy/zasedanie.h"
#include "editors/povestka_grid.h"
#include "editors/povestka_redaktor.h"
#include "editors/zasedanie_form.h"
#include "protocol/protokol_forma.h"

#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTextEdit>

namespace {

constexpr int VysotaKnopok = 71;    // PanelAdminKnopki
constexpr int VysotaGolos = 78;     // PanelGolos
constexpr int LevyiKrai = 4;        // left of the buttons before the first arrangement

const QString kNachatZasedanie = QStringLiteral("Начать заседание");
const QString kZavershitZasedanie = QStringLiteral("Завершить заседание");
const QString kVyborVoprosa = QStringLiteral("Выбор текущего вопроса повестки дня");
const QString kDvaPerevoda = QStringLiteral("\n\r\n\r");

// Draws each agenda row in the colour the frame gives it, selected or not.
class PovestkaDelegat : public QStyledItemDelegate {
public:
    PovestkaDelegat(const TAdminInterfeis *frame, QObject *parent) : QStyledItemDelegate(parent), m_frame(frame) {}

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const bool selected = option->state & QStyle::State_Selected;
        const QColor c = m_frame->PovestkaTablDrawColumnCell(index.row(), selected);
        if (!c.isValid())
            return;
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            option->palette.setColor(g, QPalette::Text, c);
            option->palette.setColor(g, QPalette::HighlightedText, c);
        }
    }

private:
    const TAdminInterfeis *m_frame;
};

}  // namespace

TAdminInterfeis::TAdminInterfeis(TKonsolEkran *konsol, QWidget *parent)
    : QFrame(parent), m_glav(*konsol), m_konsol(konsol)
{
    setObjectName(QStringLiteral("AdminInterfeis"));
    setFont(arialPx(13));
    ustanovitCvet(this, cvet::Serebro());

    // Buttons in two columns; RaspolozhitKnopki fits them to the frame's width.
    PanelAdminKnopki = novayaPanel(this, "PanelAdminKnopki");
    KnopkaRedaktorPovestka = novayaKnopka(PanelAdminKnopki, "KnopkaRedaktorPovestka", QStringLiteral("Повестка"),
                                    QRect(LevyiKrai, 7, 178, 25));
    KnopkaRegistracia = novayaKnopka(PanelAdminKnopki, "KnopkaRegistracia", QStringLiteral("Регистрация"),
                               QRect(LevyiKrai, 33, 178, 25));
    KnopkaStartZas = novayaKnopka(PanelAdminKnopki, "KnopkaStartZas", kNachatZasedanie, QRect(186, 7, 178, 25));
    KnopkaStopZas = novayaKnopka(PanelAdminKnopki, "KnopkaStopZas", kZavershitZasedanie, QRect(186, 33, 178, 25));

    PanelGolos = novayaPanel(this, "PanelGolos");
    KnopkaAktivVopros = novayaKnopka(PanelGolos, "KnopkaAktivVopros", QStringLiteral("Выбор вопроса"),
                               QRect(LevyiKrai, 7, 178, 63));
    KnopkaStartGolosovania = novayaKnopka(PanelGolos, "KnopkaStartGolosovania", QStringLiteral("Голосование"),
                                    QRect(186, 7, 178, 63));
    KnopkaAktivVopros->setFont(arialPx(16, true));
    KnopkaStartGolosovania->setFont(arialPx(16, true));

    PanelAdminPovestka = novayaPanel(this, "PanelAdminPovestka");
    ustanovitCvet(PanelAdminPovestka, cvet::ZelenayaPovestka());

    Povestka = new DataSet(&m_glav->GlavBasa(), this);
    Povestka->setObjectName(QStringLiteral("Povestka"));
    Povestka->setSql(zaprosy::povestka::spisokKonsoli());
    Povestka2 = new DataSet(&m_glav->GlavBasa(), this);
    Povestka2->setObjectName(QStringLiteral("Povestka2"));
    Povestka2->setSql(zaprosy::povestka::aktivirovannyeSegodnya());

    PovestkaDannie = new DataSetModel(Povestka, this);
    PovestkaDannie->setColumns({{QStringLiteral("opisanie"), QString(), 0}});
    // The whole title, not a placeholder for a long text.
    PovestkaDannie->setDisplay([](int, const QString &, const QVariant &value) -> QVariant { return value.toString(); });

    PovestkaTabl = new QTableView(PanelAdminPovestka);
    PovestkaTabl->setObjectName(QStringLiteral("PovestkaTabl"));
    PovestkaTabl->setFont(arialPx(16, true));
    bindGridToDataSet(PovestkaTabl, PovestkaDannie);
    PovestkaTabl->horizontalHeader()->hide();
    PovestkaTabl->setShowGrid(true);
    PovestkaTabl->setItemDelegate(new PovestkaDelegat(this, PovestkaTabl));
    // The selection stays visible when the grid has no focus.
    QPalette pal = PovestkaTabl->palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Active, QPalette::HighlightedText));
    PovestkaTabl->setPalette(pal);

    PanelPovestkaKnopki = novayaPanel(PanelAdminPovestka, "PanelPovestkaKnopki");
    InfoPole = new QTextEdit(PanelPovestkaKnopki);
    InfoPole->setObjectName(QStringLiteral("InfoPole"));
    InfoPole->setReadOnly(true);
    InfoPole->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    InfoPole->setFocusPolicy(Qt::ClickFocus);

    connect(Povestka, &DataSet::afterOpen, this, [this] { PovestkaAfterOpen(); });
    connect(Povestka, &DataSet::afterScroll, this, [this] { obnovitInfoPole(); });
    connect(Povestka, &DataSet::rowsChanged, this, [this] {
        if (!Povestka->isOpen())
            obnovitInfoPole();
    });

    connect(KnopkaRedaktorPovestka, &QPushButton::clicked, this, [this] { KnopkaRedaktorPovestkaClick(); });
    connect(KnopkaRegistracia, &QPushButton::clicked, this, [this] { KnopkaRegistraciaClick(); });
    connect(KnopkaStartZas, &QPushButton::clicked, this, [this] { KnopkaStartZasClick(); });
    connect(KnopkaStopZas, &QPushButton::clicked, this, [this] { KnopkaStopZasClick(); });
    connect(KnopkaAktivVopros, &QPushButton::clicked, this, [this] { KnopkaAktivVoprosClick(); });
    connect(KnopkaStartGolosovania, &QPushButton::clicked, this, [this] { KnopkaStartGolosovaniaClick(); });

    if (parent)
        parent->installEventFilter(this);
    Razmestit();
}

// ---- Layout ---------------------------------------------------------------------------------

void TAdminInterfeis::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    Razmestit();
}

bool TAdminInterfeis::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        Razmestit();
    return QFrame::eventFilter(watched, event);
}

// Geometry is set here rather than by layouts: the panels' sizes are rules of their own, and
// a window that is not shown (tests) gets no resize events to run layouts by.
void TAdminInterfeis::Razmestit()
{
    if (parentWidget() && geometry() != parentWidget()->rect())
        setGeometry(parentWidget()->rect());
    const int W = width();
    PanelAdminKnopki->setGeometry(0, 0, W, VysotaKnopok);
    PanelGolos->setGeometry(0, VysotaKnopok, W, VysotaGolos);
    PanelAdminPovestka->setGeometry(0, VysotaKnopok + VysotaGolos, W, qMax(0, height() - VysotaKnopok - VysotaGolos));
    PanelAdminPovestkaResize();
    RaspolozhitKnopki();
}

void TAdminInterfeis::PanelAdminPovestkaResize()
{
    const int W = PanelAdminPovestka->width();
    const int H = PanelAdminPovestka->height();
    const int niz = H / 2;
    PanelPovestkaKnopki->setGeometry(0, H - niz, W, niz);
    PovestkaTabl->setGeometry(0, 0, W, H - niz);
    InfoPole->setGeometry(PanelPovestkaKnopki->rect());
}

void TAdminInterfeis::RaspolozhitKnopki()
{
    PovestkaTabl->setColumnWidth(0, qMax(20, PovestkaTabl->width() - m_glav->platform()->scrollBarWidth() - 5));

    const int W = PanelAdminKnopki->width();
    const int L = KnopkaAktivVopros->x();
    const int w = (W - 2 * L - 5) / 2;
    const int prav = W - L - w - 1;
    for (QPushButton *b : {KnopkaRedaktorPovestka, KnopkaRegistracia, KnopkaAktivVopros})
        b->setGeometry(L, b->y(), w, b->height());
    for (QPushButton *b : {KnopkaStartZas, KnopkaStopZas, KnopkaStartGolosovania})
        b->setGeometry(prav, b->y(), w, b->height());
}

void TAdminInterfeis::mouseDoubleClickEvent(QMouseEvent *event)
{
    FrameDblClick();
    event->accept();
}

void TAdminInterfeis::FrameDblClick()
{
    window()->showMinimized();
}

// ---- Binding and the agenda -------------------------------------------------------------------

bool TAdminInterfeis::ZagruzitZasedanie()
{
    DbConnection &db = m_glav->GlavBasa();
    ResultSet rs;
    const bool ok = db.query(zaprosy::zasedanie::otkrytoe(), &rs);
    const OshibkaBazy oshibka(&db);
    if (oshibka.est()) {
        // The guarded report, then the general one when the query itself failed.
        oshibka.pokazat(m_glav->dialogs(), m_glav->okno(), QStringLiteral("Ошибка автоинициализации заседания ("),
                        QStringLiteral(")!"));
        if (!ok)
            oshibka.pokazat(m_glav->dialogs(), m_glav->okno());
        return false;
    }
    if (rs.isEmpty())
        return false;
    m_zasedanieFreima = rs.value(0, 0).toInt();
    return true;
}

void TAdminInterfeis::ObnovitPovestku()
{
    if (m_zasedanieFreima == -1) {
        m_glav->dialogs()->error(m_glav->okno(),
                                 QStringLiteral("Повестка не может быть сформирована, так как не задано заседание!"));
        return;
    }
    const bool ok = otkrytPovestku(m_zasedanieFreima);
    const OshibkaBazy oshibka(&m_glav->GlavBasa());
    oshibka.pokazat(m_glav->dialogs(), m_glav->okno(), QStringLiteral("Ошибка запроса повестки ("), QStringLiteral(")!"));
    if (!ok)
        oshibka.pokazat(m_glav->dialogs(), m_glav->okno());
}

void TAdminInterfeis::PerechitatPovestku()
{
    if (!Povestka->isOpen())
        return;
    const bool ok = Povestka->requery() && Povestka2->isOpen();
    const OshibkaBazy oshibka(&m_glav->GlavBasa());
    oshibka.pokazat(m_glav->dialogs(), m_glav->okno(), QStringLiteral("Ошибка запроса повестки ("), QStringLiteral(")!"));
    if (!ok)
        oshibka.pokazat(m_glav->dialogs(), m_glav->okno());
}

bool TAdminInterfeis::otkrytPovestku(int idZasedania)
{
    Povestka->close();
    Povestka->setParam(QStringLiteral("a"), idZasedania);
    return Povestka->open() && Povestka2->isOpen();
}

void TAdminInterfeis::PovestkaAfterOpen()
{
    Povestka2->close();
    Povestka2->setParam(QStringLiteral("b"), Povestka->param(QStringLiteral("a")));
    Povestka2->open();
}

void TAdminInterfeis::obnovitInfoPole()
{
    richtext::loadRtf(InfoPole, Povestka->field(QStringLiteral("info")).toString());
    InfoPoleChange();
}

void TAdminInterfeis::InfoPoleChange()
{
    richtext::setWholeTextPointSize(InfoPole, 12);
}

QColor TAdminInterfeis::PovestkaTablDrawColumnCell(int row, bool selected) const
{
    const QVariant id = Povestka->value(row, QStringLiteral("id"));
    if (id.isNull())
        return QColor();
    QColor c;
    if (id.toInt() == m_glav->IdPovestki())
        c = selected ? QColor(255, 255, 0) : QColor(0, 128, 0);
    const int n = Povestka2->rowCount();
    for (int i = 0; i < n; ++i) {
        if (Povestka2->value(i, QStringLiteral("id")).toInt() == id.toInt()) {
            c = selected ? cvet::Serebro() : QColor(0, 0, 255);
            break;
        }
    }
    return c;
}

void TAdminInterfeis::pokazatPovestku(bool vidna)
{
    PovestkaTabl->setVisible(vidna);
    InfoPole->setVisible(vidna);
    ustanovitCvet(PanelAdminPovestka, vidna ? cvet::ZelenayaPovestka() : cvet::Serebro());
}

void TAdminInterfeis::SkrytPovestku()
{
    pokazatPovestku(false);
}

bool TAdminInterfeis::PovestkaSkryta() const
{
    return PovestkaTabl->isHidden();
}

void TAdminInterfeis::PrivyazatPovestku(int idZasedania)
{
    otkrytPovestku(idZasedania);
    pokazatPovestku(true);
}

void TAdminInterfeis::Perekrasit()
{
    PovestkaTabl->viewport()->update();
}

// ---- Reports -------------------------------------------------------------------------------------


// ---- Agenda editor ---------------------------------------------------------------------------------

void TAdminInterfeis::KnopkaRedaktorPovestkaClick()
{
    DbConnection &db = m_glav->GlavBasa();
    ResultSet rs;
    if (!db.query(zaprosy::povestka::aktivnoeZasedanie(), &rs)) {
        soobshitOshibku(m_glav->dialogs(), m_glav->okno(), &m_glav->GlavBasa());
        return;
    }
    int m = rs.isEmpty() ? -1 : rs.scalar().toInt();
    QString zagolovok;
    if (m == -1) {
        if (!db.query(zaprosy::zasedanie::poslednee(), &rs)) {
            soobshitOshibku(m_glav->dialogs(), m_glav->okno(), &m_glav->GlavBasa());
            return;
        }
        // No meeting at all: the editor opens on meeting 0, with an empty agenda.
        m = rs.isEmpty() ? 0 : rs.value(0, 0).toInt();
        zagolovok = rs.value(0, 1).toString();
    } else {
        if (!db.query(zaprosy::zasedanie::nazvanie(m), &rs)) {
            soobshitOshibku(m_glav->dialogs(), m_glav->okno(), &m_glav->GlavBasa());
            return;
        }
        zagolovok = rs.scalar().toString();
    }

    TRedaktorPovestki redaktor(&db, m_glav->dialogs(), m_glav->platform(), m_glav->okno());
    redaktor.setConsoleMeeting(m_zasedanieFreima);
    redaktor.onAgendaChanged = [this] { PerechitatPovestku(); };
    redaktor.openProtocol = [this](int idZasedania) {
        TProtokolForma::showFor(idZasedania, &m_glav->GlavBasa(), m_glav->dialogs(), m_glav->platform(), m_glav->okno());
    };
    redaktor.setZasedanie(m, zagolovok);
    m_glav->dialogs()->exec(&redaktor);
    // Errors the editor left are reported when it closes.
    soobshitOshibku(m_glav->dialogs(), m_glav->okno(), &db, QStringLiteral("Ошибка запроса к базе данных ("), QStringLiteral(")!"));
}

// ---- Registration and vote --------------------------------------------------------------------------

void TAdminInterfeis::KnopkaRegistraciaClick()
{
    if (m_glav->IdZasedania() < 1) {
        m_glav->dialogs()->error(m_glav->okno(), QStringLiteral("Регистрация невозможна, так как не было открыто заседание!"));
        return;
    }
    if (m_konsol->RegistrForma)
        m_konsol->RegistrForma->Pokazat();
}

void TAdminInterfeis::KnopkaStartGolosovaniaClick()
{
    m_glav->ekrany().OtkrytNastroikuGolosovania();
}

// ---- Opening and closing a meeting ---------------------------------------------------------------

void TAdminInterfeis::KnopkaStartZasClick()
{
    Dialogs *dlg = m_glav->dialogs();
    DbConnection &db = m_glav->GlavBasa();
    if (m_glav->IdZasedania() >= 1) {
        dlg->error(m_glav->okno(), QStringLiteral("Прежде чем открывать новое заседание, нужно закрыть текущее!"),
                   kNachatZasedanie);
        return;
    }

    // Only meetings never opened are offered.
    TZasedanieForm vybor(&db, dlg, m_glav->platform(), m_glav->okno());
    vybor.setConsoleMeeting(m_zasedanieFreima);
    vybor.setPickerMode(true);
    if (dlg->exec(&vybor) != QDialog::Accepted || vybor.chosenId() < 0)
        return;
    const int id = vybor.chosenId();
    const QString opisanie = vybor.chosenOpisanie();
    const QVariant start = vybor.Zasedania->field(QStringLiteral("start"));
    const QVariant stop = vybor.Zasedania->field(QStringLiteral("stop"));
    const QString imya = QStringLiteral("Заседание [") + opisanie + QStringLiteral("]");

    bool ok = false;
    const QVariant voprosov = db.scalar(zaprosy::povestka::kolichestvo(id), &ok);
    if (!ok) {
        soobshitOshibku(m_glav->dialogs(), m_glav->okno(), &m_glav->GlavBasa());
        return;
    }
    if (voprosov.toInt() == 0) {
        dlg->error(m_glav->okno(), imya + QStringLiteral(" без повестки! Дальнейшие операции с ним невозможны!"), kNachatZasedanie);
        return;
    }
    if (!stop.isNull()) {
        dlg->error(m_glav->okno(), imya + QStringLiteral(" помечено как завершенное! Дальнейшие операции с ним невозможны!"),
                   kNachatZasedanie);
        return;
    }
    if (!start.isNull()
        && !dlg->question(m_glav->okno(),
                          imya + QStringLiteral(" уже было активировано ранее! Вы уверены, что хотите продолжить "
                                                "процедуру активации заседания?"),
                          kNachatZasedanie))
        return;

    if (otkrytieZasedania(id, opisanie))
        return;
    if (db.hasErrors())
        soobshitOshibku(dlg, m_glav->okno(), &db, QStringLiteral("Ошибка активации заседания!") + kDvaPerevoda, QString(), kVyborVoprosa);
}

// The protected steps of opening; false at the first failing step.
bool TAdminInterfeis::otkrytieZasedania(int id, const QString &opisanie)
{
    DbConnection &db = m_glav->GlavBasa();
    if (!db.exec(zaprosy::zasedanie::nachat(id)))
        return false;
    ResultSet rs;
    if (!db.query(zaprosy::povestka::pervyiVopros(id), &rs))
        return false;
    if (!rs.isEmpty()) {
        const int pervyi = rs.scalar().toInt();
        if (!db.exec(zaprosy::povestka::snyatAktivnost()) || !db.exec(zaprosy::povestka::aktivirovat(pervyi))
            || !db.exec(zaprosy::povestka::otmetitAktivaciyu(pervyi)) || !db.exec(zaprosy::zapis::ochistit())
            || !otkrytPovestku(id))
            return false;
    }
    m_glav->setIdZasedania(id);
    m_zasedanieFreima = id;
    pokazatPovestku(true);
    m_glav->dialogs()->information(m_glav->okno(), QStringLiteral("Заседание [") + opisanie + QStringLiteral("] успешно активировано!"),
                                   kNachatZasedanie);
    return true;
}

void TAdminInterfeis::KnopkaStopZasClick()
{
    Dialogs *dlg = m_glav->dialogs();
    DbConnection &db = m_glav->GlavBasa();
    if (m_glav->IdZasedania() < 1) {
        dlg->error(m_glav->okno(), QStringLiteral("Заседание еще не открыто! Завершение невозможно!"), kZavershitZasedanie);
        return;
    }
    if (!dlg->question(m_glav->okno(), QStringLiteral("Вы уверены, что хотите завершить текущее заседание?"),
                       QStringLiteral("Завершение заседания")))
        return;

    ResultSet rs;
    if (!db.query(zaprosy::zasedanie::sostoyanie(m_glav->IdZasedania()), &rs)) {
        soobshitOshibku(m_glav->dialogs(), m_glav->okno(), &m_glav->GlavBasa());
        return;
    }
    const QString imya = QStringLiteral("Заседание [") + rs.value(0, 2).toString() + QStringLiteral("]");
    if (rs.value(0, 0).isNull()) {
        dlg->error(m_glav->okno(), imya + QStringLiteral(" еще не открыто! Завершение невозможно!"), kZavershitZasedanie);
        return;
    }
    if (!rs.value(0, 1).isNull()) {
        dlg->error(m_glav->okno(), imya + QStringLiteral(" помечено как завершенное! Дальнейшие операции с ним невозможны!"),
                   kZavershitZasedanie);
        return;
    }

    if (zakrytieZasedania())
        return;
    if (db.hasErrors())
        soobshitOshibku(dlg, m_glav->okno(), &db, QStringLiteral("Ошибка завершения заседания!") + kDvaPerevoda, QString(), kVyborVoprosa);
}

// The protected steps of closing; false at the first failing step.
bool TAdminInterfeis::zakrytieZasedania()
{
    DbConnection &db = m_glav->GlavBasa();
    const int idZasedania = m_glav->IdZasedania();
    if (!db.exec(zaprosy::zasedanie::zakonchit(idZasedania)) || !db.exec(zaprosy::povestka::snyatAktivnostZakrytie()))
        return false;
    m_glav->setIdPovestki(-1);
    m_glav->ob().LeiblVopros->clear();
    if (Povestka2->isOpen() && !Povestka2->requery())
        return false;
    if (!db.exec(zaprosy::zapis::ochistit()) || !db.exec(rezhim::prostoy()) || !db.exec(zaprosy::sessia::zakrytPeriody())
        || !db.exec(zaprosy::sessia::zakrytyiPeriod(idZasedania)))
        return false;
    int predsedatel = 0;
    int period = 0;
    if (!konsol::Predsedatel(&db, &predsedatel) || !konsol::PosledniiPeriod(&db, &period)
        || !konsol::ZapisatPredsedatelya(&db, predsedatel, period, idZasedania))
        return false;
    m_glav->setIdSessii(-1);
    m_glav->setIdZasedania(0);
    m_zasedanieFreima = 0;
    pokazatPovestku(false);
    m_glav->dialogs()->information(m_glav->okno(), QStringLiteral("Заседание успешно завершено!"),
                                   QStringLiteral("Завершение заседания"));
    return true;
}

// ---- Agenda item activation ---------------------------------------------------------------------

void TAdminInterfeis::KnopkaAktivVoprosClick()
{
    Dialogs *dlg = m_glav->dialogs();
    DbConnection &db = m_glav->GlavBasa();
    const QVariant a = Povestka->param(QStringLiteral("a"));
    // A console that came back while its open meeting had no active item (an activation cut
    // short by a fault) never learns the meeting from the clock: the agenda it shows is of an
    // open meeting, so that meeting is its own, or there would be no way on but by hand in
    // the database.
    if (m_glav->IdZasedania() < 1 && a.isValid() && !a.isNull() && a.toInt() > 0) {
        bool ok = false;
        const int otkryto = db.scalar(zaprosy::zasedanie::otkrytoLi(a.toInt()), &ok)
                                .toInt();
        if (!ok) {
            soobshitOshibku(dlg, m_glav->okno(), &db);
            return;
        }
        if (otkryto > 0)
            m_glav->setIdZasedania(a.toInt());
    }
    // Only items of the open meeting; an agenda shown without one (or never loaded) is refused.
    if (m_glav->IdZasedania() < 1 || !a.isValid() || a.isNull() || a.toInt() != m_glav->IdZasedania()) {
        dlg->error(m_glav->okno(),
                   QStringLiteral("Вы можете активировать вопросы повестки дня только их открытого заседения!"),
                   kVyborVoprosa);
        return;
    }
    if (Povestka->eof())
        return;
    const int id = Povestka->field(QStringLiteral("id")).toInt();

    bool ok = db.exec(zaprosy::povestka::snyatAktivnost()) && db.exec(zaprosy::povestka::aktivirovatSOtmetkoi(id))
              && db.exec(zaprosy::zapis::ochistit());
    if (ok) {
        Povestka2->close();
        Povestka2->setParam(QStringLiteral("b"), a);
        ok = Povestka2->open() && db.exec(rezhim::prostoyAktivacia());
    }
    if (!ok && db.hasErrors())
        soobshitOshibku(dlg, m_glav->okno(), &db, QStringLiteral("Ошибка при выборе текущего вопроса повестки дня!") + kDvaPerevoda, QString(), kVyborVoprosa);
}
