-- Question-bank schema. Written in the SQL that SQLite and PostgreSQL share, so
-- one set of queries serves both; every key is a text code, so no engine-specific
-- auto-increment is needed. Statements are separated by semicolons at line ends.

CREATE TABLE IF NOT EXISTS account (
    code      TEXT PRIMARY KEY,
    username  TEXT NOT NULL UNIQUE,
    salt      TEXT NOT NULL,
    digest    TEXT NOT NULL,
    created   BIGINT NOT NULL
);

CREATE TABLE IF NOT EXISTS subject_type (
    code      TEXT PRIMARY KEY,
    name      TEXT NOT NULL,
    position  INTEGER NOT NULL
);

CREATE TABLE IF NOT EXISTS subject (
    code       TEXT PRIMARY KEY,
    type_code  TEXT NOT NULL REFERENCES subject_type(code),
    name       TEXT NOT NULL,
    position   INTEGER NOT NULL
);

CREATE TABLE IF NOT EXISTS directory (
    code          TEXT PRIMARY KEY,
    subject_code  TEXT NOT NULL REFERENCES subject(code),
    name          TEXT NOT NULL,
    position      INTEGER NOT NULL
);

CREATE TABLE IF NOT EXISTS chapter (
    code            TEXT PRIMARY KEY,
    directory_code  TEXT NOT NULL REFERENCES directory(code),
    name            TEXT NOT NULL,
    position        INTEGER NOT NULL,
    note            TEXT NOT NULL DEFAULT ''
);

CREATE TABLE IF NOT EXISTS node (
    code          TEXT PRIMARY KEY,
    chapter_code  TEXT NOT NULL REFERENCES chapter(code),
    name          TEXT NOT NULL,
    position      INTEGER NOT NULL
);

-- kind: 0 past paper, 1 sprint paper.
CREATE TABLE IF NOT EXISTS paper (
    code          TEXT PRIMARY KEY,
    subject_code  TEXT NOT NULL REFERENCES subject(code),
    name          TEXT NOT NULL,
    kind          INTEGER NOT NULL,
    difficulty    REAL NOT NULL,
    position      INTEGER NOT NULL
);

-- A question lives either in a paper or in the chapter tree; an empty code means
-- "none" (empty rather than NULL keeps equality tests and unique keys simple).
CREATE TABLE IF NOT EXISTS question (
    code            TEXT PRIMARY KEY,
    subject_code    TEXT NOT NULL REFERENCES subject(code),
    paper_code      TEXT NOT NULL DEFAULT '',
    directory_code  TEXT NOT NULL DEFAULT '',
    chapter_code    TEXT NOT NULL DEFAULT '',
    node_code       TEXT NOT NULL DEFAULT '',
    position        INTEGER NOT NULL,
    category        INTEGER NOT NULL,
    detail          TEXT NOT NULL,
    score           REAL NOT NULL,
    analysis        TEXT NOT NULL
);
CREATE INDEX IF NOT EXISTS question_by_paper ON question(paper_code, position);
CREATE INDEX IF NOT EXISTS question_by_chapter ON question(directory_code, chapter_code, node_code);
CREATE INDEX IF NOT EXISTS question_by_subject ON question(subject_code, position);

CREATE TABLE IF NOT EXISTS sub_question (
    question_code  TEXT NOT NULL REFERENCES question(code),
    position       INTEGER NOT NULL,
    category       INTEGER NOT NULL,
    detail         TEXT NOT NULL,
    answer         TEXT NOT NULL,
    PRIMARY KEY (question_code, position)
);

CREATE TABLE IF NOT EXISTS question_option (
    question_code  TEXT NOT NULL,
    sub_position   INTEGER NOT NULL,
    orderby        INTEGER NOT NULL,
    detail         TEXT NOT NULL,
    PRIMARY KEY (question_code, sub_position, orderby)
);

-- One entry per user, subject, book (kind 0 error book, 1 favourites) and
-- directory or paper; its code is what the client sends back as keep_code.
CREATE TABLE IF NOT EXISTS keep_entry (
    code            TEXT PRIMARY KEY,
    user_code       TEXT NOT NULL REFERENCES account(code),
    subject_code    TEXT NOT NULL,
    kind            INTEGER NOT NULL,
    directory_code  TEXT NOT NULL DEFAULT '',
    paper_code      TEXT NOT NULL DEFAULT '',
    created         BIGINT NOT NULL,
    UNIQUE (user_code, subject_code, kind, directory_code, paper_code)
);

CREATE TABLE IF NOT EXISTS keep_item (
    entry_code     TEXT NOT NULL REFERENCES keep_entry(code),
    question_code  TEXT NOT NULL REFERENCES question(code),
    answer         TEXT NOT NULL DEFAULT '',
    created        BIGINT NOT NULL,
    PRIMARY KEY (entry_code, question_code)
);

-- question_codes: the run's questions in order, separated by commas; kept with
-- the record because a run is replayed whole, and one value is one write.
-- created: microseconds since the epoch, strictly increasing per server process.
CREATE TABLE IF NOT EXISTS practice_record (
    code            TEXT PRIMARY KEY,
    user_code       TEXT NOT NULL REFERENCES account(code),
    subject_code    TEXT NOT NULL,
    name            TEXT NOT NULL,
    created         BIGINT NOT NULL,
    question_codes  TEXT NOT NULL
);
CREATE INDEX IF NOT EXISTS practice_record_by_user ON practice_record(user_code, subject_code, created);

CREATE TABLE IF NOT EXISTS feedback (
    code          TEXT PRIMARY KEY,
    user_account  TEXT NOT NULL,
    remark        TEXT NOT NULL,
    contact       TEXT NOT NULL,
    created       BIGINT NOT NULL
);
