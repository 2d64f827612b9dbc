# Test suites of this area.
