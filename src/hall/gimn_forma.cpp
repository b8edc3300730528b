#include "hall/gimn_forma.h"

#include "core/dialogs.h"
#include "core/rezhim.h"
#include "core/vidzhety.h"
#include "db/connection.h"

#include <QGuiApplication>
#include <QPushButton>

namespace {
constexpr int ShirinaKnopki = 260;
constexpr int VysotaKnopki = 41;
constexpr int Krai = 16;
constexpr int Promezhutok = 8;
}  // namespace

TGimnForm::TGimnForm(DbConnection *db, Dialogs *dialogs, bool mozhnoZakrit, QWidget *parent)
    : QDialog(parent), m_db(db), m_dialogs(dialogs), m_mozhnoZakrit(mozhnoZakrit)
{
    setObjectName(QStringLiteral("GimnForm"));
    setWindowTitle(QStringLiteral("Режим \"Гимн\""));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(arialPx(19, true));
    setFixedSize(2 * Krai + ShirinaKnopki, 2 * Krai + 3 * VysotaKnopki + 2 * Promezhutok);

    auto knopka = [this](const char *name, const QString &text, int i) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(Krai, Krai + i * (VysotaKnopki + Promezhutok), ShirinaKnopki, VysotaKnopki);
        b->setAutoDefault(false);
        return b;
    };
    VklGimn = knopka("VklGimn", QStringLiteral("Включить режим гимна"), 0);
    ViklGimn = knopka("ViklGimn", QStringLiteral("Убрать результаты"), 1);
    ZakrGimn = knopka("ZakrGimn", QStringLiteral("Открыть повестку"), 2);
    connect(VklGimn, &QPushButton::clicked, this, [this] { VklGimnClick(); });
    connect(ViklGimn, &QPushButton::clicked, this, [this] { ViklGimnClick(); });
    connect(ZakrGimn, &QPushButton::clicked, this, [this] { ZakrGimnClick(); });
}

bool TGimnForm::zapisat(const QString &statement)
{
    if (m_db->exec(statement))
        return true;
    // A plain box, as the application shows a message of its own.
    m_dialogs->message(this, QStringLiteral("Ошибка!"), QGuiApplication::applicationDisplayName(), Dialogs::NoIcon);
    return false;
}

void TGimnForm::VklGimnClick()
{
    if (!zapisat(rezhim::gimn()))
        return;
    VklGimn->setEnabled(false);
    ZakrGimn->setEnabled(true);
    ViklGimn->setText(QStringLiteral("Выключить режим гимна"));
    ViklGimn->setEnabled(true);
}

void TGimnForm::ViklGimnClick()
{
    if (!zapisat(rezhim::gimnSnyat()))
        return;
    VklGimn->setEnabled(false);
    ViklGimn->setEnabled(false);
}

void TGimnForm::ZakrGimnClick()
{
    // The dialog closes even when the statement failed.
    zapisat(rezhim::prostoy());
    m_mozhnoZakrit = true;
    done(QDialog::Accepted);
}

void TGimnForm::done(int result)
{
    if (!FormCloseQuery())
        return;
    QDialog::done(result);
}
