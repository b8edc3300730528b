-- ==== Vote journal (PostgreSQL) ========================================================
-- A section for the PostgreSQL schema to adopt as it is: the chain of sqlite.sql (see there
-- for the events and the canonical text), hash = lower-case hex SHA-256 over the UTF-8 of
-- (previous hash || zapis), computed by the server's sha256(). Date-times enter the text as
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

CREATE FUNCTION otvet_zhurnal() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
    IF TG_OP = 'DELETE' THEN
        PERFORM zhurnal_dobavit('otvet', 'D', OLD.id, OLD.id_golosovanie, 'otvet|' || 'D' || '|' || zhurnal_pole(OLD.id::text) || '|' || zhurnal_pole(OLD.id_deputat::text) || '|' || zhurnal_pole(OLD.id_povestka::text) || '|' || zhurnal_pole(OLD.result::text) || '|' || zhurnal_pole(OLD.id_golosovanie::text));
        RETURN OLD;
    END IF;
    PERFORM zhurnal_dobavit('otvet', left(TG_OP, 1), NEW.id, NEW.id_golosovanie, 'otvet|' || left(TG_OP, 1) || '|' || zhurnal_pole(NEW.id::text) || '|' || zhurnal_pole(NEW.id_deputat::text) || '|' || zhurnal_pole(NEW.id_povestka::text) || '|' || zhurnal_pole(NEW.result::text) || '|' || zhurnal_pole(NEW.id_golosovanie::text));
    RETURN NEW;
END $$;
CREATE TRIGGER otvet_zhurnal AFTER INSERT OR UPDATE OR DELETE ON otvet FOR EACH ROW EXECUTE FUNCTION otvet_zhurnal();

CREATE FUNCTION golosovanie_zhurnal() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
    IF TG_OP = 'DELETE' THEN
        PERFORM zhurnal_dobavit('golosovanie', 'D', OLD.id, OLD.id, 'golosovanie|' || 'D' || '|' || zhurnal_pole(OLD.id::text) || '|' || zhurnal_pole(to_char(OLD.data, 'YYYY-MM-DD HH24:MI:SS.MS')) || '|' || zhurnal_pole(OLD.regim::text) || '|' || zhurnal_pole(OLD.tip::text) || '|' || zhurnal_pole(OLD.vid::text) || '|' || zhurnal_pole(OLD.isbrano::text) || '|' || zhurnal_pole(OLD.prisutstvuet::text) || '|' || zhurnal_pole(OLD.regim_polsov::text) || '|' || zhurnal_pole(OLD.nuzno::text) || '|' || zhurnal_pole(OLD.zak::text) || '|' || zhurnal_pole(OLD.id_povestka::text) || '|' || zhurnal_pole(OLD.id_sessia::text));
        RETURN OLD;
    END IF;
    PERFORM zhurnal_dobavit('golosovanie', left(TG_OP, 1), NEW.id, NEW.id, 'golosovanie|' || left(TG_OP, 1) || '|' || zhurnal_pole(NEW.id::text) || '|' || zhurnal_pole(to_char(NEW.data, 'YYYY-MM-DD HH24:MI:SS.MS')) || '|' || zhurnal_pole(NEW.regim::text) || '|' || zhurnal_pole(NEW.tip::text) || '|' || zhurnal_pole(NEW.vid::text) || '|' || zhurnal_pole(NEW.isbrano::text) || '|' || zhurnal_pole(NEW.prisutstvuet::text) || '|' || zhurnal_pole(NEW.regim_polsov::text) || '|' || zhurnal_pole(NEW.nuzno::text) || '|' || zhurnal_pole(NEW.zak::text) || '|' || zhurnal_pole(NEW.id_povestka::text) || '|' || zhurnal_pole(NEW.id_sessia::text));
    RETURN NEW;
END $$;
CREATE TRIGGER golosovanie_zhurnal AFTER INSERT OR UPDATE OR DELETE ON golosovanie FOR EACH ROW EXECUTE FUNCTION golosovanie_zhurnal();

