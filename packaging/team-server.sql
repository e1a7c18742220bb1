-- The team's results server: run once by the database's owner (an administrator),
--   psql "service=ADMIN_SERVICE" -v ON_ERROR_STOP=1 -f team-server.sql
-- then grant each operator's login role the operators' group:
--   CREATE ROLE alice LOGIN PASSWORD '...' IN ROLE tester_operators;
-- Running it again changes nothing. The program runs the same statements
-- itself when its login may create the schema.
--
-- Every row names the login that wrote it (operator = current_user). Row-level
-- security lets an operator read the whole team's rows and add their own; nobody
-- changes or removes another operator's rows. Deletions, clears and reopened
-- sessions are facts added beside the rows they concern, never edits, so that a
-- push repeated after a failure adds nothing twice (every key is a UUID the
-- laptop chose).

DO $$
BEGIN
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'tester_operators') THEN
        CREATE ROLE tester_operators NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'tester_reporting') THEN
        CREATE ROLE tester_reporting NOLOGIN;
    END IF;
END
$$;

CREATE SCHEMA IF NOT EXISTS team_results;

-- One row per version of these tables; the program refuses a server whose
-- highest version is newer than it knows.
CREATE TABLE IF NOT EXISTS team_results.migrations (
    version integer PRIMARY KEY,
    applied timestamptz NOT NULL DEFAULT now()
);

CREATE TABLE IF NOT EXISTS team_results.objects (
    uuid uuid PRIMARY KEY,
    name text NOT NULL,
    serial text NOT NULL,
    location text NOT NULL,
    operator name NOT NULL DEFAULT current_user,
    added timestamptz NOT NULL DEFAULT now()
);

-- A session: the rows of one table between two clears, or one import.
CREATE TABLE IF NOT EXISTS team_results.sessions (
    uuid uuid PRIMARY KEY,
    kind smallint NOT NULL,            -- 0 DC results, 1 length results, 2 stored records
    started timestamptz NOT NULL,
    operator name NOT NULL DEFAULT current_user,
    instrument text NOT NULL DEFAULT '',
    host text NOT NULL DEFAULT '',
    object uuid REFERENCES team_results.objects(uuid)
);

CREATE TABLE IF NOT EXISTS team_results.rows (
    uuid uuid PRIMARY KEY,
    session uuid NOT NULL REFERENCES team_results.sessions(uuid),
    position bigint NOT NULL,          -- the order of the rows within their session
    cells text[] NOT NULL,
    settled boolean,                   -- NULL: not known
    object uuid REFERENCES team_results.objects(uuid),
    trace bytea,
    operator name NOT NULL DEFAULT current_user
);
CREATE INDEX IF NOT EXISTS rows_by_session ON team_results.rows(session);

-- A session closed (its table cleared, or replaced by an import) or made
-- current again; the latest event tells its state.
CREATE TABLE IF NOT EXISTS team_results.session_events (
    uuid uuid PRIMARY KEY,
    session uuid NOT NULL,
    closed boolean NOT NULL,           -- false: reopened
    at timestamptz NOT NULL,
    operator name NOT NULL DEFAULT current_user
);
CREATE INDEX IF NOT EXISTS session_events_by_session ON team_results.session_events(session);

CREATE TABLE IF NOT EXISTS team_results.row_deletions (
    row_uuid uuid PRIMARY KEY,
    at timestamptz NOT NULL,
    operator name NOT NULL DEFAULT current_user
);

-- The reference values of an object as one operator set them; the latest set counts.
CREATE TABLE IF NOT EXISTS team_results.baseline_sets (
    uuid uuid PRIMARY KEY,
    object uuid NOT NULL REFERENCES team_results.objects(uuid),
    at timestamptz NOT NULL,
    operator name NOT NULL DEFAULT current_user
);

CREATE TABLE IF NOT EXISTS team_results.baseline_entries (
    baseline_set uuid NOT NULL REFERENCES team_results.baseline_sets(uuid),
    winding smallint NOT NULL,         -- 0 low-voltage, 1 high-voltage side
    tapping text NOT NULL,
    phase text NOT NULL,
    ohms double precision NOT NULL,
    celsius double precision NOT NULL,
    material smallint NOT NULL,        -- 0 copper, 1 aluminium
    operator name NOT NULL DEFAULT current_user,
    PRIMARY KEY (baseline_set, winding, tapping, phase)
);

-- What reports read: the rows not deleted, and each session with its state.
CREATE OR REPLACE VIEW team_results.live_rows WITH (security_invoker = true) AS
    SELECT r.* FROM team_results.rows r
    WHERE NOT EXISTS (SELECT FROM team_results.row_deletions d WHERE d.row_uuid = r.uuid);

CREATE OR REPLACE VIEW team_results.session_states WITH (security_invoker = true) AS
    SELECT s.*,
           (SELECT CASE WHEN e.closed THEN e.at END FROM team_results.session_events e
             WHERE e.session = s.uuid ORDER BY e.at DESC, e.closed LIMIT 1) AS closed,
           (SELECT count(*) FROM team_results.live_rows r WHERE r.session = s.uuid) AS row_count
    FROM team_results.sessions s;

GRANT USAGE ON SCHEMA team_results TO tester_operators, tester_reporting;
GRANT SELECT ON ALL TABLES IN SCHEMA team_results TO tester_operators, tester_reporting;
GRANT INSERT, DELETE ON team_results.objects, team_results.sessions, team_results.rows,
    team_results.session_events, team_results.row_deletions, team_results.baseline_sets,
    team_results.baseline_entries TO tester_operators;

DO $$
DECLARE
    t text;
BEGIN
    FOREACH t IN ARRAY ARRAY['objects', 'sessions', 'rows', 'session_events', 'row_deletions',
                             'baseline_sets', 'baseline_entries'] LOOP
        EXECUTE format('ALTER TABLE team_results.%I ENABLE ROW LEVEL SECURITY', t);
        IF NOT EXISTS (SELECT FROM pg_policies WHERE schemaname = 'team_results' AND tablename = t) THEN
            EXECUTE format('CREATE POLICY team_reads ON team_results.%I FOR SELECT'
                           ' TO tester_operators, tester_reporting USING (true)', t);
            EXECUTE format('CREATE POLICY own_inserts ON team_results.%I FOR INSERT'
                           ' TO tester_operators WITH CHECK (operator = current_user)', t);
            EXECUTE format('CREATE POLICY own_deletes ON team_results.%I FOR DELETE'
                           ' TO tester_operators USING (operator = current_user)', t);
        END IF;
    END LOOP;
END
$$;

INSERT INTO team_results.migrations (version) VALUES (1) ON CONFLICT DO NOTHING;
