#!/usr/bin/env bash
# The lint mode's JSON and SARIF outputs on the golden inputs, read back and held against the
# text output of the same run, finding for finding; every SARIF log is also validated against
# the SARIF 2.1.0 JSON schema that the npm package @microsoft/jest-sarif ships, and by the SARIF
# multitool with GitHub's code-scanning rules (scripts/deps.sh installs both and
# python3-jsonschema).
#   formats_test.sh BIN DATA_DIR GOLDEN_DIR
set -u
bin=$(readlink -f "$1")
data=$(readlink -f "$2")
golden=$(readlink -f "$3")
schema=$(npm root -g 2>/dev/null)/@microsoft/jest-sarif/lib/schemas/sarif-2.1.0-rtm.5.json
multitool=$(npm root -g 2>/dev/null)/@microsoft/sarif-multitool-linux/Sarif.Multitool
for need in "$schema" "$multitool"; do
  if [ ! -s "$need" ]; then
    echo "FAIL: no $need (scripts/deps.sh installs it)"
    exit 1
  fi
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$golden" || exit 2

# A folder of its own: a file, a link to a file elsewhere in it, a file outside it.
work=$scratch/work
mkdir -p "$work/proj" "$work/store"
cp basic.lsp "$work/proj/a.lsp"
cp categories.lsp "$work/store/b.lsp"
ln -s ../store/b.lsp "$work/proj/link.lsp"
cp varsexample.lsp "$scratch/outside.lsp"

# Each case: a name, the folder it runs in and the lint arguments; every case runs in the three
# formats.
cases=(
  "every golden input|$golden|$(printf '%s ' *.lsp)"
  "an unreadable file among them|$golden|basic.lsp nothere.lsp unclosed.lsp"
  "--select|$golden|--select unbalanced-parens,global --select unreferenced-function categories.lsp unclosed.lsp"
  "--ignore|$golden|--ignore toplevel-global,unreferenced-function categories.lsp parensexample.lsp"
  "--strict|$golden|--strict varsexample.lsp"
  "a link, a file outside, an unreadable file|$work|proj ../outside.lsp ./proj/../nothere.lsp"
)
for i in "${!cases[@]}"; do
  IFS='|' read -r name dir args <<<"${cases[$i]}"
  printf '%s\n' "$name" >"$scratch/$i.name"
  for format in text json sarif; do
    # shellcheck disable=SC2086  # the arguments are words
    (cd "$dir" && "$bin" --data-dir "$data" --ansi-codepage 932 --format "$format" $args) \
      >"$scratch/$i.$format" 2>"$scratch/$i.$format.err"
    echo $? >"$scratch/$i.$format.rc"
  done
  # GitHub's rules and the SARIF rules; the multitool's own notes are advice, not failures.
  DOTNET_SYSTEM_GLOBALIZATION_INVARIANT=1 timeout 120 "$multitool" validate \
    --rule-kind "Sarif;Gh" -o "$scratch/$i.validation" "$scratch/$i.sarif" \
    >"$scratch/$i.multitool" 2>&1
  echo $? >"$scratch/$i.multitool.rc"
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
        m = re.fullmatch(r"(.*?):(\d+):(\d+): ([a-z-]+): (.*)", line)
        if not m:
            fail(f"text line not PATH:LINE:COLUMN: CATEGORY: NAME: {line!r}")
            continue
        text.append((m[1], int(m[2]), int(m[3]), m[4], m[5]))
    for a, b in zip(text, text[1:]):
        if a[0] == b[0] and a[1:3] > b[1:3]:
            fail(f"text: {b} after {a}: not in line order")

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
            key = (entry["path"], f["line"], f["column"], f["category"], f["name"])
            from_json.append(key)
            columns[key[1:]] = f["endColumn"]
            if f["endColumn"] < f["column"] or not f.get("text"):
                fail(f"JSON: {key} has no end column past its column or no text")
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
        help_ = rule.get("help", {})
        if not (rule.get("name") and rule.get("fullDescription", {}).get("text")
                and help_.get("text") and "```lisp" in help_.get("markdown", "")
                and rule.get("helpUri", "").endswith("#" + rule["id"])):
            fail(f"SARIF: rule {rule['id']} does not explain itself")
    from_sarif, prints, uris = [], set(), []
    for r in run["results"]:
        loc = r["locations"][0]["physicalLocation"]
        region = loc["region"]
        key = (region["startLine"], region["startColumn"], r["ruleId"], r["properties"]["name"])
        from_sarif.append(key)
        uris.append(loc["artifactLocation"])
        if rules[r["ruleIndex"]]["id"] != r["ruleId"]:
            fail(f"SARIF: ruleIndex {r['ruleIndex']} is not rule {r['ruleId']}")
        if r["level"] != rules[r["ruleIndex"]]["defaultConfiguration"]["level"]:
            fail(f"SARIF: result level {r['level']} for {r['ruleId']}")
        uri = loc["artifactLocation"]
        if (uri.get("uriBaseId") == "%SRCROOT%") == uri["uri"].startswith("file:"):
            fail(f"SARIF: {uri}: relative URIs under %SRCROOT%, absolute ones without")
        if region.get("endColumn") != columns.get(key[:2] + key[2:]):
            fail(f"SARIF: end column of {key} differs from JSON's")
        fp = r.get("partialFingerprints", {}).get("nokariFinding/v1")
        if not fp or fp in prints:
            fail(f"SARIF: {key} has no fingerprint of its own")
        prints.add(fp)
    if from_sarif != [t[1:] for t in text]:
        fail(f"SARIF results differ from the text output:\n  {from_sarif}\n  {text}")
    artifacts = {a["location"]["uri"]: a["encoding"] for a in run.get("artifacts", [])}
    for uri in uris:
        if uri["uri"] not in artifacts:
            fail(f"SARIF: {uri['uri']} is no artifact")
    if name.startswith("a link"):
        got = sorted({u["uri"] for u in uris})
        want = sorted({"proj/a.lsp", "store/b.lsp", "file://" + scratch + "/outside.lsp"})
        if got != want:
            fail(f"SARIF: URIs {got}, not {want}")
    validation = read(f"{scratch}/{i}.multitool")
    errors = [l for l in validation.splitlines() if re.search(r": error [A-Z]+\d+:", l)]
    if int(read(f"{scratch}/{i}.multitool.rc")) != 0 or errors:
        fail("the SARIF multitool: " + ("; ".join(errors[:5]) or validation[-500:]))
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
