-- Embedded database (SQLite): tables, reference rows and the triggers that keep dates in
-- their storage form. Kept in step with mssql.sql.
--
-- Dates are stored as local-time text so they read back in SQL Server's forms:
--   date       'YYYY-MM-DD'
--   time       'HH:MM:SS'
--   date-time  'YYYY-MM-DD HH:MM:SS.SSS'
-- Statements write literals in SQL Server's forms ('20140305', '00:00:00'); the triggers at
-- the end rewrite them with tsql_date/tsql_time/tsql_datetime, which every connection
-- registers. Date columns are declared TEXT: a NUMERIC affinity would turn '20140305' into a
-- number before the trigger sees it.
--
-- Identity keys are INTEGER PRIMARY KEY AUTOINCREMENT so a key is never handed out twice,
-- even after the newest row was deleted (MAX(id) and @@identity read-backs rely on it).

PRAGMA foreign_keys = ON;

CREATE TABLE zasedanie (
    id        INTEGER PRIMARY KEY AUTOINCREMENT,
    data      TEXT,           -- date
    opisanie  TEXT,
    vremya    TEXT,           -- time
    start     TEXT,           -- date-time, NULL until the meeting is opened
    stop      TEXT            -- date-time, NULL until the meeting is closed
);

-- No cascade: deleting a meeting that still has items must fail (reported as 547).
CREATE TABLE povestka (
    id            INTEGER PRIMARY KEY AUTOINCREMENT,
    id_zasedanie  INTEGER REFERENCES zasedanie(id),
    tip           INTEGER,
    nomer         INTEGER,
    ord           INTEGER,
    opisanie      TEXT,
    info          TEXT,
    aktiv         INTEGER DEFAULT 0,
    aktiv_data    TEXT            -- date-time
);

CREATE TABLE faili (
    id           INTEGER PRIMARY KEY AUTOINCREMENT,
    id_povestka  INTEGER,
    fail         VARCHAR(255),
    opisanie     VARCHAR(255),
    put          VARCHAR(255)
);

CREATE TABLE regim_golos (
    id        INTEGER PRIMARY KEY AUTOINCREMENT,
    opisanie  VARCHAR(255),
    regim     VARCHAR(255),
    ord       INTEGER
);

CREATE TABLE povestka_regim (
    id           INTEGER PRIMARY KEY AUTOINCREMENT,
    id_povestka  INTEGER,
    id_regim     INTEGER,
    ord          INTEGER
);

CREATE TABLE golosovanie (
    id            INTEGER PRIMARY KEY AUTOINCREMENT,
    data          TEXT,           -- date-time
    regim         VARCHAR(255),
    tip           INTEGER,
    vid           INTEGER,
    isbrano       INTEGER,
    prisutstvuet  INTEGER,
    regim_polsov  VARCHAR(255),
    nuzno         INTEGER,
    zak           INTEGER,
    id_povestka   INTEGER,
    id_sessia     INTEGER
);

CREATE TABLE otvet (
    id              INTEGER PRIMARY KEY AUTOINCREMENT,
    id_deputat      INTEGER,
    id_povestka     INTEGER,
    result          INTEGER,
    id_golosovanie  INTEGER
);

CREATE TABLE sessia_start (
    id            INTEGER PRIMARY KEY AUTOINCREMENT,
    id_zasedanie  INTEGER,
    start         TEXT DEFAULT (strftime('%Y-%m-%d %H:%M:%f', 'now', 'localtime')),
    stop          TEXT            -- date-time, NULL while the period is open
);

-- Presence records carry no key of their own: only their three columns are ever used.
CREATE TABLE sessia (
    id_deputat    INTEGER,
    id_sessia     INTEGER,
    id_zasedanie  INTEGER
);

CREATE TABLE proshu_slovo (
    id        INTEGER PRIMARY KEY AUTOINCREMENT,
    id_mesto  INTEGER
);

CREATE TABLE deputat (
    id         INTEGER PRIMARY KEY AUTOINCREMENT,
    familia    VARCHAR(100),
    imya       VARCHAR(100),
    otchestvo  VARCHAR(100)
);

CREATE TABLE mesto (
    id         INTEGER PRIMARY KEY AUTOINCREMENT,
    nomer      VARCHAR(50),
    connected  INTEGER DEFAULT 0,   -- bit
    podkl      TEXT                          -- date-time of the last heartbeat
);

CREATE TABLE sostav (
    id          INTEGER PRIMARY KEY AUTOINCREMENT,
    id_deputat  INTEGER,
    id_mesto    INTEGER,
    chairman    INTEGER DEFAULT 0   -- bit
);

CREATE TABLE konstanti (
    opisanie   VARCHAR(255) NOT NULL PRIMARY KEY,
    znachenie  VARCHAR(255)
);

-- The mode row: exactly one row, updated without WHERE.
CREATE TABLE regim (
    nomer   INTEGER,
    param1  INTEGER,
    param2  INTEGER
);

