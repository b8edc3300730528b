#include "viewer/pdfprosmotr.h"

#include "db/dbfiles.h"

#include "core/vidzhety.h"
#include "viewer/pdfproverka.h"

#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfView>
#include <QScrollBar>
#include <QResizeEvent>

namespace {

// Input that could move the document or give it the focus.
bool vvod(QEvent::Type t)
{
    switch (t) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Gesture:
    case QEvent::NativeGesture:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

}  // namespace

TPdfProsmotr::TPdfProsmotr(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PDF"));
    m_dokument = new QPdfDocument(this);

    m_panel = new QWidget(this);
    m_panel->setObjectName(QStringLiteral("PanelPDF"));
    ustanovitCvet(m_panel, QColor(64, 64, 64));
    m_panel->setFixedHeight(34);
    m_imya = new QLabel(m_panel);
    m_imya->setObjectName(QStringLiteral("ImyaFaila"));
    m_stranica = new QLabel(m_panel);
    m_stranica->setObjectName(QStringLiteral("NomerStranicy"));
    for (QLabel *l : {m_imya, m_stranica}) {
        l->setFont(arialPx(17, true));
        // Readable also while the control is disabled, which it is nearly always.
        QPalette pal = l->palette();
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            pal.setColor(group, QPalette::WindowText, Qt::white);
        l->setPalette(pal);
    }
    auto *stroka = new QHBoxLayout(m_panel);
    stroka->setContentsMargins(12, 0, 12, 0);
    stroka->addWidget(m_imya, 1);
    stroka->addWidget(m_stranica, 0);

    m_vid = new QPdfView(this);
    m_vid->setObjectName(QStringLiteral("PDFVid"));
    m_vid->setDocument(m_dokument);
    m_vid->setPageMode(QPdfView::PageMode::MultiPage);
    m_vid->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    m_vid->setFocusPolicy(Qt::NoFocus);
    m_vid->setAttribute(Qt::WA_AcceptTouchEvents, false);
    m_vid->installEventFilter(this);
    m_vid->viewport()->installEventFilter(this);
    m_vid->viewport()->setAttribute(Qt::WA_AcceptTouchEvents, false);
    m_vid->verticalScrollBar()->installEventFilter(this);
    m_vid->horizontalScrollBar()->installEventFilter(this);

    m_soobshenie = new QLabel(TekstOshibki(), this);
    m_soobshenie->setObjectName(QStringLiteral("SoobshenieOshibki"));
    m_soobshenie->setFont(arialPx(27, true));
    m_soobshenie->setAlignment(Qt::AlignCenter);
    m_soobshenie->setWordWrap(true);
    ustanovitCvet(m_soobshenie, Qt::white);
    m_soobshenie->hide();

    m_proverka = new TPdfProverka(this);
    connect(m_proverka, &TPdfProverka::gotovo, this,
            [this](TPdfProverka::Itog itog) { proverkaZavershena(int(itog)); });

    connect(m_vid->pageNavigator(), &QPdfPageNavigator::currentPageChanged, this, &TPdfProsmotr::obnovitPanel);
    connect(m_dokument, &QPdfDocument::pageCountChanged, this, &TPdfProsmotr::obnovitPanel);
    obnovitPanel();
}

TPdfProsmotr::~TPdfProsmotr()
{
    // The view renders the document until it is gone; it goes first.
    delete m_vid;
    m_vid = nullptr;
}

QString TPdfProsmotr::TekstOshibki()
{
    return QStringLiteral("Документ повреждён или не может быть открыт");
}

void TPdfProsmotr::ZagruzitFail(const QString &put)
{
    m_proverka->otmenit();
    m_fail = put;
    m_imya->setText(QFileInfo(put).fileName());
    m_dokument->close();
    m_soobshenie->hide();
    m_vid->verticalScrollBar()->setValue(0);
    const QFileInfo fi(put);
    m_razmer = fi.size();
    m_vremya = fi.lastModified();
    m_sostoyanie = Sostoyanie::Proverka;
    obnovitPanel();
    // A stored path that names the database's own files is never opened, not even by the checker.
    if (dbfiles::isDatabaseFile(put)) {
        QMetaObject::invokeMethod(this, [this] { proverkaZavershena(int(TPdfProverka::Itog::Otkazan)); },
                                  Qt::QueuedConnection);
        return;
    }
    m_proverka->nachat(put, qBound(200, m_vid->viewport()->width(), 2000));
}

void TPdfProsmotr::ZakrytFail()
{
    m_proverka->otmenit();
    m_dokument->close();
    m_soobshenie->hide();
    m_fail.clear();
    m_imya->clear();
    m_sostoyanie = Sostoyanie::Pusto;
    obnovitPanel();
}

void TPdfProsmotr::proverkaZavershena(int itog)
{
    const QFileInfo fi(m_fail);
    const bool tot = fi.size() == m_razmer && fi.lastModified() == m_vremya;
    bool ok = false;
    if (TPdfProverka::Itog(itog) == TPdfProverka::Itog::Goden && tot && !dbfiles::isDatabaseFile(m_fail))
        ok = m_dokument->load(m_fail) == QPdfDocument::Error::None && m_dokument->pageCount() > 0;
    if (ok) {
        m_sostoyanie = Sostoyanie::Gotov;
        m_vid->verticalScrollBar()->setValue(0);
        naStranicu(0);
    } else {
        m_dokument->close();
        pokazatOshibku();
    }
    obnovitPanel();
    Q_EMIT zagruzheno(ok);
}

void TPdfProsmotr::pokazatOshibku()
{
    m_sostoyanie = Sostoyanie::Oshibka;
    m_soobshenie->setGeometry(m_vid->geometry());
    m_soobshenie->show();
    m_soobshenie->raise();
}

void TPdfProsmotr::setPokazatPanel(bool on)
{
    m_panel->setVisible(on);
    Razmestit();
}

void TPdfProsmotr::Razmestit()
{
    m_panel->setGeometry(0, 0, width(), m_panel->height());
    const int verh = m_panel->isHidden() ? 0 : m_panel->height();
    m_vid->setGeometry(0, verh, width(), qMax(0, height() - verh));
    m_soobshenie->setGeometry(m_vid->geometry());
}

void TPdfProsmotr::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Razmestit();
}

