#pragma once

#include <QColor>
#include <QFrame>
#include <QLabel>

// Small widgets the hall screens are made of. A touch button is a label lying 1 px inside a
// rectangle of the same place; a press on the rectangle acts like a press on the label.

// Background colour of a widget (labels and panels paint it themselves).
void ustanovitCvet(QWidget *w, const QColor &colour);
QColor cvetFona(const QWidget *w);
// Text colour.
void ustanovitCvetTeksta(QWidget *w, const QColor &colour);
QColor cvetTeksta(const QWidget *w);
// Arial at a pixel height (the screens give sizes as character heights in pixels).
QFont arialPx(int pixels, bool bold = false);
// Arial at a point size (the few places that give points), set as its pixels at 96 dpi.
QFont arialPt(int points, bool bold = false);

// A person's name in a label that may be too narrow for it: shown whole when it fits the
// label's box (over several lines when the label wraps), otherwise cut short with "…". Only
// name fields are cut so. The whole name stays with the label for whoever needs it.
void ustanovitImya(QLabel *l, const QString &imya);
QString imyaLeibla(const QLabel *l);
// The text as it fits a box of that size in that font (the name itself when it fits).
QString imyaVRamku(const QString &imya, const QFont &font, const QSize &box, bool perenos);

// Stretches `w` from `verh` down to the top of `nizhe`, so a widget drawn over it (a progress
// bar over a countdown) never covers its text, whatever height an earlier screen left it with.
void doVerhaVidzheta(QWidget *w, int verh, const QWidget *nizhe);

// The one way the screens make their plain parts: each with its object name (tests and the
// status file find widgets by it) and its place.
QLabel *noviLeibl(QWidget *parent, const char *imya, const QRect &mesto, const QFont &shrift,
                  Qt::Alignment ravnenie = Qt::AlignHCenter | Qt::AlignTop, const QString &tekst = QString());
QWidget *novayaPanel(QWidget *parent, const char *imya, const QColor &fon = QColor());  // fon: painted when valid
// A push button that Enter does not press unless it has the focus.
class QPushButton;
QPushButton *novayaKnopka(QWidget *parent, const char *imya, const QString &tekst, const QRect &mesto);
// Moves a widget to another parent, keeping whether it is set visible.
void peremestit(QWidget *w, QWidget *roditel);
// A label lying 1 px inside its frame's rectangle.
void vnutri(QWidget *w, const QRect &ramka);

// Turns the presses on a widget into clicks: a click when the left button is released over
// the widget it went down on (a finger that slides off a touch button presses nothing).
class Nazhatie : public QObject {
    Q_OBJECT
public:
    explicit Nazhatie(QWidget *w);

Q_SIGNALS:
    void clicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_nazhata = false;
};

// A label that reports clicks and carries a tag (several screens keep a small state in it).
class TLeibl : public QLabel {
    Q_OBJECT
public:
    explicit TLeibl(QWidget *parent = nullptr);
    TLeibl(const QString &text, QWidget *parent = nullptr);

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

Q_SIGNALS:
    void clicked();

private:
    int m_tag = 0;
};

// A rectangle with an outline of a given colour and width and a fill; reports mouse presses.
class TGranica : public QWidget {
    Q_OBJECT
public:
    explicit TGranica(QWidget *parent = nullptr);

    void setPero(const QColor &colour, int width);
    QColor peroCvet() const { return m_pero; }
    int peroShirina() const { return m_shirina; }
    void setZalivka(const QColor &colour);  // invalid colour: not filled
    QColor zalivka() const { return m_zalivka; }
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

Q_SIGNALS:
    void mouseDown();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QColor m_pero = Qt::black;
    int m_shirina = 1;
    QColor m_zalivka = Qt::white;
    int m_tag = 0;
};
