-- SQL Server: the hall's server logins and their database users. Run once, after mssql.sql,
-- in the hall database, as a login that may create logins and users (sysadmin, or
-- securityadmin together with db_owner of the database), for example:
--   sqlcmd -S host\instance -d voter -f 65001 -b -i mssql-logins.sql
--          -v Admin1Password="..." Admin2Password="..." Admin3Password="..."
-- In SSMS: switch on Query > SQLCMD Mode and put three ":setvar Admin1Password ..." lines
-- (and the same for admin2, admin3) above the script.
--
-- Logins:
--   "01".."27"       one per seat; the password is the login, because a workstation started
--                    with arguments (and the restart service's database check) connects with
--                    the login as password;
--   "watcher"        the hall's information screen, password "watcher" for the same reason;
--   admin1..admin3   the operator consoles; the operators type these passwords in the
--                    connection dialog. No single quotes in them.
-- CHECK_POLICY = OFF because the seat passwords are two digits. The server must accept SQL
-- Server authentication (mixed mode).
--
-- Every login becomes a database user in one group role, with the rights its workstations
-- need and no more:
--   voter_operators  (admin...) read and write on all tables, EXECUTE on the two functions;
--   voter_seats      ("01".."27") read; INSERT/DELETE on otvet, sessia, proshu_slovo and
--                    UPDATE of mesto.connected and mesto.podkl, each only on the seat's own
--                    rows (row-level security: the block predicates of voter_prava below);
--                    the seat holding the chairman's assignment (sostav.chairman = 1) may
--                    also delete other seats' speaker requests;
--   voter_watchers   ("watcher") read; the heartbeat statement, which changes no row.
-- A refused row fails with error 33504, a refused table with 229. Row-level security needs
-- SQL Server 2016 or later. Members of the old all-rights role voter_hall are moved out.
-- Running the script again adds only what is missing; it never changes a password (use
-- ALTER LOGIN [admin1] WITH PASSWORD = '...' for that).

SET NOCOUNT ON;

IF OBJECT_ID(N'dbo.regim', N'U') IS NULL OR OBJECT_ID(N'dbo.mnogoimen', N'FN') IS NULL
BEGIN
    RAISERROR(N'Run this script in the hall database, after mssql.sql (sqlcmd -d <database>).', 16, 1);
    RETURN;
END;

DECLARE @logins TABLE (login sysname NOT NULL PRIMARY KEY, password nvarchar(128) NOT NULL);
INSERT INTO @logins (login, password) VALUES
    (N'admin1', N'$(Admin1Password)'),
    (N'admin2', N'$(Admin2Password)'),
    (N'admin3', N'$(Admin3Password)'),
    (N'watcher', N'watcher');
DECLARE @n int = 1, @seat sysname;
WHILE @n <= 27
BEGIN
    SET @seat = RIGHT(N'0' + CAST(@n AS nvarchar(2)), 2);
    INSERT INTO @logins (login, password) VALUES (@seat, @seat);
    SET @n = @n + 1;
END;

-- Run outside SQLCMD mode, the operators' passwords would still be the variable references.
IF EXISTS (SELECT 1 FROM @logins WHERE password = N'' OR LEFT(password, 2) = N'$' + N'(')
BEGIN
    RAISERROR(N'Give the operators'' passwords as sqlcmd variables Admin1Password, Admin2Password and Admin3Password (sqlcmd -v, or :setvar in SSMS SQLCMD Mode).', 16, 1);
    RETURN;
END;

IF DATABASE_PRINCIPAL_ID(N'voter_operators') IS NULL CREATE ROLE voter_operators;
IF DATABASE_PRINCIPAL_ID(N'voter_seats') IS NULL CREATE ROLE voter_seats;
IF DATABASE_PRINCIPAL_ID(N'voter_watchers') IS NULL CREATE ROLE voter_watchers;
IF NOT EXISTS (SELECT 1 FROM sys.database_role_members
               WHERE role_principal_id = DATABASE_PRINCIPAL_ID(N'db_datareader')
                 AND member_principal_id = DATABASE_PRINCIPAL_ID(N'voter_operators'))
    ALTER ROLE db_datareader ADD MEMBER voter_operators;
IF NOT EXISTS (SELECT 1 FROM sys.database_role_members
               WHERE role_principal_id = DATABASE_PRINCIPAL_ID(N'db_datawriter')
                 AND member_principal_id = DATABASE_PRINCIPAL_ID(N'voter_operators'))
    ALTER ROLE db_datawriter ADD MEMBER voter_operators;
GRANT EXECUTE ON dbo.mnogoimen TO voter_operators;
GRANT EXECUTE ON dbo.mnogoimen2 TO voter_operators;
REVOKE EXECUTE ON dbo.mnogoimen FROM public;
REVOKE EXECUTE ON dbo.mnogoimen2 FROM public;
-- The vote journal is written only by the tables' triggers (ownership chaining lets them);
-- nobody of the hall changes it by hand.
DENY INSERT, UPDATE, DELETE ON dbo.zhurnal TO voter_operators, voter_seats, voter_watchers;

GRANT SELECT ON SCHEMA::dbo TO voter_seats, voter_watchers;
GRANT INSERT, DELETE ON dbo.otvet TO voter_seats;
GRANT INSERT, DELETE ON dbo.sessia TO voter_seats;
GRANT INSERT, DELETE ON dbo.proshu_slovo TO voter_seats;
GRANT UPDATE (connected, podkl) ON dbo.mesto TO voter_seats, voter_watchers;
GO

-- Row rights: which rows a seat may write, decided at the write from its seat assignment.
IF SCHEMA_ID(N'voter_prava') IS NULL EXEC (N'CREATE SCHEMA voter_prava');
GO
-- The policy binds its functions: it goes first and comes back after them.
IF EXISTS (SELECT 1 FROM sys.security_policies WHERE name = N'zal' AND schema_id = SCHEMA_ID(N'voter_prava'))
    DROP SECURITY POLICY voter_prava.zal;
GO
CREATE OR ALTER FUNCTION voter_prava.svoi_deputat(@id_deputat int)
RETURNS TABLE WITH SCHEMABINDING AS RETURN
    SELECT 1 AS dopusk
    WHERE IS_MEMBER(N'voter_operators') = 1 OR IS_MEMBER(N'db_owner') = 1
       OR EXISTS (SELECT 1 FROM dbo.sostav s JOIN dbo.mesto m ON m.id = s.id_mesto
                  WHERE m.nomer = USER_NAME() AND s.id_deputat = @id_deputat);
GO
CREATE OR ALTER FUNCTION voter_prava.svoe_mesto(@id_mesto int)
RETURNS TABLE WITH SCHEMABINDING AS RETURN
    SELECT 1 AS dopusk
    WHERE IS_MEMBER(N'voter_operators') = 1 OR IS_MEMBER(N'db_owner') = 1
       OR EXISTS (SELECT 1 FROM dbo.mesto m WHERE m.nomer = USER_NAME() AND m.id = @id_mesto);
GO
CREATE OR ALTER FUNCTION voter_prava.zapros_udalenie(@id_mesto int)
RETURNS TABLE WITH SCHEMABINDING AS RETURN
    SELECT 1 AS dopusk
    WHERE IS_MEMBER(N'voter_operators') = 1 OR IS_MEMBER(N'db_owner') = 1
       OR EXISTS (SELECT 1 FROM dbo.mesto m WHERE m.nomer = USER_NAME() AND m.id = @id_mesto)
       OR EXISTS (SELECT 1 FROM dbo.sostav s JOIN dbo.mesto m ON m.id = s.id_mesto
                  WHERE m.nomer = USER_NAME() AND s.chairman = 1);
GO
CREATE OR ALTER FUNCTION voter_prava.svoya_stroka(@nomer varchar(50))
RETURNS TABLE WITH SCHEMABINDING AS RETURN
    SELECT 1 AS dopusk
    WHERE IS_MEMBER(N'voter_operators') = 1 OR IS_MEMBER(N'db_owner') = 1 OR @nomer = USER_NAME();
GO
REVOKE EXECUTE ON SCHEMA::voter_prava FROM public;
GO
CREATE SECURITY POLICY voter_prava.zal
    ADD BLOCK PREDICATE voter_prava.svoi_deputat(id_deputat) ON dbo.otvet AFTER INSERT,
    ADD BLOCK PREDICATE voter_prava.svoi_deputat(id_deputat) ON dbo.otvet BEFORE DELETE,
    ADD BLOCK PREDICATE voter_prava.svoi_deputat(id_deputat) ON dbo.sessia AFTER INSERT,
    ADD BLOCK PREDICATE voter_prava.svoi_deputat(id_deputat) ON dbo.sessia BEFORE DELETE,
    ADD BLOCK PREDICATE voter_prava.svoe_mesto(id_mesto) ON dbo.proshu_slovo AFTER INSERT,
    ADD BLOCK PREDICATE voter_prava.zapros_udalenie(id_mesto) ON dbo.proshu_slovo BEFORE DELETE,
    ADD BLOCK PREDICATE voter_prava.svoya_stroka(nomer) ON dbo.mesto BEFORE UPDATE,
    ADD BLOCK PREDICATE voter_prava.svoya_stroka(nomer) ON dbo.mesto AFTER UPDATE
    WITH (STATE = ON);
GO

SET NOCOUNT ON;
-- The variables of the first batch end with it: the logins are listed again.
DECLARE @logins TABLE (login sysname NOT NULL PRIMARY KEY, password nvarchar(128) NOT NULL);
INSERT INTO @logins (login, password) VALUES
    (N'admin1', N'$(Admin1Password)'), (N'admin2', N'$(Admin2Password)'), (N'admin3', N'$(Admin3Password)'),
    (N'watcher', N'watcher');
DECLARE @n int = 1, @seat nvarchar(2);
WHILE @n <= 27
BEGIN
    SET @seat = RIGHT(N'0' + CAST(@n AS nvarchar(2)), 2);
    INSERT INTO @logins (login, password) VALUES (@seat, @seat);
    SET @n += 1;
END;

DECLARE @login sysname, @password nvarchar(128), @sql nvarchar(max);
DECLARE logins CURSOR LOCAL FAST_FORWARD FOR SELECT login, password FROM @logins ORDER BY login;
OPEN logins;
FETCH NEXT FROM logins INTO @login, @password;
WHILE @@FETCH_STATUS = 0
BEGIN
    IF NOT EXISTS (SELECT 1 FROM sys.server_principals WHERE name = @login)
    BEGIN
        SET @sql = N'CREATE LOGIN ' + QUOTENAME(@login) + N' WITH PASSWORD = ' + QUOTENAME(@password, N'''')
                 + N', CHECK_POLICY = OFF, CHECK_EXPIRATION = OFF, DEFAULT_DATABASE = ' + QUOTENAME(DB_NAME()) + N';';
        EXEC sp_executesql @sql;
    END;
    IF DATABASE_PRINCIPAL_ID(@login) IS NULL
    BEGIN
        SET @sql = N'CREATE USER ' + QUOTENAME(@login) + N' FOR LOGIN ' + QUOTENAME(@login) + N';';
        EXEC sp_executesql @sql;
    END;
    DECLARE @group sysname = CASE WHEN @login LIKE N'admin%' THEN N'voter_operators'
                                  WHEN @login = N'watcher' THEN N'voter_watchers'
                                  ELSE N'voter_seats' END;
    IF NOT EXISTS (SELECT 1 FROM sys.database_role_members
                   WHERE role_principal_id = DATABASE_PRINCIPAL_ID(@group)
                     AND member_principal_id = DATABASE_PRINCIPAL_ID(@login))
    BEGIN
        SET @sql = N'ALTER ROLE ' + QUOTENAME(@group) + N' ADD MEMBER ' + QUOTENAME(@login) + N';';
        EXEC sp_executesql @sql;
    END;
    IF DATABASE_PRINCIPAL_ID(N'voter_hall') IS NOT NULL
       AND EXISTS (SELECT 1 FROM sys.database_role_members
                   WHERE role_principal_id = DATABASE_PRINCIPAL_ID(N'voter_hall')
                     AND member_principal_id = DATABASE_PRINCIPAL_ID(@login))
    BEGIN
        SET @sql = N'ALTER ROLE voter_hall DROP MEMBER ' + QUOTENAME(@login) + N';';
        EXEC sp_executesql @sql;
    END;
    FETCH NEXT FROM logins INTO @login, @password;
END;
CLOSE logins;
DEALLOCATE logins;

PRINT N'Logins and users of the hall are in place.';
GO
