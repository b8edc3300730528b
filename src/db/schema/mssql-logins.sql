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
-- Every login becomes a database user in the role voter_hall: read and write on all tables
-- (db_datareader, db_datawriter) and EXECUTE on the two functions the protocol calls.
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

IF DATABASE_PRINCIPAL_ID(N'voter_hall') IS NULL
    CREATE ROLE voter_hall;
IF NOT EXISTS (SELECT 1 FROM sys.database_role_members
               WHERE role_principal_id = DATABASE_PRINCIPAL_ID(N'db_datareader')
                 AND member_principal_id = DATABASE_PRINCIPAL_ID(N'voter_hall'))
    ALTER ROLE db_datareader ADD MEMBER voter_hall;
IF NOT EXISTS (SELECT 1 FROM sys.database_role_members
               WHERE role_principal_id = DATABASE_PRINCIPAL_ID(N'db_datawriter')
                 AND member_principal_id = DATABASE_PRINCIPAL_ID(N'voter_hall'))
    ALTER ROLE db_datawriter ADD MEMBER voter_hall;
GRANT EXECUTE ON dbo.mnogoimen TO voter_hall;
GRANT EXECUTE ON dbo.mnogoimen2 TO voter_hall;
-- The vote journal is written only by the tables' triggers (ownership chaining lets them);
-- nobody of the hall changes it by hand.
DENY INSERT, UPDATE, DELETE ON dbo.zhurnal TO voter_hall;

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
    IF NOT EXISTS (SELECT 1 FROM sys.database_role_members
                   WHERE role_principal_id = DATABASE_PRINCIPAL_ID(N'voter_hall')
                     AND member_principal_id = DATABASE_PRINCIPAL_ID(@login))
    BEGIN
        SET @sql = N'ALTER ROLE voter_hall ADD MEMBER ' + QUOTENAME(@login) + N';';
        EXEC sp_executesql @sql;
    END;
    FETCH NEXT FROM logins INTO @login, @password;
END;
CLOSE logins;
DEALLOCATE logins;

PRINT N'Logins and users of the hall are in place.';
GO
