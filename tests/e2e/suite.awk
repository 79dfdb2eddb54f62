# The end-to-end suite format, shared by run_e2e.sh and convert_suite.sh (awk functions only).
#
# A suite is one formula file for both host generations; each formula line carries its expected result
# beside it, after " => ":
#     sched_endOfMonth(DATE(2001, 2, 3))  => {"num": 36950}
# Where the generations answer differently beyond the rules below, each version's result is labelled:
#     sched_Holidays(1, 2e6, "LON", )  => 12: sha256:42a6...  16: {"str": "array does not fit the host's grid\u0000"}
# A labelled result is compared as written. An unlabelled one is the same in both, except that after the line
#     #option counted-zero
# every text of an unlabelled result ends in "\u0000" in the 4-generation (any version but 12): the add-in's
# 4-generation texts count their terminating zero. A result "sha256:HEX" stands for a line too long to keep,
# compared by the digest of the line. Blank lines and "#" lines are xlhost's comments and stay in place, so
# xlhost's line and column numbers are those of the suite file.
#
# Templates, so that huge inputs need not be checked in (in formulas only):
#     #let NAME = TEXT     defines ${NAME} for the lines below (the line stays a comment for xlhost)
#     {{N*TEXT}}           TEXT repeated N times (TEXT holds no "}}")

function isComment(line) {
    return line ~ /^[ \t]*$/ || line ~ /^[ \t]*#/
}

# The position of the first " => " outside the formula's quoted texts and {{...}} repetitions; for a formula
# whose text is left open (a line xlhost refuses), the last " => "; 0 if none.
function arrowPosition(line,    i, n, c, quoted, last) {
    n = length(line)
    quoted = 0
    for (i = 1; i <= n; i++) {
        c = substr(line, i, 1)
        if (c == "\"")
            quoted = !quoted # a doubled quote inside a text toggles twice
        else if (!quoted && c == "{" && substr(line, i, 2) == "{{") {
            c = index(substr(line, i + 2), "}}")
            if (c == 0)
                return 0
            i += c + 2
        } else if (!quoted && c == " " && substr(line, i, 4) == " => ")
            return i
    }
    last = 0
    for (i = 1; (c = index(substr(line, i), " => ")) > 0; i += c)
        last = i + c - 1
    return last
}

# The formula part of a suite line, without the blanks before its " => ".
function formulaOf(line, arrow,    f) {
    f = substr(line, 1, arrow - 1)
    sub(/[ \t]+$/, "", f)
    return f
}

# The expectation of a suite line: all after " => ", without surrounding blanks.
function expectationOf(line, arrow,    e) {
    e = substr(line, arrow + 4)
    sub(/^[ \t]+/, "", e)
    sub(/[ \t]+$/, "", e)
    return e
}

# Splits a labelled expectation ("12: R  16: R") into results[label]; returns the number of labels, 0 when the
# expectation is not labelled. Labels are found outside JSON texts (backslash escapes).
function labelled(expectation, results,    n, i, c, quoted, start, label, rest) {
    if (expectation !~ /^[0-9]+: /)
        return 0
    n = 0
    quoted = 0
    label = ""
    start = 0
    for (i = 1; i <= length(expectation) + 1; i++) {
        c = substr(expectation, i, 1)
        if (quoted) {
            if (c == "\\")
                i++
            else if (c == "\"")
                quoted = 0
            continue
        }
        if (c == "\"") {
            quoted = 1
            continue
        }
        rest = substr(expectation, i)
        if ((i == 1 || substr(expectation, i - 2, 2) == "  ") && match(rest, /^[0-9]+: /) || c == "") {
            if (label != "") {
                results[label] = substr(expectation, start, i - start)
                sub(/[ \t]+$/, "", results[label])
                n++
            }
            if (c == "")
                break
            label = substr(rest, 1, RLENGTH - 2)
            start = i + RLENGTH
            i += RLENGTH - 1
        }
    }
    return n
}

# A result with "\u0000" added at the end of each of its texts ({"str": "..."} values).
function countedZero(result,    out, i, c, j) {
    out = ""
    while ((i = index(result, "{\"str\": \"")) > 0) {
        out = out substr(result, 1, i + 8)
        result = substr(result, i + 9)
        for (j = 1; j <= length(result); j++) {
            c = substr(result, j, 1)
            if (c == "\\")
                j++
            else if (c == "\"")
                break
        }
        out = out substr(result, 1, j - 1) "\\u0000\""
        result = substr(result, j + 1)
    }
    return out result
}

# The 12-generation is chosen by version 12 only; every other version gets the 4-generation.
function fourGeneration(version) {
    return version + 0 != 12
}

# The result expected of one expectation in one version; sets expectError when there is none.
function expectedFor(expectation, version, countedZeroTexts,    results, n) {
    expectError = ""
    n = labelled(expectation, results)
    if (n > 0) {
        if (!(version in results)) {
            expectError = "no result for version " version
            return ""
        }
        return results[version]
    }
    if (countedZeroTexts && fourGeneration(version) && expectation !~ /^sha256:/)
        return countedZero(expectation)
    return expectation
}

# TEXT repeated n times.
function repeated(text, n,    out) {
    if (n <= 0 || text == "")
        return ""
    out = text
    while (length(out) * 2 <= n * length(text))
        out = out out
    return out substr(out, 1, n * length(text) - length(out))
}

# A formula with the template's ${NAME} and {{N*TEXT}} expanded (templateVars: the #let definitions so far).
function expanded(line,    name, inner, star) {
    if (index(line, "${") > 0)
        for (name in templateVars)
            gsub("\\$\\{" name "\\}", templateVars[name], line)
    while (match(line, /\{\{[0-9]+\*([^}]|\}[^}])*\}\}/)) {
        inner = substr(line, RSTART + 2, RLENGTH - 4)
        star = index(inner, "*")
        line = substr(line, 1, RSTART - 1) repeated(substr(inner, star + 1), substr(inner, 1, star - 1) + 0) \
               substr(line, RSTART + RLENGTH)
    }
    return line
}

# Records a "#let NAME = TEXT" line in templateVars; returns whether the line was one.
function templateDefinition(line,    name, value) {
    if (line !~ /^#let [A-Za-z_][A-Za-z_0-9]* = /)
        return 0
    split(line, parts, " ")
    name = parts[2]
    value = line
    sub(/^#let [A-Za-z_][A-Za-z_0-9]* = /, "", value)
    templateVars[name] = value
    return 1
}

function isCountedZeroOption(line) {
    return line ~ /^#option[ \t]+counted-zero[ \t]*$/
}
