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
