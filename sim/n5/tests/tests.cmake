# Suites of the simulated adapter.
