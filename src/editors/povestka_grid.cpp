#include "editors/povestka_grid.h"

#include "db/dataset.h"

#include <QAbstractItemView>
#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>

void bindGridToDataSet(QTableView *view, DataSetModel *model)
{
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->setWordWrap(false);

    DataSet *set = model->dataSet();
    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, set,
                     [set](const QModelIndex &current) {
                         if (current.isValid())
                             set->setCurrentRow(current.row());
                     });
    // The selection follows the cursor wherever it moves (open, requery, filter, locate);
    // no cursor, no selection.
    auto follow = [view, set] {
        QItemSelectionModel *sel = view->selectionModel();
        const int row = set->currentRow();
        if (row < 0 || row >= view->model()->rowCount()) {
            sel->clearSelection();
            return;
        }
        const QModelIndex idx = view->model()->index(row, 0);
        // Only a moved selection scrolls: a re-read of the same row leaves the user's scrolling be.
        if (sel->currentIndex().row() != row || !sel->isRowSelected(row, QModelIndex())) {
            sel->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            view->scrollTo(idx);
        }
    };
    QObject::connect(set, &DataSet::afterScroll, view, follow);
    QObject::connect(set, &DataSet::rowsChanged, view, follow);
}

void zhirnyeZagolovki(QTableView *view)
{
    QFont titles = view->horizontalHeader()->font();
    titles.setBold(true);
    view->horizontalHeader()->setFont(titles);
}

QAction *deistvie(QWidget *owner, const char *name, const QString &text, const std::function<void()> &handler,
                  const QIcon &icon)
{
    auto *a = new QAction(icon, text, owner);
    a->setObjectName(QString::fromLatin1(name));
    QObject::connect(a, &QAction::triggered, owner, [handler] { handler(); });
    return a;
}

QPushButton *knopkaDeistviya(QWidget *parent, const char *name, QAction *action)
{
    auto *b = new QPushButton(action->icon(), action->text(), parent);
    b->setObjectName(QString::fromLatin1(name));
    QObject::connect(b, &QPushButton::clicked, action, &QAction::trigger);
    return b;
}
