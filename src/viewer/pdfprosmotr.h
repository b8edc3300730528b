#pragma once

#include <QDateTime>
#include <QString>
#include <QWidget>

class QLabel;
class TPdfProverka;
class QPdfDocument;
class QPdfView;

// The document viewer control of the deputy's frame: a PDF file shown page after page,
// fitted to the width, with a strip above it naming the file and the page.
//
// It never scrolls by itself: the hall's terminals are touch screens, and a touch on the
// document must not move it. Every mouse, wheel, touch and key event aimed at the view is
// swallowed; the document moves only through the line and page commands below, which the
// frame's own buttons send.
class TPdfProsmotr : public QWidget {
    Q_OBJECT
public:
    explicit TPdfProsmotr(QWidget *parent = nullptr);
    ~TPdfProsmotr() override;

    // The message shown in place of a document that could not be opened.
    static QString TekstOshibki();

    // Replaces the document shown with the file. The file is first checked by the checker
    // program (see TPdfProverka) and opened here only when that check passed, so a file that
    // hangs or floods the PDF library never reaches this process; the call returns at once
    // and zagruzheno() tells the outcome. A file that fails shows TekstOshibki().
    void ZagruzitFail(const QString &put);
    QString Fail() const { return m_fail; }
    // Shows nothing (a running check is killed).
    void ZakrytFail();

    enum class Sostoyanie { Pusto, Proverka, Gotov, Oshibka };
    Sostoyanie sostoyanie() const { return m_sostoyanie; }
    // The running check (its process id and limits are watched by the hall's trials).
    TPdfProverka *Proverka() const { return m_proverka; }
    QLabel *Soobshenie() const { return m_soobshenie; }

    // The strip with the file's name and the page number.
    void setPokazatPanel(bool on);
    bool PokazatPanel() const;
    // Scroll bars of the view (shown or not; never needed, the buttons scroll).
    void setPokazatPolosy(bool on);
    bool PokazatPolosy() const { return m_polosy; }

    // One line step up or down (the view's line step); false when already at that end.
    bool StrokaVverh();
    bool StrokaVniz();
    // The previous or next page brought to the top of the view. Past the last page the
    // view goes to the end of the document; before the first, to its start.
    void StranicaVverh();
    void StranicaVniz();

    // Where the view stands: the vertical scroll position in pixels, the line step in the
    // same pixels, the page at the view's reading line (0-based) and the number of pages.
    int Polozhenie() const;
    int ShagStroki() const;
    int TekushayaStranica() const;
    int KolichestvoStranic() const;

    // Places the strip and the view in the control's rectangle.
    void Razmestit();

    QPdfView *Vid() const { return m_vid; }
    QPdfDocument *Dokument() const { return m_dokument; }
    QWidget *Panel() const { return m_panel; }

Q_SIGNALS:
    void zagruzheno(bool ok);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void obnovitPanel();
    bool shag(int napravlenie);
    void naStranicu(int stranica);
    void proverkaZavershena(int itog);
    void pokazatOshibku();

    QPdfDocument *m_dokument;
    QPdfView *m_vid;
    QWidget *m_panel;
    QLabel *m_imya;
    QLabel *m_stranica;
    QLabel *m_soobshenie;
    TPdfProverka *m_proverka;
    QString m_fail;
    // Size and time of the file when its check started: a file replaced meanwhile is not
    // the one that was checked.
    qint64 m_razmer = -1;
    QDateTime m_vremya;
    Sostoyanie m_sostoyanie = Sostoyanie::Pusto;
    bool m_polosy = true;
};
