#include "core/taimer.h"
#include "db/zaprosy/dokument.h"
#include "db/zaprosy/povestka.h"
#include "viewer/deputatfreim.h"

#include "core/cveta.h"
#include "core/dialogs.h"
#include "core/platform.h"
#include "core/richtext.h"
#include "core/tglavforma.h"
#include "core/vidzhety.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/docstore.h"
#include "editors/povestka_grid.h"
#include "viewer/pdfprosmotr.h"
#include "viewer/strelka.h"

#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTextEdit>

namespace {

const QColor kDenezhnyiZelenyi(192, 220, 192);  // the deputy label
const QColor kZelenayaKnopka(0, 255, 64);       // "ПОКАЗАТЬ ДОКУМЕНТ" and the document buttons
const QColor kSeraPanel(128, 128, 128);         // the document buttons' panel

constexpr int VysotaKnopokPDF = 105;
constexpr int VysotaInfo = 303;
constexpr int VysotaKnopokFail = 52;
constexpr int KnopkaSpiska = 171;   // agenda arrow buttons: 171 x 51 when the column allows
constexpr int VysotaKnopkiSpiska = 51;
constexpr int Otstup = 7;           // margins of the agenda column
constexpr int VerhKnopokPDF = 10;   // top of the document buttons in their panel
constexpr int VysotaGranicPDF = 85;
constexpr int LevoDeputata = 50;    // design left of the deputy label, where the agenda starts

// A touch button: a label lying 1 px inside its lime frame.
TLeibl *knopka(QWidget *parent, const char *imyaGranicy, const char *imya, const QString &tekst,
               const QColor &fon, TGranica **granica)
{
    auto *g = new TGranica(parent);
    g->setObjectName(QString::fromLatin1(imyaGranicy));
    g->setPero(cvet::Lime(), 1);
    g->setZalivka(cvet::Lime());
    auto *l = new TLeibl(tekst, parent);
    l->setObjectName(QString::fromLatin1(imya));
    l->setFont(arialPx(27, true));
    l->setAlignment(Qt::AlignCenter);
    l->setWordWrap(true);
    ustanovitCvet(l, fon);
    *granica = g;
    return l;
}

QPushButton *knopkaSpiska(QWidget *parent, const char *imya, VidStrelki vid)
{
    auto *b = new QPushButton(parent);
    b->setObjectName(QString::fromLatin1(imya));
    b->setIcon(ikonkaStrelki(vid, 40));
    b->setIconSize(QSize(40, 40));
    b->setFocusPolicy(Qt::NoFocus);
    b->resize(KnopkaSpiska, VysotaKnopkiSpiska);
    return b;
}

QTableView *setka(QWidget *parent, const char *imya, DataSetModel *model)
{
    auto *t = new QTableView(parent);
    t->setObjectName(QString::fromLatin1(imya));
    t->setFont(arialPx(24, true));
    t->horizontalHeader()->setFont(arialPx(18, true));
    t->horizontalHeader()->setStretchLastSection(false);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    t->horizontalHeader()->setHighlightSections(false);
    t->setShowGrid(true);
    t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    bindGridToDataSet(t, model);
    // The chosen row stays marked when the focus is elsewhere (the buttons take it).
    QPalette pal = t->palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Active, QPalette::HighlightedText));
    t->setPalette(pal);
    return t;
}

}  // namespace

