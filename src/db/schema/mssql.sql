-- SQL Server: tables, server-side functions and reference rows of the hall database.
-- Kept in step with sqlite.sql. Run in the (empty) database of the hall, for example:
--   sqlcmd -S host\instance -d voter -f 65001 -b -i mssql.sql
-- (-f 65001: the script is UTF-8 without a byte-order mark; -b: stop at the first error).
-- The server logins and database users come next, from mssql-logins.sql.
-- The database needs a Cyrillic collation (e.g. Cyrillic_General_CI_AS): the workstations
-- send their texts as plain '...' literals.
--
-- CREATE DATABASE voter COLLATE Cyrillic_General_CI_AS;
-- GO
-- USE voter;
-- GO

SET NOCOUNT ON;
GO

CREATE TABLE dbo.zasedanie (
    id        int IDENTITY(1,1) NOT NULL CONSTRAINT PK_zasedanie PRIMARY KEY,
    data      date NULL,
    opisanie  nvarchar(max) NULL,
    vremya    time(0) NULL,
    start     datetime NULL,
    stop      datetime NULL
);

-- No cascade: deleting a meeting that still has items fails with error 547.
CREATE TABLE dbo.povestka (
    id            int IDENTITY(1,1) NOT NULL CONSTRAINT PK_povestka PRIMARY KEY,
    id_zasedanie  int NULL CONSTRAINT FK_povestka_zasedanie REFERENCES dbo.zasedanie (id),
    tip           int NULL,
    nomer         int NULL,
    ord           int NULL,
    opisanie      nvarchar(max) NULL,
    info          nvarchar(max) NULL,
    aktiv         int NULL CONSTRAINT DF_povestka_aktiv DEFAULT 0,
    aktiv_data    datetime NULL
);

CREATE TABLE dbo.faili (
    id           int IDENTITY(1,1) NOT NULL CONSTRAINT PK_faili PRIMARY KEY,
    id_povestka  int NULL,
    fail         nvarchar(255) NULL,
    opisanie     nvarchar(255) NULL,
    put          nvarchar(255) NULL
);

CREATE TABLE dbo.regim_golos (
    id        int IDENTITY(1,1) NOT NULL CONSTRAINT PK_regim_golos PRIMARY KEY,
    opisanie  nvarchar(255) NULL,
    regim     nvarchar(255) NULL,
    ord       int NULL
);

CREATE TABLE dbo.povestka_regim (
    id           int IDENTITY(1,1) NOT NULL CONSTRAINT PK_povestka_regim PRIMARY KEY,
    id_povestka  int NULL,
    id_regim     int NULL,
    ord          int NULL
);

CREATE TABLE dbo.golosovanie (
    id            int IDENTITY(1,1) NOT NULL CONSTRAINT PK_golosovanie PRIMARY KEY,
    data          datetime NULL,
    regim         nvarchar(255) NULL,
    tip           int NULL,
    vid           int NULL,
    isbrano       int NULL,
    prisutstvuet  int NULL,
    regim_polsov  nvarchar(255) NULL,
    nuzno         int NULL,
    zak           int NULL,
    id_povestka   int NULL,
    id_sessia     int NULL
);

CREATE TABLE dbo.otvet (
    id              int IDENTITY(1,1) NOT NULL CONSTRAINT PK_otvet PRIMARY KEY,
    id_deputat      int NULL,
    id_povestka     int NULL,
    result          int NULL,
    id_golosovanie  int NULL
);

CREATE TABLE dbo.sessia_start (
    id            int IDENTITY(1,1) NOT NULL CONSTRAINT PK_sessia_start PRIMARY KEY,
    id_zasedanie  int NULL,
    start         datetime NULL CONSTRAINT DF_sessia_start_start DEFAULT GETDATE(),
    stop          datetime NULL
);

-- Presence records carry no key of their own: only their three columns are ever used.
CREATE TABLE dbo.sessia (
    id_deputat    int NULL,
    id_sessia     int NULL,
    id_zasedanie  int NULL
);

CREATE TABLE dbo.proshu_slovo (
    id        int IDENTITY(1,1) NOT NULL CONSTRAINT PK_proshu_slovo PRIMARY KEY,
    id_mesto  int NULL
);

