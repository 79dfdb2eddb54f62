#!/usr/bin/env bash
# The suite runner's comparison, against a stand-in xlhost that prints fixed results: what must match does,
# and every kind of difference fails (a text, its counted zero, a number beyond the tolerance, a digest, a
# missing or an extra result), in the version it belongs to.
#   runner_test.sh RUN_E2E
set -uo pipefail
runner=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# The stand-in prints the lines of $work/out.V for --version V, whatever the formulas.
cat >"$work/xlhost" <<'STUB'
#!/usr/bin/env bash
while (($#)); do [[ $1 == --version ]] && version=$2; shift; done
cat "$(dirname "$0")/out.$version"
STUB
chmod +x "$work/xlhost"
long=$(printf 'x%.0s' {1..5000})
digest=$(printf '{"str": "%s"}' "$long" | sha256sum | cut -d' ' -f1)

cat >"$work/suite.xlf" <<EOF2
# A suite with each kind of expectation.
#option counted-zero
f(1)  => {"num": 1.5}
f("a => b")  => {"str": "a => b"}
f(2)  => 12: {"int": 6}  16: {"err": 15}
f(3)  => 12: sha256:$digest  16: {"str": "too big\u0000"}
f({{3*x}})  => {"multi": [[{"num": 1}, {"str": "c"}]]}
EOF2

# run NAME want(pass|fail) VERSION [runner options...]: stdin is what the stand-in prints.
run() {
    local name=$1 want=$2 version=$3 got=pass
    shift 3
    cat >"$work/out.$version"
    bash "$runner" --xlhost "$work/xlhost" --version "$version" --suite "$work/suite.xlf" "$@" >"$work/log" 2>&1 ||
        got=fail
    if [[ $got != "$want" ]]; then
        echo "FAILED: $name: expected $want, got $got"
        cat "$work/log"
        failures=$((failures + 1))
    fi
}
good12() {
    printf '%s\n' '{"num": 1.5}' '{"str": "a => b"}' '{"int": 6}' "{\"str\": \"$long\"}" \
        '{"multi": [[{"num": 1}, {"str": "c"}]]}'
}
good16() {
    printf '%s\n' '{"num": 1.5}' '{"str": "a => b\u0000"}' '{"err": 15}' '{"str": "too big\u0000"}' \
        '{"multi": [[{"num": 1}, {"str": "c\u0000"}]]}'
}

good12 | run "12-generation results" pass 12
good16 | run "4-generation results, texts with their counted zero" pass 16
good12 | sed 's/a => b/a => c/' | run "a different text" fail 12
good16 | sed 's/a => b\\u0000/a => b/' | run "a 4-generation text without its zero" fail 16
good12 | sed 's/a => b"/a => b\\u0000"/' | run "a 12-generation text with a zero" fail 12
good12 | sed 's/"int": 6/"num": 6/' | run "a different kind" fail 12
good12 | sed 's/1\.5/1.5000000001/' | run "a number off by 7e-11, exactly" fail 12
good12 | sed 's/1\.5/1.5000000001/' | run "a number off by 7e-11, within 1e-9" pass 12 --tolerance 1e-9
good12 | sed 's/1\.5/1.5000000001/' | run "a number off by 7e-11, beyond 1e-12" fail 12 --tolerance 1e-12
good12 | sed 's/"str": "a => b"/"str": "a => bb"/' | run "a text under a tolerance" fail 12 --tolerance 1e-3
good12 | sed "s/x\{5000\}/x${long:1:4998}/" | run "a long result whose digest differs" fail 12
good16 | sed '$d' | run "a result missing" fail 16
(good16 && echo '{"num": 2}') | run "a result too many" fail 16

# xlhost reads the formulas alone, line for line, templates expanded.
bash "$runner" --formulas --suite "$work/suite.xlf" >"$work/formulas"
[[ $(wc -l <"$work/formulas") == 7 && $(sed -n 3p "$work/formulas") == 'f(1)' &&
    $(sed -n 4p "$work/formulas") == 'f("a => b")' && $(sed -n 7p "$work/formulas") == 'f(xxx)' ]] || {
    echo "FAILED: the formulas xlhost reads"
    cat "$work/formulas"
    failures=$((failures + 1))
}

printf '%s\n' 'f(1)  => {"num": 1}' 'g(2)' >"$work/suite.xlf"
printf '%s\n' '{"num": 1}' '{"num": 2}' | run "a formula without its result" fail 12

((failures == 0)) || { echo "$failures runner checks failed"; exit 1; }
echo "all runner checks behave"
