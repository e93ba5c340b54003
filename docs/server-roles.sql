-- Roles for the journal server of ZR-6040 USB (PostgreSQL 13 or later).
--
-- Run this as a superuser (it makes roles) once the schema zr6040 is there: the program makes
-- it the first time it reaches the server as a role that may create schemas in the database,
-- such as the database's owner (`zr6040ctl sync` does the same), and upgrades it in the same
-- way after an update of the program. Then give each PC a login role in zr6040_sender and the
-- laboratory's system one in zr6040_reader, each with its password:
--
--   CREATE ROLE station_12 LOGIN IN ROLE zr6040_sender;   then \password station_12
--   CREATE ROLE lims LOGIN IN ROLE zr6040_reader;          then \password lims

-- May only insert: it sends rows and sessions through the schema's function zr6040.send, which
-- adds them and brings those already there up to a later state (a deletion mark), never back.
-- It can neither read, change nor delete rows in any other way, nor change the schema.
CREATE ROLE zr6040_sender NOLOGIN;
GRANT USAGE ON SCHEMA zr6040 TO zr6040_sender;
GRANT SELECT ON zr6040.schema_info TO zr6040_sender;
GRANT EXECUTE ON FUNCTION zr6040.send(jsonb, jsonb) TO zr6040_sender;

-- May only read: the measurements of every PC for a LIMS, a chart or a report.
CREATE ROLE zr6040_reader NOLOGIN;
GRANT USAGE ON SCHEMA zr6040 TO zr6040_reader;
GRANT SELECT ON ALL TABLES IN SCHEMA zr6040 TO zr6040_reader;