TDeputatFreim::TDeputatFreim(const KontekstEkrana &glav, QWidget *parent) : QWidget(parent), m_glav(glav)
{
    setObjectName(QStringLiteral("TDeputatFreim"));
    ustanovitCvet(this, Qt::white);
    m_ekran = glav->platform()->screenSize();
    m_polosa = glav->platform()->scrollBarWidth();

    Povestka = new DataSet(&glav->GlavBasa(), this, QStringLiteral("Povestka"),
        zaprosy::povestka::spisokProsmotra());
    // The filter "opisanie <> 'Вопрос 0%%%'" compares with the literal text, percent signs
    // included: it hides only an item of exactly that title.
    Povestka->setFilter([](const DataSet &set, int row) {
        return set.sourceValue(row, QStringLiteral("opisanie")).toString() != QStringLiteral("Вопрос 0%%%");
    });
    PovestkaDannie = new DataSetModel(Povestka, this);
    PovestkaDannie->setObjectName(QStringLiteral("PovestkaDannie"));
    PovestkaDannie->setColumns({{QStringLiteral("opisanie"), QStringLiteral("Вопросы повестки дня"), 0}});
    PovestkaDannie->setDisplay([](int, const QString &, const QVariant &v) { return PovestkaopisanieGetText(v); });

    Faili = new DataSet(&glav->GlavBasa(), this, QStringLiteral("Faili"),
        zaprosy::dokument::spisokProsmotra());
    FailiDannie = new DataSetModel(Faili, this);
    FailiDannie->setObjectName(QStringLiteral("FailiDannie"));
    FailiDannie->setColumns({{QStringLiteral("opisanie"), QStringLiteral("Документ"), 0}});
    FailiDannie->setDisplay([](int, const QString &, const QVariant &v) { return FailiopisanieGetText(v); });

    sozdatPovestku();
    sozdatKnopkiPDF();

    TaimerProkrutki = new Taimer(QStringLiteral("TaimerProkrutki"), IntervalShaga, this);
    connect(TaimerProkrutki, &Taimer::timeout, this, &TDeputatFreim::TaimerProkrutkiTimer);

    // The agenda lies under an open document and keeps its focus; a key press meant for the
    // document must not move it (the document would change under the reader).
    for (QWidget *w : {static_cast<QWidget *>(PovestkaTabl), static_cast<QWidget *>(DocTabl),
                       static_cast<QWidget *>(PovestkaInfoPole)})
        w->installEventFilter(this);

    connect(Povestka, &DataSet::afterOpen, this, &TDeputatFreim::PovestkaAfterOpen);
    connect(Povestka, &DataSet::afterScroll, this, &TDeputatFreim::PovestkaAfterScroll);
    connect(Faili, &DataSet::afterOpen, this, &TDeputatFreim::FailiAfterOpen);

    // The frame fills the main window's region it lives in.
    if (parent) {
        parent->installEventFilter(this);
        podognat();
    }
}

