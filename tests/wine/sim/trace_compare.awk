# Compares a native pinboard-trace output (the input) with the Windows one.
#   awk -v other=WINE_OUTPUT -v name=CASE -f trace_compare.awk NATIVE_OUTPUT
# Counts, ids, colours, flags and spark slots and lives must be equal. The two
# C runtimes' sine, cosine and arc tangent differ in the last bit, so doubles
# may differ by a relative 1e-9 in scene records and 1e-6 in frame records,
# and spark positions (truncated from doubles) by one pixel.

function abs(v) { return v < 0 ? -v : v }

function near(a, b, tol,   scale) {
    scale = abs(a) > abs(b) ? abs(a) : abs(b)
    if (scale < 1) scale = 1
    return abs(a - b) <= tol * scale
}

function is_double(kind, i) {
    if (kind == "scene") return i == 8 || i == 10 || i == 14
    if (kind == "pin") return i == 3 || i == 4
    if (kind == "ball") return i == 4
    if (kind == "b") return i >= 3 && i <= 8
    return 0
}

function fail(msg) {
    printf "%s: line %d: %s\n  native: %s\n  wine:   %s\n", name, NR, msg, $0, theirs
    bad = 1
    exit 1
}

{
    if ((getline theirs < other) <= 0) fail("the Windows output ends early")
    sub(/\r$/, "", theirs)
    n = split($0, mine, /[ =,]/)
    if (split(theirs, yours, /[ =,]/) != n) fail("different number of fields")
    kind = mine[1]
    tol = (kind == "scene" || kind == "pin" || kind == "ball") ? 1e-9 : 1e-6
    for (i = 1; i <= n; i++) {
        if (mine[i] == yours[i]) continue
        if (is_double(kind, i)) {
            if (!near(mine[i] + 0, yours[i] + 0, tol)) fail("field " i " differs by more than " tol)
            ++inexact
            continue
        }
        if (kind == "s" && i >= 4 && (i - 4) % 4 < 2 && abs(mine[i] - yours[i]) <= 1) continue
        fail("field " i " differs")
    }
}

END {
    if (bad) exit 1
    if ((getline theirs < other) > 0) {
        printf "%s: the Windows output has more lines than the native one\n", name
        exit 1
    }
    printf "%s: %d lines agree (%d doubles not bit-equal)\n", name, NR, inexact
}
