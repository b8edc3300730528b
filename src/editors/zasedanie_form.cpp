#include "editors/zasedanie_form.h"
#include "core/vidzhety.h"
#include "editors/povestka_grid.h"

#include "core/dialogs.h"
#include "core/oshibka.h"
#include "core/platform.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/zaprosy/obshee.h"
#include "db/zaprosy/zasedanie.h"

#include <QAction>
#include <QDateEdit>
#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace {

const int kDateColumnWidth = 81;

// The date column is centred.
class ZasedaniaGridModel : public DataSetModel {
public:
    using DataSetModel::DataSetModel;
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::TextAlignmentRole && index.column() == 0)
            return int(Qt::AlignCenter);
        return DataSetModel::data(index, role);
    }
};

QFont titleFont()
{
    return arialPx(13, true);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TZasedanieRedaktForma

TZasedanieRedaktForma::TZasedanieRedaktForma(Dialogs *dialogs, QWidget *parent)
    : QDialog(parent), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("ZasedanieRedaktForma"));
    setWindowTitle(QStringLiteral("Редактирование заседания"));
    setFixedSize(549, 136);

    LabelData = new QLabel(QStringLiteral("Дата:"), this);
    LabelData->setObjectName(QStringLiteral("LabelData"));
    LabelData->setGeometry(8, 12, 137, 16);

    ZasedanieData = new QDateEdit(this);
    ZasedanieData->setObjectName(QStringLiteral("ZasedanieData"));
    ZasedanieData->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    ZasedanieData->setCalendarPopup(true);
    ZasedanieData->setDate(QDate::currentDate());
    ZasedanieData->setGeometry(8, 30, 137, 24);

    LabelOpisanie = new QLabel(QStringLiteral("Заседание:"), this);
    LabelOpisanie->setObjectName(QStringLiteral("LabelOpisanie"));
    LabelOpisanie->setGeometry(152, 12, 389, 16);

    ZasedanieOpisanie = new QLineEdit(this);
    ZasedanieOpisanie->setObjectName(QStringLiteral("ZasedanieOpisanie"));
    ZasedanieOpisanie->setGeometry(152, 30, 389, 24);

    KnopkaOK = new QPushButton(QStringLiteral("ОК"), this);
    KnopkaOK->setObjectName(QStringLiteral("KnopkaOK"));
    KnopkaOK->setGeometry(370, 96, 83, 28);
    KnopkaOK->setDefault(true);
    connect(KnopkaOK, &QPushButton::clicked, this, &QDialog::accept);

    KnopkaOtmena = new QPushButton(QStringLiteral("Отмена"), this);
    KnopkaOtmena->setObjectName(QStringLiteral("KnopkaOtmena"));
    KnopkaOtmena->setGeometry(458, 96, 83, 28);
    connect(KnopkaOtmena, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(ZasedanieData, ZasedanieOpisanie);
    setTabOrder(ZasedanieOpisanie, KnopkaOK);
    setTabOrder(KnopkaOK, KnopkaOtmena);
}

bool TZasedanieRedaktForma::FormCloseQuery()
{
    // Spaces count as a description; only a really empty box is refused.
    if (ZasedanieOpisanie->text().isEmpty()) {
        m_dialogs->error(this, QStringLiteral("Вы не заполнили поле [Заседание]!"));
        ZasedanieOpisanie->setFocus();
        return false;
    }
    return true;
}

void TZasedanieRedaktForma::done(int result)
{
    if (result == QDialog::Accepted && !FormCloseQuery())
        return;
    QDialog::done(result);
}

QString TZasedanieRedaktForma::dataText() const
{
    return ZasedanieData->date().toString(QStringLiteral("yyyyMMdd"));
}

// ---------------------------------------------------------------------------------------
// TZasedanieForm

