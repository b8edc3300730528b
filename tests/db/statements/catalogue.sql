-- Every statement the program sends to the database, as T-SQL, each with sample values
-- in place of the values a form concatenates or a data set substitutes (:a, :b). Each
-- entry runs on its own fresh copy of the sample hall (sample.sql), so expectations only
-- depend on that state.
--
-- Entry format:
--   -- @id                 starts an entry; the id says where the statement is sent
--   -- setup: T-SQL        (repeatable) run first, on the same connection
--   -- check: T-SQL        run after the statement; the expectations below apply to it
--   -- columns: a | b      expected column names ("" for a column without a name)
--   -- row: 1 | 'x'       expected rows in order: 12 an integer, 'text' a text, NULL,
--                          ~regex matched against the value as text, * anything
--   -- rows: N            expected number of rows (then the row lines give the first rows)
--   -- unordered          rows may come in any order
--   -- error: N           the statement must fail, with native error N ("any": any error)
--   other "-- " lines right after the id are notes; then the statement, as it is sent:
--   pieces of a statement written piece by piece are joined by line breaks.

-- ==== Start-up, connection, start gates ===============================================

-- @start.active-meeting
-- also: start gate of the deputy and chairman terminals, console frame, agenda editor
-- columns: id_zasedanie
-- row: 2
SELECT id_zasedanie FROM povestka WHERE aktiv = 1;

-- @start.chairman-presence.delete
-- check: SELECT count(*) FROM sessia WHERE (id_sessia = 3) AND (id_deputat = 2)
-- row: 0
DELETE FROM sessia WHERE (id_zasedanie=2) AND (id_deputat=2) AND (id_sessia = 3)

-- @start.chairman-presence.insert
-- check: SELECT id_zasedanie, id_deputat, id_sessia FROM sessia WHERE id_deputat = 2 AND id_sessia = -1
-- row: 2 | 2 | -1
INSERT INTO sessia (id_zasedanie,id_deputat,id_sessia) VALUES (2,2,-1)

-- @start.own-name
-- also: idle board of a registered deputy, registration screen
-- columns: familia | imya | otchestvo
-- row: 'Иванов' | 'Иван' | 'Иванович'
SELECT familia,imya,otchestvo FROM deputat WHERE id=1

-- @start.console-active-item
-- columns: id | opisanie | info | opisanie
-- row: 5 | 'Вопрос 1' | 'О законе' | 'Заседание № 2'
SELECT povestka.id,povestka.opisanie,povestka.info,zasedanie.opisanie FROM povestka,zasedanie WHERE (aktiv = 1) AND (zasedanie.id = id_zasedanie)

-- @connect.open-period
-- columns: ""
-- row: 3
SELECT max(id) FROM sessia_start WHERE stop IS NULL

-- @connect.open-period.none
-- setup: UPDATE sessia_start SET stop = GETDATE()
-- row: NULL
SELECT max(id) FROM sessia_start WHERE stop IS NULL

-- @connect.connected-mark
-- check: SELECT nomer FROM mesto WHERE connected = 1 ORDER BY nomer
-- row: '01'
-- row: '03'
UPDATE mesto SET connected=1 WHERE nomer LIKE '03'

-- @connect.own-deputy
-- columns: id_deputat
-- row: 1
SELECT id_deputat FROM sostav,mesto WHERE (mesto.id = sostav.id_mesto) AND (mesto.nomer LIKE '01')

-- @connect.own-deputy.operator
-- rows: 0
SELECT id_deputat FROM sostav,mesto WHERE (mesto.id = sostav.id_mesto) AND (mesto.nomer LIKE 'admin1')

-- @connect.chairman-flag
-- columns: chairman
-- row: 1
SELECT chairman FROM sostav,mesto 
WHERE (mesto.id = sostav.id_mesto) 
AND (mesto.nomer LIKE '02') 

-- @connect.chairman-flag.deputy
-- row: 0
SELECT chairman FROM sostav,mesto 
WHERE (mesto.id = sostav.id_mesto) 
AND (mesto.nomer LIKE '03') 

-- @seatmap.roster
-- also: the query Sostav shared by the seat map, speaker requests and seat commands
-- columns: fio | nomer | chairman | id_mesto | id_deputat
-- unordered
-- row: 'Иванов Иван Иванович' | '01' | 0 | 1 | 1
-- row: 'Петров Пётр Петрович' | '02' | 1 | 2 | 2
-- row: 'Сидорова Анна Сергеевна' | '03' | 0 | 3 | 3
-- row: 'Кузнецов Олег ' | '04' | 0 | 4 | 4
SELECT
 familia + ' ' + imya + ' ' + otchestvo as fio,
 nomer,
 chairman,
 mesto.id as id_mesto,
 deputat.id as id_deputat
FROM
 sostav,deputat,mesto
WHERE
 (deputat.id = sostav.id_deputat) AND
 (mesto.id = sostav.id_mesto)

-- ==== Mode row =========================================================================

-- @mode.read
-- also: mode poller, clock timer, idle gate
-- columns: nomer | param1 | param2
-- row: 2 | 3 | 25
SELECT nomer,param1,param2 FROM regim

-- @mode.registration-start
-- also: registration control
-- check: SELECT nomer,param1,param2 FROM regim
-- row: 1 | 4 | 60
UPDATE regim SET nomer=1,param1=4,param2=60

-- @mode.countdown
-- also: registration countdown, vote progress countdown
-- check: SELECT nomer,param1,param2 FROM regim
-- row: 2 | 3 | 24
UPDATE regim SET param2=24

-- @mode.idle
-- also: end of registration, voting time up, "ПОКАЗАТЬ ВОПРОС", meeting closing, "Открыть повестку"
-- check: SELECT nomer,param1,param2 FROM regim
-- row: -1 | 3 | 25
UPDATE regim SET nomer=-1

-- @mode.idle.spaced
-- also: agenda item activation, command countdown on the console
-- check: SELECT nomer,param1,param2 FROM regim
-- row: -1 | 3 | 25
UPDATE regim SET nomer = -1

-- @mode.registration-results
-- check: SELECT nomer,param1,param2 FROM regim
-- row: 5 | 4 | 15
UPDATE regim SET nomer=5,param2=15,param1=4

-- @mode.vote-start
-- check: SELECT nomer,param1,param2 FROM regim
-- row: 2 | 3 | 30
UPDATE regim SET nomer=2,param1=3,param2=30

-- @mode.vote-results
-- check: SELECT nomer,param1,param2 FROM regim
-- row: 4 | 3 | 15
UPDATE regim SET nomer=4,param1=3,param2=15

-- @mode.anthem-on
-- check: SELECT nomer,param1,param2 FROM regim
-- row: 10 | 3 | 25
UPDATE regim SET nomer=10

-- @mode.anthem-off
-- check: SELECT nomer,param1,param2 FROM regim
-- row: 11 | 3 | 25
UPDATE regim SET nomer=11

-- @mode.restart-all
-- check: SELECT nomer,param1,param2 FROM regim
-- row: -7 | 10 | 25
UPDATE regim SET nomer = -7, param1 = 10

-- @mode.close-all
-- check: SELECT nomer,param1,param2 FROM regim
-- row: -5 | 10 | 25
UPDATE regim SET nomer = -5, param1 = 10

-- @mode.power-off-all
-- check: SELECT nomer,param1,param2 FROM regim
-- row: -6 | 10 | 25
UPDATE regim SET nomer = -6, param1 = 10

-- @mode.command-countdown
-- check: SELECT nomer,param1,param2 FROM regim
-- row: 2 | 9 | 25
UPDATE regim SET param1 = 9

-- ==== Clock timer and connection monitor ===============================================