bool TPdfProsmotr::PokazatPanel() const
{
    return !m_panel->isHidden();
}

void TPdfProsmotr::setPokazatPolosy(bool on)
{
    m_polosy = on;
    const Qt::ScrollBarPolicy policy = on ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    m_vid->setVerticalScrollBarPolicy(policy);
    m_vid->setHorizontalScrollBarPolicy(policy);
}

bool TPdfProsmotr::shag(int napravlenie)
{
    QScrollBar *sb = m_vid->verticalScrollBar();
    const int bylo = sb->value();
    sb->triggerAction(napravlenie < 0 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
    return sb->value() != bylo;
}

bool TPdfProsmotr::StrokaVverh()
{
    return shag(-1);
}

bool TPdfProsmotr::StrokaVniz()
{
    return shag(1);
}

void TPdfProsmotr::naStranicu(int stranica)
{
    m_vid->pageNavigator()->jump(stranica, QPointF(), m_vid->zoomFactor());
}

void TPdfProsmotr::StranicaVverh()
{
    if (m_dokument->pageCount() <= 0)
        return;
    const int tek = TekushayaStranica();
    if (tek <= 0)
        m_vid->verticalScrollBar()->setValue(0);
    else
        naStranicu(tek - 1);
}

void TPdfProsmotr::StranicaVniz()
{
    if (m_dokument->pageCount() <= 0)
        return;
    const int tek = TekushayaStranica();
    if (tek + 1 >= m_dokument->pageCount())
        m_vid->verticalScrollBar()->setValue(m_vid->verticalScrollBar()->maximum());
    else
        naStranicu(tek + 1);
}

int TPdfProsmotr::Polozhenie() const
{
    return m_vid->verticalScrollBar()->value();
}

int TPdfProsmotr::ShagStroki() const
{
    return m_vid->verticalScrollBar()->singleStep();
}

int TPdfProsmotr::TekushayaStranica() const
{
    return m_vid->pageNavigator()->currentPage();
}

int TPdfProsmotr::KolichestvoStranic() const
{
    return m_dokument->pageCount();
}

void TPdfProsmotr::obnovitPanel()
{
    const int vsego = m_dokument->pageCount();
    m_stranica->setText(vsego > 0 ? QStringLiteral("Страница %1 из %2").arg(TekushayaStranica() + 1).arg(vsego)
                                  : QString());
}

bool TPdfProsmotr::eventFilter(QObject *watched, QEvent *event)
{
    if (vvod(event->type()))
        return true;
    return QWidget::eventFilter(watched, event);
}
