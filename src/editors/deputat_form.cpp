#include "editors/deputat_form.h"
#include "core/vidzhety.h"
#include "editors/povestka_grid.h"

#include "core/dialogs.h"
#include "core/oshibka.h"
#include "core/platform.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/zaprosy/deputat.h"
#include "db/zaprosy/sostav.h"

#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

namespace {

// Names are stored in columns of 100 characters.
const int kNameLength = 100;

QFont titleFont()
{
    return arialPx(13, true);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TDeputatRedaktForma

TDeputatRedaktForma::TDeputatRedaktForma(Dialogs *dialogs, QWidget *parent) : QDialog(parent), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("DeputatRedaktForma"));
    setWindowTitle(QStringLiteral("Депутат"));
    setFixedSize(410, 256);

    auto makeField = [this](QLabel *&label, QLineEdit *&edit, const QString &caption, const char *labelName,
                            const char *editName, int top) {
        label = new QLabel(caption, this);
        label->setObjectName(QString::fromLatin1(labelName));
        label->setGeometry(20, top, 369, 18);
        edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(editName));
        edit->setGeometry(20, top + 20, 369, 26);
        edit->setMaxLength(kNameLength);
    };
    makeField(LabelFamilia, familia, QStringLiteral("Фамилия депутата:"), "LabelFamilia", "familia", 16);
    makeField(LabelImya, imya, QStringLiteral("Имя депутата:"), "LabelImya", "imya", 72);
    makeField(LabelOtchestvo, otchestvo, QStringLiteral("Отчество депутата:"), "LabelOtchestvo", "otchestvo", 128);

    KnopkaOk = new QPushButton(QStringLiteral("Ok"), this);
    KnopkaOk->setObjectName(QStringLiteral("KnopkaOk"));
    KnopkaOk->setGeometry(214, 210, 85, 30);
    KnopkaOk->setDefault(true);
    connect(KnopkaOk, &QPushButton::clicked, this, &QDialog::accept);

    KnopkaOtmena = new QPushButton(QStringLiteral("Отмена"), this);
    KnopkaOtmena->setObjectName(QStringLiteral("KnopkaOtmena"));
    KnopkaOtmena->setGeometry(304, 210, 85, 30);
    connect(KnopkaOtmena, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(familia, imya);
    setTabOrder(imya, otchestvo);
    setTabOrder(otchestvo, KnopkaOk);
    setTabOrder(KnopkaOk, KnopkaOtmena);
    familia->setFocus();
}

bool TDeputatRedaktForma::FormCloseQuery()
{
    // Spaces count as text: only a really empty field is refused.
    const struct {
        QLineEdit *edit;
        const char *message;
    } fields[] = {
        {familia, "Вы не ввели фамилию депутата!"},
        {imya, "Вы не ввели имя депутата!"},
        {otchestvo, "Вы не ввели отчество депутата!"},
    };
    for (const auto &f : fields) {
        if (f.edit->text().isEmpty()) {
            f.edit->setFocus();
            m_dialogs->error(this, QString::fromUtf8(f.message));
            return false;
        }
    }
    return true;
}

void TDeputatRedaktForma::done(int result)
{
    if (result == QDialog::Accepted && !FormCloseQuery())
        return;
    QDialog::done(result);
}

// ---------------------------------------------------------------------------------------
// TMestoDeputatForma

