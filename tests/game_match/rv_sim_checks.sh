# Sourced by the rv_sim check scripts: the rv_sim under test ($1), a scratch folder removed
# at the end, and fail/finish, which count the failed checks and end with the script's status.
source "$(dirname "$0")/../support/test_lib.sh"
sim="$1"
temp_work_folder
failures=0