void TDeputatFreim::sozdatPovestku()
{
    KnopkaPokzaDok = knopka(this, "GranicaPokzaDok", "KnopkaPokzaDok", QStringLiteral("ПОКАЗАТЬ ДОКУМЕНТ"),
                            kZelenayaKnopka, &GranicaPokzaDok);
    DeputatLeibl = knopka(this, "DeputatGranica", "DeputatLeibl", QStringLiteral("ФИО депутата"), kDenezhnyiZelenyi,
                          &DeputatGranica);
    // Design places; Razmestit() fits them to the screen.
    DeputatGranica->setGeometry(LevoDeputata - 1, 20, 332, 70);
    vnutri(DeputatLeibl, DeputatGranica->geometry());
    GranicaPokzaDok->setGeometry(LevoDeputata - 1, 930, 332, 70);
    vnutri(KnopkaPokzaDok, GranicaPokzaDok->geometry());

    PanelPovestka = new QWidget(this);
    PanelPovestka->setObjectName(QStringLiteral("PanelPovestka"));
    ustanovitCvet(PanelPovestka, cvet::Zaregistrirovan());
    PanelPovestka->setGeometry(LevoDeputata, 115, 811, 790);

    PanelSleva = new QWidget(PanelPovestka);
    PanelSleva->setObjectName(QStringLiteral("PanelSleva"));
    PanelSleva->resize(349, 776);
    PovestkaTabl = setka(PanelSleva, "PovestkaTabl", PovestkaDannie);
    VoprosNis = knopkaSpiska(PanelSleva, "VoprosNis", VidStrelki::Vnis);
    VoprosVerh = knopkaSpiska(PanelSleva, "VoprosVerh", VidStrelki::Verh);

    PanelPovestkaSprava = new QWidget(PanelPovestka);
    PanelPovestkaSprava->setObjectName(QStringLiteral("PanelPovestkaSprava"));
    PovestkaInfoPole = new QTextEdit(PanelPovestkaSprava);
    PovestkaInfoPole->setObjectName(QStringLiteral("PovestkaInfoPole"));
    PovestkaInfoPole->setReadOnly(true);
    PovestkaInfoPole->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    PovestkaInfoPole->setFocusPolicy(Qt::ClickFocus);  // not a tab stop
    DocTabl = setka(PanelPovestkaSprava, "DocTabl", FailiDannie);
    PanelKnopkiFail = new QWidget(PanelPovestkaSprava);
    PanelKnopkiFail->setObjectName(QStringLiteral("PanelKnopkiFail"));
    FailNis = knopkaSpiska(PanelKnopkiFail, "FailNis", VidStrelki::Vnis);
    FailVerh = knopkaSpiska(PanelKnopkiFail, "FailVerh", VidStrelki::Verh);

    connect(VoprosNis, &QPushButton::clicked, this, &TDeputatFreim::VoprosNisClick);
    connect(VoprosVerh, &QPushButton::clicked, this, &TDeputatFreim::VoprosVerhClick);
    connect(FailNis, &QPushButton::clicked, this, &TDeputatFreim::FailNisClick);
    connect(FailVerh, &QPushButton::clicked, this, &TDeputatFreim::FailVerhClick);
    connect(KnopkaPokzaDok, &TLeibl::clicked, this, &TDeputatFreim::KnopkaPokzaDokClick);
    connect(GranicaPokzaDok, &TGranica::mouseDown, this, &TDeputatFreim::KnopkaPokzaDokClick);
    connect(DeputatLeibl, &TLeibl::clicked, this, &TDeputatFreim::KnopkaPokzaDokClick);
    connect(DeputatGranica, &TGranica::mouseDown, this, &TDeputatFreim::KnopkaPokzaDokClick);

    razmestitVnutriPovestki();
}

void TDeputatFreim::sozdatKnopkiPDF()
{
    PDF = new TPdfProsmotr(this);
    PDF->hide();

    KnopkiPDF = new QWidget(this);
    KnopkiPDF->setObjectName(QStringLiteral("KnopkiPDF"));
    ustanovitCvet(KnopkiPDF, kSeraPanel);
    KnopkiPDF->hide();

    KnopkaVernutPovestku = knopka(KnopkiPDF, "GranicaVernutPovestku", "KnopkaVernutPovestku",
                                  QStringLiteral("ВЕРНУТЬСЯ К ПОВЕСТКЕ"), kZelenayaKnopka, &GranicaVernutPovestku);
    KnopkaDokVerh = knopka(KnopkiPDF, "GranicaDokVerh", "KnopkaDokVerh", QString(), kZelenayaKnopka, &GranicaDokVerh);
    KnopkaStranicaVerh = knopka(KnopkiPDF, "GranicaStranicaVerh", "KnopkaStranicaVerh", QString(), kZelenayaKnopka,
                                &GranicaStranicaVerh);
    KnopkaStranicaNis = knopka(KnopkiPDF, "GranicaStranicaNis", "KnopkaStranicaNis", QString(), kZelenayaKnopka,
                               &GranicaStranicaNis);
    KnopkaDokVnis = knopka(KnopkiPDF, "GranicaDokVnis", "KnopkaDokVnis", QString(), kZelenayaKnopka, &GranicaDokVnis);

    StrelkaVerh = new TStrelka(VidStrelki::Verh, KnopkiPDF);
    StrelkaVerh->setObjectName(QStringLiteral("StrelkaVerh"));
    StrelkaStranicaVerh = new TStrelka(VidStrelki::StranicaVerh, KnopkiPDF);
    StrelkaStranicaVerh->setObjectName(QStringLiteral("StrelkaStranicaVerh"));
    StrelkaStranicaNis = new TStrelka(VidStrelki::StranicaNis, KnopkiPDF);
    StrelkaStranicaNis->setObjectName(QStringLiteral("StrelkaStranicaNis"));
    StrelkaVnis = new TStrelka(VidStrelki::Vnis, KnopkiPDF);
    StrelkaVnis->setObjectName(QStringLiteral("StrelkaVnis"));

    connect(KnopkaVernutPovestku, &TLeibl::clicked, this, &TDeputatFreim::KnopkaVernutPovestkuClick);
    connect(GranicaVernutPovestku, &TGranica::mouseDown, this, &TDeputatFreim::KnopkaVernutPovestkuClick);
    // The picture lies over the label; a press on the label or its frame does the same.
    const struct {
        TStrelka *strelka;
        TLeibl *leibl;
        TGranica *granica;
        void (TDeputatFreim::*klik)();
    } svyazi[] = {
        {StrelkaVerh, KnopkaDokVerh, GranicaDokVerh, &TDeputatFreim::StrelkaVerhClick},
        {StrelkaStranicaVerh, KnopkaStranicaVerh, GranicaStranicaVerh, &TDeputatFreim::StrelkaStranicaVerhClick},
        {StrelkaStranicaNis, KnopkaStranicaNis, GranicaStranicaNis, &TDeputatFreim::StrelkaStranicaNisClick},
        {StrelkaVnis, KnopkaDokVnis, GranicaDokVnis, &TDeputatFreim::StrelkaVnisClick},
    };
    for (const auto &s : svyazi) {
        connect(s.strelka, &TStrelka::clicked, this, s.klik);
        connect(s.leibl, &TLeibl::clicked, this, s.klik);
        connect(s.granica, &TGranica::mouseDown, this, s.klik);
    }
}

