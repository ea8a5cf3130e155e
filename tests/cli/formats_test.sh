#!/usr/bin/env bash
# The lint mode's JSON and SARIF outputs on the golden inputs, read back and held against the
# text output of the same run, finding for finding; every SARIF log is also validated against
# the SARIF 2.1.0 JSON schema that the npm package @microsoft/jest-sarif ships
# (scripts/deps.sh installs it and python3-jsonschema).
#   formats_test.sh BIN DATA_DIR GOLDEN_DIR
set -u
bin=$(readlink -f "$1")
data=$(readlink -f "$2")
golden=$(readlink -f "$3")
schema=$(npm root -g 2>/dev/null)/@microsoft/jest-sarif/lib/schemas/sarif-2.1.0-rtm.5.json
if [ ! -s "$schema" ]; then
  echo "FAIL: no SARIF schema at $schema (scripts/deps.sh installs it)"
  exit 1
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$golden" || exit 2

# Each case: a name and the lint arguments; every case runs in the three formats.
cases=(
  "every golden input|$(printf '%s ' *.lsp)"
  "an unreadable file among them|basic.lsp nothere.lsp unclosed.lsp"
  "--select|--select unbalanced-parens,global --select unreferenced-function categories.lsp unclosed.lsp"
  "--ignore|--ignore toplevel-global,unreferenced-function categories.lsp parensexample.lsp"
  "--strict|--strict varsexample.lsp"
)
for i in "${!cases[@]}"; do
  IFS='|' read -r name args <<<"${cases[$i]}"
  printf '%s\n' "$name" >"$scratch/$i.name"
  for format in text json sarif; do
    # shellcheck disable=SC2086  # the arguments are words
    "$bin" --data-dir "$data" --ansi-codepage 932 --format "$format" $args \
      >"$scratch/$i.$format" 2>"$scratch/$i.$format.err"
    echo $? >"$scratch/$i.$format.rc"
  done
done

/usr/bin/python3 - "$scratch" "${#cases[@]}" "$schema" <<'PY'
import json, re, sys

scratch, count, schema_path = sys.argv[1], int(sys.argv[2]), sys.argv[3]
try:
    import jsonschema
except ImportError:
    print("FAIL: python3-jsonschema is missing (scripts/deps.sh installs it)")
    sys.exit(1)
schema = json.load(open(schema_path, encoding="utf-8"))
validator = jsonschema.validators.validator_for(schema)(schema)
ERROR_RULES = {"unbalanced-parens", "duplicate-function"}
failures = []

def read(path):
    with open(path, "rb") as f:
        return f.read().decode("utf-8", "surrogateescape")

for i in range(count):
    name = read(f"{scratch}/{i}.name").strip()
    def fail(what):
        failures.append(f"{name}: {what}")
    rc = {f: int(read(f"{scratch}/{i}.{f}.rc")) for f in ("text", "json", "sarif")}
    if len(set(rc.values())) != 1:
        fail(f"exit status differs between the formats: {rc}")
    unreadable = [l for l in read(f"{scratch}/{i}.text.err").splitlines() if "cannot read" in l]
    if bool(unreadable) != (rc["text"] == 2):
        fail(f"exit status {rc['text']} with {len(unreadable)} unreadable files")

    text = []
    for line in read(f"{scratch}/{i}.text").splitlines():
        m = re.fullmatch(r"(.*?):(\d+): ([a-z-]+): (.*)", line)
        if not m:
            fail(f"text line not PATH:LINE: CATEGORY: NAME: {line!r}")
            continue
        text.append((m[1], int(m[2]), m[3], m[4]))

    doc = json.loads(read(f"{scratch}/{i}.json"))
    if doc["tool"]["name"] != "nokari-check" or not doc["tool"]["version"]:
        fail("JSON: tool name or version")
    from_json, columns, errors = [], {}, []
    for entry in doc["files"]:
        if "error" in entry:
            errors.append(entry["path"])
            continue
        if entry["encoding"] not in ("UTF8", "ANSI"):
            fail(f"JSON: encoding {entry['encoding']!r}")
        for f in entry["findings"]:
            key = (entry["path"], f["line"], f["category"], f["name"])
            from_json.append(key)
            columns[key] = f.get("column")
    if from_json != text:
        fail(f"JSON findings differ from the text output:\n  {from_json}\n  {text}")
    if len(errors) != len(unreadable):
        fail(f"JSON names {len(errors)} unreadable files, stderr {len(unreadable)}")

    log = json.loads(read(f"{scratch}/{i}.sarif"))
    problems = sorted(validator.iter_errors(log), key=lambda e: list(e.path))
    for p in problems[:5]:
        fail(f"SARIF schema: {p.message} at {'/'.join(map(str, p.path))}")
    run = log["runs"][0]
    rules = run["tool"]["driver"]["rules"]
    for rule in rules:
        level = rule["defaultConfiguration"]["level"]
        expected = ("error" if rule["id"] in ERROR_RULES
                    else "note" if rule["id"] == "global-read" else "warning")
        if level != expected:
            fail(f"SARIF: rule {rule['id']} has level {level}")
        if not rule["properties"]["heading"] or not rule["shortDescription"]["text"]:
            fail(f"SARIF: rule {rule['id']} lacks its heading or description")
    from_sarif = []
    for r in run["results"]:
        loc = r["locations"][0]["physicalLocation"]
        key = (loc["artifactLocation"]["uri"], loc["region"]["startLine"], r["ruleId"],
               r["properties"]["name"])
        from_sarif.append(key)
        if rules[r["ruleIndex"]]["id"] != r["ruleId"]:
            fail(f"SARIF: ruleIndex {r['ruleIndex']} is not rule {r['ruleId']}")
        if r["level"] != rules[r["ruleIndex"]]["defaultConfiguration"]["level"]:
            fail(f"SARIF: result level {r['level']} for {r['ruleId']}")
        if loc["artifactLocation"].get("uriBaseId") != "%SRCROOT%":
            fail(f"SARIF: {loc['artifactLocation']} is not relative to %SRCROOT%")
        if loc["region"].get("startColumn") != columns.get(key):
            fail(f"SARIF: column of {key} differs from JSON's")
    if from_sarif != text:
        fail(f"SARIF results differ from the text output:\n  {from_sarif}\n  {text}")
    invocation = run["invocations"][0]
    notes = [n for n in invocation.get("toolExecutionNotifications", []) if n["level"] == "error"]
    if invocation["executionSuccessful"] != (not unreadable) or len(notes) != len(unreadable):
        fail(f"SARIF: {len(notes)} error notifications for {len(unreadable)} unreadable files")

for f in failures:
    print("FAIL", f)
print(f"formats: {count - len({f.split(':')[0] for f in failures})} passed, "
      f"{len({f.split(':')[0] for f in failures})} failed")
sys.exit(1 if failures else 0)
PY
