#include "protocol/protokol_forma.h"
#include "core/vidzhety.h"

#include "core/dialogs.h"
#include "core/masshtab.h"
#include "core/oshibka.h"
#include "core/platform.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/inifile.h"
#include "db/zaprosy/protokol.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QPdfWriter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QShowEvent>
#include <QTextEdit>

namespace {

constexpr int kClientWidth = 784;
constexpr int kClientHeight = 678;
constexpr int kPanelHeight = 37;

QFont protocolFont()
{
    QFont f = masshtab::shrift(QStringLiteral("Courier New"), masshtab::pikseli(10));
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

QFont boldArial13()
{
    return arialPx(13, true);
}

}  // namespace

TProtokolForma::TProtokolForma(DbConnection *db, Dialogs *dialogs, Platform *platform, QWidget *parent)
    : QDialog(parent), m_db(db), m_dialogs(dialogs), m_platform(platform)
{
    setObjectName(QStringLiteral("ProtokolForma"));
    setWindowTitle(QStringLiteral("Протокол"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    if (m_platform) {
        const QSize screen = m_platform->screenSize();
        move((screen.width() - kClientWidth) / 2, (screen.height() - kClientHeight) / 2);
    }

    OtchetText = new QTextEdit(this);
    OtchetText->setObjectName(QStringLiteral("OtchetText"));
    OtchetText->setGeometry(0, 0, kClientWidth, kClientHeight - kPanelHeight);
    OtchetText->setFont(protocolFont());
    OtchetText->document()->setDefaultFont(protocolFont());
    OtchetText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    OtchetText->setAcceptRichText(true);
    OtchetText->setReadOnly(false);

    PanelNis = new QFrame(this);
    PanelNis->setObjectName(QStringLiteral("PanelNis"));
    PanelNis->setGeometry(0, kClientHeight - kPanelHeight, kClientWidth, kPanelHeight);
    PanelNis->setFrameShape(QFrame::Panel);
    PanelNis->setFrameShadow(QFrame::Raised);

    Electronniy = new QRadioButton(QStringLiteral("Электронный"), PanelNis);
    Electronniy->setObjectName(QStringLiteral("Electronniy"));
    Electronniy->setFont(boldArial13());
    Electronniy->setGeometry(10, 9, 130, 19);
    Electronniy->setChecked(true);

    Redakt = new QRadioButton(QStringLiteral("Редактированный"), PanelNis);
    Redakt->setObjectName(QStringLiteral("Redakt"));
    Redakt->setFont(boldArial13());
    Redakt->setGeometry(150, 9, 170, 19);

    KnopkaZakr = new QPushButton(QStringLiteral("Закрыть"), PanelNis);
    KnopkaZakr->setObjectName(QStringLiteral("KnopkaZakr"));
    KnopkaZakr->setGeometry(kClientWidth - 8 - 90, 6, 90, 25);
    KnopkaZakr->setAutoDefault(false);

    KnopkaVFail = new QPushButton(QStringLiteral("Сохранить в файл"), PanelNis);
    KnopkaVFail->setObjectName(QStringLiteral("KnopkaVFail"));
    KnopkaVFail->setGeometry(kClientWidth - 8 - 90 - 8 - 140, 6, 140, 25);
    KnopkaVFail->setAutoDefault(false);

    KnopkaPechat = new QPushButton(QStringLiteral("Печать"), PanelNis);
    KnopkaPechat->setObjectName(QStringLiteral("KnopkaPechat"));
    KnopkaPechat->setGeometry(kClientWidth - 8 - 90 - 8 - 140 - 8 - 130 - 6 - 66, 6, 66, 25);
    KnopkaPechat->setAutoDefault(false);

    KnopkaPdf = new QPushButton(QStringLiteral("Сохранить в PDF"), PanelNis);
    KnopkaPdf->setObjectName(QStringLiteral("KnopkaPdf"));
    KnopkaPdf->setGeometry(kClientWidth - 8 - 90 - 8 - 140 - 8 - 130, 6, 130, 25);
    KnopkaPdf->setAutoDefault(false);

    Otchet1 = new DataSet(db, this);
    Otchet1->setObjectName(QStringLiteral("Otchet1"));
    Otchet1->setSql(zaprosy::protokol::golosovania());
    Otchet2 = new DataSet(db, this);
    Otchet2->setObjectName(QStringLiteral("Otchet2"));
    Otchet2->setSql(zaprosy::protokol::zasedanie());

    // Clicks only: a programmatic setChecked() must not rebuild the text behind the caller.
    connect(Electronniy, &QRadioButton::clicked, this, [this] { ElectronniyClick(); });
    connect(Redakt, &QRadioButton::clicked, this, [this] { RedaktClick(); });
    connect(KnopkaVFail, &QPushButton::clicked, this, [this] { KnopkaVFailClick(); });
    connect(KnopkaPechat, &QPushButton::clicked, this, [this] { KnopkaPechatClick(); });
    connect(KnopkaPdf, &QPushButton::clicked, this, [this] { KnopkaPdfClick(); });
    connect(KnopkaZakr, &QPushButton::clicked, this, &QDialog::reject);
}

int TProtokolForma::showFor(int meetingId, DbConnection *db, Dialogs *dialogs, Platform *platform, QWidget *parent)
{
    TProtokolForma window(db, dialogs, platform, parent);
    window.setMeeting(meetingId);
    return dialogs->exec(&window);
}

void TProtokolForma::setMeeting(int id)
{
    Otchet1->close();
    Otchet1->setParam(QStringLiteral("a"), id);
    Otchet2->close();
}

int TProtokolForma::meeting() const
{
    return Otchet1->param(QStringLiteral("a")).toInt();
}

void TProtokolForma::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Built when the window appears, not on every activation: coming back from the save
    // dialog or another program must not throw away the layout chosen and the edits made.
    if (!event->spontaneous())
        FormActivate();
}

void TProtokolForma::FormActivate()
{
    Otchet1->close();
    if (!Otchet1->open()) {
        display(protocol::Paragraphs());
        soobshitOshibku(m_dialogs, this, m_db);
        return;
    }
    Otchet2->close();
    Otchet2BeforeOpen();
    if (!Otchet2->open()) {
        display(protocol::Paragraphs());
        soobshitOshibku(m_dialogs, this, m_db);
        return;
    }
    Electronniy->setChecked(true);
    ElectronniyClick();
}

void TProtokolForma::Otchet2BeforeOpen()
{
    Otchet2->setParam(QStringLiteral("a"), Otchet1->param(QStringLiteral("a")));
}

bool TProtokolForma::queriesOpen() const
{
    return Otchet1->isOpen() && Otchet2->isOpen();
}

void TProtokolForma::ElectronniyClick()
{
    rebuild(false);
}

void TProtokolForma::RedaktClick()
{
    rebuild(true);
}

void TProtokolForma::rebuild(bool edited)
{
    if (!queriesOpen()) {
        display(protocol::Paragraphs());
        return;
    }
    const protocol::MeetingRow meeting = protocol::meetingFrom(Otchet2->resultSet());
    const QVector<protocol::VoteRow> votes = protocol::votesFrom(Otchet1->resultSet());
    display(edited ? protocol::buildEdited(meeting, votes, indentWidths())
                   : protocol::buildElectronic(meeting, votes, indentWidths()));
}

int TProtokolForma::spaceWidth(int count) const
{
    return QFontMetrics(OtchetText->font(), OtchetText).horizontalAdvance(QString(count, QLatin1Char(' ')));
}

protocol::IndentWidths TProtokolForma::indentWidths() const
{
    protocol::IndentWidths w;
    w.twoSpaces = spaceWidth(2);
    w.sixSpaces = spaceWidth(6);
    return w;
}

void TProtokolForma::display(const protocol::Paragraphs &paragraphs)
{
    // Document pixels are 96-dpi pixels, the unit the RTF writer turns into twips.
    const double pixelsPerPoint = 96.0 / 72.0;
    protocol::fillDocument(OtchetText->document(), paragraphs, protocolFont(), pixelsPerPoint);
    OtchetText->moveCursor(QTextCursor::Start);
}

QString TProtokolForma::settingsPath() const
{
    return m_platform ? settingsPathFor(m_platform->programPath()) : QString();
}

QString TProtokolForma::predlozhenieImeni() const
{
    QString name = QStringLiteral("Протокол");
    if (Otchet2->isOpen() && Otchet2->rowCount() > 0) {
        const QString date = protocol::formatDate(Otchet2->field(QStringLiteral("start")));
        QString opisanie = Otchet2->field(QStringLiteral("opisanie")).toString();
        const int cut = opisanie.lastIndexOf(QStringLiteral(" объявляется открытым"));
        if (cut >= 0)
            opisanie.truncate(cut);
        if (!date.isEmpty())
            name += QLatin1Char(' ') + date;
        if (!opisanie.trimmed().isEmpty())
            name += QLatin1Char(' ') + opisanie;
    }
    return Dialogs::safeFileName(name);
}

void TProtokolForma::KnopkaVFailClick()
{
    const QString name = m_dialogs->saveFile(this, QStringLiteral("Сохранить как"), predlozhenieImeni(),
                                             QStringLiteral("RTF (*.rtf)"), QStringLiteral("rtf"), settingsPath());
    if (name.isEmpty())
        return;
    const QByteArray data = protocol::toRtf(OtchetText->document());
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        m_dialogs->error(this, QStringLiteral("Невозможно создать файл \"%1\".\n\r%2")
                                   .arg(QDir::toNativeSeparators(name), file.errorString()));
    }
}

void TProtokolForma::KnopkaPechatClick()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(protocol::stranica());
    printer.setDocName(predlozhenieImeni());
    if (!m_dialogs->print(this, &printer))
        return;
    if (!protocol::napechatat(protocol::toRtf(OtchetText->document()), &printer))
        m_dialogs->error(this, QStringLiteral("Не удалось напечатать протокол.\n\rПроверьте принтер и повторите печать."));
}

void TProtokolForma::KnopkaPdfClick()
{
    const QString name = m_dialogs->saveFile(this, QStringLiteral("Сохранить в PDF"), predlozhenieImeni(),
                                             QStringLiteral("PDF (*.pdf)"), QStringLiteral("pdf"), settingsPath());
    if (name.isEmpty())
        return;
    // Written beside and moved in place at the end, so a failure never leaves half a file
    // where a good one was.
    QSaveFile file(name);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        QPdfWriter pdf(&file);
        pdf.setTitle(predlozhenieImeni());
        pdf.setCreator(QStringLiteral("voter"));
        ok = protocol::napechatat(protocol::toRtf(OtchetText->document()), &pdf);
    }
    if (!ok || !file.commit()) {
        m_dialogs->error(this, QStringLiteral("Невозможно создать файл \"%1\".\n\r%2")
                                   .arg(QDir::toNativeSeparators(name), file.errorString()));
    }
}
