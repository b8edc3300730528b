-- Demo data: a seated hall and one prepared meeting, so that a new installation shows a
-- working hall at once. Written as T-SQL; loaded by "voter-sql --demo", which fills in the
-- two variables (today's date as yyyymmdd and its document folder, e.g. 5.03.2014); with
-- sqlcmd: sqlcmd -v TODAY=20140305 DATEFOLDER=5.03.2014 -i demo.sql
-- Loads only into a database without deputies and meetings (keys are looked up, not assumed).

-- Deputies, each seated at once; the chairman sits at seat 02.
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Абрамов','Сергей','Викторович');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '01';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Белов','Николай','Петрович');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 1, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '02';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Васильева','Ольга','Михайловна');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '03';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Григорьев','Андрей','Юрьевич');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '04';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Денисова','Елена','Александровна');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '05';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Ермолаев','Виктор','Степанович');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '06';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Жуков','Павел','Андреевич');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '07';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Зайцева','Татьяна','Ивановна');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '08';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Ильин','Дмитрий','Сергеевич');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '09';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Казаков','Алексей','Владимирович');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '10';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Лебедева','Наталья','Николаевна');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '11';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Морозов','Игорь','Геннадьевич');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '12';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Никитин','Олег','Борисович');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '13';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Орлова','Марина','Валерьевна');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '14';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Павлов','Юрий','Анатольевич');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '15';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Романов','Владимир','Евгеньевич');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '16';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Соколова','Ирина','Петровна');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '17';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Тарасов','Максим','Олегович');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '18';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Устинов','Геннадий','Фёдорович');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '19';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Фролова','Светлана','Викторовна');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '20';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Харитонов','Михаил','Ильич');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '21';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Цветков','Артём','Романович');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '22';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Чернова','Людмила','Васильевна');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '23';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Шевченко','Константин','Львович');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '24';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Щукин','Евгений','Аркадьевич');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '25';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Юдина','Анна','Сергеевна');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '26';
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Яковлев','Роман','Дмитриевич');
INSERT INTO sostav (chairman,id_deputat,id_mesto) SELECT 0, (SELECT MAX(id) FROM deputat), id FROM mesto WHERE nomer = '27';
GO

-- The meeting: today, prepared but never opened.
INSERT INTO zasedanie (data,opisanie,vremya) VALUES ('$(TODAY)','Заседание № 1','00:00:00');
GO

-- The agenda. The contents are RTF as the agenda editor stores them (Cyrillic as \'hh in
-- code page 1251, apostrophes doubled for SQL); the plain text is in the comment above each.

-- Вопрос 0: Повестка дня
INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv)
SELECT MAX(id), 0, 0, 1, 'Вопрос 0', '{\rtf1\ansi\ansicpg1251\deff0\deflang1049{\fonttbl{\f0\fswiss\fcharset204 Arial;}}
\viewkind4\uc1\pard\qc\b\f0\fs28 \''cf\''ee\''e2\''e5\''f1\''f2\''ea\''e0 \''e4\''ed\''ff\par
\pard\qj\b0\fs24
1. \''ce\''e1 \''ee\''e1\''eb\''e0\''f1\''f2\''ed\''ee\''ec \''e1\''fe\''e4\''e6\''e5\''f2\''e5 \''ed\''e0 \''ee\''f7\''e5\''f0\''e5\''e4\''ed\''ee\''e9 \''f4\''e8\''ed\''e0\''ed\''f1\''ee\''e2\''fb\''e9 \''e3\''ee\''e4.\par
2. \''ce \''e2\''ed\''e5\''f1\''e5\''ed\''e8\''e8 \''e8\''e7\''ec\''e5\''ed\''e5\''ed\''e8\''e9 \''e2 \''e7\''e0\''ea\''ee\''ed \''ee\''e1\''eb\''e0\''f1\''f2\''e8 \''ab\''ce \''f1\''f2\''e0\''f2\''f3\''f1\''e5 \''e4\''e5\''ef\''f3\''f2\''e0\''f2\''e0 \''c7\''e0\''ea\''ee\''ed\''ee\''e4\''e0\''f2\''e5\''eb\''fc\''ed\''ee\''e3\''ee \''d1\''ee\''e1\''f0\''e0\''ed\''e8\''ff \''ee\''e1\''eb\''e0\''f1\''f2\''e8\''bb.\par
3. \''ce\''e1 \''ee\''f2\''f7\''b8\''f2\''e5 \''ea\''ee\''ed\''f2\''f0\''ee\''eb\''fc\''ed\''ee-\''f1\''f7\''b8\''f2\''ed\''ee\''e9 \''ef\''e0\''eb\''e0\''f2\''fb \''ee\''e1\''eb\''e0\''f1\''f2\''e8 \''e7\''e0 \''ef\''f0\''ee\''f8\''e5\''e4\''f8\''e8\''e9 \''e3\''ee\''e4.\par
4. \''ce \''ed\''e0\''e7\''ed\''e0\''f7\''e5\''ed\''e8\''e8 \''ec\''e8\''f0\''ee\''e2\''fb\''f5 \''f1\''f3\''e4\''e5\''e9.\par
\''c4\''ee\''ef\''ee\''eb\''ed\''e8\''f2\''e5\''eb\''fc\''ed\''ee: \''ee \''ed\''e0\''e3\''f0\''e0\''e6\''e4\''e5\''ed\''e8\''e8 \''cf\''ee\''f7\''b8\''f2\''ed\''ee\''e9 \''e3\''f0\''e0\''ec\''ee\''f2\''ee\''e9; \''ee \''ef\''eb\''e0\''ed\''e5 \''f0\''e0\''e1\''ee\''f2\''fb \''ed\''e0 \''f1\''eb\''e5\''e4\''f3\''fe\''f9\''e8\''e9 \''ea\''e2\''e0\''f0\''f2\''e0\''eb.\par
}', 0 FROM zasedanie;