// ---- Start-up operations ----------------------------------------------------------------------

void TDeputatFreim::OtkrytPovestku(int idZasedania)
{
    m_zasedanie = idZasedania;
    Povestka->setParam(QStringLiteral("a"), idZasedania);
    if (Povestka->isOpen())
        Povestka->requery();
    else
        Povestka->open();
}

void TDeputatFreim::SledovatZasedaniyu(int idZasedania)
{
    if (idZasedania == m_zasedanie && (idZasedania == 0 || Povestka->isOpen()))
        return;
    if (idZasedania > 0) {
        OtkrytPovestku(idZasedania);
        return;
    }
    // The meeting was closed: nothing of it stays on the screen, a document of it neither.
    m_zasedanie = 0;
    if (RezhimDokumenta()) {
        TaimerProkrutki->setEnabled(false);
        knopkiDokumenta(true);
        PDF->hide();
        KnopkiPDF->hide();
    }
    PDF->ZakrytFail();
    Faili->close();
    Povestka->close();
    PovestkaInfoPole->clear();
}

void TDeputatFreim::UstanovitImya(const QString &tekst)
{
    DeputatLeibl->setText(tekst);
}

void TDeputatFreim::NastroitPDF()
{
    PDF->setPokazatPanel(true);
    PDF->setPokazatPolosy(false);
}

void TDeputatFreim::SinhronizirovatKnopkiPDF()
{
    podognat();
    const bool vidno = !PDF->isHidden();
    KnopkiPDF->setVisible(vidno);
    if (vidno)
        PDF->raise();
}

bool TDeputatFreim::RezhimDokumenta() const
{
    return !PDF->isHidden();
}

bool TDeputatFreim::IdetProkrutka() const
{
    return TaimerProkrutki->isEnabled();
}

// ---- Layout ---------------------------------------------------------------------------------

