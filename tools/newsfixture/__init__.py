"""A small NNTP server for tests and demos: serves a spool folder, with per-test behaviour knobs."""
