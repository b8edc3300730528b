#include "editors/povestka_grid.h"

#include "db/dataset.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QItemSelectionModel>
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
    auto follow = [view, set] {
        const int row = set->currentRow();
        if (row < 0 || row >= view->model()->rowCount())
            return;
        if (view->selectionModel()->currentIndex().row() != row)
            view->selectRow(row);
    };
    QObject::connect(set, &DataSet::afterScroll, view, follow);
    QObject::connect(set, &DataSet::afterOpen, view, follow);
}