-- Server logins of the embedded engine: the connection checks login and password here.
CREATE TABLE logins (
    login     TEXT PRIMARY KEY,
    password  TEXT
);

-- Indexes for the statements the terminals and the console repeat every second.
CREATE INDEX sessia_sessia ON sessia (id_sessia, id_deputat);
CREATE INDEX sessia_zasedanie ON sessia (id_zasedanie);
CREATE INDEX otvet_golosovanie ON otvet (id_golosovanie, id_deputat);
CREATE INDEX povestka_zasedanie ON povestka (id_zasedanie, ord);
CREATE INDEX faili_povestka ON faili (id_povestka);
CREATE INDEX povestka_regim_povestka ON povestka_regim (id_povestka, ord);
CREATE INDEX golosovanie_sessia ON golosovanie (id_sessia);
CREATE INDEX golosovanie_povestka ON golosovanie (id_povestka);
CREATE INDEX sessia_start_zasedanie ON sessia_start (id_zasedanie);
CREATE INDEX sostav_mesto ON sostav (id_mesto);
CREATE INDEX sostav_deputat ON sostav (id_deputat);
CREATE INDEX mesto_nomer ON mesto (nomer);
CREATE INDEX proshu_slovo_mesto ON proshu_slovo (id_mesto);

-- Reference rows.
INSERT INTO regim (nomer, param1, param2) VALUES (-1, 0, 0);

INSERT INTO mesto (nomer, connected, podkl) VALUES
    ('01', 0, NULL), ('02', 0, NULL), ('03', 0, NULL), ('04', 0, NULL), ('05', 0, NULL),
    ('06', 0, NULL), ('07', 0, NULL), ('08', 0, NULL), ('09', 0, NULL), ('10', 0, NULL),
    ('11', 0, NULL), ('12', 0, NULL), ('13', 0, NULL), ('14', 0, NULL), ('15', 0, NULL),
    ('16', 0, NULL), ('17', 0, NULL), ('18', 0, NULL), ('19', 0, NULL), ('20', 0, NULL),
    ('21', 0, NULL), ('22', 0, NULL), ('23', 0, NULL), ('24', 0, NULL), ('25', 0, NULL),
    ('26', 0, NULL), ('27', 0, NULL);

-- One voting rule for each of the seven decision rules of the vote set-up.
INSERT INTO regim_golos (opisanie, regim, ord) VALUES
    ('Процедурные вопросы', 'Большинство от присутствующих', 1),
    ('Принятие закона', 'Большинство от установленного числа', 2),
    ('Преодоление отклонения закона', '2/3 от установленного числа', 3),
    ('Принятие постановления', 'Большинство от числа избранных', 4),
    ('Поименное голосование', '1/3 от установленного числа депутатов', 5),
    ('Тайное голосование', '1/3 от присутствующих депутатов', 6),
    ('Внеочередное заседание', '1/3 от избранных депутатов', 7);

INSERT INTO konstanti (opisanie, znachenie) VALUES
    ('Избрано', '27'),
    ('Установлено законом', '27'),
    ('Кворум', '14'),
    ('Освобожденные места', '');

-- Seat logins "01".."27", the operators and the watcher; the password is the login.
INSERT INTO logins (login, password) VALUES
    ('01', '01'), ('02', '02'), ('03', '03'), ('04', '04'), ('05', '05'), ('06', '06'),
    ('07', '07'), ('08', '08'), ('09', '09'), ('10', '10'), ('11', '11'), ('12', '12'),
    ('13', '13'), ('14', '14'), ('15', '15'), ('16', '16'), ('17', '17'), ('18', '18'),
    ('19', '19'), ('20', '20'), ('21', '21'), ('22', '22'), ('23', '23'), ('24', '24'),
    ('25', '25'), ('26', '26'), ('27', '27'),
    ('admin1', 'admin1'), ('admin2', 'admin2'), ('admin3', 'admin3'),
    ('watcher', 'watcher');

-- Date normalisation. Created after the reference rows so that the script itself runs on a
-- bare SQLite connection; every later write goes through a connection with the functions.
-- The WHEN guard stops the trigger's own UPDATE from firing it again and makes the common
-- case (value already in storage form, e.g. GETDATE()) a no-op. An unparseable literal makes
-- the function raise an error, which aborts the statement as SQL Server would.

CREATE TRIGGER zasedanie_data_ins AFTER INSERT ON zasedanie
WHEN NEW.data IS NOT tsql_date(NEW.data)
BEGIN UPDATE zasedanie SET data = tsql_date(NEW.data) WHERE id = NEW.id; END;
CREATE TRIGGER zasedanie_data_upd AFTER UPDATE OF data ON zasedanie
WHEN NEW.data IS NOT tsql_date(NEW.data)
BEGIN UPDATE zasedanie SET data = tsql_date(NEW.data) WHERE id = NEW.id; END;

