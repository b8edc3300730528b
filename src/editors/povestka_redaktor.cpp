#include "editors/povestka_redaktor.h"

#include "core/platform.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/zaprosy/dokument.h"
#include "editors/povestka_freim.h"
#include "editors/povestka_grid.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTextEdit>
#include <QVBoxLayout>

TRedaktorPovestki::TRedaktorPovestki(DbConnection *db, Dialogs *dialogs, Platform *platform, QWidget *parent)
    : QDialog(parent), m_db(db), m_dialogs(dialogs), m_platform(platform)
{
    setObjectName(QStringLiteral("RedaktorPovestki"));
    setWindowTitle(QStringLiteral("Редактирование повестки заседания"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(853, 447);

    PovestkaFreim = new Tpovestka_freim(db, dialogs, platform, this);
    PovestkaFreim->setFixedWidth(311);
    PovestkaFreim->onAgendaChanged = [this] {
        if (onAgendaChanged)
            onAgendaChanged();
    };
    PovestkaFreim->openProtocol = [this](int meetingId) {
        if (openProtocol)
            openProtocol(meetingId);
    };

    Faili = new DataSet(db, this);
    Faili->setObjectName(QStringLiteral("Faili"));
    Faili->setSql(zaprosy::dokument::spisokRedaktora());
    FailiModel = new DataSetModel(Faili, this);
    FailiModel->setColumns({{QStringLiteral("fail"), QStringLiteral("Файл документа"), 179},
                            {QStringLiteral("opisanie"), QStringLiteral("Описание"), 0}});

    PanelSprava = new QWidget(this);
    PanelSprava->setObjectName(QStringLiteral("PanelSprava"));
    InfoPole = new QTextEdit(PanelSprava);
    InfoPole->setObjectName(QStringLiteral("InfoPole"));
    InfoPole->setReadOnly(true);
    InfoPole->setFixedHeight(190);
    DocTabl = new QTableView(PanelSprava);
    DocTabl->setObjectName(QStringLiteral("DocTabl"));
    bindGridToDataSet(DocTabl, FailiModel);
    zhirnyeZagolovki(DocTabl);
    DocTabl->horizontalHeader()->setHighlightSections(false);
    DocTabl->viewport()->installEventFilter(this);
    connect(DocTabl, &QTableView::doubleClicked, this, [this] { DocTablDblClick(); });

    auto makeButton = [this](const char *name, const QString &text) {
        auto *b = new QPushButton(text, PanelSprava);
        b->setObjectName(QString::fromLatin1(name));
        b->setFixedHeight(25);
        b->setAutoDefault(false);
        return b;
    };
    KnopkaDocNoviy = makeButton("KnopkaDocNoviy", QStringLiteral("Добавить файл"));
    KnopkaDocUdalit = makeButton("KnopkaDocUdalit", QStringLiteral("Удалить файл"));
    KnopkaDocOpisanie = makeButton("KnopkaDocOpisanie", QStringLiteral("Описание"));
    Button1 = makeButton("Button1", QStringLiteral("Закрыть окно"));
    connect(KnopkaDocNoviy, &QPushButton::clicked, this, [this] { KnopkaDocNoviyClick(); });
    connect(KnopkaDocUdalit, &QPushButton::clicked, this, [this] { KnopkaDocUdalitClick(); });
    connect(KnopkaDocOpisanie, &QPushButton::clicked, this, [this] { KnopkaDocOpisanieClick(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    buttons->addWidget(KnopkaDocNoviy);
    buttons->addWidget(KnopkaDocUdalit);
    buttons->addWidget(KnopkaDocOpisanie);
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    auto *right = new QVBoxLayout(PanelSprava);
    right->setContentsMargins(4, 4, 4, 4);
    right->setSpacing(4);
    right->addWidget(InfoPole);
    right->addWidget(DocTabl, 1);
    right->addLayout(buttons);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PovestkaFreim);
    layout->addWidget(PanelSprava, 1);

    connect(PovestkaFreim->Povestka, &DataSet::afterOpen, this, [this] { PovestkaFreimPovestkaAfterOpen(); });
    connect(PovestkaFreim->Povestka, &DataSet::afterScroll, this, [this] { PovestkaFreimPovestkaAfterScroll(); });
    // An agenda closed for reloading leaves nothing to show on the right.
    connect(PovestkaFreim->Povestka, &DataSet::rowsChanged, this, [this] {
        if (!PovestkaFreim->Povestka->isOpen())
            reloadDocuments();
    });
}

void TRedaktorPovestki::setZasedanie(int id, const QString &opisanie)
{
    PovestkaFreim->setZasedanie(id, opisanie);
}

void TRedaktorPovestki::setConsoleMeeting(int id)
{
    PovestkaFreim->setConsoleMeeting(id);
}

void TRedaktorPovestki::PovestkaFreimPovestkaAfterOpen()
{
    reloadDocuments();
}

void TRedaktorPovestki::PovestkaFreimPovestkaAfterScroll()
{
    reloadDocuments();
}

void TRedaktorPovestki::Button1Click()
{
    reject();
}

void TRedaktorPovestki::FormActivate()
{
    PovestkaFreim->RaspolozhitKolonki();
    DocTabl->setColumnWidth(0, 179);
    DocTabl->setColumnWidth(1, qMax(20, DocTabl->width() - 179 - m_platform->scrollBarWidth() - 6));
}

bool TRedaktorPovestki::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == DocTabl->viewport() && event->type() == QEvent::MouseButtonRelease)
        DocTablMouseUp(static_cast<QMouseEvent *>(event)->button());
    return QDialog::eventFilter(watched, event);
}

void TRedaktorPovestki::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TRedaktorPovestki::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    FormActivate();
}

void TRedaktorPovestki::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}