TZasedanieForm::TZasedanieForm(DbConnection *db, Dialogs *dialogs, Platform *platform, QWidget *parent)
    : QDialog(parent), m_db(db), m_dialogs(dialogs), m_platform(platform)
{
    setObjectName(QStringLiteral("ZasedanieForm"));
    setWindowTitle(QStringLiteral("Заседания"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(647, 375);

    Zasedania = new DataSet(db, this);
    Zasedania->setObjectName(QStringLiteral("Zasedania"));
    Zasedania->setSql(zaprosy::zasedanie::spisok());

    ZasedaniaModel = new ZasedaniaGridModel(Zasedania, this);
    ZasedaniaModel->setColumns({
        {QStringLiteral("data"), QStringLiteral("Дата"), kDateColumnWidth},
        {QStringLiteral("opisanie"), QStringLiteral("Описание"), 0},
    });
    ZasedaniaModel->setDisplay([](int, const QString &field, const QVariant &value) -> QVariant {
        if (field == QLatin1String("opisanie")) {
            // A long description shows as one line of text.
            QString t = value.toString();
            t.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
            return t;
        }
        return value;
    });

    ZasedaniaTabl = new QTableView(this);
    ZasedaniaTabl->setObjectName(QStringLiteral("ZasedaniaTabl"));
    bindGridToDataSet(ZasedaniaTabl, ZasedaniaModel);
    ZasedaniaTabl->setGeometry(0, 0, 647, 330);
    ZasedaniaTabl->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ZasedaniaTabl->verticalHeader()->setDefaultSectionSize(20);
    ZasedaniaTabl->horizontalHeader()->setFont(titleFont());
    ZasedaniaTabl->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ZasedaniaTabl->horizontalHeader()->setHighlightSections(false);
    connect(ZasedaniaTabl, &QTableView::doubleClicked, this, [this] { ZasedaniaTablDblClick(); });

    ZasedanieDobavit = deistvie(this, "ZasedanieDobavit", QStringLiteral("Добавить"), [this] { ZasedanieDobavitExecute(); });
    ZasedanieRedakt =
        deistvie(this, "ZasedanieRedakt", QStringLiteral("Редактировать заседание"), [this] { ZasedanieRedaktExecute(); });
    ZasedanieUdalit = deistvie(this, "ZasedanieUdalit", QStringLiteral("Удалить"), [this] { ZasedanieUdalitExecute(); });

    const int by = 338, bh = 29, bw = 91;
    KnopkaNoviy = knopkaDeistviya(this, "KnopkaNoviy", ZasedanieDobavit);
    KnopkaNoviy->setGeometry(8, by, bw, bh);
    KnopkaUdalit = knopkaDeistviya(this, "KnopkaUdalit", ZasedanieUdalit);
    KnopkaUdalit->setGeometry(8 + bw + 6, by, bw, bh);

    KnopkaProtokol = new QPushButton(QStringLiteral("Протокол"), this);
    KnopkaProtokol->setObjectName(QStringLiteral("KnopkaProtokol"));
    KnopkaProtokol->setGeometry(8 + 2 * (bw + 6), by, bw, bh);
    connect(KnopkaProtokol, &QPushButton::clicked, this, [this] { KnopkaProtokolClick(); });

    KnopkaOK = new QPushButton(QStringLiteral("Выбрать"), this);
    KnopkaOK->setObjectName(QStringLiteral("KnopkaOK"));
    KnopkaOK->setGeometry(647 - 8 - 2 * bw - 6, by, bw, bh);
    connect(KnopkaOK, &QPushButton::clicked, this, [this] { KnopkaOKClick(); });

    KnopkaOtmena = new QPushButton(QStringLiteral("Закрыть"), this);
    KnopkaOtmena->setObjectName(QStringLiteral("KnopkaOtmena"));
    KnopkaOtmena->setGeometry(647 - 8 - bw, by, bw, bh);
    connect(KnopkaOtmena, &QPushButton::clicked, this, &QDialog::reject);

    // Enter in the grid must not press whichever button happens to be the default.
    for (QPushButton *b : {KnopkaNoviy, KnopkaUdalit, KnopkaProtokol, KnopkaOK, KnopkaOtmena})
        b->setAutoDefault(false);

    ZasedaniaTabl->setColumnWidth(0, kDateColumnWidth);
    FormResize();
    reload();
}

TZasedanieForm::~TZasedanieForm() = default;

bool TZasedanieForm::reload()
{
    const bool ok = Zasedania->isOpen() ? Zasedania->requery() : Zasedania->open();
    if (!ok)
        soobshitOshibku(m_dialogs, this, m_db);
    updatePickerButtons();
    return ok;
}

void TZasedanieForm::setPickerMode(bool picker)
{
    m_picker = picker;
    KnopkaNoviy->setHidden(picker);
    KnopkaUdalit->setHidden(picker);
    KnopkaProtokol->setHidden(picker);
    if (picker) {
        // Only meetings never opened can be chosen for opening.
        Zasedania->setFilter([](const DataSet &set, int row) {
            return set.sourceValue(row, QStringLiteral("start")).isNull();
        });
    } else {
        Zasedania->setFilter(nullptr);
    }
    Zasedania->first();
    updatePickerButtons();
}

void TZasedanieForm::updatePickerButtons()
{
    KnopkaOK->setHidden(m_picker && Zasedania->isEmpty());
}

bool TZasedanieForm::selectMeeting(int id)
{
    return Zasedania->locate(QStringLiteral("id"), id);
}

int TZasedanieForm::currentId() const
{
    const QVariant v = Zasedania->field(QStringLiteral("id"));
    return v.isNull() ? -1 : v.toInt();
}

void TZasedanieForm::FormResize()
{
    const int w = ZasedaniaTabl->width() - kDateColumnWidth - m_platform->scrollBarWidth() - 7;
    ZasedaniaTabl->setColumnWidth(0, kDateColumnWidth);
    ZasedaniaTabl->setColumnWidth(1, qMax(w, 20));
}

void TZasedanieForm::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

void TZasedanieForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormResize();
}

void TZasedanieForm::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormResize();
}

