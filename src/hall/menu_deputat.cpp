#include "hall/zal_obshee.h"
#include "db/zaprosy/sessia.h"
#include "db/zaprosy/sostav.h"
#include "hall/menu_deputat.h"
#include "hall/karta_mest.h"

#include "core/masshtab.h"

#include "core/dialogs.h"
#include "core/oshibka.h"
#include "core/platform.h"
#include "core/rezhim.h"
#include "core/tglavforma.h"
#include "core/vidzhety.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "editors/deputat_form.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

#include <memory>

const QString TMenuDeputat::KontrolnoeSlovo = QStringLiteral("kvorn");
const QString TMenuDeputat::MestoPredsedatelya = QStringLiteral("02");

namespace {

const QString kOshibkaRegistracii = QStringLiteral("Ошибка работы с базой данных при регистрации депутата! \n\r\n\r");
const QString kOshibkaOtmeny =
    QStringLiteral("Ошибка работы с базой данных при отмене регистрации депутата! \n\r\n\r");
const QString kOshibkaNomeraDeputata =
    QStringLiteral("Ошибка работы с базой данных при запросе номера депутата! \n\r\n\r");
const QString kOshibkaNomeraMesta = QStringLiteral("Ошибка работы с базой данных при запросе номера места! \n\r\n\r");
const QString kOshibkaVybora = QStringLiteral("Ошибка работы с базой данных при выборе депутата! \n\r\n\r");

// Draws and measures the menu's items itself; everything else (frame, panel) is the
// application's style.
class StilMenuDeputata : public QProxyStyle {
public:
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override
    {
        if (type == CT_MenuItem) {
            if (const auto *mi = qstyleoption_cast<const QStyleOptionMenuItem *>(option))
                if (mi->menuItemType == QStyleOptionMenuItem::Normal)
                    return TMenuDeputat::MenuRegMeasureItem(mi->text);
        }
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        if (element == CE_MenuItem) {
            if (const auto *mi = qstyleoption_cast<const QStyleOptionMenuItem *>(option)) {
                if (mi->menuItemType == QStyleOptionMenuItem::Normal) {
                    TMenuDeputat::MenuRegAdvancedDrawItem(painter, mi->rect, mi->text,
                                                          mi->state & State_Selected, mi->state & State_Enabled,
                                                          mi->palette);
                    return;
                }
            }
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

}  // namespace

TMenuDeputat::TMenuDeputat(const KontekstEkrana &glav, const TKartaMest *karta) : QMenu(glav.okno()), m_glav(glav), m_karta(karta)
{
    setObjectName(QStringLiteral("MenuDeputat"));
    auto *stil = new StilMenuDeputata;
    stil->setParent(this);
    setStyle(stil);
    setFont(ShriftPunkta());

    auto punkt = [this](const char *name, const QString &caption, void (TMenuDeputat::*handler)()) {
        QAction *a = addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    MenuReg = punkt("MenuReg", QStringLiteral("Зарегистрировать"), &TMenuDeputat::MenuRegClick);
    MenuNeReg = punkt("MenuNeReg", QStringLiteral("Снять регистрацию"), &TMenuDeputat::MenuNeRegClick);
    MenuViborDeputata =
        punkt("MenuViborDeputata", QStringLiteral("Выбрать депутата"), &TMenuDeputat::MenuViborDeputataClick);
    MenuPeresapuskVseh = punkt("MenuPeresapuskVseh", QStringLiteral("Перезапустить все терминалы"),
                               &TMenuDeputat::MenuPeresapuskVsehClick);
    MenuZakrVseh = punkt("MenuZakrVseh", QStringLiteral("Закрыть все терминалы"), &TMenuDeputat::MenuZakrVsehClick);
    OtklKomp = punkt("OtklKomp", QStringLiteral("Выключить все компьютеры"), &TMenuDeputat::OtklKompClick);
}

// ---- Drawing ----------------------------------------------------------------------------

QFont TMenuDeputat::ShriftPunkta()
{
    QFont f = QApplication::font();
    f.setPixelSize(masshtab::pikseli(18));
    f.setBold(true);
    return f;
}

QSize TMenuDeputat::MenuRegMeasureItem(const QString &caption)
{
    const QFontMetrics fm(ShriftPunkta());
    return QSize(fm.horizontalAdvance(caption) + 15, fm.size(Qt::TextSingleLine, QStringLiteral("WWWWWW")).height() + 10);
}

void TMenuDeputat::MenuRegAdvancedDrawItem(QPainter *painter, const QRect &rect, const QString &caption,
                                           bool selected, bool enabled, const QPalette &palette)
{
    const QPalette::ColorGroup group = enabled ? QPalette::Normal : QPalette::Disabled;
    painter->save();
    painter->fillRect(rect, palette.brush(group, selected ? QPalette::Highlight : QPalette::Window));
    painter->setPen(palette.color(group, selected ? QPalette::HighlightedText : QPalette::WindowText));
    const QFont f = ShriftPunkta();
    painter->setFont(f);
    const QFontMetrics fm(f);
    painter->drawText(rect.left() + 10, rect.top() + 3 + fm.ascent(), caption);
    painter->restore();
}

// ---- Common ---------------------------------------------------------------------------------

bool TMenuDeputat::vybrannoeMesto(QString *nomer, QString *imya) const
{
    const int i = m_glav->VibranoeMesto();
    if (i <= 0 || i >= m_karta->NomerLeibl.size() || i >= m_karta->MestoLeibl.size() || !m_karta->NomerLeibl[i]
        || !m_karta->MestoLeibl[i])
        return false;
    *nomer = m_karta->NomerLeibl[i]->text();
    *imya = imyaLeibla(m_karta->MestoLeibl[i]);
    return true;
}

bool TMenuDeputat::pultOperatora() const
{
    return m_glav->RezhimAdmin() && m_glav->ob().AdminFrame && !m_glav->ob().AdminFrame->isHidden();
}

bool TMenuDeputat::nomerZaregistrirovan(const QString &nomer, bool *est)
{
    // Read afresh rather than as the last refresh left it: registering a seat that registered
    // a moment ago would write a second presence record, and the board counts rows.
    *est = false;
    if (!m_glav->OtkrytZaprosRegistracia())
        return false;
    DataSet *z = m_glav->ZaprosRegistracia();
    for (int r = 0; r < z->rowCount(); ++r)
        if (z->value(r, QStringLiteral("nomer")).toString() == nomer)
            *est = true;
    return true;
}

bool TMenuDeputat::deputatMesta(const QString &nomer, int *idDeputata)
{
    *idDeputata = -1;
    DataSet *s = m_glav->Sostav();
    if (!(s->isOpen() ? s->requery(QStringLiteral("id_mesto")) : s->open()))
        return false;
    if (s->locate(QStringLiteral("nomer"), nomer))
        *idDeputata = s->field(QStringLiteral("id_deputat")).toInt();
    return true;
}

// ---- Register and cancel ----------------------------------------------------------------------

void TMenuDeputat::MenuRegClick()
{
    registraciya(false);
}

void TMenuDeputat::MenuNeRegClick()
{
    registraciya(true);
}

void TMenuDeputat::registraciya(bool otmena)
{
    if (!pultOperatora() || m_glav->IdZasedania() <= 0 || m_glav->IdSessii() <= 0)
        return;
    QString nomer, imya;
    if (!vybrannoeMesto(&nomer, &imya))
        return;
    // The chairman's presence record is the console's own business.
    if (otmena && nomer == MestoPredsedatelya)
        return;
    const QString oshibka = otmena ? kOshibkaOtmeny : kOshibkaRegistracii;

    bool zaregistrirovan = false;
    if (!nomerZaregistrirovan(nomer, &zaregistrirovan)) {
        soobshitOshibku(m_glav->dialogs(), m_glav->okno(), &m_glav->GlavBasa(), oshibka);
        return;
    }
    if (zaregistrirovan != otmena)
        return;

    const QString vopros = otmena ? QStringLiteral("Вы действительно хотите отменить регистрацию депутата [")
                                  : QStringLiteral("Вы действительно хотите зарегистрировать депутата [");
    if (!m_glav->dialogs()->question(m_glav->okno(), vopros + imya + QStringLiteral("]?"),
                                     QStringLiteral("Регистрация депутата")))
        return;

    int idDeputata = -1;
    if (!deputatMesta(nomer, &idDeputata)) {
        soobshitOshibku(m_glav->dialogs(), m_glav->okno(), &m_glav->GlavBasa(), oshibka);
        return;
    }
    if (idDeputata < 0)
        return;

    const QString zapros =
        otmena ? zaprosy::sessia::otmenitOperatorom(idDeputata, m_glav->IdSessii())
               : zaprosy::sessia::zaregistrirovatOperatorom(m_glav->IdZasedania(), idDeputata, m_glav->IdSessii());
    if (!m_glav->GlavBasa().exec(zapros))
        soobshitOshibku(m_glav->dialogs(), m_glav->okno(), &m_glav->GlavBasa(), oshibka);
}

// ---- Seating a deputy -------------------------------------------------------------------------

void TMenuDeputat::MenuViborDeputataClick()
{
    if (!pultOperatora())
        return;
    QString nomer, imya;
    if (!vybrannoeMesto(&nomer, &imya))
        return;
    DbConnection &db = m_glav->GlavBasa();
    const bool predsedatel = nomer == MestoPredsedatelya;

    std::unique_ptr<TMestoDeputatForma> forma(
        new TMestoDeputatForma(&db, m_glav->dialogs(), m_glav->platform(), m_glav->okno()));
    forma->setChooserSeat(nomer);

    // The seat's present deputy and assignment.
    ResultSet rs;
    if (!db.query(zaprosy::sostav::naznachenieMesta(nomer),
                  &rs)) {
        soobshitOshibku(m_glav->dialogs(), m_glav->okno(), &m_glav->GlavBasa(), kOshibkaNomeraDeputata);
        return;
    }
    const int tekushii = rs.isEmpty() ? -1 : rs.value(0, 0).toInt();
    const int naznachenie = rs.isEmpty() ? -1 : rs.value(0, 1).toInt();

    forma->selectDeputat(tekushii);
    if (m_glav->dialogs()->exec(forma.get()) != QDialog::Accepted)
        return;
    const int vybran = forma->chosenDeputatId();
    const QString fio = forma->chosenFio();
    if (vybran < 0 || vybran == tekushii)
        return;

    // Where the chosen deputy sits now.
    if (!db.query(zaprosy::sostav::mestoDeputata(vybran),
                  &rs)) {
        soobshitOshibku(m_glav->dialogs(), m_glav->okno(), &m_glav->GlavBasa(), kOshibkaNomeraMesta);
        return;
    }
    const int staroeMesto = rs.isEmpty() ? -1 : rs.value(0, 0).toString().toInt();
    const int staroeNaznachenie = rs.isEmpty() ? -1 : rs.value(0, 1).toInt();

    // The steps change two seats and two presence records; run them as one transaction so that
    // a failure halfway leaves no deputy on no seat or on two.
    auto shagi = [&]() -> bool {
        if (staroeNaznachenie != -1
            && !db.exec(zaprosy::sostav::udalit(staroeNaznachenie)))
            return false;
        if (naznachenie == -1) {
            ResultSet m;
            if (!db.query(zaprosy::mesto::id(nomer), &m))
                return false;
            if (m.isEmpty()) {
                db.setError(QStringLiteral("Место ") + nomer + QStringLiteral(" не найдено"), 0);
                return false;
            }
            return db.exec(zaprosy::sostav::naznachit(vybran, m.scalar().toInt(), predsedatel));
        }
        if (!db.exec(zaprosy::sostav::zamenit(naznachenie, vybran, predsedatel)))
            return false;
        // Both deputies count as not registered until they register again.
        for (int id : {tekushii, vybran})
            if (!db.exec(zaprosy::sessia::snyatPrisutstvie(id, m_glav->IdSessii())))
                return false;
        return true;
    };

    if (!db.inTransaction(shagi)) {
        soobshitOshibku(m_glav->dialogs(), m_glav->okno(), &db, kOshibkaVybora);
        return;
    }

    if (staroeNaznachenie != -1 && staroeMesto > 0 && staroeMesto < m_karta->MestoLeibl.size()
        && m_karta->MestoLeibl[staroeMesto])
        ustanovitImya(m_karta->MestoLeibl[staroeMesto], QStringLiteral("-"));
    ustanovitImya(m_karta->MestoLeibl[m_glav->VibranoeMesto()], fio);

    DataSet *s = m_glav->Sostav();
    if (!(s->isOpen() ? s->requery(QStringLiteral("id_mesto")) : s->open()))
        soobshitOshibku(m_glav->dialogs(), m_glav->okno(), &m_glav->GlavBasa(), kOshibkaVybora);
}

// ---- Remote commands --------------------------------------------------------------------------

void TMenuDeputat::MenuPeresapuskVsehClick()
{
    udalennayaKomanda(rezhim::PerezapustitVse, QStringLiteral("Удаленное перезапуск терминалов"));
}

void TMenuDeputat::MenuZakrVsehClick()
{
    udalennayaKomanda(rezhim::ZakrytVse, QStringLiteral("Удаленное выключение терминалов"));
}

void TMenuDeputat::OtklKompClick()
{
    udalennayaKomanda(rezhim::VyklyuchitVse, QStringLiteral("Удаленное выключение компьютеров"));
}

void TMenuDeputat::udalennayaKomanda(int kod, const QString &zagolovok)
{
    QString slovo;
    if (!m_glav->dialogs()->inputText(m_glav->okno(), zagolovok, QStringLiteral("Введите контрольное слово:"), &slovo)
        || slovo != KontrolnoeSlovo) {
        m_glav->dialogs()->error(m_glav->okno(), QStringLiteral("Контрольное слово было введено не верно!"));
        return;
    }
    if (!m_glav->GlavBasa().exec(rezhim::udalennayaKomanda(static_cast<rezhim::Kod>(kod))))
        soobshitOshibku(m_glav->dialogs(), m_glav->okno(), &m_glav->GlavBasa());
}