-- @clock.heartbeat
-- check: SELECT nomer, DATEDIFF(ss,podkl,GETDATE()) FROM mesto WHERE podkl IS NOT NULL ORDER BY nomer
-- row: '01' | ~^\d{8,}$
-- row: '02' | ~^[01]$
UPDATE mesto SET podkl=CURRENT_TIMESTAMP WHERE nomer = '02';

-- @clock.active-item
-- columns: id | opisanie | id | opisanie | info
-- row: 5 | 'Вопрос 1' | 2 | 'Заседание № 2' | 'О законе'
SELECT
   TOP 1 povestka.id,povestka.opisanie,zasedanie.id,zasedanie.opisanie,povestka.info
FROM
   povestka, zasedanie
WHERE
   (aktiv = 1) AND (zasedanie.id = id_zasedanie);

-- @clock.active-item.none
-- setup: UPDATE povestka SET aktiv = 0
-- rows: 0
SELECT
   TOP 1 povestka.id,povestka.opisanie,zasedanie.id,zasedanie.opisanie,povestka.info
FROM
   povestka, zasedanie
WHERE
   (aktiv = 1) AND (zasedanie.id = id_zasedanie);

-- @clock.own-request
-- also: speaker-request sync
-- columns: ""
-- row: 1
SELECT count(*) FROM proshu_slovo,sostav WHERE (sostav.id_mesto = proshu_slovo.id_mesto) AND (sostav.id_deputat=1)

-- @clock.own-request.none
-- row: 0
SELECT count(*) FROM proshu_slovo,sostav WHERE (sostav.id_mesto = proshu_slovo.id_mesto) AND (sostav.id_deputat=2)

-- @monitor.seats
-- also: seat map refresh (ProverkaPorklucheniy)
-- columns: nomer | connected | podkl | diff
-- rows: 27
-- row: '01' | 1 | '2014-03-20 10:00:00.000' | ~^\d{8,}$
-- row: '02' | 0 | NULL | NULL
SELECT 
   nomer,connected,podkl,
   DATEDIFF(ss,podkl,GETDATE()) as diff
FROM 
   mesto;

-- ==== Agenda and document viewer ======================================================

-- @viewer.agenda
-- columns: id | opisanie | id_zasedanie | info
-- unordered
-- row: 4 | 'Вопрос 0' | 2 | 'Повестка'
-- row: 5 | 'Вопрос 1' | 2 | 'О законе'
-- row: 6 | 'Вопрос 2' | 2 | 'О плане'
SELECT
 id, opisanie, id_zasedanie, info
FROM
 povestka
WHERE
 id_zasedanie = 2

-- @viewer.documents
-- columns: id | fail | id_povestka | opisanie | put
-- row: 2 | 'annex.pdf' | 5 | 'Приложение' | '20.03.2014\1\'
-- row: 1 | 'zakon.pdf' | 5 | 'Проект закона' | '20.03.2014\1\'
SELECT
 id, fail, id_povestka,opisanie,put
FROM
 faili
WHERE
 id_povestka = 5
ORDER BY
 opisanie

-- ==== Seat map =========================================================================

-- @seatmap.vacated-seats
-- columns: znachenie
-- row: *
SELECT znachenie FROM konstanti WHERE opisanie LIKE 'Освобожденные места'

-- @seatmap.ballots
-- columns: nomer | result
-- unordered
-- row: '01' | 1
-- row: '02' | 1
-- row: '03' | 2
SELECT mesto.nomer,otvet.result FROM otvet,sostav,mesto
WHERE (otvet.id_golosovanie = 1)
AND	  (sostav.id_deputat = otvet.id_deputat)
AND   (mesto.id = sostav.id_mesto)

-- @seatmap.requests
-- columns: nomer
-- unordered
-- row: '03'
-- row: '01'
SELECT 
 mesto.nomer
FROM 
 proshu_slovo,mesto
WHERE 
 proshu_slovo.id_mesto = mesto.id

-- ==== Registration at the seat =========================================================

-- @registration.list
-- also: ZaprosRegistracia, shared by the seat map, voting panel and seat commands
-- columns: nomer | id_deputat
-- unordered
-- row: '01' | 1
-- row: '02' | 2
-- row: '03' | 3
SELECT nomer,sessia.id_deputat
FROM sessia,sostav,mesto 
WHERE 
 (id_sessia=3)
 AND (sostav.id_deputat = sessia.id_deputat)
 AND (mesto.id = sostav.id_mesto)

-- @registration.register
-- check: SELECT id_deputat FROM sessia WHERE id_sessia=3 ORDER BY id_deputat
-- row: 1
-- row: 2
-- row: 3
-- row: 4
INSERT INTO sessia (id_zasedanie,id_deputat,id_sessia) VALUES (2,4,3)

-- @registration.cancel
-- check: SELECT id_deputat FROM sessia WHERE id_sessia=3 ORDER BY id_deputat
-- row: 2
-- row: 3
DELETE FROM sessia WHERE (id_zasedanie=2) AND (id_deputat=1) AND (id_sessia = 3)

-- @registration.count
-- columns: kol
-- row: 3
SELECT count(*) as kol FROM sessia WHERE id_sessia=3;

-- @registration.meeting
-- columns: opisanie
-- row: 'Заседание № 2'
SELECT opisanie FROM zasedanie WHERE id=2

-- @registration.name
-- row: 'Кузнецов' | 'Олег' | ''
SELECT familia,imya,otchestvo FROM deputat WHERE id=4

-- ==== Voting panel =====================================================================

-- @vote.withdraw
-- check: SELECT count(*) FROM otvet WHERE id_golosovanie=3
-- row: 0
DELETE FROM otvet WHERE (id_deputat=1) AND (id_golosovanie=3)

-- @vote.cast-for
-- check: SELECT id_deputat, id_povestka, result FROM otvet WHERE id_golosovanie=3 ORDER BY id
-- row: 1 | 5 | 1
-- row: 2 | 5 | 1
INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (2,5,1,3)

-- @vote.cast-against
-- check: SELECT id_deputat, result FROM otvet WHERE id_golosovanie=3 ORDER BY id
-- row: 1 | 1
-- row: 2 | 2
INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (2,5,2,3)

-- @vote.cast-abstain
-- check: SELECT id_deputat, result FROM otvet WHERE id_golosovanie=3 ORDER BY id
-- row: 1 | 1
-- row: 2 | 3
INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (2,5,3,3)

-- ==== Speaker requests =================================================================

-- @speakers.own-seat
-- columns: id_mesto
-- row: 3
SELECT id_mesto FROM sostav WHERE id_deputat = 3

-- @speakers.ask
-- check: SELECT id_mesto FROM proshu_slovo ORDER BY id
-- row: 3
-- row: 1
-- row: 4
INSERT INTO proshu_slovo (id_mesto) VALUES (4)

-- @speakers.withdraw-or-grant
-- check: SELECT id_mesto FROM proshu_slovo ORDER BY id
-- row: 1
DELETE FROM proshu_slovo WHERE id_mesto=3

-- @speakers.clear
-- also: chairman's list clearing, meeting opening and closing, item activation, end of a vote
-- check: SELECT count(*) FROM proshu_slovo
-- row: 0
DELETE FROM proshu_slovo;

-- @speakers.list
-- also: ZaprosZapis, the chairman's list: the count row first, then requests in order
-- columns: fio | id | ord
-- row: 'Всего записалось: 2' | -1 | 2
-- row: 'Сидорова Анна Сергеевна' | 1 | 3
-- row: 'Иванов Иван Иванович' | 2 | 3
SELECT
 familia + ' ' + imya + ' ' + otchestvo as fio, proshu_slovo.id as id,3 as ord
