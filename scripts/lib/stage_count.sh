# What a stage of the test command counted (sourced, not run): the test command sets
# QV_STAGE_COUNT to a file per stage and shows its lines in the summary, so that a run that
# checked less than the last one is seen. Elsewhere it does nothing.
stage_count() { [ -z "${QV_STAGE_COUNT:-}" ] || echo "$*" >>"$QV_STAGE_COUNT"; }
