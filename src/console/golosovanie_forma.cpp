#include "core/taimer.h"
#include "console/golosovanie_forma.h"
#include "console/konsol_ekran.h"

#include "console/konsol_obshee.h"
#include "console/nuzhno_golosov.h"
#include "console/process_golos2_forma.h"
#include "core/dialogs.h"
#include "core/oshibka.h"
#include "core/platform.h"
#include "core/rezhim.h"
#include "core/richtext.h"
#include "core/tglavforma.h"
#include "core/vidzhety.h"
#include "db/dataset.h"
#include "db/inifile.h"
#include "db/kvorum.h"
#include "db/zaprosy/golos.h"
#include "db/zaprosy/golosovanie.h"
#include "db/zaprosy/konstanta.h"
#include "db/zaprosy/povestka.h"
#include "db/zaprosy/sessia.h"
#include "db/zaprosy/pravilo.h"
#include "db/zaprosy/zapis.h"
#include "editors/povestka_grid.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTextEdit>
#include <QTimer>

#include <memory>

namespace {

const QString kSekciya = QStringLiteral("Golosovanie");
const QString kKlyuch = QStringLiteral("Vremya");

// Widths of a decision-rule button: whole, or only its circle once it is the rule in force
// (the red label then carries its caption).
constexpr int ShirinaPravila = 323;
constexpr int ShirinaKruga = 12;

QGroupBox *ramka(QWidget *parent, const char *name, const QString &zagolovok, const QRect &geom)
{
    auto *g = new QGroupBox(QLatin1Char(' ') + zagolovok + QLatin1Char(' '), parent);
    g->setObjectName(QString::fromLatin1(name));
    g->setGeometry(geom);
    g->setFont(arialPx(13, true));
    return g;
}

QLineEdit *pole(QGroupBox *box, const char *name)
{
    auto *e = new QLineEdit(box);
    e->setObjectName(QString::fromLatin1(name));
    e->setFont(arialPx(13));
    e->setReadOnly(true);
    e->setAlignment(Qt::AlignCenter);
    e->setGeometry(10, 24, box->width() - 20, 24);
    return e;
}

// The dialog's buttons carry its bold 13-pixel font.
QPushButton *knopka(QWidget *parent, const char *name, const QString &tekst, const QRect &geom)
{
    QPushButton *b = novayaKnopka(parent, name, tekst, geom);
    b->setFont(arialPx(13, true));
    return b;
}

// Draws RegimTabl's rows in the colours the dialog gives them.
class RegimDelegate : public QStyledItemDelegate {
public:
    RegimDelegate(const TGolosovanieForma *forma, QObject *parent) : QStyledItemDelegate(parent), m_forma(forma) {}

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QColor c = m_forma->CvetRegima(index.row());
        if (!c.isValid())
            return;
        option->palette.setColor(QPalette::Text, c);
        option->palette.setColor(QPalette::HighlightedText, c);
    }

private:
    const TGolosovanieForma *m_forma;
};

// An integer as the set-up reads it from a text: blanks around it allowed, nothing else.
bool celoe(const QString &tekst, int *out)
{
    bool ok = false;
    const int v = tekst.trimmed().toInt(&ok);
    if (ok)
        *out = v;
    return ok;
}

QString neCeloe(const QString &tekst)
{
    return QStringLiteral("'") + tekst + QStringLiteral("' не является целым числом");
}

}  // namespace

