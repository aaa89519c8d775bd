#!/usr/bin/env bash
# How many of the computer's answers have a meaning in the definitions entry: 1 000 deals at
# each level, seeded, with a fixed sample of twenty answers and their first meaning.
# usage: bench/answer-meanings.sh BUILD_DIR
set -u
build=${1:?usage: answer-meanings.sh BUILD_DIR}
exec "$build/AnswerMeaningsTool" "$build" 1000 2026