CREATE TABLE dbo.deputat (
    id         int IDENTITY(1,1) NOT NULL CONSTRAINT PK_deputat PRIMARY KEY,
    familia    nvarchar(100) NULL,
    imya       nvarchar(100) NULL,
    otchestvo  nvarchar(100) NULL
);

CREATE TABLE dbo.mesto (
    id         int IDENTITY(1,1) NOT NULL CONSTRAINT PK_mesto PRIMARY KEY,
    nomer      nvarchar(50) NULL,
    connected  bit NULL CONSTRAINT DF_mesto_connected DEFAULT 0,
    podkl      datetime NULL
);

CREATE TABLE dbo.sostav (
    id          int IDENTITY(1,1) NOT NULL CONSTRAINT PK_sostav PRIMARY KEY,
    id_deputat  int NULL,
    id_mesto    int NULL,
    chairman    bit NULL CONSTRAINT DF_sostav_chairman DEFAULT 0
);

CREATE TABLE dbo.konstanti (
    opisanie   nvarchar(255) NOT NULL CONSTRAINT PK_konstanti PRIMARY KEY,
    znachenie  nvarchar(255) NULL
);

-- The mode row: exactly one row, updated without WHERE.
CREATE TABLE dbo.regim (
    nomer   int NULL,
    param1  int NULL,
    param2  int NULL
);
GO

-- Indexes for the statements the terminals and the console repeat every second.
CREATE INDEX sessia_sessia ON dbo.sessia (id_sessia, id_deputat);
CREATE INDEX sessia_zasedanie ON dbo.sessia (id_zasedanie);
CREATE INDEX otvet_golosovanie ON dbo.otvet (id_golosovanie, id_deputat);
CREATE INDEX povestka_zasedanie ON dbo.povestka (id_zasedanie, ord);
CREATE INDEX faili_povestka ON dbo.faili (id_povestka);
CREATE INDEX povestka_regim_povestka ON dbo.povestka_regim (id_povestka, ord);
CREATE INDEX golosovanie_sessia ON dbo.golosovanie (id_sessia);
CREATE INDEX golosovanie_povestka ON dbo.golosovanie (id_povestka);
CREATE INDEX sessia_start_zasedanie ON dbo.sessia_start (id_zasedanie);
CREATE INDEX sostav_mesto ON dbo.sostav (id_mesto);
CREATE INDEX sostav_deputat ON dbo.sostav (id_deputat);
CREATE INDEX mesto_nomer ON dbo.mesto (nomer);
CREATE INDEX proshu_slovo_mesto ON dbo.proshu_slovo (id_mesto);
GO

-- Deputies whose ballot in vote @golos has the code @result, as one text:
-- "Иванов И. П., Петров С. А." ordered by surname, first name, patronymic; an empty name
-- part is left out; '' when there is none. A cursor keeps the order defined (the
-- SELECT @s = @s + ... idiom has no guaranteed order).
CREATE FUNCTION dbo.mnogoimen (@golos int, @result int)
RETURNS nvarchar(max)
AS
BEGIN
    DECLARE @s nvarchar(max) = N'';
    DECLARE @f nvarchar(100), @i nvarchar(100), @o nvarchar(100), @name nvarchar(max);
    DECLARE names CURSOR LOCAL FAST_FORWARD FOR
        SELECT d.familia, d.imya, d.otchestvo
        FROM dbo.deputat d
        WHERE EXISTS (SELECT 1 FROM dbo.otvet o
                      WHERE o.id_deputat = d.id AND o.id_golosovanie = @golos
                        AND o.result = @result)
        ORDER BY d.familia, d.imya, d.otchestvo;
    OPEN names;
    FETCH NEXT FROM names INTO @f, @i, @o;
    WHILE @@FETCH_STATUS = 0
    BEGIN
        SET @name = CASE WHEN ISNULL(@f, N'') = N'' THEN N'' ELSE @f END;
        IF ISNULL(@i, N'') <> N''
            SET @name = @name + CASE WHEN @name = N'' THEN N'' ELSE N' ' END + LEFT(@i, 1) + N'.';
        IF ISNULL(@o, N'') <> N''
            SET @name = @name + CASE WHEN @name = N'' THEN N'' ELSE N' ' END + LEFT(@o, 1) + N'.';
        SET @s = @s + CASE WHEN @s = N'' THEN N'' ELSE N', ' END + @name;
        FETCH NEXT FROM names INTO @f, @i, @o;
    END;
    CLOSE names;
    DEALLOCATE names;
    RETURN @s;