TGolosovanieForma::TGolosovanieForma(TKonsolEkran *konsol)
    : QDialog(konsol->okno()), m_glav(*konsol), m_konsol(konsol), m_nuzno(reshenie::ChisloPravil, 0)
{
    setObjectName(QStringLiteral("GolosovanieForma"));
    setWindowTitle(QStringLiteral("Голосование"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(640, 681);
    setFont(arialPx(13));
    postroit();
}

void TGolosovanieForma::postroit()
{
    PovestkaInfoBoks = ramka(this, "PovestkaInfoBoks", QString(), QRect(15, 8, 610, 129));
    PovestkaInfo = new QTextEdit(PovestkaInfoBoks);
    PovestkaInfo->setObjectName(QStringLiteral("PovestkaInfo"));
    PovestkaInfo->setFont(arialPx(13));
    PovestkaInfo->setReadOnly(true);
    PovestkaInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    PovestkaInfo->setGeometry(8, 20, 594, 101);

    RegimiBoks = ramka(this, "RegimiBoks", QStringLiteral("Режимы голосования"), QRect(15, 145, 266, 315));
    RegimZapros = new DataSet(&m_glav->GlavBasa(), this);
    RegimZapros->setObjectName(QStringLiteral("RegimZapros"));
    RegimZapros->setSql(zaprosy::pravilo::dlyaGolosovania());
    RegimModel = new DataSetModel(RegimZapros, this);
    RegimModel->setColumns({{QStringLiteral("opisanie"), QString(), 0}});
    RegimTabl = new QTableView(RegimiBoks);
    RegimTabl->setObjectName(QStringLiteral("RegimTabl"));
    RegimTabl->setFont(arialPx(13, true));
    RegimTabl->setGeometry(8, 22, 250, 285);
    bindGridToDataSet(RegimTabl, RegimModel);
    RegimTabl->horizontalHeader()->hide();
    RegimTabl->setItemDelegate(new RegimDelegate(this, RegimTabl));
    connect(RegimZapros, &DataSet::afterScroll, this, &TGolosovanieForma::RegimZaprosAfterScroll);
    // The colours follow the highlighted row.
    connect(RegimZapros, &DataSet::afterScroll, RegimTabl->viewport(), qOverload<>(&QWidget::update));

    ReshenieBoks = ramka(this, "ReshenieBoks", QStringLiteral("Принятие решения"), QRect(287, 145, 338, 315));
    for (int i = 0; i < reshenie::ChisloPravil; ++i) {
        auto *r = new QRadioButton(reshenie::podpisPravila(i + 1), ReshenieBoks);
        r->setObjectName(QStringLiteral("Regim%1").arg(i + 1));
        r->setFont(arialPx(15));
        r->setGeometry(8, 22 + (i * 83 + 1) / 2, ShirinaPravila, 26);
        connect(r, &QRadioButton::clicked, this, &TGolosovanieForma::Regim1Click);
        Regim << r;
    }
    KrasnyTekst = new QLabel(ReshenieBoks);
    KrasnyTekst->setObjectName(QStringLiteral("KrasnyTekst"));
    KrasnyTekst->setFont(arialPx(15));
    ustanovitCvetTeksta(KrasnyTekst, Qt::red);
    KrasnyTekst->setGeometry(8 + 17, 22 + 2, ShirinaPravila - 17, 22);

    TipGolosovania = ramka(this, "TipGolosovania", QStringLiteral("Тип голосования"), QRect(15, 468, 266, 72));
    const QStringList tipy{QStringLiteral("Решающее голосование"), QStringLiteral("Справочное голосование")};
    for (int i = 0; i < tipy.size(); ++i) {
        auto *r = new QRadioButton(tipy[i], TipGolosovania);
        r->setFont(arialPx(13));
        r->setGeometry(10, 20 + 24 * i, 240, 22);
        TipKnopki << r;
    }
    TipKnopki[0]->setChecked(true);

    // Two columns, filled column by column.
    VidGolosovania = ramka(this, "VidGolosovania", QStringLiteral("Вид голосования"), QRect(287, 468, 338, 72));
    const QStringList vidy{QStringLiteral("Открытое"), QStringLiteral("Тайное"), QStringLiteral("Поименное")};
    for (int i = 0; i < vidy.size(); ++i) {
        auto *r = new QRadioButton(vidy[i], VidGolosovania);
        r->setFont(arialPx(13));
        r->setGeometry(10 + 164 * (i / 2), 20 + 24 * (i % 2), 150, 22);
        VidKnopki << r;
    }
    VidKnopki[0]->setChecked(true);

    ZakBox = ramka(this, "ZakBox", QStringLiteral("По закону"), QRect(15, 548, 145, 60));
    IsbranoBoks = ramka(this, "IsbranoBoks", QStringLiteral("Избрано"), QRect(170, 548, 145, 60));
    PrisutstvuetBoks = ramka(this, "PrisutstvuetBoks", QStringLiteral("Присутствует"), QRect(325, 548, 145, 60));
    VremyaBoks = ramka(this, "VremyaBoks", QStringLiteral("Время"), QRect(480, 548, 145, 60));
    Zak = pole(ZakBox, "Zak");
    KolDeputatov = pole(IsbranoBoks, "KolDeputatov");
    Prisutstvuet = pole(PrisutstvuetBoks, "Prisutstvuet");
    Vremya = new QSpinBox(VremyaBoks);
    Vremya->setObjectName(QStringLiteral("Vremya"));
    Vremya->setFont(arialPx(13));
    Vremya->setRange(10, 200);
    Vremya->setSingleStep(5);
    Vremya->setAlignment(Qt::AlignCenter);
    Vremya->setGeometry(10, 24, 125, 24);

    KnopkaZakrit = knopka(this, "KnopkaZakrit", QStringLiteral("ЗАКРЫТЬ ОКНО"), QRect(15, 620, 196, 45));
    KnopkaPokazVopr = knopka(this, "KnopkaPokazVopr", QStringLiteral("ПОКАЗАТЬ ВОПРОС"), QRect(222, 620, 196, 45));
    KnopkaGolosovanie = knopka(this, "KnopkaGolosovanie", QStringLiteral("НАЧАТЬ ГОЛОСОВАНИЕ"), QRect(429, 620, 196, 45));
    connect(KnopkaZakrit, &QPushButton::clicked, this, &QDialog::reject);
    connect(KnopkaPokazVopr, &QPushButton::clicked, this, &TGolosovanieForma::KnopkaPokazVoprClick);
    connect(KnopkaGolosovanie, &QPushButton::clicked, this, &TGolosovanieForma::KnopkaGolosovanieClick);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TGolosovanieForma::Timer1Timer);
}

// ---- Set-up ------------------------------------------------------------------------------

bool TGolosovanieForma::Podgotovit(int prisutstvuet, int isbrano, int zakon, const QString &info,
                                   const QString &opisanie)
{
    DbConnection &db = m_glav->GlavBasa();
    m_prisutstvuet = prisutstvuet;
    m_isbrano = isbrano;
    m_zakon = zakon;

    // The list opens before the buttons carry their numbers; the matching that runs now only
    // picks the rule.
    RegimZapros->close();
    RegimZapros->setParam(QStringLiteral("a"), m_glav->IdPovestki());
    if (!RegimZapros->open()) {
        soobshitOshibku(m_glav->dialogs(), this, &db);
        return false;
    }
    RegimTabl->setColumnWidth(0, RegimTabl->width() - m_glav->platform()->scrollBarWidth() - 5);

    Prisutstvuet->setText(QString::number(prisutstvuet));
    KolDeputatov->setText(QString::number(isbrano));
    Zak->setText(QString::number(zakon));

    for (int i = 0; i < reshenie::ChisloPravil; ++i) {
        m_nuzno[i] = reshenie::nuzhnoGolosov(i + 1, prisutstvuet, isbrano, zakon);
        Regim[i]->setText(reshenie::sChislom(reshenie::podpisPravila(i + 1), m_nuzno[i]));
    }
    // Back on the first rule; the matching now takes the number too.
    RegimZapros->first();
    RegimZaprosAfterScroll();

    richtext::loadRtf(PovestkaInfo, info, 14);
    PovestkaInfoBoks->setTitle(QLatin1Char(' ') + opisanie + QLatin1Char(' '));

    move(m_glav->platform()->screenSize().width() - width(), 0);

    const QString vremya = iniRead(m_glav->FailNastroek(), kSekciya, kKlyuch, QStringLiteral("15"));
    int sekund = 0;
    if (!celoe(vremya, &sekund)) {
        m_glav->dialogs()->error(this, neCeloe(vremya));
        return false;
    }
    Vremya->setValue(sekund);  // the spin box keeps it within 10..200
    return true;
}

void TGolosovanieForma::Pokazat()
{
    // Each start closes the modal loop; the vote runs with the dialog hidden and the dialog
    // comes back when the vote has ended.
    for (;;) {
        m_zapusk = false;
        m_glav->dialogs()->exec(this);
        if (!m_zapusk)
            break;
        provestiGolosovanie(RegimZapros->field(QStringLiteral("opisanie")).toString());
        const QString fail = m_glav->FailNastroek();
        if (!iniWrite(fail, kSekciya, kKlyuch, QString::number(Vremya->value())))
            m_glav->dialogs()->error(this, QStringLiteral("Не удалось записать файл настроек ") + fail);
    }
}

// ---- Decision rules --------------------------------------------------------------------------

void TGolosovanieForma::pomestitKrasnyTekst(QRadioButton *knopka)
{
    KrasnyTekst->move(knopka->x() + 17, knopka->y() + 2);
    KrasnyTekst->setText(knopka->text());
    KrasnyTekst->raise();
}

void TGolosovanieForma::RegimZaprosAfterScroll()
{
    if (RegimZapros->currentRow() < 0)
        return;
    const QString regim = RegimZapros->field(QStringLiteral("regim")).toString();
    int nayden = -1;
    for (int i = 0; i < reshenie::ChisloPravil; ++i)
        if (reshenie::sovpadaet(Regim[i]->text(), regim))
            nayden = i;
    // A voting rule that stands for none of the decision rules leaves the one in force as it
    // is, with its caption still carried by the red label.
    if (nayden < 0)
        return;
    for (int i = 0; i < reshenie::ChisloPravil; ++i) {
        QRadioButton *r = Regim[i];
        if (i == nayden) {
            r->setChecked(true);
            r->resize(ShirinaKruga, r->height());
            pomestitKrasnyTekst(r);
            m_nuznoGolosov = m_nuzno[i];
        } else {
            r->resize(ShirinaPravila, r->height());
        }
    }
}

void TGolosovanieForma::Regim1Click()
{
    for (QRadioButton *r : Regim) {
        if (r->isChecked()) {
            r->resize(ShirinaKruga, r->height());
            pomestitKrasnyTekst(r);
        } else {
            r->resize(ShirinaPravila, r->height());
        }
    }
}

QColor TGolosovanieForma::CvetRegima(int row) const
{
    if (RegimZapros->value(row, QStringLiteral("pov")).isNull())
        return QColor();
    return row == RegimZapros->currentRow() ? QColor(255, 255, 0) : QColor(0, 128, 0);
}

int TGolosovanieForma::VybrannoePravilo() const
{
    for (int i = 0; i < Regim.size(); ++i)
        if (Regim[i]->isChecked())
            return i;
    return -1;
}

int TGolosovanieForma::IndeksTipa() const
{
    for (int i = 0; i < TipKnopki.size(); ++i)
        if (TipKnopki[i]->isChecked())
            return i;
    return -1;
}

int TGolosovanieForma::IndeksVida() const
{
    for (int i = 0; i < VidKnopki.size(); ++i)
        if (VidKnopki[i]->isChecked())
            return i;
    return -1;
}

// ---- Start -------------------------------------------------------------------------------------

void TGolosovanieForma::KnopkaGolosovanieClick()
{
    DbConnection &db = m_glav->GlavBasa();
    // A vote without a quorum may be wanted (an advisory vote, say): the operator is asked,
    // not stopped.
    bool prochitano = false;
    const QString kvorumZnachenie = db.scalar(kvorum::zaprosKvoruma(), &prochitano).toString();
    if (!prochitano) {
        m_glav->dialogs()->error(this, QStringLiteral("Ошибка при запуске голосования!\n\r\n\r") + db.firstErrorText());
        db.clearErrors();
        return;
    }
    // Yes is the default: the question informs, it does not hold the hall up.
    if (kvorum::verdikt(kvorumZnachenie, m_prisutstvuet) == kvorum::Net()
        && m_glav->dialogs()->message(this,
                                      QStringLiteral("Кворума нет: присутствует %1 при кворуме %2.\n\r"
                                                     "Начать голосование?")
                                          .arg(m_prisutstvuet)
                                          .arg(kvorumZnachenie.trimmed()),
                                      QStringLiteral("Голосование"), Dialogs::Question, Dialogs::Yes | Dialogs::No,
                                      Dialogs::Yes)
               != Dialogs::Yes)
        return;
    QString pravilo;
    const int vybrano = VybrannoePravilo();
    if (vybrano >= 0) {
        m_nuznoGolosov = m_nuzno[vybrano];
        pravilo = reshenie::bezChisla(Regim[vybrano]->text());
    }
    m_idGolosovania = -1;

    // Both texts are quoted: a rule name with an apostrophe must not break the statement.
    const QString vstavka = zaprosy::golosovanie::vstavit(
        pravilo, IndeksTipa(), IndeksVida(), m_isbrano, m_prisutstvuet,
        RegimZapros->field(QStringLiteral("opisanie")).toString(), m_nuznoGolosov, m_zakon, m_glav->IdPovestki(),
        m_glav->IdSessii());
    bool ok = db.exec(vstavka);
    QVariant id;
    if (ok)
        id = db.scalar(zaprosy::golosovanie::poslednee(), &ok);
    if (ok && !id.isNull())
        m_idGolosovania = id.toInt();
    // The mode row is part of the start: if it cannot be written no terminal votes, and the
    // operator may try again from the open dialog.
    if (m_idGolosovania != -1 && !db.exec(rezhim::nachatGolosovanie(m_idGolosovania, Vremya->value()))) {
        ok = false;
        m_idGolosovania = -1;
    }
    if (!ok || m_idGolosovania == -1) {
        soobshitOshibku(m_glav->dialogs(), this, &db, QStringLiteral("Ошибка при запуске голосования!\n\r\n\r"));
        m_idGolosovania = -1;
        return;
    }

    m_ostalosSekund = Vremya->value();
    Timer1->start();
    m_zapusk = true;
    accept();
}

void TGolosovanieForma::KnopkaPokazVoprClick()
{
    DbConnection &db = m_glav->GlavBasa();
    if (!db.exec(rezhim::prostoy()))
        soobshitOshibku(m_glav->dialogs(), this, &db);
}

// ---- The running vote ----------------------------------------------------------------------

bool TGolosovanieForma::Prodolzhit(int idGolosovania, int sekund)
{
    ResultSet rs;
    if (!m_glav->GlavBasa().query(zaprosy::golosovanie::dlyaProdolzheniya(idGolosovania), &rs)
        || rs.isEmpty())
        return false;
    m_idGolosovania = idGolosovania;
    m_nuznoGolosov = rs.value(0, 2).toInt();
    m_prisutstvuet = rs.value(0, 1).toInt();
    Prisutstvuet->setText(QString::number(m_prisutstvuet));
    m_ostalosSekund = qMax(sekund, 0);
    provestiGolosovanie(rs.value(0, 0).toString());
    return true;
}

void TGolosovanieForma::provestiGolosovanie(const QString &regim)
{
    if (!m_konsol->ProcessGolos2Forma)
        m_konsol->SozdatProcessGolos2Formu();
    TProcessGolos2Forma *okno = m_konsol->ProcessGolos2Forma;

    okno->setWindowTitle(QStringLiteral("Идет голосование ..."));
    okno->KnopkaStopGolos->setText(QStringLiteral("Завершить голосование"));
    okno->setMozhnoZakrit(false);
    okno->RegimLeibl->setText(QStringLiteral("Режим: ") + regim);
    okno->PrisutLeibl->setText(QStringLiteral("Присутствует: ") + Prisutstvuet->text());
    okno->VsegoLeibl->setText(QStringLiteral("Всего проголосовало: 0"));
    okno->NuznoLeil->setText(QStringLiteral("Для принятия решения необходимо: ") + QString::number(m_nuznoGolosov));
    okno->ZaLeibl->setText(QStringLiteral("За: 0"));
    okno->ProtivLeibl->setText(QStringLiteral("Против: 0"));
    okno->VosdLeibl->setText(QStringLiteral("Воздержалось: 0"));
    okno->move(m_glav->platform()->screenSize().width() - okno->width(), 0);
    // Ending early skips the idle write: the hall goes from the vote straight to its result.
    okno->naZavershenie = [this] {
        if (m_zapisanoKonca < 1)
            m_zapisanoKonca = 1;
        m_ostalosSekund = 0;
        zavershit();
    };

    m_zapisanoKonca = 0;
    m_sboiPodryad = false;
    m_idet = true;
    Timer1->start();
    m_glav->dialogs()->exec(okno);
    okno->naZavershenie = nullptr;
    m_idet = false;
    okno->setMozhnoZakrit(true);
    Timer1->stop();
}

void TGolosovanieForma::Timer1Timer()
{
    if (!Timer1->isActive() || !m_idet)
        return;
    // A box of this timer is open (its event loop runs the timer): that tick is not over yet.
    if (m_vTike)
        return;
    m_vTike = true;
    if (m_ostalosSekund > 0 && !schitat()) {
        sboiTaimera();
        m_vTike = false;
        return;
    }
    if (m_ostalosSekund <= 0)
        zavershit();
    m_vTike = false;
}

bool TGolosovanieForma::schitat()
{
    DbConnection &db = m_glav->GlavBasa();
    TProcessGolos2Forma *okno = m_konsol->ProcessGolos2Forma;
    bool ok = false;
    const QVariant vsego = db.scalar(zaprosy::golos::vsego(m_idGolosovania), &ok);
    if (!ok)
        return false;
    okno->VsegoLeibl->setText(QStringLiteral("Всего проголосовало: ") + QString::number(vsego.toInt()));

    ResultSet rs;
    if (!db.query(zaprosy::golos::poKodam(m_idGolosovania), &rs))
        return false;
    QString po[4];
    for (int r = 0; r < rs.rowCount(); ++r) {
        const int kak = rs.value(r, QStringLiteral("kak")).toInt();
        if (kak >= 1 && kak <= 3)
            po[kak] = rs.value(r, QStringLiteral("result")).toString();
    }
    okno->ZaLeibl->setText(QStringLiteral("За: ") + (po[1].isEmpty() ? QStringLiteral("0") : po[1]));
    okno->ProtivLeibl->setText(QStringLiteral("Против: ") + (po[2].isEmpty() ? QStringLiteral("0") : po[2]));
    okno->VosdLeibl->setText(QStringLiteral("Воздержалось: ") + (po[3].isEmpty() ? QStringLiteral("0") : po[3]));

    // The seconds left go down only once written: each failed tick makes the vote a second
    // longer.
    if (!db.exec(rezhim::ostalosSekund(m_ostalosSekund - 1)))
        return false;
    --m_ostalosSekund;
    m_sboiPodryad = false;
    return true;
}

void TGolosovanieForma::zavershit()
{
    // The result of this vote on every screen; the speaker queue starts afresh.
    if (!konsol::ZapisatKonec(&m_glav->GlavBasa(),
                              {rezhim::prostoy(), rezhim::rezultatGolosovania(m_idGolosovania), zaprosy::zapis::ochistit()},
                              &m_zapisanoKonca))
        return sboiTaimera();
    Timer1->stop();
    TProcessGolos2Forma *okno = m_konsol->ProcessGolos2Forma;
    okno->setMozhnoZakrit(true);
    okno->close();
}

void TGolosovanieForma::sboiTaimera()
{
    TProcessGolos2Forma *okno = m_konsol->ProcessGolos2Forma;
    konsol::SboiOtscheta(&m_glav->GlavBasa(), m_glav->dialogs(),
                         okno->isVisible() ? static_cast<QWidget *>(okno) : static_cast<QWidget *>(this),
                         QStringLiteral("Ошибка при проведении голосования!\n\r\n\r"), &m_sboiPodryad, &m_vTike,
                         [this] { Timer1Timer(); });
}

// ---- The console's entry point -------------------------------------------------------------

void TGolosovanieForma::OtkrytNastroiku(TKonsolEkran *konsol)
{
    const KontekstEkrana &k = *konsol;
    ResultSet vopros;
    if (!k.GlavBasa().query(zaprosy::povestka::aktivnyiVoprosGolosovania(),
                        &vopros)) {
        soobshitOshibku(k.dialogs(), k.okno(), &k.GlavBasa());
        return;
    }
    if (vopros.isEmpty()) {
        k.dialogs()->error(k.okno(), QStringLiteral("Голосование невозможно, так как не выбран вопрос повестки дня!"));
        return;
    }

    // Present, elected, established by law; a missing constant counts as 0.
    const QStringList zaprosy{
        zaprosy::sessia::prisutstvuet(k.IdSessii()),
        zaprosy::konstanta::izbrano(),
        zaprosy::konstanta::ustanovlenoZakonom()};
    int chisla[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const QVariant v = k.GlavBasa().scalar(zaprosy[i], &ok);
        if (!ok) {
            soobshitOshibku(k.dialogs(), k.okno(), &k.GlavBasa());
            return;
        }
        if (!v.isNull() && !v.toString().trimmed().isEmpty() && !celoe(v.toString(), &chisla[i])) {
            k.dialogs()->error(k.okno(), neCeloe(v.toString()));
            return;
        }
    }

    auto forma = std::make_unique<TGolosovanieForma>(konsol);
    if (!forma->Podgotovit(chisla[0], chisla[1], chisla[2], vopros.value(0, 1).toString(), vopros.value(0, 2).toString()))
        return;
    forma->Pokazat();
}