FROM
 proshu_slovo, sostav, deputat
WHERE
 (sostav.id_mesto = proshu_slovo.id_mesto) AND (deputat.id = sostav.id_deputat)
UNION ALL
SELECT
 'Всего записалось: ' + CAST(count(*) as NVARCHAR) as fio,-1 as id,2 as ord
FROM
 proshu_slovo, sostav, deputat
WHERE
 (sostav.id_mesto = proshu_slovo.id_mesto) AND (deputat.id = sostav.id_deputat)
ORDER BY
3,2

-- @speakers.list.empty
-- setup: DELETE FROM proshu_slovo;
-- row: 'Всего записалось: 0' | -1 | 2
SELECT
 familia + ' ' + imya + ' ' + otchestvo as fio, proshu_slovo.id as id,3 as ord
FROM
 proshu_slovo, sostav, deputat
WHERE
 (sostav.id_mesto = proshu_slovo.id_mesto) AND (deputat.id = sostav.id_deputat)
UNION ALL
SELECT
 'Всего записалось: ' + CAST(count(*) as NVARCHAR) as fio,-1 as id,2 as ord
FROM
 proshu_slovo, sostav, deputat
WHERE
 (sostav.id_mesto = proshu_slovo.id_mesto) AND (deputat.id = sostav.id_deputat)
ORDER BY
3,2

-- ==== Results board ====================================================================

-- @board.rule-text
-- columns: regim_polsov
-- row: 'Процедурные вопросы'
SELECT regim_polsov FROM golosovanie WHERE id=3

-- @board.ballots-so-far
-- columns: kol
-- row: 3
SELECT count(*) as kol FROM otvet WHERE id_golosovanie = 1

-- @board.result
-- columns: result | kak | nuzno
-- unordered
-- row: 2 | 1 | 3
-- row: 1 | 2 | 3
SELECT count(otvet.id) as result, max(otvet.result) as kak, max(nuzno) as nuzno
FROM otvet,golosovanie WHERE (id_golosovanie = 1)
AND (golosovanie.id = id_golosovanie)
GROUP BY result

-- @board.present
-- also: vote set-up (P)
-- columns: ""
-- row: 3
SELECT count(*) FROM sessia WHERE id_sessia=3

-- @board.quorum
-- columns: znachenie
-- row: ~^\d+$
SELECT znachenie FROM konstanti WHERE opisanie LIKE 'Кворум'

-- @board.elected
-- also: vote set-up (E)
-- columns: znachenie
-- row: ~^\d+$
SELECT znachenie FROM konstanti WHERE opisanie LIKE 'Избрано'

-- ==== Operator's seat commands =========================================================

-- @seatcmd.register
-- check: SELECT id_deputat FROM sessia WHERE id_sessia=3 ORDER BY id_deputat
-- row: 1
-- row: 2
-- row: 3
-- row: 4
INSERT INTO sessia(id_zasedanie,id_deputat,id_sessia) VALUES (2,4,3)

-- @seatcmd.cancel-registration
-- check: SELECT id_deputat FROM sessia WHERE id_sessia=3 ORDER BY id_deputat
-- row: 1
-- row: 2
DELETE FROM sessia WHERE (id_deputat=3) AND (id_sessia=3)

-- @seatcmd.seat-assignment
-- columns: id_deputat | id | id
-- row: 3 | 3 | 3
SELECT id_deputat, sostav.id, mesto.id 
FROM mesto, sostav 
WHERE (nomer LIKE '03') AND (sostav.id_mesto = mesto.id) 

-- @seatcmd.seat-assignment.free-seat
-- rows: 0
SELECT id_deputat, sostav.id, mesto.id 
FROM mesto, sostav 
WHERE (nomer LIKE '05') AND (sostav.id_mesto = mesto.id) 

-- @seatcmd.deputy-seat
-- columns: nomer | id | id
-- row: '04' | 4 | 4
SELECT nomer, sostav.id, mesto.id 
FROM mesto, sostav 
WHERE (id_deputat = 4) AND (sostav.id_mesto = mesto.id) 

-- @seatcmd.free-old-seat
-- check: SELECT id FROM sostav ORDER BY id
-- row: 1
-- row: 2
-- row: 3
DELETE FROM sostav WHERE id = 4

-- @seatcmd.seat-id
-- columns: id
-- row: 5
SELECT mesto.id FROM mesto WHERE nomer LIKE '05'

-- @seatcmd.assign
-- check: SELECT id, id_deputat, id_mesto, chairman FROM sostav WHERE id_mesto = 5
-- row: 5 | 5 | 5 | 0
INSERT INTO sostav (id_deputat,id_mesto) VALUES (5,5)

-- @seatcmd.assign-chairman-seat
-- setup: DELETE FROM sostav WHERE id = 2
-- check: SELECT id_deputat, id_mesto, chairman FROM sostav WHERE id_mesto = 2
-- row: 5 | 2 | 1
INSERT INTO sostav (chairman,id_deputat,id_mesto) VALUES (1,5,2)

-- @seatcmd.replace
-- check: SELECT id_deputat, chairman FROM sostav WHERE id = 3
-- row: 5 | 0
UPDATE sostav SET id_deputat = 5 WHERE id = 3

-- @seatcmd.replace-chairman-seat
-- check: SELECT id_deputat, chairman FROM sostav WHERE id = 2
-- row: 5 | 1
UPDATE sostav SET chairman=1,id_deputat = 5 WHERE id = 2

-- @seatcmd.drop-presence
-- check: SELECT id_deputat FROM sessia WHERE id_sessia=3 ORDER BY id_deputat
-- row: 2
-- row: 3
DELETE FROM sessia WHERE (id_deputat = 1) AND (id_sessia = 3)

-- ==== Operator console frame ===========================================================

-- @console.agenda
-- columns: id | opisanie | info
-- row: 4 | 'Вопрос 0' | 'Повестка'
-- row: 5 | 'Вопрос 1' | 'О законе'
-- row: 6 | 'Вопрос 2' | 'О плане'
SELECT
 id, opisanie, info
FROM
 povestka
WHERE
 id_zasedanie = 2
ORDER BY ord

-- @console.agenda-active-today
-- columns: id | opisanie | info
-- row: 4 | 'Вопрос 0' | 'Повестка'
SELECT
 id, opisanie, info
FROM
 povestka
WHERE
 (id_zasedanie = 2) AND
 (aktiv = 0) AND
(YEAR(aktiv_data) = YEAR(GETDATE())) AND
(MONTH(aktiv_data) = MONTH(GETDATE())) AND
(DAY(aktiv_data) = DAY(GETDATE()))

-- @console.open-meeting
-- columns: id | data | vremya | opisanie
-- row: 2 | '2014-03-20' | '00:00:00' | 'Заседание № 2'
SELECT TOP 1 id,data,vremya,opisanie
FROM zasedanie
WHERE (stop IS NULL) and (NOT(start IS NULL))
ORDER BY data DESC,id DESC;

-- @console.open-meeting.none
-- setup: UPDATE zasedanie SET stop = GETDATE() WHERE id=2
-- rows: 0
SELECT TOP 1 id,data,vremya,opisanie
FROM zasedanie
WHERE (stop IS NULL) and (NOT(start IS NULL))
ORDER BY data DESC,id DESC;

-- @console.latest-meeting
-- also: agenda editor opened with no active item
-- columns: id | opisanie
-- row: 3 | 'Заседание № 3'
SELECT TOP 1 id, opisanie FROM zasedanie ORDER BY data DESC,id DESC

