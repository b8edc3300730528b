-- ==== Vote journal (PostgreSQL) ========================================================
-- Created with the PostgreSQL tables: the chain of the embedded engine (see src/db/zhurnal.cpp
-- for the events and the canonical text), hash = lower-case hex SHA-256 over the UTF-8 of
-- (previous hash || zapis), computed by the server's sha256(). The trigger functions run with
-- their owner's rights (SECURITY DEFINER): a seat that may write only its own ballot still
-- has it journalled, and cannot write the journal itself. Date-times enter the text as
-- yyyy-mm-dd hh24:mi:ss.ms, as the program reads them back. A transaction-scoped advisory
-- lock keeps concurrent appenders in one chain. The triggers run as the tables' owner: a
-- seat that may write its own ballot may not write the journal itself, nor call its helpers.

CREATE TABLE zhurnal (
    id              serial PRIMARY KEY,
    tablica         text NOT NULL,
    deistvie        text NOT NULL,
    id_zapisi       integer,
    id_golosovanie  integer,
    zapis           text NOT NULL,
    hash            text NOT NULL
);
CREATE INDEX zhurnal_golosovanie ON zhurnal (id_golosovanie, id);

CREATE FUNCTION zhurnal_pole(v text) RETURNS text LANGUAGE sql IMMUTABLE AS $$
    SELECT CASE WHEN v IS NULL THEN '\N' ELSE replace(replace(v COLLATE "C", '\', '\\'), '|', '\|') END
$$;

CREATE FUNCTION zhurnal_dobavit(p_tablica text, p_deistvie text, p_id integer, p_golos integer, p_zapis text)
RETURNS void LANGUAGE plpgsql AS $$
DECLARE pred text;
BEGIN
    PERFORM pg_advisory_xact_lock(7202601);
    SELECT hash INTO pred FROM zhurnal ORDER BY id DESC LIMIT 1;
    INSERT INTO zhurnal (tablica, deistvie, id_zapisi, id_golosovanie, zapis, hash)
    VALUES (p_tablica, p_deistvie, p_id, p_golos, p_zapis,
            encode(sha256(convert_to(coalesce(pred, '') || p_zapis, 'UTF8')), 'hex'));
END $$;

-- The canonical text of a row, one function per table: the triggers and the starting record
-- of an older database (zhurnal_nachat) write it the same way.
CREATE FUNCTION zhurnal_tekst(r otvet, d text) RETURNS text LANGUAGE sql STABLE AS $$
    SELECT 'otvet|' || d || '|' || zhurnal_pole(r.id::text) || '|' || zhurnal_pole(r.id_deputat::text) || '|' || zhurnal_pole(r.id_povestka::text) || '|' || zhurnal_pole(r.result::text) || '|' || zhurnal_pole(r.id_golosovanie::text)
$$;
CREATE FUNCTION zhurnal_tekst(r golosovanie, d text) RETURNS text LANGUAGE sql STABLE AS $$
    SELECT 'golosovanie|' || d || '|' || zhurnal_pole(r.id::text) || '|' || zhurnal_pole(to_char(r.data, 'YYYY-MM-DD HH24:MI:SS.MS')) || '|' || zhurnal_pole(r.regim::text) || '|' || zhurnal_pole(r.tip::text) || '|' || zhurnal_pole(r.vid::text) || '|' || zhurnal_pole(r.isbrano::text) || '|' || zhurnal_pole(r.prisutstvuet::text) || '|' || zhurnal_pole(r.regim_polsov::text) || '|' || zhurnal_pole(r.nuzno::text) || '|' || zhurnal_pole(r.zak::text) || '|' || zhurnal_pole(r.id_povestka::text) || '|' || zhurnal_pole(r.id_sessia::text)
$$;
CREATE FUNCTION zhurnal_tekst(r sessia_start, d text) RETURNS text LANGUAGE sql STABLE AS $$
    SELECT CASE d
        WHEN 'C' THEN 'sessia_start|C|' || zhurnal_pole(r.id::text) || '|' || zhurnal_pole(to_char(r.stop, 'YYYY-MM-DD HH24:MI:SS.MS'))
        WHEN 'O' THEN 'sessia_start|O|' || zhurnal_pole(r.id::text)
        ELSE 'sessia_start|' || d || '|' || zhurnal_pole(r.id::text) || '|' || zhurnal_pole(r.id_zasedanie::text) || '|' || zhurnal_pole(to_char(r.start, 'YYYY-MM-DD HH24:MI:SS.MS'))
    END
$$;
CREATE FUNCTION zhurnal_tekst(r sessia, d text) RETURNS text LANGUAGE sql STABLE AS $$
    SELECT 'sessia|' || d || '|' || zhurnal_pole(r.id_deputat::text) || '|' || zhurnal_pole(r.id_sessia::text) || '|' || zhurnal_pole(r.id_zasedanie::text)
$$;
-- A vote's result: for, against, abstained, ballots.
CREATE FUNCTION zhurnal_itog(g integer) RETURNS text LANGUAGE sql STABLE AS $$
    SELECT 'golosovanie|R|' || zhurnal_pole(g::text)
        || '|' || (SELECT count(*) FROM otvet WHERE id_golosovanie = g AND result = 1)
        || '|' || (SELECT count(*) FROM otvet WHERE id_golosovanie = g AND result = 2)
        || '|' || (SELECT count(*) FROM otvet WHERE id_golosovanie = g AND result = 3)
        || '|' || (SELECT count(*) FROM otvet WHERE id_golosovanie = g)
$$;

-- Ballots and votes: every insert, change (the new row) and delete (the old row). The
-- trigger's argument names the column that holds the row's vote.
CREATE FUNCTION zhurnal_stroka() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
    IF TG_OP = 'DELETE' THEN
        PERFORM zhurnal_dobavit(TG_TABLE_NAME, 'D', OLD.id, (to_jsonb(OLD) ->> TG_ARGV[0])::integer, zhurnal_tekst(OLD, 'D'));
        RETURN OLD;
    END IF;
    PERFORM zhurnal_dobavit(TG_TABLE_NAME, left(TG_OP, 1), NEW.id, (to_jsonb(NEW) ->> TG_ARGV[0])::integer,
                            zhurnal_tekst(NEW, left(TG_OP, 1)));
    RETURN NEW;
END $$;
CREATE TRIGGER otvet_zhurnal AFTER INSERT OR UPDATE OR DELETE ON otvet FOR EACH ROW
    EXECUTE FUNCTION zhurnal_stroka('id_golosovanie');
CREATE TRIGGER golosovanie_zhurnal AFTER INSERT OR UPDATE OR DELETE ON golosovanie FOR EACH ROW
    EXECUTE FUNCTION zhurnal_stroka('id');

CREATE FUNCTION regim_zhurnal_itog() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
    IF NEW.nomer = 4 AND (OLD.nomer IS DISTINCT FROM 4 OR OLD.param1 IS DISTINCT FROM NEW.param1)
       AND EXISTS (SELECT 1 FROM golosovanie WHERE id = NEW.param1) THEN
        PERFORM zhurnal_dobavit('golosovanie', 'R', NEW.param1, NEW.param1, zhurnal_itog(NEW.param1));
    END IF;
    RETURN NEW;
END $$;
CREATE TRIGGER regim_zhurnal_itog AFTER UPDATE ON regim FOR EACH ROW EXECUTE FUNCTION regim_zhurnal_itog();

CREATE FUNCTION sessia_start_zhurnal() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
    IF TG_OP = 'INSERT' THEN
        PERFORM zhurnal_dobavit('sessia_start', 'I', NEW.id, NULL, zhurnal_tekst(NEW, 'I'));
    ELSIF TG_OP = 'DELETE' THEN
        PERFORM zhurnal_dobavit('sessia_start', 'D', OLD.id, NULL, zhurnal_tekst(OLD, 'D'));
        RETURN OLD;
    ELSE
        IF OLD.id IS DISTINCT FROM NEW.id OR OLD.id_zasedanie IS DISTINCT FROM NEW.id_zasedanie
           OR OLD.start IS DISTINCT FROM NEW.start THEN
            PERFORM zhurnal_dobavit('sessia_start', 'U', NEW.id, NULL, zhurnal_tekst(NEW, 'U'));
        END IF;
        IF OLD.stop IS NULL AND NEW.stop IS NOT NULL THEN
            PERFORM zhurnal_dobavit('sessia_start', 'C', NEW.id, NULL, zhurnal_tekst(NEW, 'C'));
        ELSIF OLD.stop IS NOT NULL AND NEW.stop IS NULL THEN
            PERFORM zhurnal_dobavit('sessia_start', 'O', NEW.id, NULL, zhurnal_tekst(NEW, 'O'));
        END IF;
    END IF;
    RETURN NEW;
END $$;
CREATE TRIGGER sessia_start_zhurnal AFTER INSERT OR UPDATE OR DELETE ON sessia_start FOR EACH ROW
    EXECUTE FUNCTION sessia_start_zhurnal();

-- Presence records have no key: a change is the old row deleted and the new one inserted.
CREATE FUNCTION sessia_zhurnal() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
    IF TG_OP IN ('DELETE', 'UPDATE') THEN
        PERFORM zhurnal_dobavit('sessia', 'D', NULL, NULL, zhurnal_tekst(OLD, 'D'));
    END IF;
    IF TG_OP IN ('INSERT', 'UPDATE') THEN
        PERFORM zhurnal_dobavit('sessia', 'I', NULL, NULL, zhurnal_tekst(NEW, 'I'));
        RETURN NEW;
    END IF;
    RETURN OLD;
END $$;
CREATE TRIGGER sessia_zhurnal AFTER INSERT OR UPDATE OR DELETE ON sessia FOR EACH ROW EXECUTE FUNCTION sessia_zhurnal();

-- The starting record of a database made before the journal: a first entry with the moment,
-- every row of the journalled tables as it stands (S), each closed period (C) and each vote
-- that is not running (R). Only into an empty journal.
CREATE FUNCTION zhurnal_nachat(moment text) RETURNS void LANGUAGE plpgsql AS $$
DECLARE p sessia_start; s sessia; g golosovanie; o otvet;
BEGIN
    PERFORM pg_advisory_xact_lock(7202601);
    IF EXISTS (SELECT 1 FROM zhurnal) THEN
        RETURN;
    END IF;
    PERFORM zhurnal_dobavit('zhurnal', 'S', NULL, NULL, 'zhurnal|S|' || zhurnal_pole(moment));
    FOR p IN SELECT * FROM sessia_start ORDER BY id LOOP
        PERFORM zhurnal_dobavit('sessia_start', 'S', p.id, NULL, zhurnal_tekst(p, 'S'));
    END LOOP;
    FOR p IN SELECT * FROM sessia_start WHERE stop IS NOT NULL ORDER BY id LOOP
        PERFORM zhurnal_dobavit('sessia_start', 'C', p.id, NULL, zhurnal_tekst(p, 'C'));
    END LOOP;
    FOR s IN SELECT * FROM sessia ORDER BY ctid LOOP
        PERFORM zhurnal_dobavit('sessia', 'S', NULL, NULL, zhurnal_tekst(s, 'S'));
    END LOOP;
    FOR g IN SELECT * FROM golosovanie ORDER BY id LOOP
        PERFORM zhurnal_dobavit('golosovanie', 'S', g.id, g.id, zhurnal_tekst(g, 'S'));
    END LOOP;
    FOR o IN SELECT * FROM otvet ORDER BY id LOOP
        PERFORM zhurnal_dobavit('otvet', 'S', o.id, o.id_golosovanie, zhurnal_tekst(o, 'S'));
    END LOOP;
    FOR g IN SELECT * FROM golosovanie x WHERE NOT EXISTS (SELECT 1 FROM regim WHERE nomer = 2 AND param1 = x.id) ORDER BY id LOOP
        PERFORM zhurnal_dobavit('golosovanie', 'R', g.id, g.id, zhurnal_itog(g.id));
    END LOOP;
END $$;