void TDeputatFreim::Razmestit(const QSize &ekran, int kolonka, int polosa)
{
    m_ekran = ekran;
    m_kolonka = kolonka;
    m_polosa = polosa;
    const int W = ekran.width();
    const int H = ekran.height();

    const int shirina = W - kolonka - 100;
    // From the label's design place, so that laying out again gives the same result.
    PanelPovestka->setGeometry(LevoDeputata, DeputatGranica->height() + 45, shirina, PanelPovestka->height());
    PanelSleva->resize(PanelPovestka->width() / 3, PanelSleva->height());

    const int levo = PanelPovestka->x() + 3;
    const int shirinaKnopok = PanelPovestka->width() - 6;
    GranicaPokzaDok->setGeometry(levo, H - GranicaPokzaDok->height() - 20, shirinaKnopok, GranicaPokzaDok->height());
    vnutri(KnopkaPokzaDok, GranicaPokzaDok->geometry());
    DeputatGranica->setGeometry(levo, 20, shirinaKnopok, DeputatGranica->height());
    vnutri(DeputatLeibl, DeputatGranica->geometry());

    PanelPovestka->resize(PanelPovestka->width(), GranicaPokzaDok->y() - PanelPovestka->y() - 25);
    razmestitKnopkiPDF();
    FrameResize();
    razmestitDokument();
}

// The document's buttons, laid out around the return button in the middle of the part of the
// screen left of the right-hand column.
void TDeputatFreim::razmestitKnopkiPDF()
{
    const int W = m_ekran.width();
    const int R = m_kolonka;
    const int shirina = (W - (R + 190)) / 2;
    GranicaVernutPovestku->setGeometry((W - (R + shirina)) / 2, VerhKnopokPDF, shirina, VysotaGranicPDF);
    vnutri(KnopkaVernutPovestku, GranicaVernutPovestku->geometry());

    const int L = GranicaVernutPovestku->x();
    const int E = KnopkaVernutPovestku->x() + KnopkaVernutPovestku->width();
    const int w = ((L - 45) - 20) / 2;
    const int top = GranicaVernutPovestku->y();
    const int h = GranicaVernutPovestku->height();
    const struct {
        TGranica *granica;
        TLeibl *leibl;
        TStrelka *strelka;
        int levo;
    } ryad[] = {
        {GranicaDokVerh, KnopkaDokVerh, StrelkaVerh, 20},
        {GranicaStranicaVerh, KnopkaStranicaVerh, StrelkaStranicaVerh, w + 40},
        {GranicaStranicaNis, KnopkaStranicaNis, StrelkaStranicaNis, E + 25},
        {GranicaDokVnis, KnopkaDokVnis, StrelkaVnis, E + 25 + w + 20},
    };
    for (const auto &k : ryad) {
        k.granica->setGeometry(k.levo, top, qMax(0, w), h);
        vnutri(k.leibl, k.granica->geometry());
        vnutri(k.strelka, k.granica->geometry());
        k.strelka->raise();
    }
}

// The document state's two parts: the buttons along the bottom, the viewer over the rest.
void TDeputatFreim::razmestitDokument()
{
    KnopkiPDF->setGeometry(0, height() - VysotaKnopokPDF, width(), VysotaKnopokPDF);
    PDF->setGeometry(0, 0, width(), qMax(0, height() - VysotaKnopokPDF));
    PDF->Razmestit();
}

// The frame fills its region. Resize events of a region that is not on the screen yet come
// only when it is shown, so the frame also checks before it relies on its size.
void TDeputatFreim::podognat()
{
    QWidget *oblast = parentWidget();
    if (!oblast || geometry() == oblast->rect())
        return;
    setGeometry(oblast->rect());
    FrameResize();
    razmestitDokument();
}

void TDeputatFreim::FrameResize()
{
    PanelPovestka->setGeometry(DeputatGranica->x(), PanelPovestka->y(), DeputatGranica->width(),
                               PanelPovestka->height());
    razmestitVnutriPovestki();
}

// Inside the agenda panel: the agenda column on the left with 7-px margins, the item's text,
// its documents and their buttons filling the rest.
void TDeputatFreim::razmestitVnutriPovestki()
{
    const int h = qMax(0, PanelPovestka->height() - 2 * Otstup);
    PanelSleva->setGeometry(Otstup, Otstup, PanelSleva->width(), h);
    const int levo = PanelSleva->x() + PanelSleva->width() + Otstup;
    PanelPovestkaSprava->setGeometry(levo, Otstup, qMax(0, PanelPovestka->width() - levo - Otstup), h);
    PanelSlevaResize();

    const int w = PanelPovestkaSprava->width();
    const int hs = PanelPovestkaSprava->height();
    PovestkaInfoPole->setGeometry(0, 0, w, VysotaInfo);
    PanelKnopkiFail->setGeometry(0, hs - VysotaKnopokFail, w, VysotaKnopokFail);
    // The documents end level with the agenda list.
    const int verhDoc = VysotaInfo + 10;
    DocTabl->setGeometry(0, verhDoc, w, qMax(0, hs - VysotaKnopkiSpiska - 21 - verhDoc));
    PanelPovestkaResize();
    PanelKnopkiFailResize();
}