void TZasedanieForm::ZasedaniaTablDblClick()
{
    // In picker mode the list is for choosing only.
    if (!KnopkaNoviy->isHidden())
        ZasedanieRedaktExecute();
}

void TZasedanieForm::ZasedanieDobavitExecute()
{
    editMeeting(true);
}

void TZasedanieForm::ZasedanieRedaktExecute()
{
    if (Zasedania->eof())
        return;
    editMeeting(false);
}

void TZasedanieForm::editMeeting(bool adding)
{
    const int id = currentId();
    auto *dlg = new TZasedanieRedaktForma(m_dialogs, this);
    if (adding) {
        dlg->ZasedanieData->setDate(QDate::currentDate());
        dlg->ZasedanieOpisanie->setText(QStringLiteral("Заседание № "));
    } else {
        const QString dt = Zasedania->field(QStringLiteral("dt")).toString();
        const QDate d(dt.mid(0, 4).toInt(), dt.mid(5, 2).toInt(), dt.mid(8, 2).toInt());
        if (d.isValid())
            dlg->ZasedanieData->setDate(d);
        dlg->ZasedanieOpisanie->setText(Zasedania->field(QStringLiteral("opisanie")).toString());
    }
    dlg->move(pos() + QPoint(40, 50));

    bool failed = false;
    if (m_dialogs->exec(dlg) == QDialog::Accepted) {
        const QString date = dlg->dataText();
        const QString opisanie = dlg->ZasedanieOpisanie->text();
        if (adding) {
            failed = !m_db->exec(zaprosy::zasedanie::vstavit(date, opisanie));
            if (!failed) {
                failed = !Zasedania->open();
                bool ok = false;
                const QVariant newId = failed ? QVariant() : m_db->scalar(zaprosy::noviyKlyuch(), &ok);
                failed = failed || !ok;
                if (!failed)
                    Zasedania->locate(QStringLiteral("id"), newId);
            }
        } else {
            failed = !m_db->exec(zaprosy::zasedanie::izmenit(id, date, opisanie));
            if (!failed) {
                failed = !Zasedania->open();
                if (!failed)
                    Zasedania->locate(QStringLiteral("id"), id);
            }
        }
    }
    const OshibkaBazy oshibka(m_db);
    if (oshibka.est()) {
        oshibka.pokazat(m_dialogs, this,
                        adding ? QStringLiteral("Ошибка при добавлении заседания [")
                               : QStringLiteral("Ошибка при редактировании заседания ["),
                        QStringLiteral("]"));
        // Then the general report of the failure itself.
        if (failed)
            oshibka.pokazat(m_dialogs, this);
    }
    delete dlg;
    updatePickerButtons();
}

void TZasedanieForm::ZasedanieUdalitExecute()
{
    if (Zasedania->eof())
        return;
    const int id = currentId();
    const QString opisanie = Zasedania->field(QStringLiteral("opisanie")).toString();
    if (id == m_consoleMeeting) {
        m_dialogs->error(this, QStringLiteral("Нельзя удалять текущее заседание!"));
        return;
    }
    if (!m_dialogs->question(this, QStringLiteral("Вы действительно хотите удалить заседание [") + opisanie
                                       + QStringLiteral("]?"),
                             QStringLiteral("Удаление заседания")))
        return;
    if (m_db->exec(zaprosy::zasedanie::udalit(id))) {
        reload();
        return;
    }
    const OshibkaBazy oshibka(m_db);
    if (oshibka.narushenieSsylki())
        m_dialogs->error(this, QStringLiteral("Сначала нужно удалить все вопросы повестки дня, относящиеся к заседанию [")
                                   + opisanie + QStringLiteral("]!"));
    else
        oshibka.pokazat(m_dialogs, this, QStringLiteral("Ошибка при удалении заседания ["), QStringLiteral("]"));
}

void TZasedanieForm::KnopkaProtokolClick()
{
    if (Zasedania->eof())
        return;
    if (Zasedania->field(QStringLiteral("stop")).isNull()) {
        m_dialogs->error(this, QStringLiteral("Выбранное заседание не было закрыто! Для того, чтобы сформировать "
                                              "отчет, сначала закройте его!"));
        return;
    }
    if (openProtocol)
        openProtocol(currentId());
}

void TZasedanieForm::KnopkaOKClick()
{
    accept();
}

void TZasedanieForm::done(int result)
{
    // Without a row there is nothing to choose: the opener would act on a meeting that does
    // not exist.
    if (result == QDialog::Accepted && Zasedania->eof())
        return;
    if (result == QDialog::Accepted) {
        m_chosenId = currentId();
        m_chosenOpisanie = Zasedania->field(QStringLiteral("opisanie")).toString();
    } else {
        m_chosenId = -1;
        m_chosenOpisanie.clear();
    }
    QDialog::done(result);
}