CREATE FUNCTION regim_zhurnal_itog() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
    IF NEW.nomer = 4 AND (OLD.nomer IS DISTINCT FROM 4 OR OLD.param1 IS DISTINCT FROM NEW.param1)
       AND EXISTS (SELECT 1 FROM golosovanie WHERE id = NEW.param1) THEN
        PERFORM zhurnal_dobavit('golosovanie', 'R', NEW.param1, NEW.param1,
            'golosovanie|R|' || zhurnal_pole(NEW.param1::text)
            || '|' || (SELECT count(*) FROM otvet WHERE id_golosovanie = NEW.param1 AND result = 1)
            || '|' || (SELECT count(*) FROM otvet WHERE id_golosovanie = NEW.param1 AND result = 2)
            || '|' || (SELECT count(*) FROM otvet WHERE id_golosovanie = NEW.param1 AND result = 3)
            || '|' || (SELECT count(*) FROM otvet WHERE id_golosovanie = NEW.param1));
    END IF;
    RETURN NEW;
END $$;
CREATE TRIGGER regim_zhurnal_itog AFTER UPDATE ON regim FOR EACH ROW EXECUTE FUNCTION regim_zhurnal_itog();

CREATE FUNCTION sessia_start_zhurnal() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
    IF TG_OP = 'INSERT' THEN
        PERFORM zhurnal_dobavit('sessia_start', 'I', NEW.id, NULL, 'sessia_start|' || 'I' || '|' || zhurnal_pole(NEW.id::text) || '|' || zhurnal_pole(NEW.id_zasedanie::text) || '|' || zhurnal_pole(to_char(NEW.start, 'YYYY-MM-DD HH24:MI:SS.MS')));
    ELSIF TG_OP = 'DELETE' THEN
        PERFORM zhurnal_dobavit('sessia_start', 'D', OLD.id, NULL, 'sessia_start|' || 'D' || '|' || zhurnal_pole(OLD.id::text) || '|' || zhurnal_pole(OLD.id_zasedanie::text) || '|' || zhurnal_pole(to_char(OLD.start, 'YYYY-MM-DD HH24:MI:SS.MS')));
        RETURN OLD;
    ELSE
        IF OLD.id IS DISTINCT FROM NEW.id OR OLD.id_zasedanie IS DISTINCT FROM NEW.id_zasedanie
           OR OLD.start IS DISTINCT FROM NEW.start THEN
            PERFORM zhurnal_dobavit('sessia_start', 'U', NEW.id, NULL, 'sessia_start|' || 'U' || '|' || zhurnal_pole(NEW.id::text) || '|' || zhurnal_pole(NEW.id_zasedanie::text) || '|' || zhurnal_pole(to_char(NEW.start, 'YYYY-MM-DD HH24:MI:SS.MS')));
        END IF;
        IF OLD.stop IS NULL AND NEW.stop IS NOT NULL THEN
            PERFORM zhurnal_dobavit('sessia_start', 'C', NEW.id, NULL,
                'sessia_start|C|' || zhurnal_pole(NEW.id::text) || '|' || zhurnal_pole(to_char(NEW.stop, 'YYYY-MM-DD HH24:MI:SS.MS')));
        ELSIF OLD.stop IS NOT NULL AND NEW.stop IS NULL THEN
            PERFORM zhurnal_dobavit('sessia_start', 'O', NEW.id, NULL, 'sessia_start|O|' || zhurnal_pole(NEW.id::text));
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
        PERFORM zhurnal_dobavit('sessia', 'D', NULL, NULL, 'sessia|' || 'D' || '|' || zhurnal_pole(OLD.id_deputat::text) || '|' || zhurnal_pole(OLD.id_sessia::text) || '|' || zhurnal_pole(OLD.id_zasedanie::text));
    END IF;
    IF TG_OP IN ('INSERT', 'UPDATE') THEN
        PERFORM zhurnal_dobavit('sessia', 'I', NULL, NULL, 'sessia|' || 'I' || '|' || zhurnal_pole(NEW.id_deputat::text) || '|' || zhurnal_pole(NEW.id_sessia::text) || '|' || zhurnal_pole(NEW.id_zasedanie::text));
        RETURN NEW;
    END IF;
    RETURN OLD;
END $$;
CREATE TRIGGER sessia_zhurnal AFTER INSERT OR UPDATE OR DELETE ON sessia FOR EACH ROW EXECUTE FUNCTION sessia_zhurnal();