-- @console.meeting-heading
-- also: agenda editor heading
-- columns: opisanie
-- row: 'Заседание № 2'
SELECT opisanie FROM zasedanie WHERE id = 2

-- ==== Meeting opening and closing ======================================================

-- @meeting-open.item-count
-- columns: ""
-- row: 0
SELECT count (*) FROM povestka WHERE id_zasedanie = 3

-- @meeting-open.start
-- check: SELECT DATEDIFF(ss,start,GETDATE()), stop FROM zasedanie WHERE id=3
-- row: ~^[01]$ | NULL
UPDATE zasedanie SET start = GETDATE() WHERE id=3

-- @meeting-open.first-item
-- columns: id
-- row: 4
SELECT TOP 1 id FROM povestka WHERE id_zasedanie=2ORDER by ord;

-- @meeting-open.deactivate-all
-- also: item activation
-- check: SELECT count(*) FROM povestka WHERE aktiv <> 0
-- row: 0
UPDATE povestka SET aktiv = 0

-- @meeting-open.activate
-- check: SELECT id FROM povestka WHERE aktiv = 1 ORDER BY id
-- row: 4
-- row: 5
UPDATE povestka SET aktiv = 1 WHERE id=4

-- @meeting-open.stamp
-- check: SELECT DATEDIFF(ss,aktiv_data,GETDATE()) FROM povestka WHERE id=6
-- row: ~^[01]$
UPDATE povestka SET aktiv_data = GETDATE() WHERE id=6

-- @meeting-close.read
-- columns: start | stop | opisanie
-- row: '2014-03-20 09:30:00.000' | NULL | 'Заседание № 2'
SELECT start,stop,opisanie FROM zasedanie WHERE id=2

-- @meeting-close.stop
-- check: SELECT DATEDIFF(ss,stop,GETDATE()) FROM zasedanie WHERE id=2
-- row: ~^[01]$
UPDATE zasedanie SET stop = GETDATE() WHERE id=2

-- @meeting-close.deactivate-all
-- check: SELECT count(*) FROM povestka WHERE aktiv <> 0
-- row: 0
UPDATE povestka SET aktiv=0

-- @meeting-close.close-periods
-- also: start of a registration
-- check: SELECT id, DATEDIFF(ss,stop,GETDATE()) FROM sessia_start ORDER BY id
-- row: 1 | ~^[01]$
-- row: 2 | ~^[01]$
-- row: 3 | ~^[01]$
UPDATE sessia_start SET stop = GETDATE()

-- @meeting-close.last-period
-- check: SELECT id, id_zasedanie, DATEDIFF(ss,start,GETDATE()), DATEDIFF(ss,stop,GETDATE()) FROM sessia_start WHERE id = 4
-- row: 4 | 2 | ~^[01]$ | ~^[01]$
INSERT INTO sessia_start (id_zasedanie,stop) VALUES (2,GETDATE())

-- @meeting-close.chairman
-- also: start of a registration
-- columns: id_deputat
-- row: 2
SELECT id_deputat FROM sostav WHERE chairman=1;

-- @meeting-close.period-id
-- also: start of a registration
-- setup: INSERT INTO sessia_start (id_zasedanie,stop) VALUES (2,GETDATE())
-- columns: ""
-- row: 4
SELECT max(id) FROM sessia_start;

-- @meeting-close.chairman-present
-- also: start of a registration
-- check: SELECT id_deputat, id_sessia, id_zasedanie FROM sessia WHERE id_sessia = 4
-- row: 2 | 4 | 2
INSERT INTO sessia (id_deputat,id_sessia,id_zasedanie) VALUES (2,4,2)

-- ==== Agenda item activation ===========================================================

-- @activate.item
-- setup: UPDATE povestka SET aktiv = 0
-- check: SELECT id, DATEDIFF(ss,aktiv_data,GETDATE()) FROM povestka WHERE aktiv = 1
-- row: 6 | ~^[01]$
UPDATE povestka SET aktiv = 1, aktiv_data=GETDATE() WHERE id=6

-- ==== Registration control =============================================================

-- @registration-control.drop-stray-presence
-- check: SELECT count(*) FROM sessia WHERE id_sessia = -1
-- row: 0
DELETE FROM sessia WHERE id_sessia = -1

-- @registration-control.new-period
-- check: SELECT id, id_zasedanie, DATEDIFF(ss,start,GETDATE()), stop FROM sessia_start WHERE id = (SELECT max(id) FROM sessia_start)
-- row: 4 | 2 | ~^[01]$ | NULL
INSERT INTO sessia_start (id_zasedanie) VALUES (2)

-- ==== Vote set-up ======================================================================

-- @vote-setup.by-law
-- columns: znachenie
-- row: ~^\d+$
SELECT znachenie FROM konstanti WHERE opisanie LIKE 'Установлено законом'

-- @vote-setup.rules
-- note: RegimZapros: every voting rule, the item's own first in its order
-- columns: id | opisanie | regim | ord | pov | ord2
-- row: 2 | * | * | * | 1 | 1
-- row: 1 | * | * | * | 2 | 1
-- row: 3 | * | * | * | NULL | 0
-- row: 4 | * | * | * | NULL | 0
-- row: 5 | * | * | * | NULL | 0
-- row: 6 | * | * | * | NULL | 0
-- row: 7 | * | * | * | NULL | 0
SELECT
 regim_golos.id,regim_golos.opisanie,regim_golos.regim,regim_golos.ord,povestka_regim.id as pov,
CASE ISNULL(povestka_regim.id,-1)
      WHEN -1 THEN 0
ELSE 1
 END as ord2
FROM
 regim_golos LEFT JOIN povestka_regim ON
 (povestka_regim.id_regim = regim_golos.id) AND (povestka_regim.id_povestka = 5)
ORDER BY
 ord2 DESC,povestka_regim.ord,regim_golos.ord,regim_golos.opisanie

-- @vote-setup.active-item
-- columns: id | info | opisanie | id | opisanie
-- row: 5 | 'О законе' | 'Вопрос 1' | 2 | 'Заседание № 2'
SELECT
   TOP 1 povestka.id,povestka.info,povestka.opisanie,zasedanie.id,zasedanie.opisanie
FROM
   povestka, zasedanie
WHERE
   (aktiv = 1) AND (zasedanie.id = id_zasedanie);

-- @vote-setup.insert
-- check: SELECT id, regim, tip, vid, isbrano, prisutstvuet, regim_polsov, nuzno, zak, id_povestka, id_sessia, DATEDIFF(ss,data,GETDATE()) FROM golosovanie WHERE id = 4
-- row: 4 | 'Большинство от присутствующих' | 1 | 2 | 27 | 3 | 'Процедурные вопросы' | 2 | 27 | 5 | 3 | ~^[01]$
INSERT INTO golosovanie (data,regim,tip,vid,isbrano,prisutstvuet,regim_polsov,nuzno,zak,id_povestka,id_sessia) VALUES (getdate(),'Большинство от присутствующих',1,2,27,3,'Процедурные вопросы',2,27,5,3)

-- @vote-setup.insert.apostrophe
-- note: a rule name with an apostrophe, embedded as it is, makes the statement invalid
-- error: any
-- check: SELECT count(*) FROM golosovanie
-- row: 3
INSERT INTO golosovanie (data,regim,tip,vid,isbrano,prisutstvuet,regim_polsov,nuzno,zak,id_povestka,id_sessia) VALUES (getdate(),'Большинство от присутствующих',0,0,27,3,'Правило 'А'',2,27,5,3)

-- @vote-setup.vote-id
-- columns: ""
-- row: 3
SELECT MAX(id) FROM golosovanie;

-- ==== Vote progress ====================================================================

