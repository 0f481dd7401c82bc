#!/usr/bin/env bash
# The user guide's pictures are the ones guide_shots makes: every picture the guide shows
# is made by it (so "make guide-shots" renews it when a window changes), every picture it
# makes is shown, and the repository holds exactly those.
#   check_shots.sh GUIDE_SHOTS GUIDE_DIR
set -euo pipefail
shots=$1
guide=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$shots" "$work/shots" || fail "guide_shots did not make every picture"
made=$(cd "$work/shots" && ls -- *.png | sort)
listed=$("$shots" --list | sed 's/$/.png/' | sort)
shown=$(grep -o 'src="shots/[^"]*"' "$guide/index.html" | sed 's/^src="shots\///; s/"$//' | sort -u)
kept=$(cd "$guide/shots" && ls -- *.png | sort)
[[ "$made" == "$listed" ]] || fail "made and listed differ: $(diff <(echo "$made") <(echo "$listed") | tr '\n' ' ')"
[[ "$shown" == "$made" ]] || fail "shown (<) and made (>) differ: $(diff <(echo "$shown") <(echo "$made") | tr '\n' ' ')"
[[ "$kept" == "$made" ]] || fail "in the repository (<) and made (>) differ; run make guide-shots: $(diff <(echo "$kept") <(echo "$made") | tr '\n' ' ')"
echo "ok: $(wc -l <<<"$made") pictures"
