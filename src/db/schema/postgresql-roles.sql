-- PostgreSQL: the hall's login roles and what each may do. Run once in the hall database,
-- after its schema, as the database's owner (a superuser or the role that created the
-- tables), with psql:
--
--   psql -h dbhost -d voter -v ON_ERROR_STOP=1 \
--        -v admin1_password=... -v admin2_password=... -v admin3_password=... \
--        -f postgresql-roles.sql
--
-- Roles:
--   voter_operators  group: every right on every table and function of the hall
--   voter_seats      group: reads the hall; writes only its own ballot, presence record,
--                    speaker request and heartbeat; the seat that holds the chairman's
--                    assignment (sostav.chairman = 1) may also clear other seats' requests
--   voter_watchers   group: reads the hall; its heartbeat names no seat and changes nothing
--   "01".."27"       one login per seat, in voter_seats; the password is the login, because
--                    a workstation started with the seat number connects with it (bind each
--                    seat login to its terminal's address in pg_hba.conf, see below)
--   watcher          in voter_watchers, password "watcher" for the same reason
--   admin1..admin3   in voter_operators; passwords from the psql variables above
--
-- Running it again adds only what is missing and puts the rights back as described; it
-- never changes a password (ALTER ROLE ... PASSWORD does).
--
-- Row rights are row-level security policies. A seat's own rows are found through its seat
-- assignment at the moment of the write (functions voter_prava.*, SECURITY DEFINER, so a
-- seat needs no right on anything to use them). The tables' owner is not bound by the
-- policies: do not let workstations connect as the owner.
--
-- pg_hba.conf (the server's client authentication), above any broader "host" line:
--   # operators' consoles, by address
--   host  voter  admin1,admin2,admin3  192.0.2.10/32  scram-sha-256
--   # each seat login only from its own terminal
--   host  voter  "07"                  192.0.2.107/32 scram-sha-256
--   ... one line per seat ...
--   host  voter  watcher               192.0.2.200/32 scram-sha-256
--   # nothing else reaches the hall database
--   host  voter  all                   0.0.0.0/0      reject
-- then "SELECT pg_reload_conf();". Seat passwords are public by the login rule, so for
-- seats the address line is the protection that counts.

\set ON_ERROR_STOP 1

SELECT format('CREATE ROLE %I NOLOGIN', r)
FROM unnest(ARRAY['voter_operators', 'voter_seats', 'voter_watchers']) AS r
WHERE NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = r)
\gexec

SELECT format('CREATE ROLE %I LOGIN PASSWORD %L IN ROLE voter_seats', s, s)
FROM (SELECT to_char(n, 'FM00') AS s FROM generate_series(1, 27) AS n) seats
WHERE NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = s)
\gexec

SELECT 'CREATE ROLE watcher LOGIN PASSWORD ''watcher'' IN ROLE voter_watchers'
WHERE NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'watcher')
\gexec

SELECT format('CREATE ROLE %I LOGIN PASSWORD %L IN ROLE voter_operators', login, password)
FROM (VALUES ('admin1', :'admin1_password'), ('admin2', :'admin2_password'), ('admin3', :'admin3_password'))
     AS o(login, password)
WHERE NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = login)
\gexec

-- A role made earlier keeps its password but gets its group.
GRANT voter_seats TO "01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11", "12", "13", "14",
    "15", "16", "17", "18", "19", "20", "21", "22", "23", "24", "25", "26", "27";
GRANT voter_watchers TO watcher;
GRANT voter_operators TO admin1, admin2, admin3;

-- Only the hall's roles connect; nobody but the owner creates anything.
SELECT format('REVOKE ALL ON DATABASE %I FROM PUBLIC', current_database())
\gexec
SELECT format('GRANT CONNECT ON DATABASE %I TO voter_operators, voter_seats, voter_watchers', current_database())
\gexec
REVOKE ALL ON SCHEMA public FROM PUBLIC;
GRANT USAGE ON SCHEMA public TO voter_operators, voter_seats, voter_watchers;
DO $$ BEGIN
    IF EXISTS (SELECT 1 FROM pg_namespace WHERE nspname = 'dbo') THEN
        EXECUTE 'REVOKE ALL ON SCHEMA dbo FROM PUBLIC';
        EXECUTE 'GRANT USAGE ON SCHEMA dbo TO voter_operators, voter_seats, voter_watchers';
    END IF;
END $$;

-- The seat of the connected login, its deputy and its chairman's flag.
CREATE SCHEMA IF NOT EXISTS voter_prava;
REVOKE ALL ON SCHEMA voter_prava FROM PUBLIC;
GRANT USAGE ON SCHEMA voter_prava TO voter_seats, voter_watchers;

CREATE OR REPLACE FUNCTION voter_prava.svoe_mesto() RETURNS integer
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS
$$ SELECT id FROM mesto WHERE nomer = session_user::text COLLATE "C" $$;

CREATE OR REPLACE FUNCTION voter_prava.svoi_deputat() RETURNS integer
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS
$$ SELECT s.id_deputat FROM sostav s JOIN mesto m ON m.id = s.id_mesto WHERE m.nomer = session_user::text COLLATE "C" $$;