-- @vote-progress.total
-- columns: ""
-- row: 3
SELECT count(*) FROM otvet WHERE id_golosovanie = 1

-- @vote-progress.by-code
-- columns: result | kak
-- unordered
-- row: 2 | 1
-- row: 1 | 2
SELECT count(id) as result, max(result) as kak
FROM otvet WHERE id_golosovanie = 1
GROUP BY result

-- ==== Meetings =========================================================================

-- @meetings.list
-- also: meeting chooser of the console
-- columns: id | data | opisanie | vremya | dt | start | stop
-- row: 3 | '02.04.2014' | 'Заседание № 3' | '00:00:00' | '2014-04-02' | NULL | NULL
-- row: 2 | '20.03.2014' | 'Заседание № 2' | '00:00:00' | '2014-03-20' | '2014-03-20 09:30:00.000' | NULL
-- row: 1 | '05.03.2014' | 'Заседание № 1' | '00:00:00' | '2014-03-05' | '2014-03-05 10:00:00.000' | '2014-03-05 12:30:00.000'
SELECT id,REPLACE(CONVERT(varchar,data,103),'/','.') as data,opisanie,vremya,data as dt,
start,stop
FROM zasedanie
ORDER BY zasedanie.data DESC,id DESC

-- @meetings.add
-- check: SELECT id, data, opisanie, vremya, start, stop FROM zasedanie WHERE id = 4
-- row: 4 | '2014-04-15' | 'Заседание № 4 ''весеннее''' | '00:00:00' | NULL | NULL
INSERT INTO zasedanie (data,opisanie,vremya) VALUES ('20140415','Заседание № 4 ''весеннее''','00:00:00')

-- @meetings.add.identity
-- also: agenda item and document added (read back the same way)
-- setup: INSERT INTO zasedanie (data,opisanie,vremya) VALUES ('20140415','Заседание № 4','00:00:00')
-- setup: SELECT id,REPLACE(CONVERT(varchar,data,103),'/','.') as data,opisanie,vremya,data as dt,start,stop FROM zasedanie ORDER BY zasedanie.data DESC,id DESC
-- columns: id
-- row: 4
SELECT @@identity as id;

-- @meetings.edit
-- check: SELECT data, opisanie FROM zasedanie WHERE id = 2
-- row: '2014-03-21' | 'Заседание № 2 (перенесено)'
UPDATE zasedanie SET data='20140321',opisanie='Заседание № 2 (перенесено)' WHERE id=2

-- @meetings.delete
-- check: SELECT id FROM zasedanie ORDER BY id
-- row: 1
-- row: 2
DELETE FROM zasedanie WHERE id=3

-- @meetings.delete.with-items
-- note: a meeting with agenda items stays; the reference violation is error 547
-- error: 547
-- check: SELECT id FROM zasedanie ORDER BY id
-- row: 1
-- row: 2
-- row: 3
DELETE FROM zasedanie WHERE id=1

-- ==== Agenda items =====================================================================

-- @agenda.list
-- columns: id | opisanie | info | id_zasedanie | ord | tip | nomer
-- row: 4 | 'Вопрос 0' | 'Повестка' | 2 | 1 | 0 | 0
-- row: 5 | 'Вопрос 1' | 'О законе' | 2 | 2 | 0 | 1
-- row: 6 | 'Вопрос 2' | 'О плане' | 2 | 3 | 0 | 2
SELECT
id, opisanie, info, id_zasedanie,ord,tip,nomer
FROM
povestka
WHERE
id_zasedanie = 2
ORDER BY
ord,opisanie

-- @agenda.question-editor
-- columns: id | opisanie | info | id_zasedanie | tip | nomer | ord
-- rows: 6
SELECT id,opisanie,info,id_zasedanie,tip,nomer,ord
FROM povestka;

-- @agenda.default-type
-- columns: tip
-- row: 1
-- row: 0
-- row: 0
SELECT tip FROM povestka WHERE (id_zasedanie = 1) ORDER BY id DESC;

-- @agenda.default-number
-- columns: ""
-- row: 2
SELECT MAX(nomer) FROM povestka WHERE (id_zasedanie = 2) AND tip=0

-- @agenda.default-number.first-of-type
-- row: NULL
SELECT MAX(nomer) FROM povestka WHERE (id_zasedanie = 2) AND tip=1

-- @agenda.position
-- columns: ""
-- row: 3
SELECT MAX(ord) FROM povestka WHERE id_zasedanie = 2

-- @agenda.post-new
-- note: the question editor posts its new row; the list is re-read, then the key read back
-- setup: INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info) VALUES (2,1,1,4,'Доп. вопрос 1','{\rtf1\ansi Текст}')
-- setup: SELECT id, opisanie, info, id_zasedanie,ord,tip,nomer FROM povestka WHERE id_zasedanie = 2 ORDER BY ord,opisanie
-- columns: id
-- row: 7
SELECT @@identity as id;

-- @agenda.neighbour-up
-- columns: ord | id
-- row: 2 | 5
SELECT TOP 1 ord,id FROM povestka WHERE (id_zasedanie=2) AND (ord<3) ORDER BY ord DESC;

-- @agenda.neighbour-down
-- columns: ord | id
-- row: 2 | 5
SELECT TOP 1 ord,id FROM povestka WHERE (id_zasedanie=2) AND (ord>1) ORDER BY ord;

-- @agenda.neighbour-down.last
-- rows: 0
SELECT TOP 1 ord,id FROM povestka WHERE (id_zasedanie=2) AND (ord>3) ORDER BY ord;

-- @agenda.swap
-- setup: UPDATE povestka SET ord=3 WHERE id=5
-- check: SELECT id FROM povestka WHERE id_zasedanie = 2 ORDER BY ord
-- row: 4
-- row: 6
-- row: 5
UPDATE povestka SET ord=2 WHERE id=6

-- ==== Agenda documents =================================================================

-- @documents.date-folder
-- columns: dd | mm | yy
-- row: '5' | 3 | '2014'
SELECT DATENAME(dd,data) as dd, DATEPART(mm,data) as mm,DATENAME(yy,data) as yy FROM zasedanie WHERE id = 1

-- @documents.date-folder.two-digit-month
-- setup: UPDATE zasedanie SET data='20141125' WHERE id=3
-- row: '25' | 11 | '2014'
SELECT DATENAME(dd,data) as dd, DATEPART(mm,data) as mm,DATENAME(yy,data) as yy FROM zasedanie WHERE id = 3

-- @documents.list
-- columns: id | fail | id_povestka | opisanie | put
-- row: 1 | 'zakon.pdf' | 5 | 'Проект закона' | '20.03.2014\1\'
-- row: 2 | 'annex.pdf' | 5 | 'Приложение' | '20.03.2014\1\'
SELECT
id,fail,id_povestka,opisanie,put
FROM
faili
WHERE
id_povestka = 5
ORDER BY id

