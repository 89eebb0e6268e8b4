#!/bin/sh
# The report opened in a real browser: a fixture class folder, its reports in
# both languages rendered by headless Chromium, and the rendered page checked
# for its rows, values and chart points, for stored text that stays text, and
# for references to anything outside the page.
# Usage: report_browser_test.sh ZELVO_EXPORT REPORT_FIXTURE
set -u
export_program=$1
fixture=$2
browser=$(command -v chromium || command -v chromium-browser) || { echo "chromium not installed"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$fixture" "$work/class" || exit 1

# Renders $1 and writes the DOM after its script has run to $2.
render() {
    profile=$(mktemp -d "$work/profile.XXXXXX")
    timeout 120 "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --user-data-dir="$profile" --dump-dom "file://$1" >"$2" 2>"$work/browser.log" \
        || { cat "$work/browser.log"; fail "chromium could not render $1"; }
}

has() { grep -qF -- "$2" "$1" || fail "$1 lacks: $2"; }
count() {
    n=$(grep -oF -- "$2" "$1" | wc -l)
    [ "$n" -eq "$3" ] || fail "$1 has $n times '$2', expected $3"
}

# The week to Saturday 2026-09-05, so that nothing depends on today's date.
"$export_program" report --folder "$work/class" --week 2026-09-05 --output "$work/ru.html" 2>"$work/ru.err"
[ $? -eq 0 ] || { cat "$work/ru.err"; fail "report: exit status not 0"; }
"$export_program" report --folder "$work/class" --week 2026-09-05 --lang en --output "$work/en.html" 2>/dev/null
[ $? -eq 0 ] || fail "report --lang en: exit status not 0"

for page in ru en; do
    html=$work/$page.html
    dom=$work/$page.dom
    render "$html" "$dom"
    # Nothing outside the page: no address, no attribute naming another file.
    for file in "$html" "$dom"; do
        if grep -qiE 'https?:|ftp:|//[a-z0-9]' "$file"; then fail "$file names an address"; fi
        # Each attribute on a line of its own, so that text inside a quoted
        # value never passes for an attribute.
        outside=$(grep -oE '<[a-zA-Z][^>]*>' "$file" \
            | sed -E 's/([a-zA-Z:-]+)=("[^"]*"|[^[:space:]>"]*)/\n\1=\2\n/g' \
            | grep -iE '^(src|href|xlink:href|action|data|srcset|poster|formaction)=' | grep -v '^href="#' || true)
        [ -z "$outside" ] || fail "$file refers outside: $outside"
    done
    # One script element, the page's own; the stored script and image stay text.
    count "$dom" "<script" 1
    count "$dom" "<img" 0
    has "$dom" "&lt;script&gt;alert(1)&lt;/script&gt;"
    has "$dom" "&lt;img src=x onerror=alert(2)&gt;"
    # The sorting script ran: the column headers became buttons.
    has "$dom" '<th scope="col" data-type="text"><button type="button">'
    # Four pupils in the records window's nick order: the profiles, the nicks
    # only in a table.
    count "$dom" '<tr><th scope="row" data-sort=' 4
    has "$dom" '<a href="#pupil-1">%1%2</a>'
    has "$dom" '<a href="#pupil-2">&lt;script&gt;alert(1)&lt;/script&gt;</a>'
    has "$dom" '<th scope="row" data-sort="anna"><a href="#pupil-3">anna</a></th><td data-sort="Анна Петрова">Анна Петрова</td>'
    has "$dom" '<a href="#pupil-4">ghost</a>'
    has "$dom" 'data-sort="%1%2"'
    has "$dom" '>Проценты<'
    # anna: 3 exercises in 0-20, 520 s, 150 points (as her profile's totals),
    # best and latest 30 points a minute, 6 errors in 150 points: 0.4 per 10 points.
    has "$dom" '<td class="n" data-sort="520">0:08:40</td><td class="n" data-sort="150">150</td>'
    has "$dom" '<td class="n" data-sort="30.00">30'
    has "$dom" '<td class="n" data-sort="0.40">0'
    # anna's speed chart of 0-20: one point a day.
    has "$dom" '<svg class="chart" id="c3-20-s" role="img"'
    has "$dom" 'data-date="2026-09-01" data-value="12.00"'
    has "$dom" 'data-date="2026-09-02" data-value="15.00"'
    has "$dom" 'data-date="2026-09-05" data-value="30.00"'
    # Six charts (speed and errors of anna, the script nick and %1%2), each
    # titled, described and with its numbers in one collapsed table per range,
    # and the class's exercises per day, titled and described too.
    count "$dom" '<circle class="pt speed"' 5
    count "$dom" '<circle class="pt errors"' 5
    count "$dom" '<details>' 3
    count "$dom" '<title id=' 7
    count "$dom" '<desc id=' 7
done
has "$work/ru.dom" '<html lang="ru">'
has "$work/ru.dom" 'Отчёт по классу'
has "$work/ru.dom" '1 из 4'
has "$work/ru.dom" '30,0'
has "$work/en.dom" '<html lang="en">'
has "$work/en.dom" 'Class report'
has "$work/en.dom" '1 of 4'
has "$work/en.dom" '30.0'

# A range without a table: incomplete, the table named, the page still written.
"$export_program" report --folder "$work/class" --range 999 --output "$work/999.html" 2>"$work/999.err"
[ $? -eq 1 ] || fail "report --range 999: exit status not 1"
grep -q "999record.config" "$work/999.err" || fail "missing table not named"
[ -s "$work/999.html" ] || fail "no page for --range 999"
# The output inside the class folder: a wrong command line, nothing written.
"$export_program" report --folder "$work/class" --output "$work/class/r.html" 2>/dev/null
[ $? -eq 2 ] || fail "output in the class folder: exit status not 2"
[ ! -e "$work/class/r.html" ] || fail "written into the class folder"

[ "$failures" -eq 0 ] && echo "report browser test passed"
[ "$failures" -eq 0 ]
