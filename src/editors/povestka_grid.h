#pragma once

// Pieces every list window shares: a grid bound to a data set, and commands (actions) with
// the buttons that trigger them.

#include <QIcon>
#include <QString>

#include <functional>

class DataSet;
class DataSetModel;
class QAction;
class QPushButton;
class QTableView;
class QWidget;

// Puts a data set's model into a grid and keeps the grid's selected row and the data set's
// cursor in step both ways (a click moves the cursor; an open, requery, filter or locate moves
// the selection and scrolls to it). Whole-row, single selection; no editing in place.
void bindGridToDataSet(QTableView *view, DataSetModel *model);
// Bold column titles.
void zhirnyeZagolovki(QTableView *view);

// A named command of a window that runs the handler when triggered.
QAction *deistvie(QWidget *owner, const char *name, const QString &text, const std::function<void()> &handler,
                  const QIcon &icon = QIcon());
// A push button showing an action's icon and text that triggers it.
QPushButton *knopkaDeistviya(QWidget *parent, const char *name, QAction *action);