-- @documents.add
-- check: SELECT id, id_povestka, fail, opisanie, put FROM faili WHERE id = 3
-- row: 3 | 6 | 'plan.pdf' | 'plan.pdf' | '20.03.2014\2\'
INSERT INTO faili (id_povestka,fail,opisanie,put) VALUES (6,'plan.pdf','plan.pdf','20.03.2014\2\')

-- @documents.add-additional
-- check: SELECT put FROM faili WHERE id = 3
-- row: '5.03.2014\1 д\'
INSERT INTO faili (id_povestka,fail,opisanie,put) VALUES (3,'nagrada.pdf','nagrada.pdf','5.03.2014\1 д\')

-- @documents.replace
-- check: SELECT fail, opisanie, put FROM faili WHERE id = 1
-- row: 'zakon2.pdf' | 'Проект закона' | '20.03.2014\1\'
UPDATE faili SET fail='zakon2.pdf',put='20.03.2014\1\' WHERE id=1

-- @documents.replace-additional
-- check: SELECT fail, put FROM faili WHERE id = 2
-- row: 'n.pdf' | '5.03.2014\1 д\'
UPDATE faili SET fail='n.pdf',put='5.03.2014\1 д\' WHERE id=2

-- @documents.describe
-- check: SELECT opisanie FROM faili WHERE id = 1
-- row: 'Проект закона (ред. ''2'')'
UPDATE faili SET opisanie ='Проект закона (ред. ''2'')' WHERE id=1

-- @documents.remove
-- check: SELECT id FROM faili
-- row: 1
DELETE FROM faili WHERE id=2

-- ==== Voting rules of an item ==========================================================

-- @rules.list
-- columns: id | opisanie | regim_id | ord
-- row: 1 | * | 2 | 1
-- row: 2 | * | 1 | 2
SELECT
povestka_regim.id,regim_golos.opisanie,regim_golos.id as regim_id,povestka_regim.ord
FROM
povestka_regim,
regim_golos
WHERE
(id_povestka = 5) AND
(regim_golos.id = id_regim)
ORDER BY
povestka_regim.ord,regim_golos.opisanie

-- @rules.picker
-- columns: id | opisanie
-- rows: 7
-- row: 1 | *
SELECT
id, opisanie
FROM
regim_golos
ORDER BY
ord,opisanie

-- @rules.count
-- columns: ""
-- row: 1
SELECT count(*) FROM povestka_regim WHERE (id_povestka=5) AND (id_regim = 2)

-- @rules.max-ord
-- columns: ""
-- row: 2
SELECT MAX(ord) FROM povestka_regim WHERE id_povestka=5

-- @rules.max-ord.no-rules
-- row: NULL
SELECT MAX(ord) FROM povestka_regim WHERE id_povestka=4

-- @rules.add
-- check: SELECT id, ord, id_povestka, id_regim FROM povestka_regim WHERE id = 3
-- row: 3 | 3 | 5 | 4
INSERT INTO povestka_regim (ord,id_povestka,id_regim) VALUES (3,5,4)

-- @rules.replace
-- check: SELECT id_regim FROM povestka_regim WHERE id = 2
-- row: 5
UPDATE povestka_regim SET id_regim=5 WHERE id=2

-- @rules.remove
-- check: SELECT id FROM povestka_regim
-- row: 2
DELETE FROM povestka_regim WHERE id = 1

-- @rules.neighbour-up
-- columns: ord | id
-- row: 1 | 1
SELECT TOP 1 ord,id FROM povestka_regim WHERE (id_povestka=5) AND (ord<2) ORDER BY ord DESC;

-- @rules.neighbour-down
-- columns: ord | id
-- row: 2 | 2
SELECT TOP 1 ord,id FROM povestka_regim WHERE (id_povestka=5) AND (ord>1) ORDER BY ord;

-- @rules.swap
-- setup: UPDATE povestka_regim SET ord=2 WHERE id=1
-- check: SELECT id FROM povestka_regim WHERE id_povestka = 5 ORDER BY ord
-- row: 2
-- row: 1
UPDATE povestka_regim SET ord=1 WHERE id=2

-- ==== Deputies =========================================================================

-- @deputies.list
-- also: deputy chooser of the seat commands
-- columns: id | FIO | familia | imya | otchestvo
-- row: 1 | 'Иванов Иван Иванович' | 'Иванов' | 'Иван' | 'Иванович'
-- row: 4 | 'Кузнецов Олег ' | 'Кузнецов' | 'Олег' | ''
-- row: 2 | 'Петров Пётр Петрович' | 'Петров' | 'Пётр' | 'Петрович'
-- row: 3 | 'Сидорова Анна Сергеевна' | 'Сидорова' | 'Анна' | 'Сергеевна'
-- row: 5 | 'Смирнов Алексей Викторович' | 'Смирнов' | 'Алексей' | 'Викторович'
SELECT
id,
familia + ' ' + imya + ' ' + otchestvo as FIO,
familia,
imya,
otchestvo
FROM
deputat
ORDER BY
2

-- @deputies.add
-- check: SELECT id, familia, imya, otchestvo FROM deputat WHERE id = 6
-- row: 6 | 'О''Нил' | 'Ёжи' | ''
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('О''Нил','Ёжи','')

-- @deputies.edit
-- check: SELECT familia, imya, otchestvo FROM deputat WHERE id = 1
-- row: 'Иванова' | 'Ирина' | 'Ивановна'
UPDATE deputat SET familia='Иванова',imya='Ирина',otchestvo='Ивановна' WHERE id=1

-- @deputies.delete
-- check: SELECT count(*) FROM deputat
-- row: 4
DELETE FROM deputat WHERE id=5

-- @board.vote-quorum
-- note: vote result board, the number present at the vote's start and the stored quorum
-- columns: prisutstvuet | kvorum
-- row: 4 | '14'
SELECT prisutstvuet, (SELECT znachenie FROM konstanti WHERE opisanie LIKE 'Кворум') as kvorum FROM golosovanie WHERE id=1

-- @seatmap.vote-kind
-- note: whether the vote of the mode row is secret; read once per vote
-- columns: vid
-- row: 1
SELECT vid FROM golosovanie WHERE id=2

-- @seatmap.voted-seats
-- note: ZaprosProgolosovali, the seats that voted in a secret vote, without the choice
-- columns: nomer
-- rows: 1
SELECT mesto.nomer FROM otvet,sostav,mesto
WHERE (otvet.id_golosovanie = 2)
AND   (sostav.id_deputat = otvet.id_deputat)
AND   (mesto.id = sostav.id_mesto)

-- ==== Protocol =========================================================================

-- @protocol.votes
-- note: Otchet1, the votes of a meeting in time order with the name lists (none for a secret vote),
-- the stored quorum and each vote's journal head
-- columns: vremya | g_data | vid | povestka | regim_polsov | regim | vsego | prisutstvuet | golosov | za | protiv | vosd | nuzno | info | fio_za | fio_protiv | fio_vosd | fio_ne_golos | vid_kod | kvorum | zhurnal | id_pov | aktiv_data | nomer | tip
-- row: '10:15' | '2014-03-05 10:15:00.000' | 'Открытое голосование: Вопрос 1' | 'Обсуждается Вопрос 1' | 'Процедурные вопросы' | 'Большинство от присутствующих' | 27 | 4 | 3 | 2 | 1 | 0 | 3 | 'О бюджете. Кто вносит: Губернатор' | 'Иванов И. И., Петров П. П.' | 'Сидорова А. С.' | '' | 'Кузнецов О.' | 0 | '14' | * | 2 | '2014-03-05 10:10:00.000' | 1 | 0
-- row: '11:40' | '2014-03-05 11:40:00.000' | 'Тайное голосование: Доп. вопрос 1' | 'Обсуждается Доп. вопрос 1' | 'Принятие закона' | 'Большинство от установленного числа' | 27 | 4 | 1 | 0 | 0 | 1 | 14 | 'О награждении' | NULL | NULL | NULL | NULL | 1 | '14' | * | 3 | '2014-03-05 11:30:00.000' | 1 | 1
SELECT
DATENAME(HH,golosovanie.data) + ':' + DATENAME(MI,golosovanie.data) as vremya,
golosovanie.data as g_data,
CASE vid
WHEN 0 THEN 'Открытое голосование: ' + povestka.opisanie
WHEN 1 THEN 'Тайное голосование: ' + povestka.opisanie
WHEN 2 THEN 'Поименное голосование: ' + povestka.opisanie
END as vid,
'Обсуждается ' + povestka.opisanie as povestka,
golosovanie.regim_polsov,
golosovanie.regim,
isbrano as vsego,
golosovanie.prisutstvuet,
(SELECT COUNT(*) FROM otvet WHERE id_golosovanie = golosovanie.id) as golosov,
(SELECT COUNT(*) FROM otvet WHERE (id_golosovanie = golosovanie.id) AND (result=1)) as za,
(SELECT COUNT(*) FROM otvet WHERE (id_golosovanie = golosovanie.id) AND (result=2)) as protiv,
(SELECT COUNT(*) FROM otvet WHERE (id_golosovanie = golosovanie.id) AND (result=3)) as vosd,
golosovanie.nuzno,
povestka.info,
CASE golosovanie.vid WHEN 1 THEN NULL ELSE dbo.mnogoimen(golosovanie.id,1) END as fio_za,
CASE golosovanie.vid WHEN 1 THEN NULL ELSE dbo.mnogoimen(golosovanie.id,2) END as fio_protiv,
CASE golosovanie.vid WHEN 1 THEN NULL ELSE dbo.mnogoimen(golosovanie.id,3) END as fio_vosd,
CASE golosovanie.vid WHEN 1 THEN NULL ELSE dbo.mnogoimen2(golosovanie.id,sessia_start.id) END as fio_ne_golos,
golosovanie.vid as vid_kod,
(SELECT znachenie FROM konstanti WHERE opisanie LIKE 'Кворум') as kvorum,
(SELECT hash FROM zhurnal WHERE id = (SELECT MAX(id) FROM zhurnal WHERE id_golosovanie = golosovanie.id)) as zhurnal,
povestka.id as id_pov,
povestka.aktiv_data,
povestka.nomer,
povestka.tip
FROM
golosovanie, povestka, sessia_start
WHERE
(golosovanie.id_sessia=sessia_start.id) AND
(sessia_start.id_zasedanie=1) AND
(povestka.id = golosovanie.id_povestka)
ORDER BY
golosovanie.data

-- @protocol.votes.roll-call
-- row: '10:0' | '2014-03-20 10:00:00.000' | 'Поименное голосование: Вопрос 1' | 'Обсуждается Вопрос 1' | 'Процедурные вопросы' | 'Большинство от присутствующих' | 27 | 3 | 1 | 1 | 0 | 0 | 2 | 'О законе' | 'Иванов И. И.' | '' | '' | 'Петров П. П., Сидорова А. С.' | 2 | '14' | * | 5 | ~^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}$ | 1 | 0
SELECT
DATENAME(HH,golosovanie.data) + ':' + DATENAME(MI,golosovanie.data) as vremya,
golosovanie.data as g_data,
CASE vid
WHEN 0 THEN 'Открытое голосование: ' + povestka.opisanie
WHEN 1 THEN 'Тайное голосование: ' + povestka.opisanie
WHEN 2 THEN 'Поименное голосование: ' + povestka.opisanie
END as vid,
'Обсуждается ' + povestka.opisanie as povestka,
golosovanie.regim_polsov,
golosovanie.regim,
isbrano as vsego,
golosovanie.prisutstvuet,
(SELECT COUNT(*) FROM otvet WHERE id_golosovanie = golosovanie.id) as golosov,
(SELECT COUNT(*) FROM otvet WHERE (id_golosovanie = golosovanie.id) AND (result=1)) as za,
(SELECT COUNT(*) FROM otvet WHERE (id_golosovanie = golosovanie.id) AND (result=2)) as protiv,
(SELECT COUNT(*) FROM otvet WHERE (id_golosovanie = golosovanie.id) AND (result=3)) as vosd,
golosovanie.nuzno,
povestka.info,
CASE golosovanie.vid WHEN 1 THEN NULL ELSE dbo.mnogoimen(golosovanie.id,1) END as fio_za,
CASE golosovanie.vid WHEN 1 THEN NULL ELSE dbo.mnogoimen(golosovanie.id,2) END as fio_protiv,
CASE golosovanie.vid WHEN 1 THEN NULL ELSE dbo.mnogoimen(golosovanie.id,3) END as fio_vosd,
CASE golosovanie.vid WHEN 1 THEN NULL ELSE dbo.mnogoimen2(golosovanie.id,sessia_start.id) END as fio_ne_golos,
golosovanie.vid as vid_kod,
(SELECT znachenie FROM konstanti WHERE opisanie LIKE 'Кворум') as kvorum,
(SELECT hash FROM zhurnal WHERE id = (SELECT MAX(id) FROM zhurnal WHERE id_golosovanie = golosovanie.id)) as zhurnal,
povestka.id as id_pov,
povestka.aktiv_data,
povestka.nomer,
povestka.tip
FROM
golosovanie, povestka, sessia_start
WHERE
(golosovanie.id_sessia=sessia_start.id) AND
(sessia_start.id_zasedanie=2) AND
(povestka.id = golosovanie.id_povestka)
ORDER BY
golosovanie.data

-- @protocol.meeting
-- note: Otchet2, the meeting's opening and closing lines and its chairman
-- columns: dt | opisanie | opisanie2 | start | stop | dt2 | fio | fio2 | zas_start
-- row: '5.3.2014 10:0' | 'Заседание № 1 объявляется открытым' | 'Заседание № 1 объявляется закрытым' | '2014-03-05 10:00:00.000' | '2014-03-05 12:30:00.000' | '5.3.2014 12:30' | 'Петров Пётр Петрович' | 'П.П. Петров' | '2014-03-05 10:01:00.000'
SELECT
DATENAME(day,zasedanie.start) + '.' + CAST(DATEPART(M,zasedanie.start) as NVARCHAR) + '.'  + CAST(DATEPART(yyyy,zasedanie.start) as NVARCHAR) + ' ' + DATENAME(HH,zasedanie.start) + ':' + DATENAME(MI,zasedanie.start) as dt,
zasedanie.opisanie + ' объявляется открытым' as opisanie,
zasedanie.opisanie + ' объявляется закрытым' as opisanie2,
zasedanie.start,zasedanie.stop,
DATENAME(day,zasedanie.stop) + '.' + CAST(DATEPART(M,zasedanie.stop) as NVARCHAR) + '.'  + CAST(DATEPART(yyyy,zasedanie.stop) as NVARCHAR) + ' ' + DATENAME(HH,zasedanie.stop) + ':' + DATENAME(MI,zasedanie.stop) as dt2,
(SELECT deputat.familia + ' ' + deputat.imya + ' ' + deputat.otchestvo as fio FROM sostav, deputat WHERE (chairman = 1) AND
(deputat.id = sostav.id_deputat)) as fio,
(SELECT SUBSTRING(deputat.imya,1,1) + '.' + SUBSTRING(deputat.otchestvo,1,1) + '. ' + deputat.familia as fio2 FROM sostav, deputat WHERE (chairman = 1) AND
(deputat.id = sostav.id_deputat)) as fio2,
(SELECT MIN(start) FROM sessia_start WHERE id_zasedanie = zasedanie.id) as zas_start
FROM
zasedanie
WHERE
(zasedanie.id = 1)

-- @protocol.meeting.two-chairmen
-- note: more than one chairman makes the chairman sub-select fail, as on the server
-- setup: UPDATE sostav SET chairman=1 WHERE id=1
-- error: any
SELECT
DATENAME(day,zasedanie.start) + '.' + CAST(DATEPART(M,zasedanie.start) as NVARCHAR) + '.'  + CAST(DATEPART(yyyy,zasedanie.start) as NVARCHAR) + ' ' + DATENAME(HH,zasedanie.start) + ':' + DATENAME(MI,zasedanie.start) as dt,
zasedanie.opisanie + ' объявляется открытым' as opisanie,
zasedanie.opisanie + ' объявляется закрытым' as opisanie2,
zasedanie.start,zasedanie.stop,
DATENAME(day,zasedanie.stop) + '.' + CAST(DATEPART(M,zasedanie.stop) as NVARCHAR) + '.'  + CAST(DATEPART(yyyy,zasedanie.stop) as NVARCHAR) + ' ' + DATENAME(HH,zasedanie.stop) + ':' + DATENAME(MI,zasedanie.stop) as dt2,
(SELECT deputat.familia + ' ' + deputat.imya + ' ' + deputat.otchestvo as fio FROM sostav, deputat WHERE (chairman = 1) AND
(deputat.id = sostav.id_deputat)) as fio,
(SELECT SUBSTRING(deputat.imya,1,1) + '.' + SUBSTRING(deputat.otchestvo,1,1) + '. ' + deputat.familia as fio2 FROM sostav, deputat WHERE (chairman = 1) AND
(deputat.id = sostav.id_deputat)) as fio2,
(SELECT MIN(start) FROM sessia_start WHERE id_zasedanie = zasedanie.id) as zas_start
FROM
zasedanie
WHERE
(zasedanie.id = 1)

-- ==== Further statements of the program ================================================

-- @speakers.already-asked
-- note: a seat asks once; the count is read before the request is written
-- columns: ""
-- row: 1
SELECT count(*) FROM proshu_slovo WHERE id_mesto=3

-- @speakers.already-asked.none
-- row: 0
SELECT count(*) FROM proshu_slovo WHERE id_mesto=4

-- @registration.registered
-- note: registration screen and its sync: whether the deputy is in the period
-- columns: ""
-- row: 1
SELECT count(*) FROM sessia WHERE (id_deputat=1) AND (id_sessia=3)

-- @registration.registered.not
-- row: 0
SELECT count(*) FROM sessia WHERE (id_deputat=4) AND (id_sessia=3)

-- @connect.open-period-of-meeting
-- columns: ""
-- row: 3
SELECT max(id) FROM sessia_start WHERE stop IS NULL AND id_zasedanie = 2

-- @connect.open-period-of-meeting.closed
-- row: NULL
SELECT max(id) FROM sessia_start WHERE stop IS NULL AND id_zasedanie = 1

-- @console.meeting-is-open
-- note: a console that lost its meeting takes the shown agenda's meeting when it is open
-- columns: ""
-- row: 1
SELECT count(*) FROM zasedanie WHERE id = 2 AND start IS NOT NULL AND stop IS NULL

-- @console.meeting-is-open.closed
-- row: 0
SELECT count(*) FROM zasedanie WHERE id = 1 AND start IS NOT NULL AND stop IS NULL

-- @vote-progress.resume
-- note: the console takes a running vote up again
-- columns: regim_polsov | prisutstvuet | nuzno
-- row: 'Процедурные вопросы' | 3 | 2
SELECT regim_polsov,prisutstvuet,nuzno FROM golosovanie WHERE id=3

-- @agenda.add
-- check: SELECT id, id_zasedanie, tip, nomer, ord, opisanie, info FROM povestka WHERE id = 7
-- row: 7 | 3 | 1 | 1 | 1 | 'Доп. вопрос 1' | '{\rtf1 О''Нил}'
INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info) VALUES (3,1,1,1,'Доп. вопрос 1','{\rtf1 О''Нил}')