TMestoDeputatForma::TMestoDeputatForma(DbConnection *db, Dialogs *dialogs, Platform *platform, QWidget *parent)
    : QDialog(parent), m_db(db), m_dialogs(dialogs), m_platform(platform)
{
    setObjectName(QStringLiteral("MestoDeputatForma"));
    setWindowTitle(QStringLiteral("Список депутатов"));
    setFixedSize(449, 447);

    Deputat = new DataSet(db, this);
    Deputat->setObjectName(QStringLiteral("Deputat"));
    Deputat->setSql(zaprosy::deputat::spisok());
    DeputatModel = new DataSetModel(Deputat, this);
    DeputatModel->setColumns({{QStringLiteral("FIO"), QStringLiteral("Ф.И.О."), 0}});

    PoiskLeibl = new QLabel(QStringLiteral("Поиск:"), this);
    PoiskLeibl->setObjectName(QStringLiteral("PoiskLeibl"));
    PoiskLeibl->setGeometry(8, 8, 60, 26);

    Poisk = new QLineEdit(this);
    Poisk->setObjectName(QStringLiteral("Poisk"));
    Poisk->setGeometry(64, 8, 377, 26);
    connect(Poisk, &QLineEdit::textChanged, this, [this](const QString &t) { PoiskChange(t); });
    PoiskLeibl->setBuddy(Poisk);

    Spisok = new QTableView(this);
    Spisok->setObjectName(QStringLiteral("Spisok"));
    bindGridToDataSet(Spisok, DeputatModel);
    Spisok->setGeometry(8, 42, 433, 356);
    Spisok->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Spisok->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Spisok->verticalHeader()->setDefaultSectionSize(20);
    Spisok->horizontalHeader()->setFont(titleFont());
    Spisok->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Spisok->horizontalHeader()->setHighlightSections(false);
    Spisok->installEventFilter(this);
    connect(Spisok, &QTableView::doubleClicked, this, [this] { SpisokDblClick(); });

    DobavitDeputata = deistvie(this, "DobavitDeputata", QStringLiteral("Новый депутат"), [this] { DobavitDeputataExecute(); });
    RedaktDeputata =
        deistvie(this, "RedaktDeputata", QStringLiteral("Редактировать депутата"), [this] { RedaktDeputataExecute(); });
    UdalitDeputata = deistvie(this, "UdalitDeputata", QStringLiteral("Удалить депутата"), [this] { UdalitDeputataExecute(); });

    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    PopupMenu->addAction(DobavitDeputata);
    PopupMenu->addAction(RedaktDeputata);
    PopupMenu->addAction(UdalitDeputata);
    Spisok->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Spisok, &QWidget::customContextMenuRequested, this, [this](const QPoint &p) {
        PopupMenu->popup(Spisok->viewport()->mapToGlobal(p));
    });

    const int by = 408, bh = 30;
    KnopkaNoviy = knopkaDeistviya(this, "KnopkaNoviy", DobavitDeputata);
    KnopkaNoviy->setGeometry(8, by, 112, bh);
    KnopkaUdalit = knopkaDeistviya(this, "KnopkaUdalit", UdalitDeputata);
    KnopkaUdalit->setGeometry(125, by, 136, bh);

    KnopkaVibor = new QPushButton(QStringLiteral("Выбрать"), this);
    KnopkaVibor->setObjectName(QStringLiteral("KnopkaVibor"));
    KnopkaVibor->setGeometry(271, by, 82, bh);
    connect(KnopkaVibor, &QPushButton::clicked, this, [this] { KnopkaViborClick(); });

    KnopkaZakr = new QPushButton(QStringLiteral("Закрыть"), this);
    KnopkaZakr->setObjectName(QStringLiteral("KnopkaZakr"));
    KnopkaZakr->setGeometry(359, by, 82, bh);
    connect(KnopkaZakr, &QPushButton::clicked, this, &QDialog::reject);

    // Enter in the search box must not press whichever button happens to be the default.
    for (QPushButton *b : {KnopkaNoviy, KnopkaUdalit, KnopkaVibor, KnopkaZakr})
        b->setAutoDefault(false);

    SirinaKolonki();
    reload();
}

TMestoDeputatForma::~TMestoDeputatForma() = default;

bool TMestoDeputatForma::reload()
{
    const bool ok = Deputat->isOpen() ? Deputat->requery() : Deputat->open();
    if (!ok)
        soobshitOshibku(m_dialogs, this, m_db);
    return ok;
}

void TMestoDeputatForma::setChooserSeat(const QString &seatNumber)
{
    setWindowTitle(QStringLiteral("Выбор депутата - Место ") + seatNumber);
    SirinaKolonki();
}

bool TMestoDeputatForma::selectDeputat(int id)
{
    return Deputat->locate(QStringLiteral("id"), id);
}

