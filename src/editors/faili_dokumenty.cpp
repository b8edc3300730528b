// The documents side of the agenda editor: the content of the selected item and its
// documents, registered in faili and copied into the document store.
#include "core/dialogs.h"
#include "core/oshibka.h"
#include "core/platform.h"
#include "core/richtext.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/zaprosy/dokument.h"
#include "db/zaprosy/obshee.h"
#include "db/zaprosy/zasedanie.h"
#include "db/docstore.h"
#include "editors/povestka_freim.h"
#include "editors/povestka_redaktor.h"

#include <QFileInfo>
#include <QTextEdit>

namespace {
const QString kNewLines = QStringLiteral("\n\r\n\r");
const QString kRegisterError = QStringLiteral("Ошибка работы с базой данных при регистрации файла документа! ");
}  // namespace

void TRedaktorPovestki::reloadDocuments()
{
    DataSet *povestka = PovestkaFreim->Povestka;
    const bool haveItem = povestka->isOpen() && !povestka->isEmpty() && !povestka->eof();
    richtext::loadRtf(InfoPole, haveItem ? povestka->field(QStringLiteral("info")).toString() : QString());
    Faili->close();
    if (!haveItem)
        return;
    Faili->setParam(QStringLiteral("a"), povestka->field(QStringLiteral("id")).toInt());
    // No heading of its own: the failure's own text, as an unexpected error is shown.
    if (!Faili->open())
        soobshitOshibku(m_dialogs, this, m_db);
}

bool TRedaktorPovestki::dateFolder(QString *folder)
{
    ResultSet rs;
    if (!m_db->query(zaprosy::zasedanie::dataPapki(PovestkaFreim->zasedanie()), &rs))
        return false;
    if (rs.isEmpty()) {
        m_db->setError(QStringLiteral("Заседание %1 не найдено.").arg(PovestkaFreim->zasedanie()), 0);
        return false;
    }
    *folder = docstore::dateFolder(rs.value(0, QStringLiteral("dd")).toString().trimmed(),
                                   rs.value(0, QStringLiteral("mm")).toInt(),
                                   rs.value(0, QStringLiteral("yy")).toString().trimmed());
    return true;
}

QString TRedaktorPovestki::chooseFile()
{
    return m_dialogs->openFileName(this, QString(), QString(), QStringLiteral("PDF (*.pdf)"));
}

void TRedaktorPovestki::copyIntoItemFolder(const QString &source, const QString &put, const QString &fileName)
{
    // A file already in the folder is kept and the row refers to it.
    if (docstore::copyIntoStore(source, m_platform->programDir(), put, fileName) == docstore::CopyResult::Failed)
        m_dialogs->error(this, QStringLiteral("Ошибка при копировании файла!"));
}

// The file a new or replaced document comes from, its name and its item folder; false when
// the operator chose none or the meeting's folder could not be named (then said).
bool TRedaktorPovestki::vybratDokument(QString *file, QString *name, QString *put)
{
    DataSet *povestka = PovestkaFreim->Povestka;
    QString date;
    if (!dateFolder(&date)) {
        soobshitOshibku(m_dialogs, this, m_db, kRegisterError + kNewLines);
        return false;
    }
    *file = chooseFile();
    if (file->isEmpty())
        return false;
    *name = QFileInfo(*file).fileName();
    *put = docstore::itemFolder(date, povestka->field(QStringLiteral("nomer")).toInt(),
                                povestka->field(QStringLiteral("tip")).toInt());
    return true;
}

void TRedaktorPovestki::KnopkaDocNoviyClick()
{
    if (!Faili->isOpen())
        return;
    DataSet *povestka = PovestkaFreim->Povestka;
    QString file, name, put;
    if (!vybratDokument(&file, &name, &put))
        return;
    if (!m_db->exec(zaprosy::dokument::vstavit(povestka->field(QStringLiteral("id")).toInt(), name, name, put))) {
        soobshitOshibku(m_dialogs, this, m_db, kRegisterError + kNewLines);
        return;
    }
    if (!Faili->requery()) {
        soobshitOshibku(m_dialogs, this, m_db, kRegisterError + kNewLines);
        return;
    }
    bool ok = false;
    const QVariant id = m_db->scalar(zaprosy::noviyKlyuch(), &ok);
    if (!ok) {
        soobshitOshibku(m_dialogs, this, m_db, kRegisterError + kNewLines);
        return;
    }
    Faili->locate(QStringLiteral("id"), id);
    // Every document goes into its item folder, additional questions included: the
    // terminals open documents only from there.
    copyIntoItemFolder(file, put, name);
}

void TRedaktorPovestki::DocTablDblClick()
{
    if (!Faili->isOpen() || Faili->isEmpty())
        return;
    QString file, name, put;
    if (!vybratDokument(&file, &name, &put))
        return;
    const int id = Faili->field(QStringLiteral("id")).toInt();
    if (!m_db->exec(zaprosy::dokument::zamenit(id, name, put))) {
        soobshitOshibku(m_dialogs, this, m_db, kRegisterError + kNewLines);
        return;
    }
    if (!Faili->requery()) {
        soobshitOshibku(m_dialogs, this, m_db, kRegisterError + kNewLines);
        return;
    }
    Faili->locate(QStringLiteral("id"), id);
    // The replacing file must be where the terminals look for it.
    copyIntoItemFolder(file, put, name);
}

void TRedaktorPovestki::KnopkaDocOpisanieClick()
{
    if (!Faili->isOpen() || Faili->isEmpty())
        return;
    QString text = Faili->field(QStringLiteral("opisanie")).toString();
    if (!m_dialogs->inputText(this, QStringLiteral("Описание файла"), QStringLiteral("Введите описание файла:"), &text))
        return;
    if (!m_db->exec(zaprosy::dokument::opisat(Faili->field(QStringLiteral("id")).toInt(), text))
        || !Faili->requery())
        soobshitOshibku(m_dialogs, this, m_db, QStringLiteral("Ошибка обновления описания документа! ") + kNewLines);
}

void TRedaktorPovestki::KnopkaDocUdalitClick()
{
    if (!Faili->isOpen() || Faili->isEmpty())
        return;
    if (!m_dialogs->question(this,
                             QStringLiteral("Вы действительно хотите удалить ссыоку на файл [")
                                 + Faili->field(QStringLiteral("fail")).toString() + QStringLiteral("]?"),
                             QStringLiteral("Удаление файла")))
        return;
    // Only the reference goes: the file stays in the store.
    if (!m_db->exec(zaprosy::dokument::udalit(Faili->field(QStringLiteral("id")).toInt()))
        || !Faili->requery())
        soobshitOshibku(m_dialogs, this, m_db, QStringLiteral("Ошибка удаления файла!") + kNewLines);
}

void TRedaktorPovestki::DocTablMouseUp(Qt::MouseButton button)
{
    if (button != Qt::RightButton || !Faili->isOpen() || Faili->isEmpty())
        return;
    const QString fail = Faili->field(QStringLiteral("fail")).toString();
    m_dialogs->information(this, docstore::displayPath(Faili->field(QStringLiteral("put")).toString(), fail),
                           QStringLiteral("Путь к файлу ") + fail);
}