-- Вопрос 1: Об областном бюджете на очередной финансовый год
--   Кто вносит: Губернатор области
INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv)
SELECT MAX(id), 0, 1, 2, 'Вопрос 1', '{\rtf1\ansi\ansicpg1251\deff0\deflang1049{\fonttbl{\f0\fswiss\fcharset204 Arial;}}
\viewkind4\uc1\pard\qc\b\f0\fs28 \''ce\''e1 \''ee\''e1\''eb\''e0\''f1\''f2\''ed\''ee\''ec \''e1\''fe\''e4\''e6\''e5\''f2\''e5 \''ed\''e0 \''ee\''f7\''e5\''f0\''e5\''e4\''ed\''ee\''e9 \''f4\''e8\''ed\''e0\''ed\''f1\''ee\''e2\''fb\''e9 \''e3\''ee\''e4\par
\pard\qj\b0\fs24
\''cf\''f0\''ee\''e5\''ea\''f2 \''e7\''e0\''ea\''ee\''ed\''e0 \''ee\''e1\''eb\''e0\''f1\''f2\''e8 \''ee\''e1 \''ee\''e1\''eb\''e0\''f1\''f2\''ed\''ee\''ec \''e1\''fe\''e4\''e6\''e5\''f2\''e5 \''f0\''e0\''f1\''f1\''ec\''e0\''f2\''f0\''e8\''e2\''e0\''e5\''f2\''f1\''ff \''e2 \''ef\''e5\''f0\''e2\''ee\''ec \''f7\''f2\''e5\''ed\''e8\''e8. \''cf\''f0\''e5\''e4\''eb\''e0\''e3\''e0\''e5\''f2\''f1\''ff \''f3\''f2\''e2\''e5\''f0\''e4\''e8\''f2\''fc \''ee\''f1\''ed\''ee\''e2\''ed\''fb\''e5 \''f5\''e0\''f0\''e0\''ea\''f2\''e5\''f0\''e8\''f1\''f2\''e8\''ea\''e8 \''e1\''fe\''e4\''e6\''e5\''f2\''e0: \''ee\''e1\''f9\''e8\''e9 \''ee\''e1\''fa\''b8\''ec \''e4\''ee\''f5\''ee\''e4\''ee\''e2, \''ee\''e1\''f9\''e8\''e9 \''ee\''e1\''fa\''b8\''ec \''f0\''e0\''f1\''f5\''ee\''e4\''ee\''e2 \''e8 \''f0\''e0\''e7\''ec\''e5\''f0 \''e4\''e5\''f4\''e8\''f6\''e8\''f2\''e0.\par
\''ca\''ee\''ec\''e8\''f2\''e5\''f2 \''ef\''ee \''e1\''fe\''e4\''e6\''e5\''f2\''f3 \''e8 \''ed\''e0\''eb\''ee\''e3\''e0\''ec \''f0\''e5\''ea\''ee\''ec\''e5\''ed\''e4\''f3\''e5\''f2 \''ef\''f0\''e8\''ed\''ff\''f2\''fc \''ef\''f0\''ee\''e5\''ea\''f2 \''e7\''e0\''ea\''ee\''ed\''e0 \''e2 \''ef\''e5\''f0\''e2\''ee\''ec \''f7\''f2\''e5\''ed\''e8\''e8.\par
\b \''ca\''f2\''ee \''e2\''ed\''ee\''f1\''e8\''f2:\b0  \''c3\''f3\''e1\''e5\''f0\''ed\''e0\''f2\''ee\''f0 \''ee\''e1\''eb\''e0\''f1\''f2\''e8\par
}', 0 FROM zasedanie;