-- @agenda.edit
-- check: SELECT tip, nomer, opisanie, info FROM povestka WHERE id = 6
-- row: 1 | 2 | 'Доп. вопрос 2' | ''
UPDATE povestka SET tip=1,nomer=2,opisanie='Доп. вопрос 2',info='' WHERE id=6

-- @agenda.delete-documents
-- check: SELECT count(*) FROM faili
-- row: 0
DELETE FROM faili WHERE id_povestka=5

-- @agenda.delete-rules
-- check: SELECT count(*) FROM povestka_regim
-- row: 0
DELETE FROM povestka_regim WHERE id_povestka=5

-- @agenda.delete
-- check: SELECT id FROM povestka WHERE id_zasedanie = 2 ORDER BY id
-- row: 4
-- row: 5
DELETE FROM povestka WHERE id=6

-- @deputies.free-seat
-- check: SELECT id_deputat FROM sostav ORDER BY id_deputat
-- row: 1
-- row: 2
-- row: 3
DELETE FROM sostav WHERE id_deputat=4

-- @export.meeting-with-votes
-- columns: ""
-- row: 2
SELECT MAX(sessia_start.id_zasedanie) FROM golosovanie, sessia_start WHERE golosovanie.id_sessia = sessia_start.id

-- @export.latest-meeting
-- columns: ""
-- row: 3
SELECT MAX(id) FROM zasedanie