CREATE TRIGGER zasedanie_vremya_ins AFTER INSERT ON zasedanie
WHEN NEW.vremya IS NOT tsql_time(NEW.vremya)
BEGIN UPDATE zasedanie SET vremya = tsql_time(NEW.vremya) WHERE id = NEW.id; END;
CREATE TRIGGER zasedanie_vremya_upd AFTER UPDATE OF vremya ON zasedanie
WHEN NEW.vremya IS NOT tsql_time(NEW.vremya)
BEGIN UPDATE zasedanie SET vremya = tsql_time(NEW.vremya) WHERE id = NEW.id; END;

CREATE TRIGGER zasedanie_start_ins AFTER INSERT ON zasedanie
WHEN NEW.start IS NOT tsql_datetime(NEW.start)
BEGIN UPDATE zasedanie SET start = tsql_datetime(NEW.start) WHERE id = NEW.id; END;
CREATE TRIGGER zasedanie_start_upd AFTER UPDATE OF start ON zasedanie
WHEN NEW.start IS NOT tsql_datetime(NEW.start)
BEGIN UPDATE zasedanie SET start = tsql_datetime(NEW.start) WHERE id = NEW.id; END;

CREATE TRIGGER zasedanie_stop_ins AFTER INSERT ON zasedanie
WHEN NEW.stop IS NOT tsql_datetime(NEW.stop)
BEGIN UPDATE zasedanie SET stop = tsql_datetime(NEW.stop) WHERE id = NEW.id; END;
CREATE TRIGGER zasedanie_stop_upd AFTER UPDATE OF stop ON zasedanie
WHEN NEW.stop IS NOT tsql_datetime(NEW.stop)
BEGIN UPDATE zasedanie SET stop = tsql_datetime(NEW.stop) WHERE id = NEW.id; END;

CREATE TRIGGER povestka_aktiv_data_ins AFTER INSERT ON povestka
WHEN NEW.aktiv_data IS NOT tsql_datetime(NEW.aktiv_data)
BEGIN UPDATE povestka SET aktiv_data = tsql_datetime(NEW.aktiv_data) WHERE id = NEW.id; END;
CREATE TRIGGER povestka_aktiv_data_upd AFTER UPDATE OF aktiv_data ON povestka
WHEN NEW.aktiv_data IS NOT tsql_datetime(NEW.aktiv_data)
BEGIN UPDATE povestka SET aktiv_data = tsql_datetime(NEW.aktiv_data) WHERE id = NEW.id; END;

CREATE TRIGGER golosovanie_data_ins AFTER INSERT ON golosovanie
WHEN NEW.data IS NOT tsql_datetime(NEW.data)
BEGIN UPDATE golosovanie SET data = tsql_datetime(NEW.data) WHERE id = NEW.id; END;
CREATE TRIGGER golosovanie_data_upd AFTER UPDATE OF data ON golosovanie
WHEN NEW.data IS NOT tsql_datetime(NEW.data)
BEGIN UPDATE golosovanie SET data = tsql_datetime(NEW.data) WHERE id = NEW.id; END;

CREATE TRIGGER sessia_start_start_ins AFTER INSERT ON sessia_start
WHEN NEW.start IS NOT tsql_datetime(NEW.start)
BEGIN UPDATE sessia_start SET start = tsql_datetime(NEW.start) WHERE id = NEW.id; END;
CREATE TRIGGER sessia_start_start_upd AFTER UPDATE OF start ON sessia_start
WHEN NEW.start IS NOT tsql_datetime(NEW.start)
BEGIN UPDATE sessia_start SET start = tsql_datetime(NEW.start) WHERE id = NEW.id; END;

CREATE TRIGGER sessia_start_stop_ins AFTER INSERT ON sessia_start
WHEN NEW.stop IS NOT tsql_datetime(NEW.stop)
BEGIN UPDATE sessia_start SET stop = tsql_datetime(NEW.stop) WHERE id = NEW.id; END;
CREATE TRIGGER sessia_start_stop_upd AFTER UPDATE OF stop ON sessia_start
WHEN NEW.stop IS NOT tsql_datetime(NEW.stop)
BEGIN UPDATE sessia_start SET stop = tsql_datetime(NEW.stop) WHERE id = NEW.id; END;

CREATE TRIGGER mesto_podkl_ins AFTER INSERT ON mesto
WHEN NEW.podkl IS NOT tsql_datetime(NEW.podkl)
BEGIN UPDATE mesto SET podkl = tsql_datetime(NEW.podkl) WHERE id = NEW.id; END;
CREATE TRIGGER mesto_podkl_upd AFTER UPDATE OF podkl ON mesto
WHEN NEW.podkl IS NOT tsql_datetime(NEW.podkl)
BEGIN UPDATE mesto SET podkl = tsql_datetime(NEW.podkl) WHERE id = NEW.id; END;

-- The vote journal (table zhurnal and its triggers) is added by the program after this
-- script, from the one list of journalled columns it checks against: see src/db/zhurnal.cpp.