-- Вопрос 2: О внесении изменений в закон области «О статусе депутата Законодательного Собрания области»
--   Кто вносит: комитет по законодательству и местному самоуправлению
INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv)
SELECT MAX(id), 0, 2, 3, 'Вопрос 2', '{\rtf1\ansi\ansicpg1251\deff0\deflang1049{\fonttbl{\f0\fswiss\fcharset204 Arial;}}
\viewkind4\uc1\pard\qc\b\f0\fs28 \''ce \''e2\''ed\''e5\''f1\''e5\''ed\''e8\''e8 \''e8\''e7\''ec\''e5\''ed\''e5\''ed\''e8\''e9 \''e2 \''e7\''e0\''ea\''ee\''ed \''ee\''e1\''eb\''e0\''f1\''f2\''e8 \''ab\''ce \''f1\''f2\''e0\''f2\''f3\''f1\''e5 \''e4\''e5\''ef\''f3\''f2\''e0\''f2\''e0 \''c7\''e0\''ea\''ee\''ed\''ee\''e4\''e0\''f2\''e5\''eb\''fc\''ed\''ee\''e3\''ee \''d1\''ee\''e1\''f0\''e0\''ed\''e8\''ff \''ee\''e1\''eb\''e0\''f1\''f2\''e8\''bb\par
\pard\qj\b0\fs24
\''c8\''e7\''ec\''e5\''ed\''e5\''ed\''e8\''ff \''f3\''f2\''ee\''f7\''ed\''ff\''fe\''f2 \''ef\''ee\''f0\''ff\''e4\''ee\''ea \''ee\''f2\''f7\''b8\''f2\''e0 \''e4\''e5\''ef\''f3\''f2\''e0\''f2\''e0 \''ef\''e5\''f0\''e5\''e4 \''e8\''e7\''e1\''e8\''f0\''e0\''f2\''e5\''eb\''ff\''ec\''e8 \''e8 \''f1\''f0\''ee\''ea\''e8 \''f0\''e0\''f1\''f1\''ec\''ee\''f2\''f0\''e5\''ed\''e8\''ff \''e4\''e5\''ef\''f3\''f2\''e0\''f2\''f1\''ea\''e8\''f5 \''e7\''e0\''ef\''f0\''ee\''f1\''ee\''e2.\par
\b \''ca\''f2\''ee \''e2\''ed\''ee\''f1\''e8\''f2:\b0  \''ea\''ee\''ec\''e8\''f2\''e5\''f2 \''ef\''ee \''e7\''e0\''ea\''ee\''ed\''ee\''e4\''e0\''f2\''e5\''eb\''fc\''f1\''f2\''e2\''f3 \''e8 \''ec\''e5\''f1\''f2\''ed\''ee\''ec\''f3 \''f1\''e0\''ec\''ee\''f3\''ef\''f0\''e0\''e2\''eb\''e5\''ed\''e8\''fe\par
}', 0 FROM zasedanie;