-- @export.meeting
-- columns: id | data | opisanie | start | stop
-- row: 1 | * | 'Заседание № 1' | '2014-03-05 10:00:00.000' | '2014-03-05 12:30:00.000'
SELECT id,data,opisanie,start,stop FROM zasedanie WHERE id=1

-- @export.votes
-- columns: id | data | tip | vid | regim_polsov | regim | isbrano | prisutstvuet | nuzno | zak | id_pov | pov | za | protiv | vosd
-- row: 1 | * | 0 | 0 | 'Процедурные вопросы' | 'Большинство от присутствующих' | 27 | 4 | 3 | 27 | 2 | 'Вопрос 1' | 2 | 1 | 0
-- row: 2 | * | 0 | 1 | 'Принятие закона' | 'Большинство от установленного числа' | 27 | 4 | 14 | 27 | 3 | 'Доп. вопрос 1' | 0 | 0 | 1
SELECT golosovanie.id, golosovanie.data, golosovanie.tip, golosovanie.vid,
 golosovanie.regim_polsov, golosovanie.regim, golosovanie.isbrano,
 golosovanie.prisutstvuet, golosovanie.nuzno, golosovanie.zak,
 povestka.id as id_pov, povestka.opisanie as pov,
 (SELECT COUNT(*) FROM otvet WHERE (id_golosovanie = golosovanie.id) AND (result=1)) as za,
 (SELECT COUNT(*) FROM otvet WHERE (id_golosovanie = golosovanie.id) AND (result=2)) as protiv,
 (SELECT COUNT(*) FROM otvet WHERE (id_golosovanie = golosovanie.id) AND (result=3)) as vosd
FROM golosovanie, povestka, sessia_start
WHERE (golosovanie.id_sessia = sessia_start.id) AND (sessia_start.id_zasedanie = 1)
AND (povestka.id = golosovanie.id_povestka)
ORDER BY golosovanie.data, golosovanie.id

-- @export.ballots
-- columns: id_deputat | result | fio | nomer
-- row: 1 | 1 | 'Иванов Иван Иванович' | '01'
-- row: 2 | 1 | 'Петров Пётр Петрович' | '02'
-- row: 3 | 2 | 'Сидорова Анна Сергеевна' | '03'
SELECT otvet.id_deputat, otvet.result,
 deputat.familia + ' ' + deputat.imya + ' ' + deputat.otchestvo as fio,
 (SELECT MIN(mesto.nomer) FROM sostav, mesto WHERE (sostav.id_deputat = otvet.id_deputat)
   AND (mesto.id = sostav.id_mesto)) as nomer
FROM otvet LEFT JOIN deputat ON deputat.id = otvet.id_deputat
WHERE otvet.id_golosovanie = 1
ORDER BY deputat.familia, deputat.imya, deputat.otchestvo, otvet.id_deputat
