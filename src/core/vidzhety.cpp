#include "core/vidzhety.h"

#include <QPushButton>

#include "core/masshtab.h"

#include <QMouseEvent>
#include <QPainter>
#include <QVariant>

#include <algorithm>

void ustanovitCvet(QWidget *w, const QColor &colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

QColor cvetFona(const QWidget *w)
{
    return w->palette().color(QPalette::Window);
}

void ustanovitCvetTeksta(QWidget *w, const QColor &colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::Text, colour);
    w->setPalette(p);
}

QColor cvetTeksta(const QWidget *w)
{
    return w->palette().color(QPalette::WindowText);
}

QFont arialPx(int pixels, bool bold)
{
    return masshtab::shrift(QStringLiteral("Arial"), pixels, bold);
}

QFont arialPt(int points, bool bold)
{
    // In pixels all the same: a point size would grow with the machine's font dpi inside a
    // box laid out in pixels.
    return masshtab::shrift(QStringLiteral("Arial"), masshtab::pikseli(points), bold);
}

QString imyaVRamku(const QString &imya, const QFont &font, const QSize &box, bool perenos)
{
    const QFontMetrics fm(font);
    const auto vlezaet = [&](const QString &t) {
        const QSize nado = perenos ? fm.boundingRect(QRect(0, 0, box.width(), 100000), Qt::AlignCenter | Qt::TextWordWrap, t).size()
                                   : fm.size(0, t);
        return nado.width() <= box.width() && nado.height() <= box.height();
    };
    if (imya.isEmpty() || vlezaet(imya))
        return imya;
    const QString mnogotochie(QChar(0x2026));
    for (int n = imya.size() - 1; n > 0; --n) {
        const QString t = imya.left(n).trimmed() + mnogotochie;
        if (vlezaet(t))
            return t;
    }
    return mnogotochie;
}

void ustanovitImya(QLabel *l, const QString &imya)
{
    l->setProperty("imya", imya);
    const int m = l->margin();
    const QSize box = l->contentsRect().adjusted(m, m, -m, -m).size();
    l->setText(imyaVRamku(imya, l->font(), box, l->wordWrap()));
}

QString imyaLeibla(const QLabel *l)
{
    const QVariant v = l->property("imya");
    return v.isValid() ? v.toString() : l->text();
}

TLeibl::TLeibl(QWidget *parent) : QLabel(parent)
{
    connect(new Nazhatie(this), &Nazhatie::clicked, this, &TLeibl::clicked);
}

TLeibl::TLeibl(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    connect(new Nazhatie(this), &Nazhatie::clicked, this, &TLeibl::clicked);
}

Nazhatie::Nazhatie(QWidget *w) : QObject(w)
{
    w->installEventFilter(this);
}

bool Nazhatie::eventFilter(QObject *watched, QEvent *event)
{
    // A filter sees the presses a disabled widget would ignore.
    if (!static_cast<QWidget *>(watched)->isEnabled())
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            m_nazhata = true;
    } else if (event->type() == QEvent::MouseButtonRelease) {
        const auto *e = static_cast<QMouseEvent *>(event);
        const bool byla = m_nazhata;
        m_nazhata = false;
        if (byla && e->button() == Qt::LeftButton
            && static_cast<QWidget *>(watched)->rect().contains(e->position().toPoint()))
            Q_EMIT clicked();
    }
    return QObject::eventFilter(watched, event);
}

TGranica::TGranica(QWidget *parent) : QWidget(parent) {}

void TGranica::setPero(const QColor &colour, int width)
{
    m_pero = colour;
    m_shirina = width;
    update();
}

void TGranica::setZalivka(const QColor &colour)
{
    m_zalivka = colour;
    update();
}

void TGranica::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (m_zalivka.isValid())
        p.fillRect(rect(), m_zalivka);
    if (m_shirina > 0) {
        // The outline lies inside the rectangle, as a shape's pen does.
        const int w = m_shirina;
        p.setPen(Qt::NoPen);
        p.setBrush(m_pero);
        p.drawRect(0, 0, width(), w);
        p.drawRect(0, height() - w, width(), w);
        p.drawRect(0, 0, w, height());
        p.drawRect(width() - w, 0, w, height());
    }
}

void TGranica::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        Q_EMIT mouseDown();
}

void doVerhaVidzheta(QWidget *w, int verh, const QWidget *nizhe)
{
    w->setGeometry(w->x(), verh, w->width(), std::max(1, nizhe->y() - verh));
}

QLabel *noviLeibl(QWidget *parent, const char *imya, const QRect &mesto, const QFont &shrift, Qt::Alignment ravnenie,
                  const QString &tekst)
{
    auto *l = new QLabel(tekst, parent);
    l->setObjectName(QString::fromLatin1(imya));
    l->setGeometry(mesto);
    l->setFont(shrift);
    l->setAlignment(ravnenie);
    return l;
}

QWidget *novayaPanel(QWidget *parent, const char *imya, const QColor &fon)
{
    auto *w = new QWidget(parent);
    w->setObjectName(QString::fromLatin1(imya));
    if (fon.isValid())
        ustanovitCvet(w, fon);
    return w;
}

QPushButton *novayaKnopka(QWidget *parent, const char *imya, const QString &tekst, const QRect &mesto)
{
    auto *b = new QPushButton(tekst, parent);
    b->setObjectName(QString::fromLatin1(imya));
    b->setGeometry(mesto);
    b->setAutoDefault(false);
    return b;
}

void peremestit(QWidget *w, QWidget *roditel)
{
    if (w->parentWidget() == roditel)
        return;
    const bool byl = !w->isHidden();
    w->setParent(roditel);
    w->setVisible(byl);
}

void vnutri(QWidget *w, const QRect &ramka)
{
    w->setGeometry(ramka.adjusted(1, 1, -1, -1));
}
