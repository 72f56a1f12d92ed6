#!/usr/bin/env bash
# Types texts through the keyboard's word suggestions and prints how many
# touches they save (KSR, percent), the characters typed (KI), the candidate
# touches (KS) and the touches without suggestions (KN); with --slip also the
# share of words that arrived as meant (WORDS_RIGHT). Builds the simulator
# natively when its sources changed.
#
#   bash scripts/predict.sh [--candidates N] [--slip P --seed S] [FILE...]
#
# FILE: UTF-8, one text per line, each sent with Enter; without one, the
# development texts in ../shared/data/texts. More options:
#   --lines odd|even     type only those lines (tune on one half, measure on the other)
#   --weights s,t,p,l,x  other weights of the sources (see predict/predictor.h)
#   --cost [--history N] the lexicons' memory and unpacking time, and the cost
#                        of a suggestion with N remembered texts (100,000)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out=build/predict
bin=$out/predict_sim
sources=(tools/predict/predict_sim.cpp predict/*.cpp keys/layouts.cpp keys/word_completion.cpp controls/controls.cpp)
mkdir -p "$out"
if [ ! -x "$bin" ] || [ -n "$(find "${sources[@]}" predict keys/layouts.h keys/word_completion.h controls/controls.h \
    platform/types.h \
    -newer "$bin" 2>/dev/null | head -1)" ]; then
  g++ -std=c++20 -O2 -I. -o "$bin" "${sources[@]}"
fi
args=() files=()
while [ $# -gt 0 ]; do
  case "$1" in
    --candidates|--slip|--seed|--lines|--weights|--history) args+=("$1" "$2"); shift 2 ;;
    --cost) args+=("$1"); shift ;;
    *) files+=("$1"); shift ;;
  esac
done
if [ ${#files[@]} -eq 0 ]; then
  files=(../shared/data/texts/en_dev.txt ../shared/data/texts/ru_dev.txt)
fi
exec "$bin" --lexicons resources "${args[@]}" "${files[@]}"
