#!/usr/bin/env bash
# Formats the tree's C++ sources (the .cpp and .h files git tracks) with
# clang-format in the style of .clang-format.
#   scripts/format.sh            formats them in place
#   scripts/format.sh --check    changes nothing; lists the files that are not
#                                formatted and fails when there are any
set -euo pipefail
cd "$(dirname "$0")/.."

check=false
case "${1:-}" in
  "") ;;
  --check) check=true ;;
  *)
    echo "usage: scripts/format.sh [--check]" >&2
    exit 2
    ;;
esac

bash scripts/setup.sh
clang_format=${CLANG_FORMAT:-clang-format}

mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h')
if [ ${#files[@]} -eq 0 ]; then
  exit 0
fi

if ! $check; then
  printf '%s\0' "${files[@]}" | xargs -0 -n 20 -P "$(nproc)" "$clang_format" -i
  exit 0
fi

# One clang-format per file, several at a time; each prints its file's name
# when the file would change.
misformatted=$(printf '%s\0' "${files[@]}" |
  xargs -0 -n 20 -P "$(nproc)" sh -c \
    'for file; do "$0" --dry-run --Werror "$file" >/dev/null 2>&1 || echo "$file"; done' \
    "$clang_format" | sort)
if [ -n "$misformatted" ]; then
  echo "format: these files are not formatted (scripts/format.sh formats them):" >&2
  echo "$misformatted" >&2
  exit 1
fi