END;
GO

-- Deputies present in registration period @sessia who have no ballot in vote @golos,
-- written as by dbo.mnogoimen.
CREATE FUNCTION dbo.mnogoimen2 (@golos int, @sessia int)
RETURNS nvarchar(max)
AS
BEGIN
    DECLARE @s nvarchar(max) = N'';
    DECLARE @f nvarchar(100), @i nvarchar(100), @o nvarchar(100), @name nvarchar(max);
    DECLARE names CURSOR LOCAL FAST_FORWARD FOR
        SELECT d.familia, d.imya, d.otchestvo
        FROM dbo.deputat d
        WHERE EXISTS (SELECT 1 FROM dbo.sessia s
                      WHERE s.id_deputat = d.id AND s.id_sessia = @sessia)
          AND NOT EXISTS (SELECT 1 FROM dbo.otvet o
                          WHERE o.id_deputat = d.id AND o.id_golosovanie = @golos)
        ORDER BY d.familia, d.imya, d.otchestvo;
    OPEN names;
    FETCH NEXT FROM names INTO @f, @i, @o;
    WHILE @@FETCH_STATUS = 0
    BEGIN
        SET @name = CASE WHEN ISNULL(@f, N'') = N'' THEN N'' ELSE @f END;
        IF ISNULL(@i, N'') <> N''
            SET @name = @name + CASE WHEN @name = N'' THEN N'' ELSE N' ' END + LEFT(@i, 1) + N'.';
        IF ISNULL(@o, N'') <> N''
            SET @name = @name + CASE WHEN @name = N'' THEN N'' ELSE N' ' END + LEFT(@o, 1) + N'.';
        SET @s = @s + CASE WHEN @s = N'' THEN N'' ELSE N', ' END + @name;
        FETCH NEXT FROM names INTO @f, @i, @o;
    END;
    CLOSE names;
    DEALLOCATE names;
    RETURN @s;
END;
GO

-- Reference rows.
INSERT INTO dbo.regim (nomer, param1, param2) VALUES (-1, 0, 0);

INSERT INTO dbo.mesto (nomer, connected, podkl) VALUES
    (N'01', 0, NULL), (N'02', 0, NULL), (N'03', 0, NULL), (N'04', 0, NULL), (N'05', 0, NULL),
    (N'06', 0, NULL), (N'07', 0, NULL), (N'08', 0, NULL), (N'09', 0, NULL), (N'10', 0, NULL),
    (N'11', 0, NULL), (N'12', 0, NULL), (N'13', 0, NULL), (N'14', 0, NULL), (N'15', 0, NULL),
    (N'16', 0, NULL), (N'17', 0, NULL), (N'18', 0, NULL), (N'19', 0, NULL), (N'20', 0, NULL),
    (N'21', 0, NULL), (N'22', 0, NULL), (N'23', 0, NULL), (N'24', 0, NULL), (N'25', 0, NULL),
    (N'26', 0, NULL), (N'27', 0, NULL);

-- One voting rule for each of the seven decision rules of the vote set-up.
INSERT INTO dbo.regim_golos (opisanie, regim, ord) VALUES
    (N'Процедурные вопросы', N'Большинство от присутствующих', 1),
    (N'Принятие закона', N'Большинство от установленного числа', 2),
    (N'Преодоление отклонения закона', N'2/3 от установленного числа', 3),
    (N'Принятие постановления', N'Большинство от числа избранных', 4),
    (N'Поименное голосование', N'1/3 от установленного числа депутатов', 5),
    (N'Тайное голосование', N'1/3 от присутствующих депутатов', 6),
    (N'Внеочередное заседание', N'1/3 от избранных депутатов', 7);

INSERT INTO dbo.konstanti (opisanie, znachenie) VALUES
    (N'Избрано', N'27'),
    (N'Установлено законом', N'27'),
    (N'Кворум', N'14'),
    (N'Освобожденные места', N'');
