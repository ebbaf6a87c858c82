#include "core/app/HyperlinkRules.h"

namespace tidewell::hyperlink {
namespace {

bool IsPlaceholder(QChar c) {
    return c == u'u' || c == u'U' || c == u'f' || c == u'F' || c == u'1';
}

// Where the first placeholder in double quotes begins (at its opening quote), or -1.
qsizetype FindQuotedPlaceholder(const QString& line) {
    for (qsizetype i = 0; i + 3 < line.size(); ++i) {
        if (line[i] == u'"' && line[i + 1] == u'%' && IsPlaceholder(line[i + 2]) && line[i + 3] == u'"') {
            return i;
        }
    }
    return -1;
}

// Where the first bare placeholder begins, or -1; "%%" is a percent sign.
qsizetype FindBarePlaceholder(const QString& line) {
    for (qsizetype i = 0; i + 1 < line.size(); ++i) {
        if (line[i] != u'%') {
            continue;
        }
        if (line[i + 1] == u'%') {
            ++i;
        } else if (IsPlaceholder(line[i + 1])) {
            return i;
        }
    }
    return -1;
}

// A word of an Exec line that is a field code (%i, %c, %k, a placeholder...):
// nothing this program can fill in, so it is left out.
bool IsFieldCode(const QString& word) {
    return word.size() == 2 && word[0] == u'%' && word[1] != u'%';
}

// Splits an Exec line into words: blanks separate them, double quotes group
// them, and inside quotes a backslash makes the next character literal.
QStringList SplitExecWords(const QString& line) {
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == u'\\' && i + 1 < line.size()) {
                word += line[++i];
            } else if (c == u'"') {
                quoted = false;
            } else {
                word += c;
            }
        } else if (c == u'"') {
            quoted = true;
            inWord = true;
        } else if (c.isSpace()) {
            if (inWord) {
                words << word;
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) {
        words << word;
    }
    return words;
}

} // namespace

QString OpenErrorText(int code) {
    switch (code) {
    case 0:
        return QStringLiteral("The operating system is out\nof memory or resources.");
    case 2:
        return QStringLiteral("The specified file was not found.");
    case 3:
        return QStringLiteral("The specified path was not found.");
    case 5:
        return QStringLiteral("The operating system denied\naccess to the specified file.");
    case 8:
        return QStringLiteral("There was not enough memory to complete the operation.");
    case 11:
        return QStringLiteral("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
    case 26:
        return QStringLiteral("A sharing violation occurred. ");
    case 27:
        return QStringLiteral("The filename association is\nincomplete or invalid.");
    case 28:
        return QStringLiteral("The DDE transaction could not\nbe completed because the request timed out.");
    case 29:
        return QStringLiteral("The DDE transaction failed.");
    case 30:
        return QStringLiteral("The DDE transaction could not\nbe completed because other DDE transactions\n"
                              "were being processed.");
    case 31:
        return QStringLiteral("There is no application associated\nwith the given filename extension.");
    case 32:
        return QStringLiteral("The specified dynamic-link library was not found.");
    default:
        return QStringLiteral("Unknown Error (%1) occurred.").arg(code);
    }
}

QString OpenErrorMessage(int code) {
    return QStringLiteral("Unable to open hyperlink:\n\n") + OpenErrorText(code);
}

QString CutAtPlaceholder(const QString& commandLine) {
    qsizetype cut = FindQuotedPlaceholder(commandLine);
    if (cut < 0) {
        cut = FindBarePlaceholder(commandLine);
    }
    return cut < 0 ? commandLine : commandLine.left(cut);
}

QStringList BrowserCommand(const QString& execLine, const QString& address) {
    QStringList command;
    for (QString& word : SplitExecWords(CutAtPlaceholder(execLine))) {
        if (!IsFieldCode(word)) {
            command << word.replace(QStringLiteral("%%"), QStringLiteral("%"));
        }
    }
    if (command.isEmpty()) {
        return {};
    }
    return command << address;
}

QString DesktopEntryExec(const QString& desktopFile) {
    bool inEntry = false;
    for (const QString& rawLine : desktopFile.split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inEntry || !line.startsWith(QLatin1String("Exec"))) {
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0 || !line.mid(4, equals - 4).trimmed().isEmpty()) {
            continue; // "ExecFoo=" or "Exec[de]=" is another key
        }
        const QString value = line.mid(equals + 1).trimmed();
        QString unescaped;
        for (qsizetype i = 0; i < value.size(); ++i) {
            if (value[i] != u'\\' || i + 1 == value.size()) {
                unescaped += value[i];
                continue;
            }
            const QChar next = value[++i];
            if (next == u's') {
                unescaped += u' ';
            } else if (next == u'n') {
                unescaped += u'\n';
            } else if (next == u't') {
                unescaped += u'\t';
            } else if (next == u'r') {
                unescaped += u'\r';
            } else if (next == u'\\') {
                unescaped += u'\\';
            } else {
                // Not a value escape: left for the Exec quoting to read.
                unescaped += u'\\';
                unescaped += next;
            }
        }
        return unescaped;
    }
    return {};
}

QStringList MimeAppsDefaults(const QString& mimeAppsList, const QString& mimeType) {
    bool inDefaults = false;
    for (const QString& rawLine : mimeAppsList.split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(u'[')) {
            inDefaults = line == QLatin1String("[Default Applications]");
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (inDefaults && equals > 0 && line.left(equals).trimmed() == mimeType) {
            QStringList ids;
            for (const QString& id : line.mid(equals + 1).split(u';')) {
                if (!id.trimmed().isEmpty()) {
                    ids << id.trimmed();
                }
            }
            return ids;
        }
    }
    return {};
}

} // namespace tidewell::hyperlink