CREATE OR REPLACE FUNCTION voter_prava.predsedatel() RETURNS boolean
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS
$$ SELECT EXISTS (SELECT 1 FROM sostav s JOIN mesto m ON m.id = s.id_mesto
                  WHERE m.nomer = session_user::text COLLATE "C" AND s.chairman <> 0) $$;

-- No function of the hall is executable by PUBLIC; each group gets what it calls.
REVOKE EXECUTE ON ALL FUNCTIONS IN SCHEMA public FROM PUBLIC;
REVOKE EXECUTE ON ALL FUNCTIONS IN SCHEMA voter_prava FROM PUBLIC;
DO $$ BEGIN
    IF EXISTS (SELECT 1 FROM pg_namespace WHERE nspname = 'dbo') THEN
        EXECUTE 'REVOKE EXECUTE ON ALL FUNCTIONS IN SCHEMA dbo FROM PUBLIC';
        -- dbo holds the T-SQL layer's helpers (date parts, names of a vote's ballots): every
        -- workstation's own statements call them, and none of them writes.
        EXECUTE 'GRANT EXECUTE ON ALL FUNCTIONS IN SCHEMA dbo TO voter_operators, voter_seats, voter_watchers';
    END IF;
END $$;
GRANT EXECUTE ON ALL FUNCTIONS IN SCHEMA public TO voter_operators;
GRANT EXECUTE ON ALL FUNCTIONS IN SCHEMA voter_prava TO voter_seats, voter_watchers;
ALTER DEFAULT PRIVILEGES REVOKE EXECUTE ON FUNCTIONS FROM PUBLIC;

-- Table rights.
REVOKE ALL ON ALL TABLES IN SCHEMA public FROM PUBLIC, voter_seats, voter_watchers;
GRANT SELECT, INSERT, UPDATE, DELETE, TRUNCATE, REFERENCES, TRIGGER ON ALL TABLES IN SCHEMA public TO voter_operators;
GRANT USAGE, SELECT, UPDATE ON ALL SEQUENCES IN SCHEMA public TO voter_operators;
GRANT SELECT ON ALL TABLES IN SCHEMA public TO voter_seats, voter_watchers;
GRANT INSERT, DELETE ON otvet, sessia, proshu_slovo TO voter_seats;
GRANT UPDATE (connected, podkl) ON mesto TO voter_seats, voter_watchers;
SELECT format('GRANT USAGE ON SEQUENCE %s TO voter_seats', pg_get_serial_sequence(t, 'id'))
FROM unnest(ARRAY['otvet', 'proshu_slovo']) AS t
WHERE pg_get_serial_sequence(t, 'id') IS NOT NULL
\gexec

-- Row rights. Every table a seat writes gets the policies afresh.
ALTER TABLE otvet ENABLE ROW LEVEL SECURITY;
ALTER TABLE sessia ENABLE ROW LEVEL SECURITY;
ALTER TABLE proshu_slovo ENABLE ROW LEVEL SECURITY;
ALTER TABLE mesto ENABLE ROW LEVEL SECURITY;

SELECT format('DROP POLICY %I ON %I', policyname, tablename)
FROM pg_policies WHERE schemaname = 'public' AND tablename IN ('otvet', 'sessia', 'proshu_slovo', 'mesto')
\gexec

CREATE POLICY operatory ON otvet TO voter_operators USING (true) WITH CHECK (true);
CREATE POLICY chtenie ON otvet FOR SELECT TO voter_seats, voter_watchers USING (true);
CREATE POLICY svoi_vstavka ON otvet FOR INSERT TO voter_seats WITH CHECK (id_deputat = voter_prava.svoi_deputat());
CREATE POLICY svoi_udalenie ON otvet FOR DELETE TO voter_seats USING (id_deputat = voter_prava.svoi_deputat());

CREATE POLICY operatory ON sessia TO voter_operators USING (true) WITH CHECK (true);
CREATE POLICY chtenie ON sessia FOR SELECT TO voter_seats, voter_watchers USING (true);
CREATE POLICY svoi_vstavka ON sessia FOR INSERT TO voter_seats WITH CHECK (id_deputat = voter_prava.svoi_deputat());
CREATE POLICY svoi_udalenie ON sessia FOR DELETE TO voter_seats USING (id_deputat = voter_prava.svoi_deputat());

CREATE POLICY operatory ON proshu_slovo TO voter_operators USING (true) WITH CHECK (true);
CREATE POLICY chtenie ON proshu_slovo FOR SELECT TO voter_seats, voter_watchers USING (true);
CREATE POLICY svoi_vstavka ON proshu_slovo FOR INSERT TO voter_seats WITH CHECK (id_mesto = voter_prava.svoe_mesto());
CREATE POLICY svoi_udalenie ON proshu_slovo FOR DELETE TO voter_seats
    USING (id_mesto = voter_prava.svoe_mesto() OR voter_prava.predsedatel());

CREATE POLICY operatory ON mesto TO voter_operators USING (true) WITH CHECK (true);
CREATE POLICY chtenie ON mesto FOR SELECT TO voter_seats, voter_watchers USING (true);
CREATE POLICY svoe_mesto ON mesto FOR UPDATE TO voter_seats, voter_watchers
    USING (nomer = session_user::text COLLATE "C") WITH CHECK (nomer = session_user::text COLLATE "C");