GO

-- ==== Vote journal =====================================================================
-- The same chain as in sqlite.sql (see there for the events and their canonical text):
--   hash = lower-case hex SHA-256 over the UTF-8 of (previous hash + zapis).
-- The text is converted to UTF-8 through a _UTF8 collation before HASHBYTES, which needs
-- SQL Server 2019 or later. Date-times enter the text in style 121 (yyyy-mm-dd hh:mi:ss.mmm),
-- as the program reads them back. Appending takes an update lock on the newest journal row,
-- so terminals pressing at once still form one chain.

CREATE TABLE dbo.zhurnal (
    id              int IDENTITY(1,1) PRIMARY KEY,
    tablica         nvarchar(50) NOT NULL,
    deistvie        nchar(1) NOT NULL,
    id_zapisi       int NULL,
    id_golosovanie  int NULL,
    zapis           nvarchar(max) NOT NULL,
    hash            varchar(64) NOT NULL
);
CREATE INDEX zhurnal_golosovanie ON dbo.zhurnal (id_golosovanie, id);
GO

CREATE FUNCTION dbo.zhurnal_pole (@v nvarchar(max)) RETURNS nvarchar(max) AS
BEGIN
    RETURN CASE WHEN @v IS NULL THEN N'\N' ELSE REPLACE(REPLACE(@v, N'\', N'\\'), N'|', N'\|') END;
END
GO

CREATE FUNCTION dbo.zhurnal_sha256 (@t nvarchar(max)) RETURNS varchar(64) AS
BEGIN
    RETURN LOWER(CONVERT(varchar(64), HASHBYTES('SHA2_256', CONVERT(varchar(max), @t COLLATE Latin1_General_100_CI_AS_SC_UTF8)), 2));
END
GO

CREATE PROCEDURE dbo.zhurnal_dobavit @tablica nvarchar(50), @deistvie nchar(1), @id_zapisi int, @id_golosovanie int,
    @zapis nvarchar(max) AS
BEGIN
    SET NOCOUNT ON;
    DECLARE @pred varchar(64) = '';
    SELECT TOP 1 @pred = hash FROM dbo.zhurnal WITH (UPDLOCK, HOLDLOCK) ORDER BY id DESC;
    INSERT INTO dbo.zhurnal (tablica, deistvie, id_zapisi, id_golosovanie, zapis, hash)
    VALUES (@tablica, @deistvie, @id_zapisi, @id_golosovanie, @zapis, dbo.zhurnal_sha256(@pred + @zapis));
END
GO

CREATE TRIGGER dbo.otvet_zhurnal ON dbo.otvet AFTER INSERT, UPDATE, DELETE AS
BEGIN
    SET NOCOUNT ON;
    DECLARE @d nchar(1) = CASE WHEN EXISTS (SELECT 1 FROM inserted)
                               THEN CASE WHEN EXISTS (SELECT 1 FROM deleted) THEN N'U' ELSE N'I' END ELSE N'D' END;
    DECLARE @id int, @g int, @z nvarchar(max);
    DECLARE c CURSOR LOCAL FAST_FORWARD FOR
        SELECT r.id, r.id_golosovanie, N'otvet|' + @d + N'|' + dbo.zhurnal_pole(CAST(r.id AS NVARCHAR(40))) + N'|' + dbo.zhurnal_pole(CAST(r.id_deputat AS NVARCHAR(40))) + N'|' + dbo.zhurnal_pole(CAST(r.id_povestka AS NVARCHAR(40))) + N'|' + dbo.zhurnal_pole(CAST(r.result AS NVARCHAR(40))) + N'|' + dbo.zhurnal_pole(CAST(r.id_golosovanie AS NVARCHAR(40)))
        FROM (SELECT * FROM inserted WHERE @d <> 'D' UNION ALL SELECT * FROM deleted WHERE @d = 'D') r
        ORDER BY 1;
    OPEN c;
    FETCH NEXT FROM c INTO @id, @g, @z;
    WHILE @@FETCH_STATUS = 0
    BEGIN
        EXEC dbo.zhurnal_dobavit N'otvet', @d, @id, @g, @z;
        FETCH NEXT FROM c INTO @id, @g, @z;
    END
    CLOSE c;
    DEALLOCATE c;
END
GO

CREATE TRIGGER dbo.golosovanie_zhurnal ON dbo.golosovanie AFTER INSERT, UPDATE, DELETE AS
BEGIN
    SET NOCOUNT ON;
    DECLARE @d nchar(1) = CASE WHEN EXISTS (SELECT 1 FROM inserted)
                               THEN CASE WHEN EXISTS (SELECT 1 FROM deleted) THEN N'U' ELSE N'I' END ELSE N'D' END;
    DECLARE @id int, @g int, @z nvarchar(max);
    DECLARE c CURSOR LOCAL FAST_FORWARD FOR
        SELECT r.id, r.id, N'golosovanie|' + @d + N'|' + dbo.zhurnal_pole(CAST(r.id AS NVARCHAR(40))) + N'|' + dbo.zhurnal_pole(CONVERT(NVARCHAR(23), r.data, 121)) + N'|' + dbo.zhurnal_pole(r.regim) + N'|' + dbo.zhurnal_pole(CAST(r.tip AS NVARCHAR(40))) + N'|' + dbo.zhurnal_pole(CAST(r.vid AS NVARCHAR(40))) + N'|' + dbo.zhurnal_pole(CAST(r.isbrano AS NVARCHAR(40))) + N'|' + dbo.zhurnal_pole(CAST(r.prisutstvuet AS NVARCHAR(40))) + N'|' + dbo.zhurnal_pole(r.regim_polsov) + N'|' + dbo.zhurnal_pole(CAST(r.nuzno AS NVARCHAR(40))) + N'|' + dbo.zhurnal_pole(CAST(r.zak AS NVARCHAR(40))) + N'|' + dbo.zhurnal_pole(CAST(r.id_povestka AS NVARCHAR(40))) + N'|' + dbo.zhurnal_pole(CAST(r.id_sessia AS NVARCHAR(40)))
        FROM (SELECT * FROM inserted WHERE @d <> 'D' UNION ALL SELECT * FROM deleted WHERE @d = 'D') r
        ORDER BY 1;
    OPEN c;
    FETCH NEXT FROM c INTO @id, @g, @z;
    WHILE @@FETCH_STATUS = 0
    BEGIN
        EXEC dbo.zhurnal_dobavit N'golosovanie', @d, @id, @g, @z;
        FETCH NEXT FROM c INTO @id, @g, @z;
    END
    CLOSE c;
    DEALLOCATE c;
END
GO

-- A vote's result: when the mode row switches the hall to it.
CREATE TRIGGER dbo.regim_zhurnal_itog ON dbo.regim AFTER UPDATE AS
BEGIN
    SET NOCOUNT ON;
    DECLARE @g int = (SELECT TOP 1 i.param1 FROM inserted i, deleted d
                      WHERE i.nomer = 4 AND (d.nomer <> 4 OR d.param1 <> i.param1 OR d.nomer IS NULL OR d.param1 IS NULL)
                        AND EXISTS (SELECT 1 FROM dbo.golosovanie WHERE id = i.param1));
    IF @g IS NULL RETURN;
    DECLARE @z nvarchar(max) = N'golosovanie|R|' + dbo.zhurnal_pole(CAST(@g AS nvarchar(40)))
        + N'|' + CAST((SELECT count(*) FROM dbo.otvet WHERE id_golosovanie = @g AND result = 1) AS nvarchar(40))
        + N'|' + CAST((SELECT count(*) FROM dbo.otvet WHERE id_golosovanie = @g AND result = 2) AS nvarchar(40))
        + N'|' + CAST((SELECT count(*) FROM dbo.otvet WHERE id_golosovanie = @g AND result = 3) AS nvarchar(40))
        + N'|' + CAST((SELECT count(*) FROM dbo.otvet WHERE id_golosovanie = @g) AS nvarchar(40));
    EXEC dbo.zhurnal_dobavit N'golosovanie', N'R', @g, @g, @z;
END
GO

-- Registration periods: insert, change of meeting or start, closing (stop set where it was
-- NULL), opening again, delete. The stop time that every registration rewrites is not journalled.
CREATE TRIGGER dbo.sessia_start_zhurnal ON dbo.sessia_start AFTER INSERT, UPDATE, DELETE AS
BEGIN
    SET NOCOUNT ON;
    DECLARE @id int, @d nchar(1), @z nvarchar(max);
    DECLARE c CURSOR LOCAL FAST_FORWARD FOR
        SELECT r.id, r.d, N'sessia_start|' + r.d + N'|' + dbo.zhurnal_pole(CAST(r.id AS NVARCHAR(40))) + N'|' + dbo.zhurnal_pole(CAST(r.id_zasedanie AS NVARCHAR(40))) + N'|' + dbo.zhurnal_pole(CONVERT(NVARCHAR(23), r.start, 121))
        FROM (SELECT i.id, i.id_zasedanie, i.start, N'I' AS d FROM inserted i WHERE NOT EXISTS (SELECT 1 FROM deleted)
              UNION ALL
              SELECT d.id, d.id_zasedanie, d.start, N'D' FROM deleted d WHERE NOT EXISTS (SELECT 1 FROM inserted)
              UNION ALL
              SELECT i.id, i.id_zasedanie, i.start, N'U' FROM inserted i JOIN deleted d ON d.id = i.id
              WHERE d.id_zasedanie <> i.id_zasedanie OR d.start <> i.start
                 OR (d.id_zasedanie IS NULL AND i.id_zasedanie IS NOT NULL) OR (d.start IS NULL AND i.start IS NOT NULL)) r
        UNION ALL
        SELECT i.id, N'C', N'sessia_start|C|' + dbo.zhurnal_pole(CAST(i.id AS NVARCHAR(40))) + N'|' + dbo.zhurnal_pole(CONVERT(NVARCHAR(23), i.stop, 121)) FROM inserted i JOIN deleted d ON d.id = i.id WHERE d.stop IS NULL AND i.stop IS NOT NULL
        UNION ALL
        SELECT i.id, N'O', N'sessia_start|O|' + dbo.zhurnal_pole(CAST(i.id AS NVARCHAR(40))) FROM inserted i JOIN deleted d ON d.id = i.id WHERE d.stop IS NOT NULL AND i.stop IS NULL
        ORDER BY 1;
    OPEN c;
    FETCH NEXT FROM c INTO @id, @d, @z;
    WHILE @@FETCH_STATUS = 0
    BEGIN
        EXEC dbo.zhurnal_dobavit N'sessia_start', @d, @id, NULL, @z;
        FETCH NEXT FROM c INTO @id, @d, @z;
    END
    CLOSE c;
    DEALLOCATE c;
END
GO

-- Presence records have no key: a change is the old row deleted and the new one inserted.
CREATE TRIGGER dbo.sessia_zhurnal ON dbo.sessia AFTER INSERT, UPDATE, DELETE AS
BEGIN
    SET NOCOUNT ON;
    DECLARE @d nchar(1), @z nvarchar(max);
    DECLARE c CURSOR LOCAL FAST_FORWARD FOR
        SELECT r.k, r.d, N'sessia|' + r.d + N'|' + dbo.zhurnal_pole(CAST(r.id_deputat AS NVARCHAR(40))) + N'|' + dbo.zhurnal_pole(CAST(r.id_sessia AS NVARCHAR(40))) + N'|' + dbo.zhurnal_pole(CAST(r.id_zasedanie AS NVARCHAR(40)))
        FROM (SELECT 1 AS k, N'D' AS d, id_deputat, id_sessia, id_zasedanie FROM deleted
              UNION ALL
              SELECT 2, N'I', id_deputat, id_sessia, id_zasedanie FROM inserted) r
        ORDER BY 1;
    DECLARE @k int;
    OPEN c;
    FETCH NEXT FROM c INTO @k, @d, @z;
    WHILE @@FETCH_STATUS = 0
    BEGIN
        EXEC dbo.zhurnal_dobavit N'sessia', @d, NULL, NULL, @z;
        FETCH NEXT FROM c INTO @k, @d, @z;
    END
    CLOSE c;
    DEALLOCATE c;
END
GO