int TMestoDeputatForma::currentId() const
{
    const QVariant v = Deputat->field(QStringLiteral("id"));
    return v.isNull() ? -1 : v.toInt();
}

void TMestoDeputatForma::SirinaKolonki()
{
    Spisok->setColumnWidth(0, qMax(Spisok->width() - m_platform->scrollBarWidth() - 5, 20));
}

void TMestoDeputatForma::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    SirinaKolonki();
}

void TMestoDeputatForma::PoiskChange(const QString &text)
{
    if (text.isEmpty()) {
        Deputat->setFilter(nullptr);
        return;
    }
    // The typed text is matched literally at the start of the full name, so quotes and
    // wildcard characters in it are just characters.
    Deputat->setFilter([text](const DataSet &set, int row) {
        return set.sourceValue(row, QStringLiteral("FIO")).toString().startsWith(text, Qt::CaseInsensitive);
    });
}

bool TMestoDeputatForma::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Spisok && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            RedaktDeputataExecute();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TMestoDeputatForma::SpisokDblClick()
{
    RedaktDeputataExecute();
}

void TMestoDeputatForma::DobavitDeputataExecute()
{
    auto *dlg = new TDeputatRedaktForma(m_dialogs, this);
    if (m_dialogs->exec(dlg) == QDialog::Accepted) {
        const QString f = dlg->familia->text(), i = dlg->imya->text(), o = dlg->otchestvo->text();
        if (!m_db->exec(zaprosy::deputat::vstavit(f, i, o))) {
            soobshitOshibku(m_dialogs, this, m_db);
        } else if (reload()) {
            Deputat->locate(QStringLiteral("FIO"), f + QLatin1Char(' ') + i + QLatin1Char(' ') + o);
        }
    }
    delete dlg;
}

void TMestoDeputatForma::RedaktDeputataExecute()
{
    if (Deputat->eof())
        return;
    const int id = currentId();
    auto *dlg = new TDeputatRedaktForma(m_dialogs, this);
    dlg->familia->setText(Deputat->field(QStringLiteral("familia")).toString());
    dlg->imya->setText(Deputat->field(QStringLiteral("imya")).toString());
    dlg->otchestvo->setText(Deputat->field(QStringLiteral("otchestvo")).toString());
    if (m_dialogs->exec(dlg) == QDialog::Accepted) {
        if (!m_db->exec(zaprosy::deputat::izmenit(id, dlg->familia->text(), dlg->imya->text(), dlg->otchestvo->text()))) {
            soobshitOshibku(m_dialogs, this, m_db);
        } else if (reload()) {
            Deputat->locate(QStringLiteral("id"), id);
        }
    }
    delete dlg;
}

void TMestoDeputatForma::UdalitDeputataExecute()
{
    if (Deputat->eof())
        return;
    const int id = currentId();
    const QString fio = Deputat->field(QStringLiteral("FIO")).toString();
    if (!m_dialogs->question(this, QStringLiteral("Вы уверены что хотите удалить депутата [") + fio + QStringLiteral("]?"),
                             QStringLiteral("Удаление")))
        return;
    // A deputy who still sits somewhere leaves the seat free, not assigned to nobody.
    if (m_db->inTransaction([&] {
            return m_db->exec(zaprosy::sostav::osvoboditDeputata(id)) && m_db->exec(zaprosy::deputat::udalit(id));
        })) {
        reload();
        return;
    }
    soobshitOshibku(m_dialogs, this, m_db, QStringLiteral("Ошибка удаления депутата!\n\r\n\r"));
}

void TMestoDeputatForma::KnopkaViborClick()
{
    accept();
}

void TMestoDeputatForma::done(int result)
{
    // Without a row there is nothing to choose: the opener would act on a deputy that does
    // not exist.
    if (result == QDialog::Accepted && Deputat->eof())
        return;
    if (result == QDialog::Accepted) {
        m_chosenId = currentId();
        m_chosenFio = Deputat->field(QStringLiteral("FIO")).toString();
    } else {
        m_chosenId = -1;
        m_chosenFio.clear();
    }
    QDialog::done(result);
}