void TDeputatFreim::kolonkaSetki(QTableView *t)
{
    t->horizontalHeader()->resizeSection(0, qMax(0, t->width() - m_polosa - 5));
}

void TDeputatFreim::PanelSlevaResize()
{
    const int w = PanelSleva->width();
    const int h = PanelSleva->height();
    PovestkaTabl->setGeometry(0, 0, w, qMax(0, h - VysotaKnopkiSpiska - 21));
    kolonkaSetki(PovestkaTabl);
    // 171 px each when the column allows; otherwise they share it.
    const int bw = qMin(KnopkaSpiska, (w - 5) / 2);
    VoprosNis->setGeometry(0, h - VysotaKnopkiSpiska, bw, VysotaKnopkiSpiska);
    VoprosVerh->setGeometry(w - bw, h - VysotaKnopkiSpiska, bw, VysotaKnopkiSpiska);
}

void TDeputatFreim::PanelPovestkaResize()
{
    kolonkaSetki(DocTabl);
}

void TDeputatFreim::PanelKnopkiFailResize()
{
    const int w = PanelKnopkiFail->width();
    const int bw = (w - 5) / 2;
    const int top = PanelKnopkiFail->height() - VysotaKnopkiSpiska;
    FailNis->setGeometry(0, top, bw, VysotaKnopkiSpiska);
    FailVerh->setGeometry(w - bw, top, bw, VysotaKnopkiSpiska);
}

void TDeputatFreim::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FrameResize();
    razmestitDokument();
}

bool TDeputatFreim::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        podognat();
    if (watched != parentWidget() && RezhimDokumenta()) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::InputMethod:
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Agenda and documents -----------------------------------------------------------------------

QString TDeputatFreim::PovestkaopisanieGetText(const QVariant &opisanie)
{
    return NazvanieVoprosa(opisanie.toString());
}

// A description whose second character is a number starts with an ordering prefix of three
// characters ("01 ", "2. ") that sorts the documents; it is not shown. Characters are
// counted as the reader sees them, so a number outside the basic plane counts as one.
QString TDeputatFreim::FailiopisanieGetText(const QVariant &opisanie)
{
    const QList<uint> znaki = opisanie.toString().toUcs4();
    if (znaki.size() < 2)
        return QString();
    if (!QChar::isNumber(char32_t(znaki.at(1))))
        return opisanie.toString();
    const QList<uint> ostatok = znaki.mid(3);
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(ostatok.constData()), ostatok.size());
}

void TDeputatFreim::PovestkaAfterOpen()
{
    PovestkaAfterScroll();
}

// The documents always belong to the selected item, and the item's text is shown beside them.
void TDeputatFreim::PovestkaAfterScroll()
{
    if (Faili->isOpen())
        Faili->close();
    Faili->setParam(QStringLiteral("a"), Povestka->field(QStringLiteral("id")));
    Faili->open();
    zagruzitInfo();
}

void TDeputatFreim::zagruzitInfo()
{
    richtext::loadRtf(PovestkaInfoPole, Povestka->field(QStringLiteral("info")).toString());
    PovestkaInfoPoleChange();
}

void TDeputatFreim::PovestkaInfoPoleChange()
{
    richtext::setWholeTextPointSize(PovestkaInfoPole, 18);
}

void TDeputatFreim::FailiAfterOpen()
{
    kolonkaSetki(DocTabl);
}

void TDeputatFreim::VoprosNisClick()
{
    if (Povestka->isOpen())
        Povestka->setCurrentRow(Povestka->currentRow() + 1);
}

