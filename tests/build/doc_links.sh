#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# doc_links.sh ROOT: every relative link of ROOT/README.md and ROOT/doc/*.md leads somewhere: to a file
# or folder of the tree and, with a #fragment, to a heading of that Markdown file, named as the forge
# names headings (lower case, punctuation dropped, blanks as hyphens). What stands in code is no link.
# Prints each broken link and fails when there is one.
set -euo pipefail
cd "$1"
without_code() { sed '/^```/,/^```/d' "$1" | sed 's/`[^`]*`//g'; }
anchors() {
    sed '/^```/,/^```/d' "$1" | sed -n 's/^#\{1,6\} \{1,\}//p' | tr 'A-Z' 'a-z' |
        tr -d '!"#$%&'"'"'()*+,./:;<=>?@[\\]^`{|}~' | tr ' ' '-'
}
broken=0
for doc in README.md doc/*.md; do
    while IFS= read -r link; do
        target="${link%%#*}"
        case "$target" in http://* | https://* | mailto:*) continue ;; esac
        path="$(dirname "$doc")/$target"
        [ -n "$target" ] || path="$doc"
        if [ ! -e "$path" ]; then
            echo "$doc: ($link): there is no $path"
            broken=1
        elif [[ "$link" == *#* ]] && ! anchors "$path" | grep -qxF -- "${link#*#}"; then
            echo "$doc: ($link): $path has no heading '${link#*#}'"
            broken=1
        fi
    done < <(without_code "$doc" | grep -o '\]([^)]*)' | sed 's/^](\(.*\))$/\1/')
done
exit "$broken"