-- Вопрос 3: Об отчёте контрольно-счётной палаты области за прошедший год
INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv)
SELECT MAX(id), 0, 3, 4, 'Вопрос 3', '{\rtf1\ansi\ansicpg1251\deff0\deflang1049{\fonttbl{\f0\fswiss\fcharset204 Arial;}}
\viewkind4\uc1\pard\qc\b\f0\fs28 \''ce\''e1 \''ee\''f2\''f7\''b8\''f2\''e5 \''ea\''ee\''ed\''f2\''f0\''ee\''eb\''fc\''ed\''ee-\''f1\''f7\''b8\''f2\''ed\''ee\''e9 \''ef\''e0\''eb\''e0\''f2\''fb \''ee\''e1\''eb\''e0\''f1\''f2\''e8 \''e7\''e0 \''ef\''f0\''ee\''f8\''e5\''e4\''f8\''e8\''e9 \''e3\''ee\''e4\par
\pard\qj\b0\fs24
\''ce\''f2\''f7\''b8\''f2 \''ef\''f0\''e8\''ed\''e8\''ec\''e0\''e5\''f2\''f1\''ff \''ea \''f1\''e2\''e5\''e4\''e5\''ed\''e8\''fe. \''cf\''e0\''eb\''e0\''f2\''e5 \''ef\''f0\''e5\''e4\''eb\''ee\''e6\''e5\''ed\''ee \''ed\''e0\''ef\''f0\''e0\''e2\''e8\''f2\''fc \''f0\''e5\''e7\''f3\''eb\''fc\''f2\''e0\''f2\''fb \''ef\''f0\''ee\''e2\''e5\''f0\''ee\''ea \''e2 \''ef\''f0\''ee\''f4\''e8\''eb\''fc\''ed\''fb\''e5 \''ea\''ee\''ec\''e8\''f2\''e5\''f2\''fb.\par
}', 0 FROM zasedanie;

-- Вопрос 4: О назначении мировых судей
--   Кто вносит: комитет по законности и правопорядку
INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv)
SELECT MAX(id), 0, 4, 5, 'Вопрос 4', '{\rtf1\ansi\ansicpg1251\deff0\deflang1049{\fonttbl{\f0\fswiss\fcharset204 Arial;}}
\viewkind4\uc1\pard\qc\b\f0\fs28 \''ce \''ed\''e0\''e7\''ed\''e0\''f7\''e5\''ed\''e8\''e8 \''ec\''e8\''f0\''ee\''e2\''fb\''f5 \''f1\''f3\''e4\''e5\''e9\par
\pard\qj\b0\fs24
\''cf\''f0\''e5\''e4\''f1\''f2\''e0\''e2\''eb\''e5\''ed\''fb \''ea\''e0\''ed\''e4\''e8\''e4\''e0\''f2\''f3\''f0\''fb \''ed\''e0 \''e4\''ee\''eb\''e6\''ed\''ee\''f1\''f2\''e8 \''ec\''e8\''f0\''ee\''e2\''fb\''f5 \''f1\''f3\''e4\''e5\''e9 \''f2\''f0\''b8\''f5 \''f1\''f3\''e4\''e5\''e1\''ed\''fb\''f5 \''f3\''f7\''e0\''f1\''f2\''ea\''ee\''e2.\par
\b \''ca\''f2\''ee \''e2\''ed\''ee\''f1\''e8\''f2:\b0  \''ea\''ee\''ec\''e8\''f2\''e5\''f2 \''ef\''ee \''e7\''e0\''ea\''ee\''ed\''ed\''ee\''f1\''f2\''e8 \''e8 \''ef\''f0\''e0\''e2\''ee\''ef\''ee\''f0\''ff\''e4\''ea\''f3\par
}', 0 FROM zasedanie;

-- Доп. вопрос 1: О награждении Почётной грамотой Законодательного Собрания области
--   Кто вносит: председатель Законодательного Собрания
INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv)
SELECT MAX(id), 1, 1, 6, 'Доп. вопрос 1', '{\rtf1\ansi\ansicpg1251\deff0\deflang1049{\fonttbl{\f0\fswiss\fcharset204 Arial;}}
\viewkind4\uc1\pard\qc\b\f0\fs28 \''ce \''ed\''e0\''e3\''f0\''e0\''e6\''e4\''e5\''ed\''e8\''e8 \''cf\''ee\''f7\''b8\''f2\''ed\''ee\''e9 \''e3\''f0\''e0\''ec\''ee\''f2\''ee\''e9 \''c7\''e0\''ea\''ee\''ed\''ee\''e4\''e0\''f2\''e5\''eb\''fc\''ed\''ee\''e3\''ee \''d1\''ee\''e1\''f0\''e0\''ed\''e8\''ff \''ee\''e1\''eb\''e0\''f1\''f2\''e8\par
\pard\qj\b0\fs24
\''c7\''e0 \''ec\''ed\''ee\''e3\''ee\''eb\''e5\''f2\''ed\''e8\''e9 \''e4\''ee\''e1\''f0\''ee\''f1\''ee\''e2\''e5\''f1\''f2\''ed\''fb\''e9 \''f2\''f0\''f3\''e4 \''e8 \''e2\''ea\''eb\''e0\''e4 \''e2 \''f0\''e0\''e7\''e2\''e8\''f2\''e8\''e5 \''ee\''e1\''eb\''e0\''f1\''f2\''e8.\par
\b \''ca\''f2\''ee \''e2\''ed\''ee\''f1\''e8\''f2:\b0  \''ef\''f0\''e5\''e4\''f1\''e5\''e4\''e0\''f2\''e5\''eb\''fc \''c7\''e0\''ea\''ee\''ed\''ee\''e4\''e0\''f2\''e5\''eb\''fc\''ed\''ee\''e3\''ee \''d1\''ee\''e1\''f0\''e0\''ed\''e8\''ff\par
}', 0 FROM zasedanie;