void TDeputatFreim::VoprosVerhClick()
{
    if (Povestka->isOpen())
        Povestka->setCurrentRow(Povestka->currentRow() - 1);
}

void TDeputatFreim::FailNisClick()
{
    if (Faili->isOpen())
        Faili->setCurrentRow(Faili->currentRow() + 1);
}

void TDeputatFreim::FailVerhClick()
{
    if (Faili->isOpen())
        Faili->setCurrentRow(Faili->currentRow() - 1);
}

QString TDeputatFreim::PutDokumenta() const
{
    if (!Faili->isOpen() || Faili->eof())
        return QString();
    return docstore::documentPath(m_glav->platform()->programDir(), Faili->field(QStringLiteral("put")).toString(),
                                  Faili->field(QStringLiteral("fail")).toString());
}

// ---- The document state ---------------------------------------------------------------------

void TDeputatFreim::KnopkaPokzaDokClick()
{
    if (!Faili->isOpen() || Faili->isEmpty())
        return;
    const QString put = PutDokumenta();
    if (!QFileInfo(put).isFile()) {
        m_glav->dialogs()->error(m_glav->okno(), QStringLiteral("Файл документа не найден!"),
                                 QStringLiteral("Ошибка открытия документа"));
        return;
    }
    podognat();
    razmestitDokument();
    KnopkiPDF->show();
    KnopkiPDF->raise();
    PDF->show();
    PDF->raise();
    PDF->setEnabled(false);
    PDF->ZagruzitFail(put);
}

void TDeputatFreim::KnopkaVernutPovestkuClick()
{
    if (!KnopkaVernutPovestku->isEnabled())
        return;
    PDF->hide();
    KnopkiPDF->hide();
    QWidget *okno = window();
    okno->raise();
    okno->activateWindow();
    DocTabl->setFocus();
    PovestkaTabl->setFocus();
}

void TDeputatFreim::knopkiDokumenta(bool vkl)
{
    KnopkaVernutPovestku->setEnabled(vkl);
    for (TStrelka *s : {StrelkaVerh, StrelkaStranicaVerh, StrelkaStranicaNis, StrelkaVnis})
        s->setEnabled(vkl);
}

// A line scroll moves the document in eleven line steps, one per tick of TaimerProkrutki, so
// the rest of the program keeps running meanwhile; the buttons are off until it ends, so
// that a second scroll cannot start inside the first.
void TDeputatFreim::nachatProkrutku(int napravlenie)
{
    if (IdetProkrutka() || !RezhimDokumenta())
        return;
    knopkiDokumenta(false);
    PDF->setEnabled(true);
    m_napravlenie = napravlenie;
    m_ostalosShagov = ShagovNaStroku;
    TaimerProkrutki->setEnabled(true);
}

void TDeputatFreim::TaimerProkrutkiTimer()
{
    if (m_ostalosShagov > 0) {
        if (m_napravlenie < 0)
            PDF->StrokaVverh();
        else
            PDF->StrokaVniz();
        --m_ostalosShagov;
    }
    if (m_ostalosShagov <= 0) {
        TaimerProkrutki->setEnabled(false);
        PDF->setEnabled(false);
        knopkiDokumenta(true);
    }
}

void TDeputatFreim::stranica(int napravlenie)
{
    if (IdetProkrutka() || !RezhimDokumenta())
        return;
    knopkiDokumenta(false);
    PDF->setEnabled(true);
    if (napravlenie < 0)
        PDF->StranicaVverh();
    else
        PDF->StranicaVniz();
    PDF->setEnabled(false);
    knopkiDokumenta(true);
}

void TDeputatFreim::StrelkaVerhClick()
{
    nachatProkrutku(-1);
}

void TDeputatFreim::StrelkaVnisClick()
{
    nachatProkrutku(1);
}

void TDeputatFreim::StrelkaStranicaVerhClick()
{
    stranica(-1);
}

void TDeputatFreim::StrelkaStranicaNisClick()
{
    stranica(1);
}
