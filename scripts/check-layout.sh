#!/usr/bin/env bash
# The folders show the libraries: nothing under src/core/ may include window
# code (anything under gui/) or a Qt Widgets header. Exits non-zero and names
# the offending lines otherwise.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
widgets='QtWidgets|QApplication|QWidget|QDialog|QMainWindow|QLabel|QLineEdit|QPushButton|QMessageBox|QFileDialog|QAbstractItemView|QListView|QTreeView|QMenu|QMenuBar|QAction|QTabBar|QProgressBar|QStyle'
hits=$(grep -rn -E "#include *[\"<](gui/|($widgets)[>\".])" "$here/src/core" || true)
if [ -n "$hits" ]; then
  echo "src/core/ must not include window code or Qt Widgets headers:" >&2
  echo "$hits" >&2
  exit 1
fi

# The folders of src/core/ form layers: no folder may reach itself again
# through the includes of its files (say remote -> app -> remote), or no
# folder could be understood, built or replaced without the others.
edges=$(cd "$here/src/core" && grep -rHo -E '#include "core/[a-z]+/' --include='*.h' --include='*.cpp' . |
  sed -E 's#^\./([a-z]+)/[^:]*:\#include "core/([a-z]+)/#\1 \2#' | awk '$1 != $2' | sort -u)
cycle=$(python3 - "$edges" <<'PY'
import sys
graph = {}
for line in sys.argv[1].splitlines():
    a, b = line.split()
    graph.setdefault(a, set()).add(b)

def find(node, path):
    for nxt in sorted(graph.get(node, ())):
        if nxt in path:
            return path[path.index(nxt):] + [nxt]
        found = find(nxt, path + [nxt])
        if found:
            return found
    return None

for start in sorted(graph):
    found = find(start, [start])
    if found:
        print(" -> ".join(found))
        break
PY
)
if [ -n "$cycle" ]; then
  echo "src/core/ folders include each other in a cycle: $cycle" >&2
  echo "$edges" | sed 's/^/  /' >&2
  exit 1
fi