-- Доп. вопрос 2: О плане работы Законодательного Собрания на следующий квартал
INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv)
SELECT MAX(id), 1, 2, 7, 'Доп. вопрос 2', '{\rtf1\ansi\ansicpg1251\deff0\deflang1049{\fonttbl{\f0\fswiss\fcharset204 Arial;}}
\viewkind4\uc1\pard\qc\b\f0\fs28 \''ce \''ef\''eb\''e0\''ed\''e5 \''f0\''e0\''e1\''ee\''f2\''fb \''c7\''e0\''ea\''ee\''ed\''ee\''e4\''e0\''f2\''e5\''eb\''fc\''ed\''ee\''e3\''ee \''d1\''ee\''e1\''f0\''e0\''ed\''e8\''ff \''ed\''e0 \''f1\''eb\''e5\''e4\''f3\''fe\''f9\''e8\''e9 \''ea\''e2\''e0\''f0\''f2\''e0\''eb\par
\pard\qj\b0\fs24
\''cf\''eb\''e0\''ed \''f1\''ee\''f1\''f2\''e0\''e2\''eb\''e5\''ed \''ef\''ee \''ef\''f0\''e5\''e4\''eb\''ee\''e6\''e5\''ed\''e8\''ff\''ec \''ea\''ee\''ec\''e8\''f2\''e5\''f2\''ee\''e2 \''e8 \''e4\''e5\''ef\''f3\''f2\''e0\''f2\''f1\''ea\''e8\''f5 \''ee\''e1\''fa\''e5\''e4\''e8\''ed\''e5\''ed\''e8\''e9.\par
}', 0 FROM zasedanie;
GO

-- Voting rules proposed for some items, in the item's own order.
INSERT INTO povestka_regim (ord,id_povestka,id_regim)
SELECT 1, povestka.id, regim_golos.id FROM povestka, regim_golos
WHERE povestka.id_zasedanie = (SELECT MAX(id) FROM zasedanie) AND povestka.opisanie = 'Вопрос 1' AND regim_golos.opisanie = 'Принятие закона';
INSERT INTO povestka_regim (ord,id_povestka,id_regim)
SELECT 2, povestka.id, regim_golos.id FROM povestka, regim_golos
WHERE povestka.id_zasedanie = (SELECT MAX(id) FROM zasedanie) AND povestka.opisanie = 'Вопрос 1' AND regim_golos.opisanie = 'Процедурные вопросы';
INSERT INTO povestka_regim (ord,id_povestka,id_regim)
SELECT 1, povestka.id, regim_golos.id FROM povestka, regim_golos
WHERE povestka.id_zasedanie = (SELECT MAX(id) FROM zasedanie) AND povestka.opisanie = 'Вопрос 2' AND regim_golos.opisanie = 'Принятие закона';
INSERT INTO povestka_regim (ord,id_povestka,id_regim)
SELECT 1, povestka.id, regim_golos.id FROM povestka, regim_golos
WHERE povestka.id_zasedanie = (SELECT MAX(id) FROM zasedanie) AND povestka.opisanie = 'Вопрос 4' AND regim_golos.opisanie = 'Принятие постановления';
INSERT INTO povestka_regim (ord,id_povestka,id_regim)
SELECT 1, povestka.id, regim_golos.id FROM povestka, regim_golos
WHERE povestka.id_zasedanie = (SELECT MAX(id) FROM zasedanie) AND povestka.opisanie = 'Доп. вопрос 1' AND regim_golos.opisanie = 'Принятие постановления';
GO

-- One document for the first main question; voter-sql --demo writes the PDF itself into
-- docs/<put> beside the program.
INSERT INTO faili (id_povestka,fail,opisanie,put)
SELECT id, 'Проект закона.pdf', '01 Проект закона об областном бюджете', '$(DATEFOLDER)\1\' FROM povestka
WHERE id_zasedanie = (SELECT MAX(id) FROM zasedanie) AND opisanie = 'Вопрос 1';
GO
