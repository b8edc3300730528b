-- Sample hall state for the statement catalogue (T-SQL; loaded through the connection into
-- a fresh hall database, so every key below is known):
--   deputies 1 Иванов (seat 01), 2 Петров (seat 02, chairman), 3 Сидорова (seat 03),
--            4 Кузнецов (seat 04, no patronymic), 5 Смирнов (no seat)
--   meetings 1 (5 March 2014, closed), 2 (20 March 2014, open), 3 (never opened, no items)
--   items    1..3 of meeting 1; 4..6 of meeting 2, item 5 active, item 4 active earlier today
--   periods  1, 2 of meeting 1 (closed); 3 of meeting 2 (open)
--   votes    1, 2 in meeting 1 (period 1); 3 in meeting 2 (period 3, running: mode 2)
--   speaker requests 1 (seat 03), 2 (seat 01)

INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Иванов','Иван','Иванович');
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Петров','Пётр','Петрович');
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Сидорова','Анна','Сергеевна');
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Кузнецов','Олег','');
INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Смирнов','Алексей','Викторович');
INSERT INTO sostav (id_deputat,id_mesto,chairman) VALUES (1,1,0);
INSERT INTO sostav (id_deputat,id_mesto,chairman) VALUES (2,2,1);
INSERT INTO sostav (id_deputat,id_mesto,chairman) VALUES (3,3,0);
INSERT INTO sostav (id_deputat,id_mesto,chairman) VALUES (4,4,0);

INSERT INTO zasedanie (data,opisanie,vremya,start,stop) VALUES ('20140305','Заседание № 1','00:00:00','20140305 10:00','20140305 12:30');
INSERT INTO zasedanie (data,opisanie,vremya,start) VALUES ('20140320','Заседание № 2','00:00:00','20140320 09:30');
INSERT INTO zasedanie (data,opisanie,vremya) VALUES ('20140402','Заседание № 3','00:00:00');

INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv,aktiv_data) VALUES (1,0,0,1,'Вопрос 0','Повестка дня',0,'20140305 10:05');
INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv,aktiv_data) VALUES (1,0,1,2,'Вопрос 1','О бюджете. Кто вносит: Губернатор',0,'20140305 10:10');
INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv,aktiv_data) VALUES (1,1,1,3,'Доп. вопрос 1','О награждении',0,'20140305 11:30');
INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv,aktiv_data) VALUES (2,0,0,1,'Вопрос 0','Повестка',0,GETDATE());
INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv,aktiv_data) VALUES (2,0,1,2,'Вопрос 1','О законе',1,GETDATE());
INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv,aktiv_data) VALUES (2,0,2,3,'Вопрос 2','О плане',0,NULL);

INSERT INTO faili (id_povestka,fail,opisanie,put) VALUES (5,'zakon.pdf','Проект закона','20.03.2014\1\');
INSERT INTO faili (id_povestka,fail,opisanie,put) VALUES (5,'annex.pdf','Приложение','20.03.2014\1\');

INSERT INTO povestka_regim (ord,id_povestka,id_regim) VALUES (1,5,2);
INSERT INTO povestka_regim (ord,id_povestka,id_regim) VALUES (2,5,1);

INSERT INTO sessia_start (id_zasedanie,start,stop) VALUES (1,'20140305 10:01','20140305 12:30');
INSERT INTO sessia_start (id_zasedanie,start,stop) VALUES (1,'20140305 12:30','20140305 12:30');
INSERT INTO sessia_start (id_zasedanie,start) VALUES (2,'20140320 09:31');

INSERT INTO sessia (id_deputat,id_sessia,id_zasedanie) VALUES (1,1,1);
INSERT INTO sessia (id_deputat,id_sessia,id_zasedanie) VALUES (2,1,1);
INSERT INTO sessia (id_deputat,id_sessia,id_zasedanie) VALUES (3,1,1);
INSERT INTO sessia (id_deputat,id_sessia,id_zasedanie) VALUES (4,1,1);
INSERT INTO sessia (id_deputat,id_sessia,id_zasedanie) VALUES (2,2,1);
INSERT INTO sessia (id_deputat,id_sessia,id_zasedanie) VALUES (1,3,2);
INSERT INTO sessia (id_deputat,id_sessia,id_zasedanie) VALUES (2,3,2);
INSERT INTO sessia (id_deputat,id_sessia,id_zasedanie) VALUES (3,3,2);
INSERT INTO sessia (id_deputat,id_sessia,id_zasedanie) VALUES (4,-1,2);

INSERT INTO golosovanie (data,regim,tip,vid,isbrano,prisutstvuet,regim_polsov,nuzno,zak,id_povestka,id_sessia) VALUES ('20140305 10:15','Большинство от присутствующих',0,0,27,4,'Процедурные вопросы',3,27,2,1);
INSERT INTO golosovanie (data,regim,tip,vid,isbrano,prisutstvuet,regim_polsov,nuzno,zak,id_povestka,id_sessia) VALUES ('20140305 11:40','Большинство от установленного числа',0,1,27,4,'Принятие закона',14,27,3,1);
INSERT INTO golosovanie (data,regim,tip,vid,isbrano,prisutstvuet,regim_polsov,nuzno,zak,id_povestka,id_sessia) VALUES ('20140320 10:00','Большинство от присутствующих',0,2,27,3,'Процедурные вопросы',2,27,5,3);

INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (1,2,1,1);
INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (2,2,1,1);
INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (3,2,2,1);
INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (1,3,3,2);
INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (1,5,1,3);

INSERT INTO proshu_slovo (id_mesto) VALUES (3);
INSERT INTO proshu_slovo (id_mesto) VALUES (1);

UPDATE regim SET nomer=2,param1=3,param2=25;
UPDATE mesto SET connected=1, podkl='20140320 10:00:00' WHERE nomer='01';
