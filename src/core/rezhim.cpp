#include "core/rezhim.h"

namespace rezhim {

bool udalennayaKomanda(int kod)
{
    return kod == ZakrytVse || kod == VyklyuchitVse || kod == PerezapustitVse;
}

QString kanal()
{
    return QStringLiteral("regim");
}

QString zapros()
{
    return QStringLiteral("SELECT nomer,param1,param2 FROM regim");
}

QString nachatRegistraciyu(int idSessii, int sekund)
{
    return QStringLiteral("UPDATE regim SET nomer=1,param1=%1,param2=%2").arg(idSessii).arg(sekund);
}

QString ostalosSekund(int sekund)
{
    return QStringLiteral("UPDATE regim SET param2=%1").arg(sekund);
}

QString prostoy()
{
    return QStringLiteral("UPDATE regim SET nomer=-1");
}

QString prostoyAktivacia()
{
    return QStringLiteral("UPDATE regim SET nomer = -1");
}

QString rezultatRegistracii(int idSessii)
{
    return QStringLiteral("UPDATE regim SET nomer=5,param2=15,param1=%1").arg(idSessii);
}

QString nachatGolosovanie(int idGolosovania, int sekund)
{
    return QStringLiteral("UPDATE regim SET nomer=2,param1=%1,param2=%2").arg(idGolosovania).arg(sekund);
}

QString rezultatGolosovania(int idGolosovania)
{
    return QStringLiteral("UPDATE regim SET nomer=4,param1=%1,param2=15").arg(idGolosovania);
}

QString gimn()
{
    return QStringLiteral("UPDATE regim SET nomer=10");
}

QString gimnSnyat()
{
    return QStringLiteral("UPDATE regim SET nomer=11");
}

QString udalennayaKomanda(Kod kod)
{
    return QStringLiteral("UPDATE regim SET nomer = %1, param1 = %2").arg(int(kod)).arg(OknoKomandy);
}

QString schetKomandy(int ostalos)
{
    return QStringLiteral("UPDATE regim SET param1 = %1").arg(ostalos);
}

QString konecKomandy()
{
    return QStringLiteral("UPDATE regim SET nomer = -1");
}

ZaprosRegimaNabor::ZaprosRegimaNabor(DbConnection *db, QObject *parent) : DataSet(db, parent)
{
    setObjectName(QStringLiteral("ZaprosRegima"));
    setSql(zapros());
}

bool ZaprosRegimaNabor::perechitat()
{
    if (isOpen())
        close();
    return open();
}

bool ZaprosRegimaNabor::obnovit()
{
    return isOpen() ? requery() : open();
}

int ZaprosRegimaNabor::pole(int column) const
{
    if (!estStroka())
        return 0;
    return value(0, column).toInt();
}

int ZaprosRegimaNabor::RegimNomer() const
{
    return pole(0);
}

int ZaprosRegimaNabor::RegimParam1() const
{
    return pole(1);
}

int ZaprosRegimaNabor::RegimParam2() const
{
    return pole(2);
}

}  // namespace rezhim
