// Shared test fixtures are added beside this file.
