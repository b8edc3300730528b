#pragma once

class DataSet;
class DataSetModel;
class QTableView;

// Puts a data set's model into a grid and keeps the grid's selected row and the data set's
// cursor in step both ways (a click moves the cursor; an open, requery or locate moves the
// selection). Whole-row, single selection; no editing in place.
void bindGridToDataSet(QTableView *view, DataSetModel *model);
