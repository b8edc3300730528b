#pragma once

// What every editor form is made with and works on: the connection, the dialogs and platform
// seams, and data sets shown in grids. Declared once here so each form's header names only
// its own widgets.
class DataSet;
class DataSetModel;
class DbConnection;
class Dialogs;
class Platform;
