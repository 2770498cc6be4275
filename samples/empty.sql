-- A database with no tables at all; setting the version gives the file its
-- header page so it is a valid, openable database.
PRAGMA user_version = 1;
