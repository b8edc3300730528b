-- The hall's tables on PostgreSQL as the privilege test needs them (columns, identity keys,
-- the mode row, the seats). The roles script is applied on top of this.
CREATE TABLE zasedanie (id serial PRIMARY KEY, data date, opisanie text, vremya time, start timestamp, stop timestamp);
CREATE TABLE povestka (id serial PRIMARY KEY, id_zasedanie integer REFERENCES zasedanie(id), tip integer, nomer integer,
                       ord integer, opisanie text, info text, aktiv smallint DEFAULT 0, aktiv_data timestamp);
CREATE TABLE faili (id serial PRIMARY KEY, id_povestka integer, fail varchar(255), opisanie varchar(255), put varchar(255));
CREATE TABLE regim_golos (id serial PRIMARY KEY, opisanie varchar(255), regim varchar(255), ord integer);
CREATE TABLE povestka_regim (id serial PRIMARY KEY, id_povestka integer, id_regim integer, ord integer);
CREATE TABLE golosovanie (id serial PRIMARY KEY, data timestamp, regim varchar(255), tip integer, vid integer, isbrano integer,
                          prisutstvuet integer, regim_polsov varchar(255), nuzno integer, zak integer, id_povestka integer,
                          id_sessia integer);
CREATE TABLE otvet (id serial PRIMARY KEY, id_deputat integer, id_povestka integer, result integer, id_golosovanie integer);
CREATE TABLE sessia_start (id serial PRIMARY KEY, id_zasedanie integer, start timestamp DEFAULT localtimestamp, stop timestamp);
CREATE TABLE sessia (id_deputat integer, id_sessia integer, id_zasedanie integer);
CREATE TABLE proshu_slovo (id serial PRIMARY KEY, id_mesto integer);
CREATE TABLE deputat (id serial PRIMARY KEY, familia varchar(100), imya varchar(100), otchestvo varchar(100));
CREATE TABLE mesto (id serial PRIMARY KEY, nomer varchar(50), connected smallint DEFAULT 0, podkl timestamp);
CREATE TABLE sostav (id serial PRIMARY KEY, id_deputat integer, id_mesto integer, chairman smallint DEFAULT 0);
CREATE TABLE konstanti (opisanie varchar(255) PRIMARY KEY, znachenie varchar(255));
CREATE TABLE regim (nomer integer, param1 integer, param2 integer);
INSERT INTO regim VALUES (-1, 0, 0);
INSERT INTO mesto (nomer) SELECT to_char(n, 'FM00') FROM generate_series(1, 27) AS n ORDER BY n;
