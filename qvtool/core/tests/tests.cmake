# Suites of the tool frame.
